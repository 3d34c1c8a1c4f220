#include <gtest/gtest.h>

#include "../../games/initial_letter/settings.h"
#include "fakes.h"
#include "picture_library.h"
#include "settings_dialog.h"
#include "task_dialog.h"

namespace kanae {
namespace {

using testing::TempFolder;

class OltarSettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    // Written without the final line end: a rewrite would add one.
    folder.Write("Oltar.txt", line);
    ASSERT_EQ(LoadSettings(file(), SettingSlots(settings)).load, SettingsLoad::kRead);
    dialog.Activate();
  }
  std::filesystem::path file() const { return folder / "Oltar.txt"; }

  std::string line = "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#";
  TempFolder folder;
  initial_letter::Settings settings;
  SettingsDialog dialog{initial_letter::DialogLayout(settings), initial_letter::SettingSlots(settings)};
  enum Frame { kQuestion, kModel, kCursor, kCount, kKind, kTouch };
};

TEST_F(OltarSettingsDialog, ShowsTheSettingsAndWritesNothingWithoutAChange) {
  EXPECT_EQ(dialog.Selected(kQuestion), 0);  // ～は、どっち
  EXPECT_EQ(dialog.Selected(kCount), 0);     // 無し
  EXPECT_EQ(dialog.Selected(kTouch), 1);     // クリックする
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(folder.Read("Oltar.txt"), line);
}

TEST_F(OltarSettingsDialog, AChangedOptionRewritesTheWholeLine) {
  dialog.Select(kCount, 2);  // ２字有り
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder.Read("Oltar.txt"), "#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#\r\n");
  EXPECT_EQ(settings.distractor_count, 2);

  dialog.Activate();
  dialog.Select(kTouch, 0);  // 触れるだけ
  dialog.Apply(file());
  EXPECT_EQ(folder.Read("Oltar.txt"), "#TRUE#,#TRUE#,2,0,#TRUE#,#TRUE#\r\n");
  EXPECT_EQ(settings.touch_mode, kTrue);
}

TEST_F(OltarSettingsDialog, ACancelledChangeIsForgottenAtTheNextActivation) {
  dialog.Select(kModel, 1);
  dialog.Activate();  // キャンセル then H again
  EXPECT_EQ(dialog.Selected(kModel), 0);
  EXPECT_EQ(settings.show_model, kTrue);
}

TEST_F(OltarSettingsDialog, AValueWithoutAnOptionLeavesItsFrameEmptyAndKeepsTheValue) {
  settings.distractor_kind = 2;
  settings.distractor_count = 7;
  dialog.Activate();
  EXPECT_EQ(dialog.Selected(kKind), -1);
  EXPECT_EQ(dialog.Selected(kCount), -1);
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(settings.distractor_kind, 2);
}

TEST_F(OltarSettingsDialog, AFailedSaveKeepsTheNewValuesAndSaysSo) {
  dialog.Select(kCursor, 1);
  const auto outcome = dialog.Apply(folder / "missing/Oltar.txt");
  EXPECT_EQ(outcome.applied, SettingsDialog::Applied::kSaveFailed);
  EXPECT_EQ(settings.cursor_visible, kFalse);
}

TEST_F(OltarSettingsDialog, OptionsStandInTheirFrames) {
  const OptionFrame& count = dialog.Layout().frames[kCount];
  EXPECT_EQ(count.caption, U"まどわし文字");
  ASSERT_EQ(count.options.size(), 4u);
  EXPECT_EQ(count.options[3].name, "Option8");
  EXPECT_EQ(count.options[3].rect.top, 240 + 3 * 360);
  EXPECT_EQ(count.options[3].rect.left, 240);
}

class TaskSelection : public ::testing::Test {
 protected:
  void Open(const std::vector<std::string>& pictures, bool four_initials) {
    folder.Touch(pictures);
    state.picture_files = ListPictureFiles(folder.path());
    state.task_pictures = state.picture_files;
    dialog = std::make_unique<TaskDialog>(state, four_initials);
    dialog->Activate();
  }
  void Mark(const std::vector<std::size_t>& entries) {
    dialog->ClearAll();
    for (std::size_t e : entries) dialog->SetMark(e, true);
  }

  TempFolder folder;
  LessonState state;
  std::unique_ptr<TaskDialog> dialog;
};

TEST_F(TaskSelection, FewerThanFourMarkedChangesNothing) {
  Open({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}, false);
  Mark({0, 1, 2});
  EXPECT_EQ(dialog->Decide(folder / "Fname.txt").decision, TaskDialog::Decision::kTooFewPictures);
  EXPECT_EQ(state.TaskCount(), 5);
  EXPECT_FALSE(folder.Exists("Fname.txt"));
}

TEST_F(TaskSelection, FourMarkedBecomeTheTasksAndTheFile) {
  Open({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}, false);
  Mark({0, 2, 3, 4});
  EXPECT_EQ(dialog->Decide(folder / "Fname.txt").decision, TaskDialog::Decision::kAccepted);
  EXPECT_EQ(state.task_pictures, (std::vector<Text>{U"a.jpg", U"c.jpg", U"d.jpg", U"e.jpg"}));
  EXPECT_EQ(folder.Read("Fname.txt"),
            "\"a.jpg\",#TRUE#\r\n\"b.jpg\",#FALSE#\r\n\"c.jpg\",#TRUE#\r\n\"d.jpg\",#TRUE#\r\n\"e.jpg\",#TRUE#\r\n");
}

TEST_F(TaskSelection, TheCardGameNeedsFourDifferentInitials) {
  Open({"あめ.jpg", "あり.jpg", "いぬ.jpg", "うし.jpg", "えび.jpg"}, true);
  Mark({0, 1, 2, 3});
  EXPECT_EQ(dialog->Decide(folder / "Fname.txt").decision, TaskDialog::Decision::kTooFewInitials);
  EXPECT_EQ(state.TaskCount(), 5);
  Mark({0, 1, 2, 3, 4});
  EXPECT_EQ(dialog->Decide(folder / "Fname.txt").decision, TaskDialog::Decision::kAccepted);
}

// A refusal says what is marked and what the game needs, in both rules.
TEST_F(TaskSelection, ARefusalSaysHowManyAreMarkedAndHowManyAreNeeded) {
  struct Case {
    std::vector<std::string> pictures;
    bool four_initials;
    std::vector<std::size_t> marked;
    Text count_line;
    std::vector<Text> refusal_says;
  };
  const std::vector<Case> cases = {
      {{"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, false, {0, 2, 3}, U"選んだ絵：3枚（4枚以上選んでください）",
       {U"4枚以上", U"いま選んでいるのは3枚"}},
      {{"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, false, {}, U"選んだ絵：0枚（4枚以上選んでください）",
       {U"いま選んでいるのは0枚"}},
      {{"あめ.jpg", "あり.jpg", "いぬ.jpg", "うし.jpg"}, true, {0, 1, 2, 3},
       U"選んだ絵：4枚（頭文字 3種類。このゲームには頭文字が4種類以上必要です）",
       {kTooFewInitials, U"頭文字は3種類"}},
  };
  for (const Case& c : cases) {
    TempFolder own;
    own.Touch(c.pictures);
    LessonState lesson;
    lesson.picture_files = ListPictureFiles(own.path());
    lesson.task_pictures = lesson.picture_files;
    TaskDialog task_dialog(lesson, c.four_initials);
    task_dialog.Activate();
    task_dialog.ClearAll();
    for (std::size_t e : c.marked) task_dialog.SetMark(e, true);
    EXPECT_EQ(task_dialog.CountLine(), c.count_line);
    EXPECT_NE(task_dialog.Decide(own / "Fname.txt").decision, TaskDialog::Decision::kAccepted);
    for (const Text& said : c.refusal_says) {
      EXPECT_NE(task_dialog.RefusalText().find(said), Text::npos) << ToUtf8(task_dialog.RefusalText());
    }
  }
}

TEST_F(TaskSelection, ActivationMarksExactlyTheTasks) {
  Open({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}, false);
  state.task_pictures = {U"b.jpg", U"d.jpg"};
  dialog->SelectAll();  // then キャンセル
  dialog->Activate();
  EXPECT_EQ(dialog->Marks(), (std::vector<bool>{false, true, false, true, false}));
}

}  // namespace
}  // namespace kanae
