#include "questions.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "game_fixture.h"
#include "picture_library.h"
#include "records.h"
#include "task_dialog.h"

namespace kanae::card_picking {
namespace {

using namespace kanae::testing;
using Rect = std::array<double, 4>;  // left, top, width, height

Rect RectOf(const Control& c) { return {c.left, c.top, c.width, c.height}; }

// In list order, so that with every draw 0 nothing is shuffled: りんご is asked,
// the right card is card 0 and the others follow in list order.
const std::vector<std::string> kFour = {"りんご.jpg", "るり.jpg", "れもん.jpg", "ろうそく.jpg"};

class CardPicking : public GameFixture<CardPickingGame> {
 protected:
  void Pick(int card) { Click(game->card_pictures[card]); }
  ManualTimer& feedback_timer() { return Manual(game->feedback_timer); }
  // Picks the right card and lets the praise end and the timer tick.
  void AnswerRight() {
    Finish();
    Pick(game->correct_card);
    Finish();
    feedback_timer().Tick();
  }
  int WrongCardIn(std::initializer_list<int> row) {
    for (int i : row) {
      if (i != game->correct_card) return i;
    }
    return -1;
  }
  int VisibleCards() {
    int n = 0;
    for (const Control* c : game->card_pictures) n += c->visible ? 1 : 0;
    return n;
  }
};

TEST_F(CardPicking, CardsAndLettersAreLaidOutInTwips) {
  const Rect pictures[] = {{1200, 5940, 7680, 4320}, {10320, 5940, 7680, 4320},
                           {1200, 540, 7680, 4320},  {10320, 540, 7680, 4320}};
  struct Case {
    int z;
    double left_even, left_odd, width, height;
    int font;
  };
  const Case cases[] = {
      {1, 6000, 15120, 2880, 2160, 108},  // held to the label's height (see below)
      {2, 4560, 13680, 4320, 3240, 162},
      {3, 2160, 11280, 5760, 4320, 216},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.z);
    Start(kFour, "#TRUE#," + std::to_string(c.z) + ",#FALSE#,#TRUE#");
    ASSERT_EQ(game->card_count, 4);
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      const Control& picture = *game->card_pictures[i];
      const Control& letter = *game->card_letters[i];
      EXPECT_EQ(RectOf(picture), pictures[i]);
      EXPECT_EQ(RectOf(letter), (Rect{i % 2 == 0 ? c.left_even : c.left_odd, pictures[i][1], c.width, c.height}));
      EXPECT_EQ(letter.font_points, c.font);
      EXPECT_EQ(picture.visible, c.z < 3);  // the large letter stands alone
      EXPECT_TRUE(letter.visible);
      EXPECT_EQ(PathFromUtf8(picture.picture), folder->path() / PathFromUtf8(kFour[i]));
      EXPECT_EQ(letter.caption, Left(FromUtf8(kFour[i]), 1));
    }
    EXPECT_EQ(game->cross.font_points, 384);
    EXPECT_EQ(game->cross.caption, U"×");
    EXPECT_TRUE(game->cross.visible);
    EXPECT_EQ(game->cross.width, 0);
  }
}

// The width gives the letters' size; on a wide screen that size would not fit
// the label's height and is held to it, on a 4:3 screen it stands.
TEST_F(CardPicking, LetterFontsFollowTheWidthAndFitTheirLabels) {
  struct Case {
    int width, height;
    int z, card_font, enlarged_font;
  };
  const Case cases[] = {
      {1024, 768, 1, 113, 284}, {1024, 768, 2, 169, 284}, {1024, 768, 3, 225, 284},
      {1280, 720, 1, 108, 270}, {1280, 720, 3, 216, 270}, {1920, 1080, 2, 243, 405},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.z));
    platform.shell.screen = {c.width * 15, c.height * 15};
    Start(kFour, "#TRUE#," + std::to_string(c.z) + ",#FALSE#,#TRUE#");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(game->card_letters[i]->font_points, c.card_font);
    Finish();
    Pick(0);
    EXPECT_EQ(game->card_letters[0]->font_points, c.enlarged_font);
  }
}

TEST_F(CardPicking, ARightPickShowsItsPictureOverTheWindowAndGoesOn) {
  Start(kFour);
  Finish();
  Pick(0);
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"り.wav", U"ピンポン.wav"}));
  EXPECT_EQ(LastSpoken(), U"よくできました。これが、りんごの、り、だね。");
  EXPECT_EQ(RectOf(*game->card_pictures[0]), (Rect{0, 0, W, H}));
  EXPECT_EQ(RectOf(*game->card_letters[0]), (Rect{12000, 0, 7200, 5400}));
  EXPECT_EQ(game->card_letters[0]->font_points, 270);
  EXPECT_TRUE(game->card_pictures[0]->visible && game->card_letters[0]->visible);
  for (int i = 1; i < 4; ++i) EXPECT_FALSE(game->card_pictures[i]->visible || game->card_letters[i]->visible);
  EXPECT_FALSE(game->cross.visible);
  EXPECT_EQ(f().question_index, 1);

  feedback_timer().Tick();  // the praise goes on
  EXPECT_EQ(RectOf(*game->card_pictures[0]), (Rect{0, 0, W, H}));
  Finish();
  feedback_timer().Tick();
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_EQ(Asked(), U"るり.jpg");
  EXPECT_EQ(LastSpoken(), U"るりの、る、は、どれかな");
  EXPECT_EQ(RectOf(*game->card_pictures[0]), (Rect{1200, 5940, 7680, 4320}));
}

TEST_F(CardPicking, AfterTheLastPictureANewOrderBegins) {
  Start(kFour);
  const int shuffles = scripted->reseeds;
  for (int q = 0; q < 4; ++q) AnswerRight();
  EXPECT_EQ(f().question_index, 0);
  EXPECT_EQ(scripted->reseeds, shuffles + 1);
  EXPECT_TRUE(game->card_pictures[0]->visible);
}

TEST_F(CardPicking, AWrongPickIsCrossedAndTheSamePictureIsAskedAgain) {
  Start(kFour);
  Finish();
  Pick(1);
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"る.wav", U"ブー.wav"}));
  EXPECT_EQ(LastSpoken(), U"ざんねん");
  // Placed at (10320, 5220, 7680, 5760), a little past the screen's bottom edge: held to the screen.
  EXPECT_EQ(RectOf(game->cross), (Rect{10320, 5220, 7680, 5580}));
  EXPECT_TRUE(game->cross.visible);
  EXPECT_EQ(f().question_index, 0);
  Finish();
  Pick(0);  // answered already: ignored until the next question
  EXPECT_EQ(platform.player.played.size(), 2u);

  feedback_timer().Tick();
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_EQ(Asked(), U"りんご.jpg");
  EXPECT_EQ(LastSpoken(), U"りんごの、り、は、どれかな");
  EXPECT_EQ(game->cross.width, 0);
}

TEST_F(CardPicking, AWrongPickRedrawsTheCardsForTheSamePicture) {
  Start({"あめ.jpg", "いか.jpg", "うし.jpg", "えび.jpg", "おに.jpg", "かさ.jpg"}, "", {});
  const Text asked = Asked();
  std::set<int> right_positions;
  std::set<Text> distractors;
  for (int round = 0; round < 12; ++round) {
    right_positions.insert(game->correct_card);
    for (int i = 0; i < 4; ++i) {
      if (i != game->correct_card) distractors.insert(lesson->state.task_pictures[game->card_tasks[i]]);
    }
    Finish();
    const int wrong = WrongCardIn({2, 3});  // the top row, where the cross is raised by half a window
    Pick(wrong);
    // Placed from -180, above the screen: held to it.
    EXPECT_EQ(RectOf(game->cross), (Rect{wrong == 2 ? 1200.0 : 10320.0, 0, 7680, 5580}));
    Finish();
    feedback_timer().Tick();
    ASSERT_EQ(Asked(), asked);
  }
  EXPECT_GT(right_positions.size(), 1u);
  EXPECT_EQ(distractors.size(), 5u);  // every other picture gets its turn
}

TEST_F(CardPicking, LetterSizeDecidesPromptSoundAndPraise) {
  const std::vector<std::string> katakana = {"アイス.jpg", "イヌ.jpg", "ウシ.jpg", "エビ.jpg"};
  struct Case {
    std::vector<std::string> pictures;
    std::string size;
    Text prompt, letter_cue, praise;
    bool letters, pictures_shown;
  };
  const Case cases[] = {
      {kFour, "0", U"りんごは、どれかな", U"", U"よくできました。これが、りんごだね。", false, true},
      {kFour, "2", U"りんごの、り、は、どれかな", U"り.wav", U"よくできました。これが、りんごの、り、だね。", true, true},
      {kFour, "3", U"りんごの、り、は、どれかな", U"り.wav", U"よくできました。これが、りんごの、り、だね。", true, false},
      // The letter exactly as shown: katakana sounds its own file.
      {katakana, "1", U"アイスの、ア、は、どれかな", U"ア.wav", U"よくできました。これが、アイスの、ア、だね。", true, true},
      // Hand-edited sizes: beyond 大 acts as 大, below 無 as 無.
      {kFour, "5", U"りんごの、り、は、どれかな", U"り.wav", U"よくできました。これが、りんごの、り、だね。", true, false},
      {kFour, "-1", U"りんごは、どれかな", U"", U"よくできました。これが、りんごだね。", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size + " " + c.pictures[0]);
    Start(c.pictures, "#TRUE#," + c.size + ",#FALSE#,#TRUE#");
    EXPECT_EQ(LastSpoken(), c.prompt);
    // The letter of the prompt is read by its name; without letters nothing is marked.
    const Text letter = c.letters ? c.prompt.substr(0, 1) : Text();
    EXPECT_EQ(LastSpokenLetters(), letter);
    platform.speech.prepared.clear();
    EXPECT_EQ(game->card_letters[0]->visible, c.letters);
    EXPECT_EQ(game->card_pictures[0]->visible, c.pictures_shown);
    Finish();
    Pick(0);
    std::vector<Text> cues = {U"ピンポン.wav"};
    if (!c.letter_cue.empty()) cues.insert(cues.begin(), c.letter_cue);
    EXPECT_EQ(platform.player.Played(), cues);
    EXPECT_EQ(LastSpoken(), c.praise);
    EXPECT_EQ(LastSpokenLetters(), letter);
    // The praise was prepared while the cues played, then the next prompt.
    ASSERT_EQ(platform.speech.prepared.size(), 2u);
    EXPECT_EQ(platform.speech.prepared[0], platform.speech.said.back());
    EXPECT_EQ(platform.speech.prepared[1], game->PromptFor(f().question_index));
    EXPECT_TRUE(game->card_pictures[0]->visible);  // the picture is shown whatever the size
    EXPECT_EQ(game->card_letters[0]->visible, c.letters);
    platform.player.played.clear();
  }
}

TEST_F(CardPicking, CardsOfAQuestionNeverShareAnInitial) {
  const std::vector<std::string> pictures = {"あめ.jpg", "あり.jpg", "いか.jpg", "いぬ.jpg",
                                             "うし.jpg", "えび.jpg", "おに.jpg", "かさ.jpg"};
  struct Case {
    std::string line;
    int cards;
  };
  const Case cases[] = {{"#TRUE#,1,#FALSE#,#TRUE#", 4}, {"#FALSE#,1,#FALSE#,#TRUE#", 2}, {"1,1,#FALSE#,#TRUE#", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Start(pictures, c.line, {});
    std::set<Text> distractors;
    for (int q = 0; q < 16; ++q) {  // twice through the list
      ASSERT_EQ(game->card_count, c.cards);
      ASSERT_EQ(VisibleCards(), c.cards);
      EXPECT_EQ(game->card_tasks[game->correct_card], f().question_index);
      std::set<char32_t> initials;
      for (int i = 0; i < c.cards; ++i) {
        const Text& picture = lesson->state.task_pictures[game->card_tasks[i]];
        initials.insert(picture[0]);
        EXPECT_EQ(game->card_letters[i]->caption, Text(1, picture[0]));
        if (i != game->correct_card) distractors.insert(picture);
        if (c.cards == 2) {
          EXPECT_EQ(game->card_pictures[i]->top, 5940);  // the bottom row only
        }
      }
      EXPECT_EQ(static_cast<int>(initials.size()), c.cards);
      AnswerRight();
    }
    // No picture is left out of the draw (those sharing an initial included).
    if (c.cards == 4) {
      EXPECT_EQ(distractors.size(), pictures.size());
    }
  }
}

// With fewer different initials than cards no draw can succeed: the game
// shows as many cards as it can rather than searching for ever.
TEST_F(CardPicking, TooFewInitialsGiveFewerCardsAndOneInitialTellsTheTeacher) {
  struct Case {
    std::vector<std::string> pictures;
    std::string line;
    int cards;
    bool told;
  };
  const Case cases[] = {
      {{"あめ.jpg", "あり.jpg", "いか.jpg", "いぬ.jpg"}, "#TRUE#,1,#FALSE#,#TRUE#", 2, false},
      {{"あめ.jpg", "あり.jpg", "いか.jpg", "うし.jpg"}, "#TRUE#,1,#FALSE#,#TRUE#", 2, false},
      {{"あめ.jpg", "あり.jpg", "あさ.jpg", "あお.jpg"}, "#TRUE#,1,#FALSE#,#TRUE#", 1, true},
      {{"あめ.jpg", "あり.jpg", "あさ.jpg", "あお.jpg"}, "#FALSE#,0,#FALSE#,#TRUE#", 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pictures[3] + " " + c.line);
    platform.shell.messages.clear();
    Start(c.pictures, c.line, {0.0});  // every draw the first: a redrawing search would never end here
    for (int q = 0; q < 6; ++q) {
      ASSERT_EQ(game->card_count, c.cards);
      ASSERT_EQ(VisibleCards(), c.cards);
      std::set<char32_t> initials;
      for (int i = 0; i < c.cards; ++i) initials.insert(lesson->state.task_pictures[game->card_tasks[i]][0]);
      EXPECT_EQ(static_cast<int>(initials.size()), c.cards);
      const int asked = f().question_index;
      AnswerRight();
      EXPECT_EQ(f().question_index, (asked + 1) % 4);
    }
    ASSERT_EQ(platform.shell.messages.size(), c.told ? 1u : 0u);  // once, not at every question
    if (c.told) {
      EXPECT_EQ(platform.shell.messages[0].caption, U"スヴァン選び");
      EXPECT_NE(platform.shell.messages[0].text.find(U"頭文字"), Text::npos);
    }
  }
}

TEST_F(CardPicking, PicksCountOnlyWithTheSetGestureAndNotWhileSpeaking) {
  struct Case {
    std::string line;
    PointerAction answers, ignored;
  };
  const Case cases[] = {{"#TRUE#,1,#FALSE#,#TRUE#", PointerAction::kClick, PointerAction::kMove},
                        {"#TRUE#,1,#TRUE#,#TRUE#", PointerAction::kMove, PointerAction::kClick}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Start(kFour, c.line);
    lesson->OnPointer({c.answers, game->card_pictures[0], 1});  // the prompt is still being spoken
    EXPECT_TRUE(platform.player.played.empty());
    Finish();
    lesson->OnPointer({c.ignored, game->card_pictures[0], 1});
    EXPECT_TRUE(platform.player.played.empty());
    lesson->OnPointer({c.answers, game->card_letters[0], 1});  // the letter answers as its card does
    EXPECT_EQ(f().chosen_index, 0);
    EXPECT_EQ(platform.player.played.size(), 2u);
    Finish();
    lesson->OnPointer({c.answers, game->card_pictures[0], 1});  // answered already
    EXPECT_EQ(platform.player.played.size(), 2u);
    platform.player.played.clear();
  }
}

TEST_F(CardPicking, KeysHAndNStopTheFeedbackTimerAndThePointerCanBeHidden) {
  Start(kFour, "#TRUE#,1,#FALSE#,#FALSE#");
  EXPECT_TRUE(lesson->form.pointer_hidden);
  Finish();
  Pick(1);
  ASSERT_TRUE(feedback_timer().Enabled());
  lesson->OnKey('N');
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kTasks});
}

TEST_F(CardPicking, TheTaskSelectionNeedsFourDifferentInitials) {
  Start({"あめ.jpg", "あり.jpg", "いぬ.jpg", "うし.jpg", "えび.jpg", "おに.jpg"}, "", {});
  ASSERT_TRUE(game->Info().selection_needs_four_initials);
  const std::string before = folder->Read("Fname.txt");
  TaskDialog dialog(lesson->state, game->Info().selection_needs_four_initials);
  dialog.Activate();
  dialog.ClearAll();
  for (std::size_t e : {0, 1, 2, 3}) dialog.SetMark(e, true);  // あ, あ, い, う
  EXPECT_EQ(dialog.Decide(folder->path() / "Fname.txt").decision, TaskDialog::Decision::kTooFewInitials);
  EXPECT_EQ(lesson->state.TaskCount(), 6);
  EXPECT_EQ(folder->Read("Fname.txt"), before);

  dialog.SetMark(4, true);  // え
  EXPECT_EQ(dialog.Decide(folder->path() / "Fname.txt").decision, TaskDialog::Decision::kAccepted);
  EXPECT_EQ(folder->Read("Fname.txt"),
            Cp932("\"あめ.jpg\",#TRUE#\r\n\"あり.jpg\",#TRUE#\r\n\"いぬ.jpg\",#TRUE#\r\n\"うし.jpg\",#TRUE#\r\n"
                  "\"えび.jpg\",#TRUE#\r\n\"おに.jpg\",#FALSE#\r\n"));
  lesson->Activate();
  for (int q = 0; q < 10; ++q) {
    ASSERT_EQ(game->card_count, 4);
    for (int i = 0; i < 4; ++i) EXPECT_NE(lesson->state.task_pictures[game->card_tasks[i]], U"おに.jpg");
    AnswerRight();
  }
}

class SuvanSettingsDialog : public ::testing::Test {
 protected:
  void Open(const std::string& line) {
    folder.Write("Suvan.txt", line);  // without a line end: a rewrite would add one
    ASSERT_EQ(LoadSettings(file(), SettingSlots(settings)).load, SettingsLoad::kRead);
    dialog.Activate();
  }
  std::filesystem::path file() const { return folder / "Suvan.txt"; }

  TempFolder folder;
  Settings settings;
  SettingsDialog dialog{DialogLayout(settings), SettingSlots(settings)};
  enum Frame { kCards, kLetter, kCursor, kTouch };
};

TEST_F(SuvanSettingsDialog, OptionsOfTheFirstTwoFramesStandInARow) {
  const auto& frames = dialog.Layout().frames;
  struct Case {
    Frame frame;
    Text caption;
    std::vector<std::pair<std::string, Text>> options;
    std::vector<std::pair<int, int>> at;
  };
  const Case cases[] = {
      {kCards, U"選択枚数", {{"Option1", U"４枚"}, {"Option2", U"２枚"}}, {{360, 240}, {1560, 240}}},
      {kLetter, U"スヴァン文字", {{"Option3", U"無"}, {"Option4", U"小"}, {"Option5", U"中"}, {"Option6", U"大"}},
       {{240, 240}, {840, 240}, {1440, 240}, {2040, 240}}},
      {kCursor, U"マウスカーソルの表示", {{"Option9", U"有り"}, {"Option10", U"無し"}}, {{240, 240}, {240, 600}}},
      {kTouch, U"タッチの方法", {{"Option7", U"触れるだけ"}, {"Option8", U"クリックする"}}, {{240, 240}, {240, 600}}},
  };
  ASSERT_EQ(frames.size(), 4u);
  for (const Case& c : cases) {
    const OptionFrame& frame = frames[c.frame];
    EXPECT_EQ(frame.caption, c.caption);
    ASSERT_EQ(frame.options.size(), c.options.size());
    for (std::size_t o = 0; o < c.options.size(); ++o) {
      EXPECT_EQ(frame.options[o].name, c.options[o].first);
      EXPECT_EQ(frame.options[o].caption, c.options[o].second);
      EXPECT_EQ(std::make_pair(frame.options[o].rect.left, frame.options[o].rect.top), c.at[o]);
    }
    // Side by side options must not overlap.
    for (std::size_t o = 1; o < c.options.size(); ++o) {
      const TwipRect& a = frame.options[o - 1].rect;
      if (a.top == frame.options[o].rect.top) {
        EXPECT_LE(a.left + a.width, frame.options[o].rect.left);
      }
    }
  }
  EXPECT_EQ(frames[kLetter].rect.top, 1440);
  EXPECT_EQ(frames[kTouch].rect.left, 3240);
  EXPECT_EQ(dialog.Layout().title, U"スヴァン選び設定メニュー");
  EXPECT_EQ(dialog.Layout().execute_button.left, 4680);
}

TEST_F(SuvanSettingsDialog, OnlyAChangeRewritesTheLine) {
  Open("#TRUE#,1,#FALSE#,#TRUE#");
  EXPECT_EQ(dialog.Selected(kCards), 0);   // ４枚
  EXPECT_EQ(dialog.Selected(kLetter), 1);  // 小
  EXPECT_EQ(dialog.Selected(kCursor), 0);  // 有り
  EXPECT_EQ(dialog.Selected(kTouch), 1);   // クリックする
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(folder.Read("Suvan.txt"), "#TRUE#,1,#FALSE#,#TRUE#");

  dialog.Select(kLetter, 2);  // 中
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder.Read("Suvan.txt"), "#TRUE#,2,#FALSE#,#TRUE#\r\n");
  EXPECT_EQ(settings.card_letter_size, 2);
}

TEST_F(SuvanSettingsDialog, AHandEditedFourCardsOfOneShowsTheTwoCardsThatArePlayed) {
  Open("1,1,#FALSE#,#TRUE#");
  EXPECT_EQ(dialog.Selected(kCards), 1);  // ２枚, as the game plays a 1
  // 実行 keeps two cards and writes them as the file's own false.
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(settings.four_cards, kFalse);
  EXPECT_EQ(folder.Read("Suvan.txt"), "#FALSE#,1,#FALSE#,#TRUE#\r\n");
}

TEST_F(SuvanSettingsDialog, AHandEditedLetterSizeSelectsNothingAndIsKept) {
  Open("#TRUE#,5,#FALSE#,#TRUE#");
  EXPECT_EQ(dialog.Selected(kLetter), -1);
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(settings.card_letter_size, 5);
}

}  // namespace
}  // namespace kanae::card_picking
