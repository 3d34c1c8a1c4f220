// The task selection as a grid of thumbnails, offscreen: marking by pointer
// and keyboard, the buttons, and 決定 writing "Fname.txt" as before.
#include "platform/qt/task_dialog_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "fakes.h"
#include "lesson.h"
#include "picture_library.h"

namespace kanae {
namespace {

using namespace kanae::testing;

class TaskGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Four real pictures, each a plain colour, and one file that is no picture.
    const std::vector<std::pair<std::string, QColor>> pictures = {
        {"いぬ.jpg", Qt::red}, {"うし.bmp", Qt::green}, {"ねこ.2.jpg", Qt::blue}, {"りんご.gif", Qt::yellow}};
    for (const auto& [name, colour] : pictures) {
      QImage image(300, 200, QImage::Format_RGB32);
      image.fill(colour);
      const QString path = QString::fromStdString((folder / name).string());
      ASSERT_TRUE(image.save(path, name.ends_with(".gif") ? "PNG" : nullptr)) << name;  // a PNG named .gif reads all the same
    }
    folder.Write("こわれた.jpg", "not a picture");
    state.picture_files = {U"いぬ.jpg", U"うし.bmp", U"こわれた.jpg", U"ねこ.2.jpg", U"りんご.gif"};
    state.task_pictures = {U"いぬ.jpg", U"ねこ.2.jpg"};
    dialog = std::make_unique<TaskDialogWidget>(
        model, [this](const Text& file) { return folder.path() / PathFromUtf8(ToUtf8(file)); },
        [this] {
          const auto outcome = model.Decide(folder / "Fname.txt");
          decisions.push_back(outcome.decision);
          return outcome.decision == TaskDialog::Decision::kAccepted;
        },
        [this] { ++left; }, nullptr);
    dialog->Open();
    list = dialog->findChild<QListWidget*>("List1");
    ASSERT_NE(list, nullptr);
  }

  std::vector<bool> Marks() const {
    std::vector<bool> marks;
    for (int i = 0; i < list->count(); ++i) marks.push_back(list->item(i)->isSelected());
    return marks;
  }
  QColor IconCentre(int row) const {
    const QImage icon = list->item(row)->icon().pixmap(list->iconSize()).toImage();
    return icon.pixelColor(icon.width() / 2, icon.height() / 2);
  }
  void Click(const char* button) { dialog->findChild<QPushButton*>(button)->click(); }
  void Key(Qt::Key key) { QTest::keyClick(list, key); }

  TempFolder folder;
  LessonState state;
  TaskDialog model{state, false};
  std::unique_ptr<TaskDialogWidget> dialog;
  QListWidget* list = nullptr;
  std::vector<TaskDialog::Decision> decisions;
  int left = 0;
};

TEST_F(TaskGridTest, ShowsEveryPictureAsAThumbnailWithItsWordUnderIt) {
  EXPECT_EQ(list->viewMode(), QListView::IconMode);
  ASSERT_EQ(list->count(), 5);
  const QStringList words = {"いぬ", "うし", "こわれた", "ねこ.2", "りんご"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list->item(i)->text(), words[i]);
  EXPECT_EQ(list->item(3)->toolTip(), "ねこ.2.jpg");
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false, false, true, false}));

  dialog->WaitForThumbnails();
  EXPECT_GT(IconCentre(0).red(), 200);
  EXPECT_LT(IconCentre(0).green(), 60);
  EXPECT_GT(IconCentre(1).green(), 200);
  EXPECT_GT(IconCentre(3).blue(), 200);
  EXPECT_GT(IconCentre(4).red(), 200);
  EXPECT_GT(IconCentre(4).green(), 200);
  // The file that is no picture gets the plain grey placeholder.
  const QColor placeholder = list->item(2)->icon().pixmap(list->iconSize()).toImage().pixelColor(5, 5);
  EXPECT_EQ(placeholder, QColor(235, 235, 235));
}

TEST_F(TaskGridTest, ThumbnailsAreDecodedOnceForTheWholeRun) {
  dialog->WaitForThumbnails();
  // The folder's pictures change on disk; the dialog opened again shows the
  // thumbnails it has, without decoding again.
  QImage black(300, 200, QImage::Format_RGB32);
  black.fill(Qt::black);
  ASSERT_TRUE(black.save(QString::fromStdString((folder / "いぬ.jpg").string()), "JPG"));
  dialog->hide();
  dialog->Open();
  EXPECT_GT(IconCentre(0).red(), 200);
}

// Under the grid, what is marked and what the game needs, kept up to date.
TEST_F(TaskGridTest, TheCountOfMarkedPicturesIsShownAsMarksChange) {
  auto* count = dialog->findChild<QLabel*>("marked_count");
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->text(), QStringLiteral("選んだ絵：2枚（4枚以上選んでください）"));
  list->item(1)->setSelected(true);
  EXPECT_EQ(count->text(), QStringLiteral("選んだ絵：3枚（4枚以上選んでください）"));
  Click("Command3");  // 全選択
  EXPECT_EQ(count->text(), QStringLiteral("選んだ絵：5枚（4枚以上選んでください）"));
}

TEST_F(TaskGridTest, APointerClickTogglesAMark) {
  const QRect cell = list->visualItemRect(list->item(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, false, true, false}));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(0)).center());
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false, true, false}));
}

TEST_F(TaskGridTest, ArrowsMoveSpaceTogglesAndEnterDecides) {
  EXPECT_TRUE(list->hasFocus() || !QApplication::activeWindow());  // focus goes to the grid when it opens
  Key(Qt::Key_Right);  // to うし: moving marks nothing
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false, false, true, false}));
  Key(Qt::Key_Space);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Space);  // ねこ.2 off again
  Key(Qt::Key_Right);
  Key(Qt::Key_Space);
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  Key(Qt::Key_Space);
  Key(Qt::Key_Space);  // こわれた on and off
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, false, false, true}));
  Key(Qt::Key_Return);
  // Three marked: refused, nothing written, the dialog stays.
  EXPECT_EQ(decisions, std::vector<TaskDialog::Decision>{TaskDialog::Decision::kTooFewPictures});
  EXPECT_FALSE(folder.Exists("Fname.txt"));
  EXPECT_EQ(left, 0);
  Key(Qt::Key_Space);  // こわれた on again: four
  Key(Qt::Key_Enter);
  EXPECT_EQ(left, 1);
  EXPECT_EQ(state.task_pictures, (std::vector<Text>{U"いぬ.jpg", U"うし.bmp", U"こわれた.jpg", U"りんご.gif"}));
  EXPECT_EQ(folder.Read("Fname.txt"), Cp932("\"いぬ.jpg\",#TRUE#\r\n\"うし.bmp\",#TRUE#\r\n\"こわれた.jpg\",#TRUE#\r\n"
                                            "\"ねこ.2.jpg\",#FALSE#\r\n\"りんご.gif\",#TRUE#\r\n"));
}

TEST_F(TaskGridTest, SelectAllThenDecideWritesEveryPictureAsATask) {
  Click("Command3");  // 全選択
  EXPECT_EQ(Marks(), std::vector<bool>(5, true));
  Click("Command1");  // 決定
  EXPECT_EQ(left, 1);
  TempFolder today;
  ASSERT_TRUE(SaveTaskSelection(today / "Fname.txt", state.picture_files, state.picture_files).ok);
  EXPECT_EQ(folder.Read("Fname.txt"), today.Read("Fname.txt"));
}

TEST_F(TaskGridTest, ClearAllOrEscLeaveTheTasksAndTheFileAlone) {
  Click("Command4");  // 全解除
  EXPECT_EQ(Marks(), std::vector<bool>(5, false));
  Click("Command1");
  EXPECT_EQ(left, 0);  // nothing marked: refused
  Click("Command3");
  Key(Qt::Key_Escape);  // キャンセル
  EXPECT_EQ(left, 1);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(state.task_pictures, (std::vector<Text>{U"いぬ.jpg", U"ねこ.2.jpg"}));
  EXPECT_FALSE(folder.Exists("Fname.txt"));
  // Opened again, it shows the lesson's tasks, not the cancelled marks.
  dialog->Open();
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false, false, true, false}));
}

// A folder of hundreds of pictures: thumbnails are decoded for what is in
// sight (and a page either way), with a sign while they load, and scrolling
// brings the rest.
TEST(TaskGridLargeFolder, DecodesWhatIsInSightFirstAndTheRestAsItScrollsIn) {
  TempFolder folder;
  QImage image(60, 40, QImage::Format_RGB32);
  image.fill(Qt::red);
  const auto first = folder / "え000.png";
  ASSERT_TRUE(image.save(QString::fromStdString(first.string()), "PNG"));
  LessonState state;
  constexpr int kPictures = 400;
  for (int i = 0; i < kPictures; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "え%03d.png", i);
    if (i > 0) std::filesystem::create_hard_link(first, folder / name);
    state.picture_files.push_back(FromUtf8(name));
  }
  state.task_pictures = {state.picture_files[1], state.picture_files[398]};
  TaskDialog model(state, false);
  TaskDialogWidget dialog(
      model, [&](const Text& file) { return folder.path() / PathFromUtf8(ToUtf8(file)); }, [] { return false; },
      [] {}, nullptr);
  dialog.Open();
  auto* list = dialog.findChild<QListWidget*>("List1");
  auto* loading = dialog.findChild<QLabel*>("thumbnail_progress");
  ASSERT_NE(list, nullptr);
  ASSERT_NE(loading, nullptr);
  ASSERT_EQ(list->count(), kPictures);
  EXPECT_TRUE(list->item(1)->isSelected());
  EXPECT_TRUE(list->item(398)->isSelected());
  EXPECT_FALSE(list->item(2)->isSelected());

  // Asked for, not yet delivered: the sign shows how many are still to come.
  dialog.RequestThumbnailsInSight();
  EXPECT_TRUE(loading->isVisibleTo(&dialog));
  EXPECT_TRUE(loading->text().startsWith(QStringLiteral("絵を読み込んでいます…（あと"))) << loading->text().toStdString();
  const int asked = dialog.ThumbnailsPending();
  EXPECT_GT(asked, 0);
  EXPECT_LT(asked, kPictures / 2);
  dialog.WaitForThumbnails();
  EXPECT_FALSE(loading->isVisibleTo(&dialog));
  EXPECT_TRUE(dialog.ThumbnailsInSightShown());
  const int shown_at_top = dialog.ThumbnailsShown();
  EXPECT_GT(shown_at_top, 0);
  EXPECT_LT(shown_at_top, kPictures / 2);
  EXPECT_EQ(dialog.ThumbnailsPending(), 0);

  // To the end: the last pictures come in, the first go back to the placeholder.
  list->scrollToBottom();
  QCoreApplication::processEvents();
  dialog.WaitForThumbnails();
  EXPECT_TRUE(dialog.ThumbnailsInSightShown());
  const QImage last = list->item(kPictures - 1)->icon().pixmap(list->iconSize()).toImage();
  EXPECT_GT(last.pixelColor(last.width() / 2, last.height() / 2).red(), 200);
  const QImage top = list->item(0)->icon().pixmap(list->iconSize()).toImage();
  EXPECT_EQ(top.pixelColor(top.width() / 2, top.height() / 2), QColor(235, 235, 235));
  EXPECT_LT(dialog.ThumbnailsShown(), kPictures / 2);
}

}  // namespace
}  // namespace kanae
