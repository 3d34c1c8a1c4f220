#include "questions.h"

#include <gtest/gtest.h>

#include <tuple>

#include "game_fixture.h"
#include "picture_library.h"
#include "settings_dialog.h"

namespace kanae::picture_card {
namespace {

using namespace kanae::testing;

constexpr char kByButtons[] = "#TRUE#,#FALSE#,#TRUE#,#FALSE#";
constexpr char kByTouch[] = "#TRUE#,#TRUE#,#TRUE#,#TRUE#";

class PictureCard : public GameFixture<PictureCardGame> {
 protected:
  // いぬ and ねこ: nothing shuffled (four draws), the decoy ねこ, the right picture on side.
  void StartTwo(int correct_side, const std::string& line = "") {
    Start({"いぬ.jpg", "ねこ.jpg"}, line, {0, 0, 0, 0, 0.5, correct_side == 0 ? 0.0 : 0.5});
    ASSERT_EQ(game->correct_side, correct_side);
    platform.player.played.clear();  // the platform fakes outlive a restart
  }
  Control* Picture(int side) { return game->pictures[side]; }
  std::string File(const Text& name) {
    const auto u8 = lesson->PicturePath(name).u8string();
    return std::string(u8.begin(), u8.end());
  }
  static std::tuple<double, double, double, double> Rect(const Control& c) {
    return {c.left, c.top, c.width, c.height};
  }
  ManualTimer& feedback_timer() { return Manual(game->feedback_timer); }
  // The background, the name and both pictures.
  std::vector<const Control*> Everywhere() { return {nullptr, &game->name_row, Picture(0), Picture(1)}; }
};

TEST_F(PictureCard, LaysOutTheNameAndBothPicturesInTwips) {
  struct Case {
    std::string picture;
    Text caption;
    int left, top, width, height, font;
    Text prompt;
  };
  const Case cases[] = {
      {"あ.jpg", U"あ", 8229, 1329, 2742, 2742, 133, U"あ、は、どっちかな"},
      {"あいうえおか.jpg", U"あいうえおか", 1374, 1329, 16452, 2742, 133, U"あいうえおか、は、どっちかな"},
      {"あいうえおかきく.jpg", U"あいうえおかきく", 1068, 1633, 17064, 2133, 104, U"あいうえおかきく、は、どっちかな"},
      // Twelve characters show ten in cells of W / 11; the prompt says all twelve.
      {"あいうえおかきくけこさし.jpg", U"あいうえおかきくけこ", 875, 1827, 17450, 1745, 85,
       U"あいうえおかきくけこさし、は、どっちかな"},
      {".jpg", U"", 9600, 1329, 0, 2742, 133, U"、は、どっちかな"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    Start({c.picture, "ン.jpg"}, "", {0, 0, 0, 0, 0.5, 0.0});
    ASSERT_EQ(Asked(), FromUtf8(c.picture));
    const Control& name = game->name_row;
    EXPECT_EQ(Rect(name), std::make_tuple(double(c.left), double(c.top), double(c.width), double(c.height)));
    EXPECT_EQ(name.font_points, c.font);
    EXPECT_EQ(name.caption, c.caption);
    EXPECT_TRUE(name.visible);
    EXPECT_EQ(LastSpoken(), c.prompt);
    EXPECT_TRUE(f().is_speaking);

    EXPECT_EQ(Rect(*Picture(0)), std::make_tuple(1200.0, 5400.0, 7680.0, 4320.0));
    EXPECT_EQ(Rect(*Picture(1)), std::make_tuple(10320.0, 5400.0, 7680.0, 4320.0));
    EXPECT_EQ(Picture(0)->picture, File(FromUtf8(c.picture)));
    EXPECT_EQ(Picture(1)->picture, File(U"ン.jpg"));
    EXPECT_TRUE(Picture(0)->visible && Picture(1)->visible);

    EXPECT_EQ(game->cross.caption, U"×");
    EXPECT_EQ(game->cross.font_points, 384);
    EXPECT_EQ(Rect(game->cross), std::make_tuple(0.0, 0.0, 0.0, 0.0));
  }
}

TEST_F(PictureCard, ARightPictureFillsTheWindowAndAWrongOneIsCrossed) {
  struct Case {
    int correct_side, chosen;
  };
  for (const Case c : {Case{0, 0}, Case{0, 1}, Case{1, 1}, Case{1, 0}}) {
    SCOPED_TRACE(::testing::Message() << "correct " << c.correct_side << " chosen " << c.chosen);
    StartTwo(c.correct_side);
    Finish();
    Click(Picture(c.chosen));
    const bool right = c.chosen == c.correct_side;
    const double left = 9120.0 * c.chosen + 1200;
    const double other_left = 9120.0 * (1 - c.chosen) + 1200;
    EXPECT_EQ(f().chosen_index, c.chosen);
    EXPECT_NE(lesson->Mode(), LessonMode::kAsking);
    EXPECT_TRUE(f().is_speaking);
    EXPECT_TRUE(feedback_timer().Enabled());
    if (right) {
      EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ピンポン.wav"});
      EXPECT_EQ(LastSpoken(), U"よくできました。これが、いぬ、だね。");
      EXPECT_EQ(Rect(*Picture(c.chosen)), std::make_tuple(0.0, 0.0, W, H));
      EXPECT_EQ(Rect(*Picture(1 - c.chosen)), std::make_tuple(other_left, 5400.0, 0.0, 0.0));
      EXPECT_GT(Picture(c.chosen)->z, game->name_row.z);  // it covers the name
      EXPECT_EQ(Rect(game->cross), std::make_tuple(0.0, 0.0, 0.0, 0.0));
      EXPECT_EQ(f().question_index, 1);
    } else {
      EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
      EXPECT_EQ(LastSpoken(), U"ざんねん");
      EXPECT_EQ(Rect(game->cross), std::make_tuple(left, 4680.0, 7680.0, 5760.0));
      EXPECT_TRUE(game->cross.visible);
      EXPECT_GT(game->cross.z, Picture(1)->z);  // the cross stands over either picture
      EXPECT_EQ(Rect(*Picture(c.chosen)), std::make_tuple(left, 5400.0, 7680.0, 4320.0));
      EXPECT_EQ(f().question_index, 0);
    }
  }
}

TEST_F(PictureCard, LeftRightMethodTakesOnlyTheButtonWhereverItIsPressed) {
  enum Where { kBackground, kName, kLeftPicture, kRightPicture };
  struct Case {
    Where where;
    int button;
    int side;
  };
  const Case cases[] = {
      {kLeftPicture, 2, 1}, {kBackground, 1, 0}, {kName, 1, 0}, {kName, 2, 1}, {kRightPicture, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "where " << c.where << " button " << c.button);
    StartTwo(0, kByButtons);
    Finish();
    // Pointing at a picture is no answer with this method.
    for (int side = 0; side < 2; ++side) {
      Move(Picture(side));
      Click(Picture(side));
    }
    ASSERT_TRUE(platform.player.played.empty());
    ASSERT_EQ(lesson->Mode(), LessonMode::kAsking);

    const Control* at = c.where == kBackground ? nullptr
                        : c.where == kName     ? &game->name_row
                                               : Picture(c.where == kLeftPicture ? 0 : 1);
    Press(at, c.button);
    EXPECT_EQ(f().chosen_index, c.side);
    EXPECT_EQ(platform.player.Played(), std::vector<Text>{c.side == 0 ? U"ピンポン.wav" : U"ブー.wav"});
  }
}

TEST_F(PictureCard, AMiddleButtonPressNamesNoSideAndIsIgnored) {
  StartTwo(1, kByButtons);
  Finish();
  for (const Control* at : Everywhere()) {
    Press(at, 4);
  }
  Press(nullptr, 8);  // an extra side button
  EXPECT_TRUE(platform.player.played.empty());
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
  EXPECT_FALSE(feedback_timer().Enabled());

  Press(nullptr, 2);  // the question is still open
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ピンポン.wav"});
}

TEST_F(PictureCard, PictureMethodAnswersOnlyWithTheRightGestureOnAPicture) {
  struct Case {
    const char* line;
    PointerAction answers, ignored;
  };
  const Case cases[] = {
      {"", PointerAction::kClick, PointerAction::kMove},
      {kByTouch, PointerAction::kMove, PointerAction::kClick},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    StartTwo(0, c.line);
    Finish();
    for (const Control* at : Everywhere()) {
      for (int button : {1, 2, 4}) Press(at, button);
      lesson->OnPointer({c.ignored, at, 1});
      if (at == nullptr || at == &game->name_row) lesson->OnPointer({c.answers, at, 1});
    }
    ASSERT_TRUE(platform.player.played.empty());
    ASSERT_EQ(lesson->Mode(), LessonMode::kAsking);

    lesson->OnPointer({c.answers, Picture(1), 1});
    EXPECT_EQ(f().chosen_index, 1);
    EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
  }
}

TEST_F(PictureCard, ChoicesAreIgnoredWhileSpeakingDuringACueAndAfterAnAnswer) {
  StartTwo(0);
  Click(Picture(0));  // the prompt is still being spoken
  EXPECT_TRUE(platform.player.played.empty());
  Finish();

  platform.player.playing = true;  // a cue still sounds
  Click(Picture(0));
  EXPECT_TRUE(platform.player.played.empty());
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
  platform.player.playing = false;

  Click(Picture(1));
  ASSERT_EQ(platform.player.played.size(), 1u);
  Click(Picture(0));  // the retry message is being spoken
  Finish();
  Click(Picture(0));  // said, but the question is judged until the next tick
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
  EXPECT_EQ(Rect(game->cross), std::make_tuple(10320.0, 4680.0, 7680.0, 5760.0));
}

TEST_F(PictureCard, AWrongAnswerAsksTheSameNameWithANewDecoyAndSides) {
  // いぬ, とり, ねこ: six draws leave the order; decoy Int(0.5 * 3) = とり on the right;
  // the retry draw; then decoy Int(0.9 * 3) = ねこ and the right picture on side 1.
  Start({"いぬ.jpg", "とり.jpg", "ねこ.jpg"}, "", {0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0.9, 0.9});
  ASSERT_EQ(game->decoy_picture, U"とり.jpg");
  Finish();
  Click(Picture(1));
  ASSERT_EQ(LastSpoken(), U"ざんねん");

  feedback_timer().Tick();  // still speaking: the cross stays
  EXPECT_EQ(game->cross.width, 7680);
  Finish();
  feedback_timer().Tick();
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_EQ(f().question_index, 0);
  EXPECT_EQ(LastSpoken(), U"いぬ、は、どっちかな");
  EXPECT_EQ(game->decoy_picture, U"ねこ.jpg");
  EXPECT_EQ(game->correct_side, 1);
  EXPECT_EQ(Picture(1)->picture, File(U"いぬ.jpg"));
  EXPECT_EQ(Picture(0)->picture, File(U"ねこ.jpg"));
  EXPECT_EQ(Rect(game->cross), std::make_tuple(0.0, 0.0, 0.0, 0.0));
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
}

TEST_F(PictureCard, RightAnswersWalkTheListAndReshuffleAfterTheLast) {
  // Question 1: decoy 0.5, side 0; praise; question 2: decoy 0 (いぬ), side 0;
  // praise; the new order (four draws); question 3: decoy 0.5, side 0.
  StartTwo(0);
  scripted->Append({0, 0, 0, 0, 0, 0, 0, 0, 0.5, 0});
  const int shuffles = scripted->reseeds;
  const Text expected[] = {U"いぬ.jpg", U"ねこ.jpg", U"いぬ.jpg"};
  for (const Text& asked : expected) {
    ASSERT_EQ(Asked(), asked);
    EXPECT_NE(game->decoy_picture, asked);  // two tasks: always the other one
    Finish();
    Click(Picture(game->correct_side));
    feedback_timer().Tick();  // the praise goes on: the picture still fills the window
    EXPECT_EQ(Picture(game->correct_side)->width, W);
    Finish();
    feedback_timer().Tick();
  }
  EXPECT_EQ(scripted->reseeds, shuffles + 1);
  EXPECT_EQ(f().question_index, 1);
}

TEST_F(PictureCard, PicturesWithTheSameNameCountOnlyOnTheRightSide) {
  Start({"いぬ.gif", "いぬ.jpg"}, "", {0, 0, 0, 0, 0.5, 0.0});
  ASSERT_EQ(game->name_row.caption, U"いぬ");
  Finish();
  Click(Picture(1));  // いぬ.jpg reads the same but is not the asked picture
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
}

TEST_F(PictureCard, TooFewTasksNeitherHangNorCrash) {
  StartTwo(0);
  Finish();
  auto& tasks = lesson->state.task_pictures;

  // One task: another picture of the folder is the decoy.
  tasks = {U"ねこ.jpg"};
  f().question_index = 0;
  game->NextQuestion();
  EXPECT_EQ(game->decoy_picture, U"いぬ.jpg");
  EXPECT_EQ(LastSpoken(), U"ねこ、は、どっちかな");
  Finish();
  Click(Picture(game->correct_side));
  EXPECT_EQ(platform.player.Played().back(), U"ピンポン.wav");
  EXPECT_EQ(f().question_index, 0);
  Finish();
  feedback_timer().Tick();
  EXPECT_EQ(Asked(), U"ねこ.jpg");

  // One picture in all: it is shown on both sides and only its own side counts.
  lesson->state.picture_files = {U"ねこ.jpg"};
  game->NextQuestion();
  EXPECT_EQ(Picture(0)->picture, Picture(1)->picture);
  Finish();
  Click(Picture(1 - game->correct_side));
  EXPECT_EQ(platform.player.Played().back(), U"ブー.wav");

  // No task: nothing is shown or said, and no choice is taken.
  tasks.clear();
  const std::size_t said = platform.speech.spoken.size();
  Finish();
  game->NextQuestion();
  EXPECT_FALSE(game->name_row.visible || Picture(0)->visible || Picture(1)->visible);
  EXPECT_EQ(platform.speech.spoken.size(), said);
  const std::size_t cues = platform.player.played.size();
  EXPECT_NE(lesson->Mode(), LessonMode::kAsking);  // input reaches the game only while it asks
  Click(Picture(0));
  Press(nullptr, 1);
  EXPECT_EQ(platform.player.played.size(), cues);
}

TEST_F(PictureCard, ARandomSourceStuckOnTheAskedPictureCannotHangTheDraw) {
  Start({"いぬ.jpg", "ねこ.jpg"}, "", {0.0});  // every draw is 0: always the asked entry
  EXPECT_EQ(game->decoy_picture, U"ねこ.jpg");
  EXPECT_EQ(scripted->used(), 4u + PictureCardGame::kMostDecoyDraws + 1);
}

TEST_F(PictureCard, SettingsShapeThePromptAndThePointer) {
  struct Case {
    std::string line;
    Text prompt;
    bool hidden;
  };
  const Case cases[] = {
      {"#TRUE#,#FALSE#,#TRUE#,#TRUE#", U"いぬ、は、どっちかな", false},
      {"#FALSE#,#FALSE#,#FALSE#,#TRUE#", U"この名前は、どっちかな", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    StartTwo(0, c.line);
    EXPECT_EQ(LastSpoken(), c.prompt);
    EXPECT_EQ(lesson->form.pointer_hidden, c.hidden);
  }
}

TEST_F(PictureCard, KeyHSilencesTheFeedbackAndStopsItsTimer) {
  StartTwo(0);
  Finish();
  Click(Picture(0));
  ASSERT_TRUE(feedback_timer().Enabled());
  lesson->OnKey('H');
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_EQ(platform.speech.stops, 1);
  EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kSettings});
}

// The settings dialog.
class PictureCardDialog : public PictureCard {
 protected:
  void SetUp() override {
    StartTwo(0);
    dialog = std::make_unique<SettingsDialog>(game->SettingsDialog(), game->Settings());
    dialog->Activate();
  }
  std::filesystem::path file() const { return *folder / "Vintal.txt"; }
  std::unique_ptr<SettingsDialog> dialog;
  enum Frame { kQuestion, kTouch, kCursor, kMethod };
};

TEST_F(PictureCardDialog, FramesAndOptionsStandWhereTheyBelong) {
  const SettingsDialogLayout& layout = dialog->Layout();
  EXPECT_EQ(layout.title, U"ヴィンタえらび設定");
  auto rect = [](const TwipRect& r) { return std::make_tuple(r.left, r.top, r.width, r.height); };
  EXPECT_EQ(rect(layout.title_rect), std::make_tuple(1560, 360, 2130, 285));
  EXPECT_EQ(std::make_pair(layout.client_width, layout.client_height), std::make_pair(5190, 4125));
  EXPECT_EQ(rect(layout.execute_button), std::make_tuple(1560, 3240, 1095, 375));
  EXPECT_EQ(rect(layout.cancel_button), std::make_tuple(360, 3240, 1095, 375));
  EXPECT_EQ(rect(layout.frame_rect), std::make_tuple(120, 120, 4935, 3855));

  struct Option {
    std::string name;
    Text caption;
    int width;
  };
  struct Case {
    Text caption;
    std::tuple<int, int, int, int> frame;
    const std::int16_t* setting;
    Option on, off;
  };
  const Case cases[] = {
      {U"問題設定", {360, 840, 2295, 975}, &game->settings.ask_with_name,
       {"Option1", U"～は、どっち", 1335}, {"Option2", U"このなまえは、どっち", 1935}},
      {U"タッチの方法", {2880, 840, 1935, 975}, &game->settings.touch_mode,
       {"Option3", U"触れるだけ", 1215}, {"Option4", U"クリックする", 1335}},
      {U"マウスカーソルの表示", {360, 2040, 2295, 975}, &game->settings.cursor_visible,
       {"Option5", U"有り", 975}, {"Option6", U"無し", 855}},
      {U"選択方法", {2880, 2040, 1935, 975}, &game->settings.choose_by_picture,
       {"Option7", U"絵を選択", 1335}, {"Option8", U"左右ボタン", 1335}},
  };
  ASSERT_EQ(layout.frames.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const OptionFrame& frame = layout.frames[i];
    SCOPED_TRACE(ToUtf8(c.caption));
    EXPECT_EQ(frame.caption, c.caption);
    EXPECT_EQ(rect(frame.rect), c.frame);
    EXPECT_EQ(frame.setting, c.setting);
    EXPECT_TRUE(frame.boolean);
    ASSERT_EQ(frame.options.size(), 2u);
    int k = 0;
    for (const Option& o : {c.on, c.off}) {
      const OptionButton& b = frame.options[k];
      EXPECT_EQ(b.name, o.name);
      EXPECT_EQ(b.caption, o.caption);
      EXPECT_EQ(rect(b.rect), std::make_tuple(240, 240 + 360 * k, o.width, 255));
      EXPECT_EQ(b.value, k == 0 ? -1 : 0);
      ++k;
    }
  }
}

TEST_F(PictureCardDialog, ChoosingTheButtonsWritesFalseFourthAndTheButtonsAnswerNext) {
  const std::string before = folder->Read("Vintal.txt");
  ASSERT_EQ(before, "#TRUE#,#FALSE#,#TRUE#,#TRUE#\r\n");
  EXPECT_EQ(dialog->Selected(kMethod), 0);  // 絵を選択
  EXPECT_EQ(dialog->Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(folder->Read("Vintal.txt"), before);

  dialog->Select(kMethod, 1);  // 左右ボタン
  EXPECT_EQ(dialog->Apply(file()).applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder->Read("Vintal.txt"), "#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n");

  scripted->Append({0, 0, 0, 0, 0.5, 0.0});
  lesson->Activate();  // back to the game window
  Finish();
  Click(Picture(0));
  EXPECT_TRUE(platform.player.played.empty());
  Press(Picture(0), 2);
  EXPECT_EQ(f().chosen_index, 1);
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
}

TEST_F(PictureCardDialog, ACancelledChoiceIsForgottenAtTheNextActivation) {
  dialog->Select(kMethod, 1);
  dialog->Activate();  // キャンセル, then H again
  EXPECT_EQ(dialog->Selected(kMethod), 0);
  EXPECT_EQ(game->settings.choose_by_picture, kTrue);
}

}  // namespace
}  // namespace kanae::picture_card
