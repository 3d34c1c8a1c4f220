// The learning record as the games write it, read back field by field.
#include "learning_record.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "../../games/card_picking/questions.h"
#include "../../games/initial_letter/questions.h"
#include "../../games/kana_catching/questions.h"
#include "../../games/name_choice/questions.h"
#include "../../games/picture_card/questions.h"
#include "../../games/word_building/questions.h"
#include "game_fixture.h"
#include "picture_library.h"
#include "record_reader.h"

namespace kanae {
namespace {

using namespace kanae::testing;
using report::RecordRead;
using report::RecordRow;


RecordRead ReadBack(const std::filesystem::path& lesson_folder) {
  return report::ReadRecordFiles(RecordFilesFor(lesson_folder));
}

// A whole game on the fakes inside one test, so that one test can run each game.
template <typename GameT>
struct Scripted : GameFixture<GameT> {
  void TestBody() override {}
  using Base = GameFixture<GameT>;
  using Base::Asked;
  using Base::clock;
  using Base::Finish;
  using Base::folder;
  using Base::game;
  using Base::lesson;
  using Base::platform;
  using Base::Start;
};

class InitialLetterRecord : public GameFixture<initial_letter::InitialLetterGame> {
 protected:
  static constexpr char kOneDistractor[] = "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#";
  void Click(int card) { GameFixture::Click(game->cards[card]); }
  // The prompt plays for a while and ends.
  void Prompt(int ms = 2000) {
    clock.Advance(ms);
    Finish();
  }
  std::filesystem::path RecordFile() const { return RecordFileName(folder->path(), 1); }
};

TEST_F(InitialLetterRecord, EveryAnswerIsALineWithItsTimeAttemptSettingsAndChild) {
  Start({"いぬ.jpg"}, kOneDistractor);  // card 0 shows い, card 1 the distractor あ
  lesson->child = U"はなこ";
  // Each cue takes 600 ms: the chosen letter's sound before the judgement is not the child's time.
  platform.player.while_waiting = [this] { clock.Advance(600); };
  Prompt();
  clock.Advance(1500);
  Click(1);  // wrong
  clock.date_time = "2026-12-10T09:30:05+09:00";
  Finish();  // the retry message ends
  Manual(game->wrong_answer_timer).Tick();
  Prompt(700);
  clock.Advance(2250);
  Click(0);  // right at the second attempt
  Finish();
  Manual(game->right_answer_timer).Tick();

  const RecordRead read = ReadBack(folder->path());
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.skipped_lines, 0);
  struct Expected {
    const char* date_time;
    const char* chosen;
    bool right;
    double seconds;
    int attempt;
  };
  const Expected expected[] = {{"2026-12-10T09:30:00+09:00", "あ", false, 1.5, 1},
                               {"2026-12-10T09:30:05+09:00", "い", true, 2.25, 2}};
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const RecordRow& row = read.rows[i];
    EXPECT_EQ(row.date_time, std::string(expected[i].date_time));
    EXPECT_EQ(row.day, std::string("2026-12-10"));
    EXPECT_EQ(row.game, std::string("オルタ文字"));
    EXPECT_EQ(row.picture, std::string("いぬ.jpg"));
    EXPECT_EQ(row.asked, std::string("い"));
    EXPECT_EQ(row.chosen, std::string(expected[i].chosen));
    EXPECT_EQ(row.right, expected[i].right);
    EXPECT_DOUBLE_EQ(row.seconds, expected[i].seconds);
    EXPECT_EQ(row.attempt, expected[i].attempt);
    EXPECT_EQ(row.distractors, std::string("1"));
    EXPECT_EQ(row.cards, std::string(""));
    EXPECT_EQ(row.answering, std::string("クリック"));
    EXPECT_FALSE(row.caught);
    EXPECT_EQ(row.child, "はなこ");
    EXPECT_EQ(row.asked_letter, "");  // asked and chosen are letters already
  }

  // As a spreadsheet finds it: BOM, header, CR LF line ends; the child last,
  // so the columns of older records stay where they were.
  const std::string bytes = folder->Read(kRecordBaseName + std::string(".csv"));
  const std::string header =
      "\xEF\xBB\xBF日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面,"
      "問いの文字,選んだ文字,児童\r\n";
  EXPECT_EQ(bytes.substr(0, header.size()), header);
  EXPECT_EQ(bytes.substr(header.size()),
            "2026-12-10T09:30:00+09:00,オルタ文字,いぬ.jpg,い,あ,不正解,1.500,1,1,,クリック,答え,,,はなこ\r\n"
            "2026-12-10T09:30:05+09:00,オルタ文字,いぬ.jpg,い,い,正解,2.250,2,1,,クリック,答え,,,はなこ\r\n");
  // Only its owner may read a record that names children.
  EXPECT_EQ(std::filesystem::status(RecordFile()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(InitialLetterRecord, ARecordOfTheOlderShorterFormatGoesOnAndReadsBackWhole) {
  Start({"いぬ.jpg"}, kOneDistractor);
  folder->Write("学習記録.csv",
                "\xEF\xBB\xBF日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面\r\n"
                "2026-12-01T09:00:00+09:00,オルタ文字,さかな.jpg,さ,ち,不正解,2.000,1,2,,クリック,答え\r\n");
  lesson->child = U"=SUM(A1)";  // a name a spreadsheet would run stays a name
  Prompt();
  Click(0);
  const RecordRead read = ReadBack(folder->path());
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.skipped_lines, 0);
  EXPECT_EQ(std::make_tuple(read.rows[0].asked, read.rows[0].chosen, read.rows[0].child),
            std::make_tuple(std::string("さ"), std::string("ち"), std::string()));
  EXPECT_EQ(std::make_tuple(read.rows[1].asked, read.rows[1].right, read.rows[1].child),
            std::make_tuple(std::string("い"), true, std::string("=SUM(A1)")));
  EXPECT_NE(folder->Read("学習記録.csv").find(",'=SUM(A1)\r\n"), std::string::npos);
}

TEST_F(InitialLetterRecord, AnAnswerDuringThePromptTakesNoTimeAndANewQuestionStartsAtTheFirstAttempt) {
  Start({"いぬ.jpg", "ねこ.jpg"}, kOneDistractor);
  clock.Advance(800);
  f().is_speaking = false;  // the game takes no answer while speaking; the record must still not count the prompt
  Click(0);
  Finish();  // the prompt's end arrives after the answer
  Finish();
  Manual(game->right_answer_timer).Tick();
  Prompt();
  clock.Advance(1000);
  Click(0);
  const RecordRead read = ReadBack(folder->path());
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_DOUBLE_EQ(read.rows[0].seconds, 0.0);
  EXPECT_DOUBLE_EQ(read.rows[1].seconds, 1.0);
  EXPECT_EQ(read.rows[1].attempt, 1);
  EXPECT_NE(read.rows[0].picture, read.rows[1].picture);
}

TEST_F(InitialLetterRecord, NamesWithQuotesCommasAndLineBreaksReadBackWhole) {
  const std::string odd = "い,\"ぬ\"\r\nと\nね.jpg";
  Start({odd}, kOneDistractor);
  Prompt();
  Click(1);
  const RecordRead read = ReadBack(folder->path());
  ASSERT_EQ(read.rows.size(), 1u);
  EXPECT_EQ(read.rows[0].picture, std::string(odd));
  EXPECT_EQ(read.rows[0].asked, std::string("い"));
  EXPECT_EQ(read.rows[0].chosen, std::string("あ"));
  EXPECT_EQ(read.rows[0].answering, std::string("クリック"));
}

// A name a spreadsheet would run as a formula is stored as text, and the
// report reads every name back as it was.
TEST_F(InitialLetterRecord, NamesThatLookLikeFormulasAreStoredAsTextAndReadBackExactly) {
  struct Case {
    std::string name;
    std::string field;  // as the record holds it
  };
  const std::vector<Case> cases = {
      {"=HYPERLINK(1)いぬ.jpg", "'=HYPERLINK(1)いぬ.jpg"},
      {"+いぬ.jpg", "'+いぬ.jpg"},
      {"-いぬ.jpg", "'-いぬ.jpg"},
      {"@いぬ.jpg", "'@いぬ.jpg"},
      {"'いぬ.jpg", "''いぬ.jpg"},
      {"'=いぬ.jpg", "''=いぬ.jpg"},
      {"い=ぬ.jpg", "い=ぬ.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({c.name}, kOneDistractor);
    Prompt();
    Click(1);
    const std::string record = folder->Read("学習記録.csv");
    EXPECT_NE(record.find("," + c.field + ","), std::string::npos) << record;
    const RecordRead read = ReadBack(folder->path());
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0].picture, std::string(c.name));
  }
}

TEST_F(InitialLetterRecord, ATornLastLineIsIgnoredAndCutOffBeforeTheNextLine) {
  Start({"いぬ.jpg"}, kOneDistractor);
  Prompt();
  Click(1);
  // A pulled plug in the middle of the next line, inside an open quote.
  const std::string whole = folder->Read("学習記録.csv");
  folder->Write("学習記録.csv", whole + "2026-12-10T09:31:00+09:00,オルタ文字,\"い,\r\nぬ");

  RecordRead read = ReadBack(folder->path());
  EXPECT_EQ(read.rows.size(), 1u);
  EXPECT_EQ(read.skipped_lines, 1);

  // The game goes on in the same folder another day.
  LearningRecord record;
  record.Open(folder->path());
  RecordEntry entry;
  entry.date_time = "2026-12-11T10:00:00+09:00";
  entry.game = U"オルタ文字";
  entry.picture = U"ねこ.jpg";
  entry.asked = U"ね";
  entry.chosen = U"ね";
  entry.right = true;
  ASSERT_TRUE(record.Append(entry));
  record.WaitUntilDurable();
  read = ReadBack(folder->path());
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.skipped_lines, 0);
  EXPECT_EQ(read.rows[1].picture, std::string("ねこ.jpg"));
  EXPECT_EQ(folder->Read("学習記録.csv").substr(0, whole.size()), whole);
}

// Two games on one lesson (two windows, or two computers on a shared folder)
// write one record: one header, and every line of both, whole.
TEST(LearningRecordShared, TwoGamesOnOneLessonKeepEachOthersLines) {
  TempFolder folder;
  folder.Write("学習記録.csv", "");  // made, then a crash before its header
  LearningRecord first, second;
  first.Open(folder.path());
  second.Open(folder.path());  // before either has written: both find it empty
  RecordEntry entry;
  entry.date_time = "2026-12-10T09:00:00+09:00";
  entry.asked = U"い";
  entry.chosen = U"い";
  entry.right = true;
  for (int i = 0; i < 50; ++i) {
    entry.game = i % 2 == 0 ? U"オルタ文字" : U"ペンブル";
    entry.picture = FromUtf8("いぬ" + std::to_string(i) + ".jpg");
    ASSERT_TRUE((i % 2 == 0 ? first : second).Append(entry));
  }
  first.WaitUntilDurable();
  second.WaitUntilDurable();
  const RecordRead read = ReadBack(folder.path());
  EXPECT_EQ(read.skipped_lines, 0);  // a second header would be skipped as a bad line
  ASSERT_EQ(read.rows.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(read.rows[static_cast<std::size_t>(i)].picture, std::string("いぬ" + std::to_string(i) + ".jpg"));
  // A restart of one game while the other has written: nothing is cut off.
  LearningRecord third;
  third.Open(folder.path());
  EXPECT_EQ(ReadBack(folder.path()).rows.size(), 50u);
}

TEST_F(InitialLetterRecord, PastTheSizeLimitANewNumberedFileStartsWithItsOwnHeader) {
  Start({"いぬ.jpg"}, kOneDistractor);
  lesson->Record().SetFileLimit(400);  // the header and about two lines
  for (int i = 0; i < 5; ++i) {
    Prompt();
    Click(1);
    Finish();
    Manual(game->wrong_answer_timer).Tick();
  }
  const auto files = RecordFilesFor(folder->path());
  ASSERT_GE(files.size(), 2u);
  EXPECT_EQ(PathToUtf8(files[1].filename()), "学習記録-2.csv");
  for (const auto& file : files) EXPECT_LE(std::filesystem::file_size(file), 400u);
  EXPECT_TRUE(folder->Read("学習記録-2.csv").starts_with("\xEF\xBB\xBF日時,"));
  const RecordRead read = ReadBack(folder->path());
  ASSERT_EQ(read.rows.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(read.rows[static_cast<std::size_t>(i)].attempt, i + 1);
}

TEST_F(InitialLetterRecord, KeyRPausesTheLessonWhileTheReportIsShownAndRestartsItAfter) {
  Start({"いぬ.jpg", "ねこ.jpg"}, kOneDistractor);
  Prompt();
  Click(1);
  ASSERT_TRUE(game->wrong_answer_timer->Enabled());
  const int shown = static_cast<int>(platform.speech.spoken.size());
  lesson->OnKey(static_cast<int>(Key::kR));
  EXPECT_FALSE(game->wrong_answer_timer->Enabled());
  EXPECT_GE(platform.player.stops, 1);
  ASSERT_EQ(platform.shell.reports.size(), 1u);
  EXPECT_EQ(platform.shell.reports[0].page, folder->path() / "学習記録.html");
  EXPECT_EQ(std::filesystem::weakly_canonical(platform.shell.reports[0].lesson_folder),
            std::filesystem::weakly_canonical(folder->path()));
  // Nothing talks or answers behind the report.
  EXPECT_EQ(lesson->Mode(), LessonMode::kDialog);
  EXPECT_EQ(static_cast<int>(platform.speech.spoken.size()), shown);
  Click(0);
  EXPECT_EQ(static_cast<int>(platform.speech.spoken.size()), shown);
  // A dialog opened and closed meanwhile does not end the pause.
  lesson->OnKey(static_cast<int>(Key::kH));
  lesson->LeaveDialog(DialogKind::kSettings);
  EXPECT_EQ(lesson->Mode(), LessonMode::kDialog);
  // Back from the report: the lesson starts again with a new question.
  lesson->LeaveReport();
  EXPECT_EQ(f().question_index, 0);
  EXPECT_GT(static_cast<int>(platform.speech.spoken.size()), shown);
  EXPECT_TRUE(game->cards[0]->visible);
  EXPECT_FALSE(game->cross.visible);
}

// Runs body in a child process that cannot write a folder made read-only: as
// root (who may write anywhere) the child becomes the user nobody first.
int RunWithoutWriteRights(const std::function<void()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                           setresuid(65534, 65534, 65534) != 0)) {
      _exit(3);
    }
    body();
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

TEST(LearningRecordPlace, AReadOnlyLessonRecordsInTheUsersDataFolderAndTellsTheTeacherOnceWithoutAClick) {
  TempFolder lesson_folder;
  lesson_folder.Touch({"いぬ.jpg"});
  lesson_folder.Write("Oltar.txt", "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n");
  TempFolder cwd;
  cwd.Write("O.txt", Cp932("よくできました\r\n"));
  cwd.Write("X.txt", Cp932("ざんねん\r\n"));
  TempFolder data_home;
  std::filesystem::permissions(data_home.path(), std::filesystem::perms::all);
  std::filesystem::permissions(lesson_folder.path(), std::filesystem::perms::owner_write |
                                                         std::filesystem::perms::group_write |
                                                         std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
  const std::filesystem::path user_folder = UserRecordFolder(lesson_folder.path());
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(user_folder.parent_path(), data_home.path() / "kanae" / "records");

  const int status = RunWithoutWriteRights([&] {
    setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
    FakePlatform platform;
    ManualClock clock;
    Lesson lesson(platform.services(), cwd.path());
    lesson.UseClock(clock);
    initial_letter::InitialLetterGame game(lesson);
    ASSERT_TRUE(lesson.Start({lesson_folder.path().string()}, game));
    lesson.Activate();
    for (int i = 0; i < 2; ++i) {
      platform.speech.Finish();
      game.OnPointer({PointerAction::kClick, game.cards[1], 1});
      platform.speech.Finish();
      static_cast<ManualTimer*>(game.wrong_answer_timer.get())->Tick();
    }
    // A banner, not a message box the child would have to wait behind.
    int told = 0;
    for (const Text& banner : platform.shell.banners) {
      if (banner.find(FromUtf8(PathToUtf8(user_folder))) != Text::npos) ++told;
    }
    EXPECT_EQ(told, 1);
    for (const auto& message : platform.shell.messages) ADD_FAILURE() << "a message box: " << ToUtf8(message.text);
    const RecordRead read = ReadBack(lesson_folder.path());
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[1].attempt, 2);
    EXPECT_EQ(RecordPlaceFor(lesson_folder.path()).folder, user_folder);
  });
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(lesson_folder.Exists("学習記録.csv"));
  EXPECT_TRUE(std::filesystem::exists(user_folder / "学習記録.csv"));
}

TEST(LearningRecordGames, EachGameRecordsWhatWasAskedAndWhatWasChosen) {
  struct Expected {
    const char* game;
    const char* asked;
    const char* chosen;
    bool right;
    const char* distractors;
    const char* cards;
    const char* answering;
    bool caught;
    const char* asked_letter = "";
    const char* chosen_letter = "";
  };
  const auto check = [](const std::filesystem::path& folder, const std::vector<Expected>& expected) {
    const RecordRead read = ReadBack(folder);
    ASSERT_EQ(read.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(expected[i].game);
      const RecordRow& row = read.rows[i];
      EXPECT_EQ(row.game, std::string(expected[i].game));
      EXPECT_EQ(row.asked, std::string(expected[i].asked));
      EXPECT_EQ(row.chosen, std::string(expected[i].chosen));
      EXPECT_EQ(row.right, expected[i].right);
      EXPECT_EQ(row.distractors, std::string(expected[i].distractors));
      EXPECT_EQ(row.cards, std::string(expected[i].cards));
      EXPECT_EQ(row.answering, std::string(expected[i].answering));
      EXPECT_EQ(row.caught, expected[i].caught);
      EXPECT_EQ(row.asked_letter, expected[i].asked_letter);
      EXPECT_EQ(row.chosen_letter, expected[i].chosen_letter);
    }
  };
  {
    Scripted<kana_catching::KanaCatchingGame> run;
    run.Start({"りんご.jpg"}, "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#");
    run.clock.Advance(3200);
    run.game->OnPointer({PointerAction::kClick, &run.game->catch_letter, 1});  // caught
    run.platform.player.playing = false;
    run.Finish();
    run.game->OnPointer({PointerAction::kClick, run.game->choice_letters[1], 1});  // the distractor
    check(run.folder->path(), {{"ペンブル", "り", "り", true, "1", "", "クリック", true},
                               {"ペンブル", "り", "あ", false, "1", "", "クリック", false}});
    EXPECT_DOUBLE_EQ(report::ReadRecordFiles(RecordFilesFor(run.folder->path())).rows[0].seconds, 3.2);
  }
  {
    Scripted<card_picking::CardPickingGame> run;
    run.Start({"いぬ.jpg", "ねこ.jpg", "さる.jpg", "くま.jpg"}, "#FALSE#,1,#FALSE#,#TRUE#");
    run.Finish();
    const int wrong = 1 - run.game->correct_card;
    const Text asked = NameOfPicture(run.Asked());
    const Text chosen = run.lesson->state.task_pictures[run.game->card_tasks[wrong]];
    run.game->OnPointer({PointerAction::kClick, run.game->card_pictures[wrong], 1});
    // The cards' letters, so that the heat map shows which letters were mixed up.
    check(run.folder->path(), {{"スヴァン選び", ToUtf8(asked).c_str(), ToUtf8(chosen).c_str(), false, "", "2", "クリック",
                                false, ToUtf8(Left(asked, 1)).c_str(), ToUtf8(Left(chosen, 1)).c_str()}});
  }
  {
    Scripted<word_building::WordBuildingGame> run;
    run.Start({"いぬ.jpg"}, "#TRUE#,#TRUE#,1,0,#TRUE#,#TRUE#");
    const auto card_showing = [&](const char* letter) {
      for (int j = 0; j < 6; ++j) {
        if (run.game->cards[j]->visible && run.game->cards[j]->caption == FromUtf8(letter)) return j;
      }
      return -1;
    };
    run.game->OnPointer({PointerAction::kMove, run.game->cards[card_showing("い")], 0});
    run.platform.player.playing = false;
    run.game->OnPointer({PointerAction::kMove, run.game->cards[card_showing("あ")], 0});
    check(run.folder->path(), {{"ダブレル作り", "い", "い", true, "1", "", "触れる", false},
                               {"ダブレル作り", "ぬ", "あ", false, "1", "", "触れる", false}});
  }
  {
    Scripted<name_choice::NameChoiceGame> run;
    run.Start({"いぬ.jpg", "ねこ.jpg"});
    run.Finish();
    const bool asked_dog = run.Asked() == U"いぬ.jpg";
    run.game->OnPointer({PointerAction::kClick, run.game->name_columns[1 - run.game->correct_side], 1});
    check(run.folder->path(),
          {{"クオマ選び", asked_dog ? "いぬ" : "ねこ", asked_dog ? "ねこ" : "いぬ", false, "", "", "クリック", false}});
  }
  {
    Scripted<picture_card::PictureCardGame> run;
    run.Start({"いぬ.jpg", "ねこ.jpg"});
    run.Finish();
    const bool asked_dog = run.Asked() == U"いぬ.jpg";
    run.game->OnPointer({PointerAction::kClick, run.game->pictures[1 - run.game->correct_side], 1});
    check(run.folder->path(), {{"絵ヴィンタ選び", asked_dog ? "いぬ" : "ねこ", asked_dog ? "ねこ.jpg" : "いぬ.jpg",
                                false, "", "", "クリック", false}});
  }
}

}  // namespace
}  // namespace kanae
