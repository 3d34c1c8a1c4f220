// The Qt window, offscreen: it draws the control model and feeds input back.
#include "platform/qt/game_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <QListWidget>

#include "fakes.h"
#include "platform/qt/qt_shell.h"
#include "questions.h"

namespace kanae {
namespace {

using namespace kanae::testing;

class GameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Touch({"りんご.jpg"});
    platform.shell.screen = {640 * 15, 360 * 15};
    ASSERT_TRUE(lesson.Start({folder.path().string()}, game));
    window = std::make_unique<GameWindow>(lesson, game);
    window->resize(640, 360);
    window->show();
    lesson.Activate();
    platform.speech.Finish();
  }
  QPoint Centre(const Control& c) const {
    return QPoint(static_cast<int>((c.left + c.width / 2) / 15), static_cast<int>((c.top + c.height / 2) / 15));
  }
  QColor PixelAt(QPoint p) { return window->grab().toImage().pixelColor(p); }

  TempFolder folder;
  TempFolder cwd;
  FakePlatform platform;
  Lesson lesson{platform.services(), cwd.path()};
  initial_letter::InitialLetterGame game{lesson};
  std::unique_ptr<GameWindow> window;
};

TEST_F(GameWindowTest, DrawsTheCardsAndTheBackgroundWhereTheModelPutsThem) {
  const Control& card = *game.Label2[0];
  // A card's corner is white; a point between card and picture is the teal background.
  const QPoint corner(static_cast<int>(card.left / 15) + 2, static_cast<int>(card.top / 15) + 2);
  EXPECT_EQ(PixelAt(corner), QColor(255, 255, 255));
  EXPECT_EQ(PixelAt(QPoint(5, 100)), QColor(0, 128, 128));
  // The letter itself is drawn in black inside the card.
  const QImage image = window->grab().toImage();
  bool dark = false;
  for (int x = static_cast<int>(card.left / 15); x < static_cast<int>((card.left + card.width) / 15); ++x) {
    for (int y = static_cast<int>(card.top / 15); y < std::min(359, static_cast<int>((card.top + card.height) / 15)); ++y) {
      if (image.pixelColor(x, y).lightness() < 60) dark = true;
    }
  }
  EXPECT_TRUE(dark);
}

TEST_F(GameWindowTest, AClickOnACardReachesTheAnswerRule) {
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Centre(*game.Label2[0]));
  ASSERT_FALSE(platform.player.played.empty());
  EXPECT_EQ(platform.player.Played().front(), U"り.wav");
}

TEST_F(GameWindowTest, AClickOnThePictureDoesNotAnswer) {
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Centre(game.Image1));
  EXPECT_TRUE(platform.player.played.empty());
}

TEST_F(GameWindowTest, InTouchModeAPointerMoveOntoACardAnswers) {
  game.settings.TouchMode = kTrue;
  const QPointF at = Centre(*game.Label2[0]);
  QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &move);
  ASSERT_FALSE(platform.player.played.empty());
}

TEST_F(GameWindowTest, AHiddenPointerStaysHiddenWithoutClearIco) {
  ASSERT_FALSE(cwd.Exists("Clear.ico"));
  lesson.ApplyPointer(false);
  window->Refresh();
  EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);
  lesson.ApplyPointer(true);
  window->Refresh();
  EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(GameWindowTest, KeysReachTheLessonWithOrWithoutShift) {
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ShiftModifier);
  QTest::keyClick(window.get(), Qt::Key_N);
  EXPECT_EQ(platform.shell.dialogs, (std::vector<DialogKind>{DialogKind::kSettings, DialogKind::kTasks}));
  QTest::keyClick(window.get(), Qt::Key_R, Qt::ShiftModifier);
  EXPECT_EQ(platform.shell.reports.size(), 1u);
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_TRUE(platform.shell.quit);
}

TEST_F(GameWindowTest, TheTaskDialogKeepsTheTeachersMarksWhenItRegainsFocus) {
  lesson.state.PictureFiles = {U"いぬ.jpg", U"うし.jpg", U"りんご.jpg"};
  QtShell shell;
  shell.Attach(lesson, game, *window);
  shell.OpenDialog(DialogKind::kTasks);
  auto* list = window->findChild<QListWidget*>("List1");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 3);
  EXPECT_TRUE(list->item(2)->isSelected());  // the one task
  list->item(0)->setSelected(true);
  list->item(2)->setSelected(false);
  // A message box closing over the dialog gives it the focus back.
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(list->window(), &activate);
  EXPECT_TRUE(list->item(0)->isSelected());
  EXPECT_FALSE(list->item(2)->isSelected());
  // Opening it again with N shows the lesson's tasks.
  shell.OpenDialog(DialogKind::kTasks);
  EXPECT_FALSE(list->item(0)->isSelected());
  EXPECT_TRUE(list->item(2)->isSelected());
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
