#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "fakes.h"
#include "lesson.h"
#include "messages.h"
#include "picture_library.h"
#include "records.h"
#include "trace.h"

namespace kanae {
namespace {

using testing::FakePlatform;
using testing::TempFolder;
using testing::TinyFileSizeLimit;

// A game that records what the framework asks of it.
class RecordingGame : public Game {
 public:
  explicit RecordingGame(Lesson& lesson, GameInfo info)
      : timer(lesson.CreateTimer(1000, [] {})), lesson_(lesson), info_(std::move(info)) {}
  const GameInfo& Info() const override { return info_; }
  SettingsList Settings() override { return {{"TouchMode", SettingType::kBoolean, kFalse, &touch_mode}}; }
  void Layout() override { layout_size = {lesson_.form.width, lesson_.form.height}; }
  void NextQuestion() override {
    questions.push_back(lesson_.fields.question_index);
    first_task = lesson_.state.task_pictures.empty() ? Text() : lesson_.state.task_pictures[0];
  }
  void OnPointer(const PointerEvent&) override {}
  std::vector<const Control*> AnswerControls() const override { return {}; }
  SettingsDialogLayout SettingsDialog() override { return {}; }

  std::int16_t touch_mode = kTrue;
  std::pair<int, int> layout_size{0, 0};
  std::vector<int> questions;
  Text first_task;
  std::unique_ptr<Timer> timer;

 private:
  Lesson& lesson_;
  GameInfo info_;
};

GameInfo Info(int fewest_pictures = 1, int fewest_tasks = 1, bool retry = true) {
  return {"Test", U"テスト", "Test.txt", fewest_pictures, fewest_tasks, retry, true};
}

class LessonStart : public ::testing::Test {
 protected:
  bool Start(GameInfo info, std::vector<std::string> args) {
    game = std::make_unique<RecordingGame>(lesson, std::move(info));
    return lesson.Start(args, *game);
  }
  std::vector<std::string> Args() const { return {lesson_folder.path().string()}; }

  TempFolder lesson_folder;
  TempFolder current_folder;
  FakePlatform platform;
  Lesson lesson{platform.services(), current_folder.path()};
  std::unique_ptr<RecordingGame> game;
};

TEST(data_folder, ComesFromTheArgumentsJoinedBySpaces) {
  EXPECT_EQ(DataFolderFromArguments({}), "");
  EXPECT_EQ(DataFolderFromArguments({"/home/t/lesson"}), "/home/t/lesson/");
  EXPECT_EQ(DataFolderFromArguments({"/home/t/my", "lesson", "1"}), "/home/t/my lesson 1/");
  EXPECT_EQ(DataFolderFromArguments({"/home/t/lesson/"}), "/home/t/lesson/");
}

TEST_F(LessonStart, AFirstStartCreatesEveryFileAndReachesTheFirstQuestion) {
  lesson_folder.Touch({"いぬ.jpg", "ねこ.gif"});
  ASSERT_TRUE(Start(Info(), Args()));
  EXPECT_EQ(lesson_folder.Read("Test.txt"), "#FALSE#\r\n");
  EXPECT_EQ(game->touch_mode, kFalse);
  EXPECT_TRUE(lesson_folder.Exists("Fname.txt"));
  EXPECT_TRUE(current_folder.Exists("O.txt"));
  EXPECT_TRUE(current_folder.Exists("X.txt"));
  EXPECT_EQ(lesson.fields.praise_messages, std::vector<Text>{U"よくできました"});
  EXPECT_EQ(lesson.state.TaskCount(), 2);
  EXPECT_EQ(game->layout_size, std::make_pair(1280 * 15, 720 * 15));
  EXPECT_EQ(lesson.fields.tables.hiragana.size(), 46u);
  EXPECT_TRUE(game->questions.empty());  // nothing is asked before activation
  EXPECT_TRUE(platform.shell.messages.empty());

  lesson.fields.question_index = 1;
  lesson.Activate();
  EXPECT_EQ(game->questions, std::vector<int>{0});
}

TEST_F(LessonStart, TheWordBuildingGameDoesNotTouchTheRetryFile) {
  lesson_folder.Touch({"いぬ.jpg"});
  ASSERT_TRUE(Start(Info(1, 1, false), Args()));
  EXPECT_FALSE(current_folder.Exists("X.txt"));
  EXPECT_TRUE(lesson.fields.retry_messages.empty());
}

TEST_F(LessonStart, TooFewPicturesEndsWithTheMessageAfterTheSettingsWereWritten) {
  lesson_folder.Touch({"a.jpg", "b.jpg", "c.jpg", "d.png", "e.jpeg"});
  EXPECT_FALSE(Start(Info(4, 4), Args()));
  ASSERT_EQ(platform.shell.messages.size(), 1u);
  EXPECT_EQ(platform.shell.messages[0].caption, U"テスト");
  // The refusal says why: which folder, how many found, how many needed,
  // which formats count, and what was left out.
  const Text& text = platform.shell.messages[0].text;
  EXPECT_TRUE(text.starts_with(U"画像データが足りません！")) << ToUtf8(text);
  for (const Text& said : {FromUtf8(lesson_folder.path().string()), Text(U"見つかった絵：3枚"), Text(U"4枚以上"),
                           Text(U".jpg .gif .bmp"), Text(U"「d.png」は使われません"), Text(U"「e.jpeg」は使われません")}) {
    EXPECT_NE(text.find(said), Text::npos) << ToUtf8(said) << " missing from " << ToUtf8(text);
  }
  EXPECT_TRUE(lesson_folder.Exists("Test.txt"));
  EXPECT_FALSE(lesson_folder.Exists("Fname.txt"));
}

// At a game's start the lesson check goes to the trace only: the child is
// never kept waiting behind a message about the teacher's files.
TEST(LessonStartCheck, WhatWasLeftOutIsTracedWithoutStoppingTheChild) {
  TempFolder lesson_folder;
  TempFolder current_folder;
  TempFolder traces;
  lesson_folder.Touch({"犬.jpg", "いぬ.png", "ねこ.jpg"});
  FakePlatform platform;
  {
    Trace trace(PathToUtf8(traces / "trace"));
    Lesson lesson({platform.speech, platform.player, platform.timers, platform.shell, platform.rnd, trace},
                  current_folder.path());
    lesson.UseReadingGuess([](const Text& word) { return word == U"犬" ? Text(U"イヌ") : Text(); });
    RecordingGame game(lesson, Info(1, 1));
    ASSERT_TRUE(lesson.Start({lesson_folder.path().string()}, game));
  }
  EXPECT_TRUE(platform.shell.messages.empty());
  const std::string traced = traces.Read("trace");
  for (const std::string& said : {std::string("\tnotice\t「いぬ.png」は使われません"),
                                  std::string("\tnotice\t「犬.jpg」の名前がかなではありません"),
                                  std::string("「いぬ.jpg」にしてはどうでしょう")}) {
    EXPECT_NE(traced.find(said), std::string::npos) << said << " not in\n" << traced;
  }
}

TEST_F(LessonStart, AFourthPictureIsEnough) {
  lesson_folder.Touch({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
  EXPECT_TRUE(Start(Info(4, 4), Args()));
}

TEST_F(LessonStart, AMissingFolderIsReportedAndWritesNothing) {
  EXPECT_FALSE(Start(Info(), {(lesson_folder.path() / "gone").string()}));
  ASSERT_EQ(platform.shell.messages.size(), 1u);
  EXPECT_NE(platform.shell.messages[0].text.find(U"見つかりません"), Text::npos);
  EXPECT_FALSE(current_folder.Exists("O.txt"));
}

TEST_F(LessonStart, AFolderWithSpacesFromSeveralArguments) {
  TempFolder parent;
  std::filesystem::create_directory(parent / "my lesson");
  std::ofstream(parent / "my lesson/いぬ.jpg").put('x');
  ASSERT_TRUE(Start(Info(), {(parent / "my").string(), "lesson"}));
  EXPECT_EQ(lesson.state.picture_files, std::vector<Text>{U"いぬ.jpg"});
  EXPECT_TRUE(parent.Exists("my lesson/Test.txt"));
}

TEST_F(LessonStart, ASelectionTooSmallForTheGamePlaysEveryPictureAndKeepsTheFile) {
  lesson_folder.Touch({"a.jpg", "b.jpg", "c.jpg"});
  const std::string one_task = "\"a.jpg\",#TRUE#\r\n\"b.jpg\",#FALSE#\r\n\"c.jpg\",#FALSE#\r\n";
  const std::string no_task = "\"a.jpg\",#FALSE#\r\n\"b.jpg\",#FALSE#\r\n\"c.jpg\",#FALSE#\r\n";
  struct Case {
    std::string file;
    int fewest_tasks;
    int tasks;
  };
  const Case cases[] = {{no_task, 1, 3}, {one_task, 2, 3}, {one_task, 1, 1}};
  for (const Case& c : cases) {
    lesson_folder.Write("Fname.txt", c.file);
    FakePlatform fresh;
    Lesson l(fresh.services(), current_folder.path());
    RecordingGame g(l, Info(2, c.fewest_tasks));
    ASSERT_TRUE(l.Start(Args(), g));
    EXPECT_EQ(l.state.TaskCount(), c.tasks);
    EXPECT_EQ(lesson_folder.Read("Fname.txt"), c.file);
  }
}

TEST_F(LessonStart, AnUnwritableSettingsFileIsReportedAndTheLessonGoesOn) {
  lesson_folder.Touch({"a.jpg"});
  lesson_folder.Write("Fname.txt", "\"a.jpg\",#TRUE#\r\n");
  current_folder.Write("O.txt", "good\r\n");
  current_folder.Write("X.txt", "again\r\n");
  // The write of the defaults fails as on a full disk.
  const bool started = [&] {
    const TinyFileSizeLimit full_disk;
    return Start(Info(), Args());
  }();
  ASSERT_TRUE(started);
  ASSERT_EQ(platform.shell.messages.size(), 1u);
  EXPECT_NE(platform.shell.messages[0].text.find(U"設定を保存できませんでした"), Text::npos);
  EXPECT_EQ(game->touch_mode, kFalse);
}

TEST_F(LessonStart, FilesThatCannotBeReadAreKeptAndReportedOnceEach) {
  lesson_folder.Touch({"a.jpg", "b.jpg"});
  // A folder in a file's place cannot be read, like another user's file or a failing disk.
  for (const char* name : {"Test.txt", "Fname.txt"}) std::filesystem::create_directory(lesson_folder / name);
  ASSERT_TRUE(Start(Info(), Args()));
  EXPECT_EQ(game->touch_mode, kFalse);  // the default
  EXPECT_EQ(lesson.state.TaskCount(), 2);
  ASSERT_EQ(platform.shell.messages.size(), 2u);
  const Text& settings = platform.shell.messages[0].text;
  const Text& selection = platform.shell.messages[1].text;
  EXPECT_TRUE(settings.starts_with(U"設定ファイルを読み込めませんでした。今回は初めの設定で続けます。")) << ToUtf8(settings);
  EXPECT_NE(settings.find(FromUtf8(PathToUtf8(lesson_folder / "Test.txt"))), Text::npos);
  EXPECT_NE(settings.find(U"同じ名前のフォルダがあります。"), Text::npos);
  EXPECT_TRUE(selection.starts_with(U"課題の選択「Fname.txt」を読み込めませんでした。今回はすべての絵で続けます。"))
      << ToUtf8(selection);
  EXPECT_NE(selection.find(FromUtf8(PathToUtf8(lesson_folder / "Fname.txt"))), Text::npos);
  for (const char* name : {"Test.txt", "Fname.txt"}) EXPECT_TRUE(std::filesystem::is_directory(lesson_folder / name));
}

TEST_F(LessonStart, LookAlikeNamesKeepTheTeachersSelectionThroughSaveAndRestart) {
  const std::vector<std::string> names = {"ゆ〜.jpg", "ま−る.jpg", "‖.jpg", "—.jpg", "¢.jpg", "£.jpg", "¬.jpg", "いぬ.jpg"};
  lesson_folder.Touch(names);
  ASSERT_TRUE(Start(Info(), Args()));
  ASSERT_EQ(lesson.state.TaskCount(), 8);
  // The teacher keeps three pictures, as the task selection dialog saves them.
  const std::vector<Text> chosen = {U"ゆ〜.jpg", U"ま−る.jpg", U"¬.jpg"};
  ASSERT_TRUE(SaveTaskSelection(lesson_folder / "Fname.txt", lesson.state.picture_files, chosen).ok);
  const std::string saved = lesson_folder.Read("Fname.txt");

  FakePlatform again;
  Lesson restarted(again.services(), current_folder.path());
  RecordingGame game_again(restarted, Info());
  ASSERT_TRUE(restarted.Start(Args(), game_again));
  std::vector<Text> tasks = restarted.state.task_pictures;
  std::sort(tasks.begin(), tasks.end());
  std::vector<Text> expected = chosen;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(tasks, expected);
  EXPECT_EQ(lesson_folder.Read("Fname.txt"), saved);  // not rebuilt
  EXPECT_TRUE(again.shell.messages.empty());
}

TEST_F(LessonStart, ARebuiltSelectionIsToldOnceAndAProtectedOneAtEveryStartWithoutAClick) {
  lesson_folder.Touch({"a.jpg", "b.jpg", "c.jpg"});
  current_folder.Write("O.txt", "good\r\n");
  current_folder.Write("X.txt", "again\r\n");
  const std::string stale = "\"b.jpg\",#TRUE#\r\n\"c.jpg\",#FALSE#\r\n\"d.jpg\",#TRUE#\r\n";
  for (const bool protect : {false, true}) {
    SCOPED_TRACE(protect ? "write-protected" : "writable");
    lesson_folder.Write("Fname.txt", stale);
    if (protect) std::filesystem::permissions(lesson_folder / "Fname.txt", std::filesystem::perms::owner_read);
    for (int start = 0; start < 2; ++start) {
      FakePlatform fresh;
      Lesson l(fresh.services(), current_folder.path());
      RecordingGame g(l, Info());
      ASSERT_TRUE(l.Start(Args(), g));
      std::vector<Text> tasks = l.state.task_pictures;
      std::sort(tasks.begin(), tasks.end());
      EXPECT_EQ(tasks, (std::vector<Text>{U"a.jpg", U"b.jpg"}));
      std::vector<Text> boxes;
      for (const auto& message : fresh.shell.messages) boxes.push_back(message.text);
      const std::vector<Text>& said = protect ? fresh.shell.banners : boxes;
      const std::vector<Text>& not_said = protect ? boxes : fresh.shell.banners;
      EXPECT_TRUE(not_said.empty());
      if (start == 1 && !protect) {
        EXPECT_TRUE(said.empty());  // the file matches the folder now
        continue;
      }
      ASSERT_EQ(said.size(), 1u);
      EXPECT_NE(said[0].find(U"新しい絵1枚を課題に入れました：a.jpg"), Text::npos) << ToUtf8(said[0]);
      EXPECT_NE(said[0].find(U"フォルダにない絵1枚を外しました：d.jpg"), Text::npos) << ToUtf8(said[0]);
    }
    EXPECT_EQ(lesson_folder.Read("Fname.txt"),
              protect ? stale : "\"a.jpg\",#TRUE#\r\n\"b.jpg\",#TRUE#\r\n\"c.jpg\",#FALSE#\r\n");
    std::filesystem::permissions(lesson_folder / "Fname.txt", std::filesystem::perms::owner_all);
  }
}

TEST_F(LessonStart, AnOversizedMessageFileIsReportedAndItsFirstTextsUsed) {
  lesson_folder.Touch({"a.jpg"});
  current_folder.Write("O.txt", "great\r\n" + std::string(2 * kTextFileLimitBytes, 'x'));
  ASSERT_TRUE(Start(Info(), Args()));
  EXPECT_EQ(lesson.fields.praise_messages, std::vector<Text>{U"great"});
  ASSERT_EQ(platform.shell.messages.size(), 1u);
  EXPECT_TRUE(platform.shell.messages[0].text.starts_with(U"「O.txt」が大きすぎるため")) << ToUtf8(platform.shell.messages[0].text);
}

TEST_F(LessonStart, KeysStopSoundAndSpeechAndOpenDialogsOrQuit) {
  lesson_folder.Touch({"a.jpg"});
  ASSERT_TRUE(Start(Info(), Args()));
  game->timer->SetEnabled(true);
  platform.player.playing = true;

  lesson.OnKey('H');
  EXPECT_FALSE(platform.player.playing);
  EXPECT_EQ(platform.speech.stops, 1);
  EXPECT_FALSE(game->timer->Enabled());
  lesson.OnKey('N');
  lesson.OnKey('A');  // ignored
  EXPECT_EQ(platform.shell.dialogs, (std::vector<DialogKind>{DialogKind::kSettings, DialogKind::kTasks}));
  EXPECT_FALSE(platform.shell.quit);
  lesson.OnKey(27);
  EXPECT_TRUE(platform.shell.quit);
  EXPECT_EQ(platform.speech.stops, 3);
}

TEST_F(LessonStart, AdvancingPastTheLastTaskStartsANewOrder) {
  lesson_folder.Touch({"a.jpg", "b.jpg"});
  ASSERT_TRUE(Start(Info(), Args()));
  lesson.fields.question_index = 1;
  lesson.AdvanceQuestion();
  EXPECT_EQ(lesson.fields.question_index, 0);
}

}  // namespace
}  // namespace kanae

namespace kanae {
namespace {

// The trace's speak line: the text as written, then the reading the voice was given.
TEST(LessonSpeech, TheTraceShowsTheTextAndTheReadingTheVoiceWasGiven) {
  TempFolder folder;
  const auto trace_file = folder / "trace.txt";
  FakePlatform platform;
  platform.speech.reading_prefix = U"読み:";
  {
    Trace trace(trace_file.string());
    Lesson lesson({platform.speech, platform.player, platform.timers, platform.shell, platform.rnd, trace});
    lesson.fields.speech_text = Text(U"はなの、") + Letter(U"は") + U"、は、どれかな";
    lesson.Speak();
  }
  EXPECT_EQ(platform.speech.said.back(), Text(U"はなの、") + Letter(U"は") + U"、は、どれかな");
  const std::string line = folder.Read("trace.txt");
  const std::string expected = "\tspeak\tはなの、は、は、どれかな\t読み:はなの、は、は、どれかな\n";
  ASSERT_GE(line.size(), expected.size());
  EXPECT_EQ(line.substr(line.size() - expected.size()), expected);
}

// A voice still reading the text when Speak returns: the line comes when the
// reading does, with the text that was asked for, whatever is said meanwhile.
TEST(LessonSpeech, AReadingThatComesLateIsTracedWhenItComes) {
  TempFolder folder;
  const auto trace_file = folder / "trace.txt";
  FakePlatform platform;
  platform.speech.readings_late = true;
  Trace trace(trace_file.string());
  Lesson lesson({platform.speech, platform.player, platform.timers, platform.shell, platform.rnd, trace});
  lesson.fields.speech_text = Text(U"いぬ、は、どっちかな");
  lesson.Speak();
  lesson.fields.speech_text = Text(U"ねこ");
  EXPECT_EQ(folder.Read("trace.txt").find("speak"), std::string::npos);
  platform.speech.GiveLateReadings();
  const std::string lines = folder.Read("trace.txt");
  EXPECT_NE(lines.find("\tspeak\tいぬ、は、どっちかな\tいぬ、は、どっちかな\n"), std::string::npos) << lines;
  EXPECT_EQ(lines.find("ねこ"), std::string::npos);
}

}  // namespace
}  // namespace kanae
