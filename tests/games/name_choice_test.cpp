#include "questions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "game_fixture.h"
#include "picture_library.h"
#include "settings_dialog.h"

namespace kanae::name_choice {
namespace {

using namespace kanae::testing;

// Pictures are listed by character code and, with every random number 0, the
// shuffle leaves them in place, the decoy is the next task and the right name
// stands on the left.
class NameChoice : public GameFixture<NameChoiceGame> {
 protected:
  Control& Column(int side) { return *game->name_columns[side]; }
  void ClickSide(int side) { Click(game->name_columns[side]); }
  void MoveSide(int side) { Move(game->name_columns[side]); }
  ManualTimer& feedback_timer() { return Manual(game->feedback_timer); }
  std::tuple<double, double, double, double> Rect(const Control& c) { return {c.left, c.top, c.width, c.height}; }
  // Ends the feedback: the message ends, then feedback_timer ticks.
  void EndFeedback() {
    Finish();
    feedback_timer().Tick();
  }
};

TEST_F(NameChoice, ColumnsAreSizedByTheNameAndCentredInTheirQuarter) {
  Start({"あ.jpg", "い.jpg"});
  struct Case {
    int n, cut, w, h, top, left0, font;
  };
  const Case cases[] = {
      {2, 2, 1542, 3084, 3858, 1629, 75},
      {6, 6, 1542, 9252, 774, 1629, 75},
      {8, 8, 1200, 9600, 600, 1800, 58},
      {12, 10, 981, 9810, 495, 1909, 47},
      {0, 0, 1542, 0, 5400, 1629, 75},
  };
  for (const Case& c : cases) {
    for (int side = 0; side < 2; ++side) {
      SCOPED_TRACE(::testing::Message() << c.n << " characters, side " << side);
      int n = c.n;
      game->PlaceNameColumn(side, n);
      EXPECT_EQ(n, c.cut);
      const double left = c.left0 + side * 14400;
      EXPECT_EQ(Rect(Column(side)), std::make_tuple(left, double(c.top), double(c.w), double(c.h)));
      EXPECT_EQ(Column(side).font_points, c.font);
    }
  }
}

TEST_F(NameChoice, AQuestionShowsThePictureBetweenBothNames) {
  Start({"あいうえおかきくけこさし.jpg", "いぬ.jpg"});
  EXPECT_EQ(Asked(), U"あいうえおかきくけこさし.jpg");
  EXPECT_EQ(game->correct_side, 0);
  EXPECT_EQ(game->decoy_index, 1);
  EXPECT_EQ(Rect(game->picture), std::make_tuple(4800.0, 2700.0, 9600.0, 5400.0));
  EXPECT_TRUE(game->picture.visible);
  EXPECT_NE(game->picture.picture.find("あいうえおかきくけこさし.jpg"), std::string::npos);
  // The long name is cut to ten cells; the short one keeps the widest column.
  EXPECT_EQ(Column(0).caption, U"あいうえおかきくけこ");
  EXPECT_EQ(Rect(Column(0)), std::make_tuple(1909.0, 495.0, 981.0, 9810.0));
  EXPECT_EQ(Column(1).caption, U"いぬ");
  EXPECT_EQ(Rect(Column(1)), std::make_tuple(16029.0, 3858.0, 1542.0, 3084.0));
  EXPECT_TRUE(Column(0).visible && Column(1).visible);
  EXPECT_EQ(Column(0).back_colour, kWhite);
  // The cross waits out of sight, in its start-up font size.
  EXPECT_TRUE(game->cross.visible);
  EXPECT_EQ(Rect(game->cross), std::make_tuple(0.0, 0.0, 0.0, 0.0));
  EXPECT_EQ(game->cross.font_points, 320);
  EXPECT_EQ(game->cross.caption, U"×");
  // Front to back: the cross, the right column, the picture, the left column.
  EXPECT_GT(game->cross.z, Column(1).z);
  EXPECT_GT(Column(1).z, game->picture.z);
  EXPECT_GT(game->picture.z, Column(0).z);
  // The prompt and the praise say the whole name.
  EXPECT_EQ(LastSpoken(), U"あいうえおかきくけこさし、は、どっちかな");
  EXPECT_TRUE(f().is_speaking);
  Finish();
  ClickSide(0);
  EXPECT_EQ(LastSpoken(), U"よくできました。これが、あいうえおかきくけこさし、だね。");
}

TEST_F(NameChoice, TheRightNameTakesTheDrawnSide) {
  // Two tasks: four shuffle draws, then the decoy, then the side.
  Start({"いぬ.jpg", "ねこ.jpg"}, "", {0, 0, 0, 0, 0, 0.5});
  EXPECT_EQ(game->correct_side, 1);
  EXPECT_EQ(Column(1).caption, U"いぬ");
  EXPECT_EQ(Column(0).caption, U"ねこ");
  EXPECT_EQ(Column(1).left, 16029);
}

TEST_F(NameChoice, LongVowelMarksStandUprightInTheColumn) {
  struct Case {
    Text name;
    int n;
    Text caption;
  };
  const Case cases[] = {
      {U"ケーキ", 3, U"ケ｜キ"},
      {U"ラ－メン", 4, U"ラ｜メン"},  // the full-width hyphen
      {U"コーヒーカップ", 3, U"コ｜ヒ"},
      {U"いぬ", 10, U"いぬ"},
      {U"", 0, U""},
  };
  for (const Case& c : cases) EXPECT_EQ(VerticalText(c.name, c.n), c.caption) << ToUtf8(c.name);

  // Only the display changes: the name is spoken as it is written.
  Start({"ケーキ.jpg", "ラーメン.jpg"});
  EXPECT_EQ(Column(0).caption, U"ケ｜キ");
  EXPECT_EQ(Column(1).caption, U"ラ｜メン");
  EXPECT_EQ(LastSpoken(), U"ケーキ、は、どっちかな");
  Finish();
  ClickSide(0);
  EXPECT_EQ(LastSpoken(), U"よくできました。これが、ケーキ、だね。");
}

TEST_F(NameChoice, SettingsShapeThePromptAndThePointer) {
  struct Case {
    std::string line;
    Text prompt;
    bool pointer_hidden;
  };
  const Case cases[] = {
      {"", U"いぬ、は、どっちかな", false},
      {"#FALSE#,#FALSE#,#TRUE#", U"この名前は、どっちかな", false},
      {"#TRUE#,#FALSE#,#FALSE#", U"いぬ、は、どっちかな", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Start({"いぬ.jpg", "ねこ.jpg"}, c.line);
    EXPECT_EQ(LastSpoken(), c.prompt);
    EXPECT_EQ(lesson->form.pointer_hidden, c.pointer_hidden);
    if (c.line.empty()) {
      EXPECT_EQ(folder->Read("Quoma.txt"), "#TRUE#,#FALSE#,#TRUE#\r\n");
    }
  }
}

TEST_F(NameChoice, AnEmptyNameGivesAColumnThatCannotBeChosen) {
  Start({".jpg", "いぬ.jpg"});
  ASSERT_EQ(Asked(), U".jpg");
  EXPECT_EQ(LastSpoken(), U"、は、どっちかな");
  EXPECT_EQ(Column(0).caption, U"");
  EXPECT_EQ(Column(0).height, 0);
  Finish();
  // The window finds nothing to hit there, and the game ignores it if told.
  EXPECT_NE(lesson->form.HitTest(Column(0).left + 10, Column(0).top), &Column(0));
  ClickSide(0);
  EXPECT_TRUE(platform.player.played.empty());
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
  ClickSide(1);
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
}

TEST_F(NameChoice, ARightChoiceFillsTheWindowWithThePictureAndGoesOn) {
  Start({"いぬ.jpg", "ねこ.jpg", "りす.jpg"});
  const Text first = Asked();
  const auto column_top_left = std::make_tuple(Column(1).left, Column(1).top);
  Finish();
  ClickSide(game->correct_side);
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ピンポン.wav"});
  EXPECT_EQ(LastSpoken(), U"よくできました。これが、" + NameOfPicture(first) + U"、だね。");
  EXPECT_EQ(Rect(game->picture), std::make_tuple(0.0, 0.0, W, H));
  for (int side = 0; side < 2; ++side) EXPECT_EQ(Column(side).width + Column(side).height, 0);
  EXPECT_EQ(std::make_tuple(Column(1).left, Column(1).top), column_top_left);
  EXPECT_EQ(f().question_index, 1);
  EXPECT_TRUE(feedback_timer().Enabled());

  feedback_timer().Tick();  // the praise is still being spoken
  EXPECT_EQ(Rect(game->picture), std::make_tuple(0.0, 0.0, W, H));
  EndFeedback();
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_NE(Asked(), first);
  EXPECT_EQ(Rect(game->picture), std::make_tuple(4800.0, 2700.0, 9600.0, 5400.0));
  EXPECT_GT(Column(0).height, 0);
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
}

TEST_F(NameChoice, AWrongChoiceCrossesTheChosenNameAndAsksAgain) {
  struct Case {
    int chosen;
    double cross_left;
  };
  for (const Case c : {Case{1, 13536}, Case{0, -864}}) {
    SCOPED_TRACE(c.chosen);
    // The right side is 1 - chosen; after the retry (one draw) it moves over.
    const double side = c.chosen == 0 ? 0.5 : 0.0;
    const double next_side = c.chosen == 0 ? 0.0 : 0.5;
    Start({"いぬ.jpg", "ねこ.jpg", "りす.jpg"}, "", {0, 0, 0, 0, 0, 0, 0.6, side, 0, 0.6, next_side});
    ASSERT_EQ(game->correct_side, 1 - c.chosen);
    const Text asked = Asked();
    Finish();
    ClickSide(c.chosen);
    EXPECT_EQ(platform.player.Played().back(), U"ブー.wav");
    EXPECT_EQ(LastSpoken(), U"ざんねん");
    EXPECT_EQ(Rect(game->cross), std::make_tuple(c.cross_left, 3060.0, 5760.0, 4320.0));
    EXPECT_EQ(f().question_index, 0);
    EXPECT_TRUE(feedback_timer().Enabled());

    feedback_timer().Tick();
    EXPECT_EQ(game->cross.width, 5760);  // still speaking
    EndFeedback();
    EXPECT_EQ(Asked(), asked);
    EXPECT_EQ(game->cross.width, 0);
    EXPECT_EQ(game->correct_side, c.chosen);
    EXPECT_EQ(LastSpoken(), NameOfPicture(asked) + U"、は、どっちかな");
  }
}

TEST_F(NameChoice, TheDecoyIsAnotherTaskEachAsLikely) {
  // Two tasks: always the other one; three: both others turn up, never the
  // asked one. Wrong answers ask the same picture again with a new decoy.
  for (const int tasks : {2, 3}) {
    SCOPED_TRACE(tasks);
    const std::vector<std::string> pictures = {"いぬ.jpg", "ねこ.jpg", "りす.jpg"};
    Start(std::vector<std::string>(pictures.begin(), pictures.begin() + tasks), "", {});
    for (int asked = 0; asked < tasks; ++asked) {
      ASSERT_EQ(f().question_index, asked);
      std::set<int> seen;
      for (int retry = 0; retry < 20; ++retry) {
        ASSERT_NE(game->decoy_index, asked);
        ASSERT_GE(game->decoy_index, 0);
        ASSERT_LT(game->decoy_index, tasks);
        seen.insert(game->decoy_index);
        const Text decoy = NameOfPicture(lesson->state.task_pictures[game->decoy_index]);
        EXPECT_EQ(Column(1 - game->correct_side).caption, decoy);
        Finish();
        ClickSide(retry < 19 ? 1 - game->correct_side : game->correct_side);
        EndFeedback();
      }
      EXPECT_EQ(static_cast<int>(seen.size()), tasks - 1) << asked;
    }
  }
}

TEST_F(NameChoice, TwoPicturesNamedAlikeCountOnlyTheRightSide) {
  Start({"いぬ.gif", "いぬ.jpg"});
  EXPECT_EQ(Column(0).caption, Column(1).caption);
  Finish();
  ClickSide(1 - game->correct_side);
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ブー.wav"});
  EndFeedback();
  Finish();
  ClickSide(game->correct_side);
  EXPECT_EQ(platform.player.Played().back(), U"ピンポン.wav");
}

TEST_F(NameChoice, OnlyTheGestureOfTheTouchModeOnANameAnswers) {
  struct Case {
    std::string line;
    PointerAction action;
    bool on_name;
    bool answers;
  };
  const Case cases[] = {
      {"#TRUE#,#FALSE#,#TRUE#", PointerAction::kClick, true, true},
      {"#TRUE#,#FALSE#,#TRUE#", PointerAction::kMove, true, false},
      {"#TRUE#,#TRUE#,#TRUE#", PointerAction::kMove, true, true},
      {"#TRUE#,#TRUE#,#TRUE#", PointerAction::kClick, true, false},
      {"#TRUE#,#FALSE#,#TRUE#", PointerAction::kClick, false, false},
      {"#TRUE#,#TRUE#,#TRUE#", PointerAction::kMove, false, false},
      {"#TRUE#,#FALSE#,#TRUE#", PointerAction::kPress, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.line << " action " << int(c.action) << " on name " << c.on_name);
    Start({"いぬ.jpg", "ねこ.jpg"}, c.line);
    Finish();
    if (c.on_name) {
      lesson->OnPointer({c.action, &Column(1), 1});
    } else {
      for (const Control* other : {static_cast<const Control*>(&game->picture), static_cast<const Control*>(nullptr)}) {
        lesson->OnPointer({c.action, other, 1});
      }
    }
    EXPECT_EQ(lesson->Mode() == LessonMode::kFeedback, c.answers);
    EXPECT_EQ(platform.player.played.size(), c.answers ? 1u : 0u);
    platform.player.played.clear();
  }
}

TEST_F(NameChoice, ChoicesAreIgnoredWhileSpeakingDuringACueAndAfterAnAnswer) {
  Start({"いぬ.jpg", "ねこ.jpg"});
  ClickSide(game->correct_side);  // the prompt is still being spoken
  EXPECT_TRUE(platform.player.played.empty());
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);

  Finish();
  platform.player.playing = true;  // a cue has not ended yet
  ClickSide(game->correct_side);
  EXPECT_TRUE(platform.player.played.empty());
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
  platform.player.playing = false;

  ClickSide(1 - game->correct_side);
  ASSERT_EQ(platform.player.played.size(), 1u);
  Finish();  // the retry message has ended, the timer has not ticked yet
  ClickSide(game->correct_side);
  EXPECT_EQ(platform.player.played.size(), 1u);
  EXPECT_EQ(f().question_index, 0);
}

TEST_F(NameChoice, AfterTheLastPictureANewOrderBegins) {
  Start({"いぬ.jpg", "ねこ.jpg", "りす.jpg"});
  const int shuffles = scripted->reseeds;
  for (int q = 0; q < 3; ++q) {
    Finish();
    ClickSide(game->correct_side);
    EndFeedback();
  }
  EXPECT_EQ(f().question_index, 0);
  EXPECT_EQ(scripted->reseeds, shuffles + 1);
  EXPECT_TRUE(Column(0).visible && Column(1).visible);
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
}

TEST_F(NameChoice, KeysHAndNStopTheFeedbackTimer) {
  Start({"いぬ.jpg", "ねこ.jpg"});
  Finish();
  ClickSide(game->correct_side);
  ASSERT_TRUE(feedback_timer().Enabled());
  lesson->OnKey('N');
  EXPECT_FALSE(feedback_timer().Enabled());
  EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kTasks});
  lesson->LeaveDialog(DialogKind::kTasks);  // the lesson starts again
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
  EXPECT_EQ(f().question_index, 0);
}

// Fewer than two tasks leave no second name to draw: the lesson plays every
// picture instead, and a question on its own never waits for a decoy.
TEST_F(NameChoice, TooFewTasksNeitherHangNorCrash) {
  TempFolder lesson_folder;
  FakePlatform p;
  Lesson l(p.services(), cwd.path());
  NameChoiceGame g(l);
  lesson_folder.Touch({"いぬ.jpg", "ねこ.jpg"});
  lesson_folder.Write("Fname.txt", "\"いぬ.jpg\",#TRUE#\r\n\"ねこ.jpg\",#FALSE#\r\n");
  ASSERT_TRUE(l.Start({lesson_folder.path().string()}, g));
  EXPECT_EQ(l.state.TaskCount(), 2);
  l.Activate();
  EXPECT_EQ(g.decoy_index, 1 - l.fields.question_index);

  // Left with one task anyway: one name, and it can be answered.
  Start({"いぬ.jpg", "ねこ.jpg"});
  lesson->state.task_pictures = {U"ねこ.jpg"};
  lesson->Activate();
  EXPECT_EQ(game->decoy_index, -1);
  EXPECT_EQ(Column(game->correct_side).caption, U"ねこ");
  EXPECT_EQ(Column(1 - game->correct_side).height, 0);
  Finish();
  ClickSide(1 - game->correct_side);
  EXPECT_TRUE(platform.player.played.empty());
  ClickSide(game->correct_side);
  EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"ピンポン.wav"});
  EndFeedback();
  EXPECT_EQ(Asked(), U"ねこ.jpg");
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);

  // No task at all: nothing is shown, said or answerable.
  lesson->state.task_pictures.clear();
  const std::size_t spoken = platform.speech.spoken.size();
  lesson->Activate();
  EXPECT_EQ(platform.speech.spoken.size(), spoken);
  EXPECT_FALSE(game->picture.visible || Column(0).visible || Column(1).visible);
  ClickSide(0);
  EXPECT_EQ(platform.player.played.size(), 1u);
}

class QuomaSettingsDialog : public ::testing::Test {
 protected:
  void Open(const std::string& line) {
    folder.Write("Quoma.txt", line);
    ASSERT_EQ(LoadSettings(file(), SettingSlots(settings)).load, SettingsLoad::kRead);
    dialog.Activate();
  }
  std::filesystem::path file() const { return folder / "Quoma.txt"; }

  TempFolder folder;
  Settings settings;
  SettingsDialog dialog{DialogLayout(settings), SettingSlots(settings)};
  enum Frame { kQuestion, kTouch, kCursor };
};

TEST_F(QuomaSettingsDialog, ControlsStandWhereTheTeacherExpectsThem) {
  const SettingsDialogLayout& layout = dialog.Layout();
  EXPECT_EQ(layout.title, U"クオマ選び設定");
  auto tuple = [](const TwipRect& r) { return std::make_tuple(r.left, r.top, r.width, r.height); };
  EXPECT_EQ(tuple(layout.title_rect), std::make_tuple(1920, 360, 1800, 285));
  EXPECT_EQ(std::make_pair(layout.client_width, layout.client_height), std::make_pair(5565, 3540));
  EXPECT_EQ(tuple(layout.cancel_button), std::make_tuple(2880, 2160, 1095, 375));
  EXPECT_EQ(tuple(layout.execute_button), std::make_tuple(4080, 2160, 1095, 375));
  EXPECT_EQ(tuple(layout.frame_rect), std::make_tuple(120, 120, 5295, 3255));

  struct Option {
    std::string name;
    Text caption;
    std::tuple<int, int, int, int> rect;
    std::int16_t value;
  };
  struct FrameCase {
    Text caption;
    std::tuple<int, int, int, int> rect;
    const std::int16_t* setting;
    Option options[2];
  };
  const FrameCase frames[] = {
      {U"問題設定", {360, 840, 2295, 975}, &settings.ask_with_name,
       {{"Option1", U"～は、どっち", {240, 240, 1335, 255}, kTrue},
        {"Option2", U"このなまえは、どっち", {240, 600, 1935, 255}, kFalse}}},
      {U"タッチの方法", {2880, 840, 2295, 975}, &settings.touch_mode,
       {{"Option3", U"触れるだけ", {240, 240, 1335, 255}, kTrue},
        {"Option4", U"クリックする", {240, 600, 1335, 255}, kFalse}}},
      {U"マウスカーソルの表示", {360, 2040, 2295, 975}, &settings.cursor_visible,
       {{"Option5", U"有り", {240, 240, 1095, 255}, kTrue}, {"Option6", U"無し", {240, 600, 1095, 255}, kFalse}}},
  };
  ASSERT_EQ(layout.frames.size(), std::size(frames));
  for (std::size_t i = 0; i < std::size(frames); ++i) {
    const OptionFrame& frame = layout.frames[i];
    SCOPED_TRACE(ToUtf8(frames[i].caption));
    EXPECT_EQ(frame.caption, frames[i].caption);
    EXPECT_EQ(tuple(frame.rect), frames[i].rect);
    EXPECT_EQ(frame.setting, frames[i].setting);
    EXPECT_TRUE(frame.boolean);
    ASSERT_EQ(frame.options.size(), 2u);
    for (int o = 0; o < 2; ++o) {
      const Option& want = frames[i].options[o];
      EXPECT_EQ(frame.options[o].name, want.name);
      EXPECT_EQ(frame.options[o].caption, want.caption);
      EXPECT_EQ(tuple(frame.options[o].rect), want.rect);
      EXPECT_EQ(frame.options[o].value, want.value);
    }
  }
}

TEST_F(QuomaSettingsDialog, WritesOnlyWhatChanged) {
  const std::string line = "#FALSE#,#TRUE#,#TRUE#";  // no line end: a rewrite would add one
  Open(line);
  EXPECT_EQ(dialog.Selected(kQuestion), 1);
  EXPECT_EQ(dialog.Selected(kTouch), 0);
  EXPECT_EQ(dialog.Selected(kCursor), 0);
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(folder.Read("Quoma.txt"), line);

  dialog.Select(kCursor, 1);  // 無し
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder.Read("Quoma.txt"), "#FALSE#,#TRUE#,#FALSE#\r\n");
  EXPECT_EQ(settings.cursor_visible, kFalse);
}

TEST_F(QuomaSettingsDialog, ACancelledChangeIsForgotten) {
  Open("#TRUE#,#FALSE#,#TRUE#\r\n");
  dialog.Select(kQuestion, 1);
  dialog.Select(kTouch, 0);
  dialog.Activate();  // キャンセル, then H again
  EXPECT_EQ(dialog.Selected(kQuestion), 0);
  EXPECT_EQ(dialog.Selected(kTouch), 1);
  EXPECT_EQ(settings.ask_with_name, kTrue);
  EXPECT_EQ(folder.Read("Quoma.txt"), "#TRUE#,#FALSE#,#TRUE#\r\n");
}

}  // namespace
}  // namespace kanae::name_choice
