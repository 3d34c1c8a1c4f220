// The Qt window, offscreen: it draws the control model and feeds input back.
#include "platform/qt/game_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QDialog>
#include <QPushButton>
#include <functional>
#include <QPaintEvent>

#include "fakes.h"
#include "platform/qt/japanese_ui.h"
#include "platform/qt/kiosk_lock.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/run_game.h"
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
  const Control& card = *game.cards[0];
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

TEST_F(GameWindowTest, APictureThatCannotBeDecodedShowsAFramedQuestionMark) {
  // The lesson's only picture is an empty file.
  const Control& picture = game.picture;
  ASSERT_TRUE(picture.visible);
  window->grab();  // the first paint asks for the picture; its decode fails off the GUI thread
  ASSERT_TRUE(QTest::qWaitFor([this] { return window->ShowsAllPictures(); }));
  const QImage image = window->grab().toImage();
  const int left = static_cast<int>(picture.left / 15);
  const int top = static_cast<int>(picture.top / 15);
  const int right = static_cast<int>((picture.left + picture.width) / 15) - 1;
  const int bottom = std::min(359, static_cast<int>((picture.top + picture.height) / 15) - 1);
  // A white area inside a grey frame, with a dark mark in its middle.
  EXPECT_EQ(image.pixelColor(left + 6, top + 6), QColor(255, 255, 255));
  EXPECT_LT(image.pixelColor(left, (top + bottom) / 2).lightness(), 160);
  bool dark = false;
  for (int x = left + (right - left) / 4; x < right - (right - left) / 4; ++x) {
    for (int y = top + (bottom - top) / 4; y < bottom - (bottom - top) / 4; ++y) {
      if (image.pixelColor(x, y).lightness() < 128) dark = true;
    }
  }
  EXPECT_TRUE(dark);
}

TEST_F(GameWindowTest, TheDwellRingAndTheScanningFrameAreDrawnOverTheirAnswer) {
  const Control& card = *game.cards[0];
  auto marked_pixels = [&] {
    const QImage image = window->grab().toImage();
    int count = 0;
    for (int x = static_cast<int>(card.left / 15); x < static_cast<int>((card.left + card.width) / 15); ++x) {
      for (int y = std::max(0, static_cast<int>(card.top / 15)); y < std::min(359, static_cast<int>((card.top + card.height) / 15)); ++y) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 230 && c.green() > 190 && c.green() < 240 && c.blue() < 40) ++count;
      }
    }
    return count;
  };
  EXPECT_EQ(marked_pixels(), 0);
  lesson.form.markers.scan_target = &card;
  window->Refresh();
  const int frame = marked_pixels();
  EXPECT_GT(frame, 0);
  lesson.form.markers.scan_target = nullptr;
  lesson.form.markers.dwell_target = &card;
  lesson.form.markers.dwell_progress = 0.25;
  window->Refresh();
  const int quarter = marked_pixels();
  lesson.form.markers.dwell_progress = 1.0;
  window->Refresh();
  EXPECT_GT(quarter, 0);
  EXPECT_GT(marked_pixels(), 2 * quarter);  // the ring fills as the pointer rests
}

TEST_F(GameWindowTest, AClickOnACardReachesTheAnswerRule) {
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Centre(*game.cards[0]));
  ASSERT_FALSE(platform.player.played.empty());
  EXPECT_EQ(platform.player.Played().front(), U"り.wav");
}

TEST_F(GameWindowTest, AClickOnThePictureDoesNotAnswer) {
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Centre(game.picture));
  EXPECT_TRUE(platform.player.played.empty());
}

TEST_F(GameWindowTest, InTouchModeAPointerMoveOntoACardAnswers) {
  game.settings.touch_mode = kTrue;
  const QPointF at = Centre(*game.cards[0]);
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

TEST_F(GameWindowTest, UnderTheKioskLockOnlyAHeldKeyActs) {
  qint64 now = 0;
  new KioskLock(window.get(), [&now] { return now; });
  auto press = [this](Qt::Key key, bool repeat) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(window.get(), &event);
  };
  auto release = [this](Qt::Key key, bool repeat) {
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(window.get(), &event);
  };
  QWidget* hint = window->findChild<QWidget*>("hold_hint");
  ASSERT_NE(hint, nullptr);

  // Stray presses of all three keys do nothing.
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_H, Qt::Key_N}) {
    press(key, false);
    now += 300;
    release(key, false);
  }
  EXPECT_TRUE(platform.shell.dialogs.empty());
  EXPECT_FALSE(platform.shell.quit);
  EXPECT_FALSE(hint->isVisible());

  // Held, with the keyboard repeating, H opens the settings after two seconds.
  press(Qt::Key_H, false);
  EXPECT_TRUE(hint->isVisible());
  for (int i = 0; i < 19; ++i) {
    now += 100;
    release(Qt::Key_H, true);
    press(Qt::Key_H, true);
  }
  EXPECT_TRUE(platform.shell.dialogs.empty());
  EXPECT_TRUE(hint->isVisible());
  if (const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR"); !shots.isEmpty()) {
    window->grab().save(shots + "/kiosk-hint.png");
  }
  now += 100;
  press(Qt::Key_H, true);
  EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kSettings});
  EXPECT_FALSE(hint->isVisible());
  now += 3000;
  press(Qt::Key_H, true);
  EXPECT_EQ(platform.shell.dialogs.size(), 1u);  // once per hold
  release(Qt::Key_H, false);

  // Other keys are not held back; Esc held ends the game.
  QTest::keyClick(window.get(), Qt::Key_A);
  press(Qt::Key_Escape, false);
  now += 2000;
  press(Qt::Key_Escape, true);
  EXPECT_TRUE(platform.shell.quit);
}

// X's auto-repeat: a held key comes as release and press pairs sent at the
// same moment, not marked as repeats. The lock must see the key stay down,
// with the hint's bar rising, and act once at two seconds.
TEST_F(GameWindowTest, UnderTheKioskLockXRepeatPairsKeepTheHold) {
  qint64 now = 0;
  new KioskLock(window.get(), [&now] { return now; });
  auto send = [this](QEvent::Type type, Qt::Key key, ulong sent) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), /*autorep=*/false);
    event.setTimestamp(sent);
    QApplication::sendEvent(window.get(), &event);
  };
  QWidget* hint = window->findChild<QWidget*>("hold_hint");
  ASSERT_NE(hint, nullptr);
  const ulong server_start = 5'000'000;  // the window system's clock, not ours

  struct Case {
    Qt::Key key;
    bool ends_lesson;
  };
  for (const Case& c : {Case{Qt::Key_N, false}, Case{Qt::Key_Escape, true}}) {
    SCOPED_TRACE(QKeySequence(c.key).toString().toStdString());
    const ulong pressed_at = server_start + static_cast<ulong>(now);
    const qint64 hold_start = now;
    send(QEvent::KeyPress, c.key, pressed_at);
    // X's default: the first repeat after 660 ms, then 25 a second.
    for (qint64 t = 660; t < 2000; t += 40) {
      now = hold_start + t;
      send(QEvent::KeyRelease, c.key, pressed_at + static_cast<ulong>(t));
      send(QEvent::KeyPress, c.key, pressed_at + static_cast<ulong>(t));
      ASSERT_TRUE(hint->isVisible()) << "at " << t << " ms";
    }
    EXPECT_FALSE(platform.shell.quit);
    now = hold_start + 2000;
    send(QEvent::KeyRelease, c.key, pressed_at + 2000);
    send(QEvent::KeyPress, c.key, pressed_at + 2000);
    if (c.ends_lesson) {
      EXPECT_TRUE(platform.shell.quit);
    } else {
      EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kTasks});
      // Pairs after the action, while the key stays down, do not act again.
      for (qint64 t = 2040; t < 4500; t += 40) {
        now = hold_start + t;
        send(QEvent::KeyRelease, c.key, pressed_at + static_cast<ulong>(t));
        send(QEvent::KeyPress, c.key, pressed_at + static_cast<ulong>(t));
      }
      EXPECT_EQ(platform.shell.dialogs.size(), 1u);
      now = hold_start + 4600;
      send(QEvent::KeyRelease, c.key, pressed_at + 4600);
      EXPECT_FALSE(hint->isVisible());
      lesson.LeaveDialog(DialogKind::kTasks);
      now += 1000;
    }
  }

  // A child tapping H, let go and pressed again 100 ms later for three
  // seconds, never holds it: each press starts from nothing.
  const ulong tapped_at = server_start + 20'000;
  now = 20'000;
  for (ulong tap = 0; tap < 15; ++tap) {
    send(QEvent::KeyPress, Qt::Key_H, tapped_at + tap * 200);
    now += 100;
    send(QEvent::KeyRelease, Qt::Key_H, tapped_at + tap * 200 + 100);
    EXPECT_FALSE(hint->isVisible());
    now += 100;
  }
  EXPECT_EQ(platform.shell.dialogs.size(), 1u);
}

// Closing the window from outside ends the lesson as Esc does; under the
// lock it is refused.
TEST_F(GameWindowTest, ClosingTheWindowEndsTheLessonUnlessLocked) {
  {
    new KioskLock(window.get(), [] { return qint64{0}; });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(platform.shell.quit);
    EXPECT_EQ(lesson.Mode(), LessonMode::kAsking);
    delete window->findChild<KioskLock*>();
  }
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(platform.shell.quit);
  EXPECT_EQ(lesson.Mode(), LessonMode::kEnded);
}

TEST_F(GameWindowTest, TheKioskLockIsAskedForWithKanaeKiosk) {
  qunsetenv("KANAE_KIOSK");
  EXPECT_FALSE(KioskLock::Requested());
  qputenv("KANAE_KIOSK", "1");
  EXPECT_TRUE(KioskLock::Requested());
  qunsetenv("KANAE_KIOSK");
}

TEST_F(GameWindowTest, TheTaskDialogKeepsTheTeachersMarksWhenItRegainsFocus) {
  lesson.state.picture_files = {U"いぬ.jpg", U"うし.jpg", U"りんご.jpg"};
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

TEST_F(GameWindowTest, EveryWayOutOfEitherDialogRestartsTheLesson) {
  lesson.state.picture_files = {U"いぬ.jpg", U"うし.jpg", U"えび.jpg", U"りんご.jpg"};
  QtShell shell;
  shell.Attach(lesson, game, *window);
  struct Way {
    const char* what;
    DialogKind dialog;
    std::function<void(QDialog&)> leave;
  };
  auto click = [](const char* button) {
    return [button](QDialog& d) { d.findChild<QPushButton*>(button)->click(); };
  };
  auto escape = [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
  auto close = [](QDialog& d) { d.close(); };  // the title bar's ×
  const Way ways[] = {
      {"実行", DialogKind::kSettings, click("Command1")},
      {"settings キャンセル", DialogKind::kSettings, click("Command2")},
      {"settings Esc", DialogKind::kSettings, escape},
      {"settings ×", DialogKind::kSettings, close},
      {"決定", DialogKind::kTasks, [](QDialog& d) {
         d.findChild<QPushButton*>("Command3")->click();  // 全選択
         d.findChild<QPushButton*>("Command1")->click();
       }},
      {"tasks キャンセル", DialogKind::kTasks, click("Command2")},
      {"tasks Esc", DialogKind::kTasks, escape},
      {"tasks ×", DialogKind::kTasks, close},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    lesson.OnKey(way.dialog == DialogKind::kSettings ? 'H' : 'N');
    shell.OpenDialog(way.dialog);
    ASSERT_EQ(lesson.Mode(), LessonMode::kDialog);
    QDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible()) dialog = d;
    }
    ASSERT_NE(dialog, nullptr);
    const std::size_t said = platform.speech.spoken.size();
    way.leave(*dialog);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(lesson.Mode(), LessonMode::kAsking);
    EXPECT_EQ(lesson.fields.question_index, 0);
    EXPECT_EQ(platform.speech.spoken.size(), said + 1);  // the restarted lesson's first prompt
  }
}

// Opened from the menu without playing (KANAE_DIALOG): the program shows the
// one dialog on the lesson and ends when it is left, by any button; the
// lesson never starts and nothing is said.
TEST_F(GameWindowTest, ADialogOpenedAloneEndsTheProgramWhenItIsLeft) {
  struct Way {
    const char* what;
    const char* dialog_name;
    DialogKind dialog;
    const char* button;
  };
  const Way ways[] = {
      {"settings 実行", "settings", DialogKind::kSettings, "Command1"},
      {"settings キャンセル", "settings", DialogKind::kSettings, "Command2"},
      {"tasks キャンセル", "tasks", DialogKind::kTasks, "Command2"},
      {"input 実行", "input", DialogKind::kInput, "Command1"},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    lesson.Restart();  // the way before ended the lesson
    platform.speech.Finish();
    platform.shell.quit = false;
    const std::size_t said = platform.speech.spoken.size();
    QtShell shell;
    shell.Attach(lesson, game, *window);
    shell.EndWithDialog();
    const int key = DialogOnlyKey(way.dialog_name);
    lesson.OnKey(key);
    ASSERT_EQ(platform.shell.dialogs.back(), way.dialog);
    shell.OpenDialog(way.dialog);
    QDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible()) dialog = d;
    }
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QPushButton*>(way.button)->click();
    EXPECT_TRUE(platform.shell.quit) << "the program goes on after its dialog";
    EXPECT_EQ(lesson.Mode(), LessonMode::kEnded);
    EXPECT_EQ(platform.speech.spoken.size(), said);
  }
}

// F1: the teacher's guide over the game, which waits; closing the guide
// starts the lesson again as the dialogs do.
TEST_F(GameWindowTest, F1OpensTheGuideOverThePausedLesson) {
  QTest::keyClick(window.get(), Qt::Key_F1);
  ASSERT_FALSE(platform.shell.dialogs.empty());
  EXPECT_EQ(platform.shell.dialogs.back(), DialogKind::kGuide);
  EXPECT_EQ(lesson.Mode(), LessonMode::kDialog);
  QtShell shell;
  shell.Attach(lesson, game, *window);
  shell.OpenDialog(DialogKind::kGuide);
  QDialog* guide = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible() && d->windowTitle() == "かなえの使い方") guide = d;
  }
  ASSERT_NE(guide, nullptr);
  const std::size_t said = platform.speech.spoken.size();
  guide->findChild<QPushButton*>("close_guide")->click();
  EXPECT_FALSE(guide->isVisible());
  EXPECT_EQ(lesson.Mode(), LessonMode::kAsking);
  EXPECT_EQ(platform.speech.spoken.size(), said + 1);
}

TEST(DialogOnly, TheEnvironmentNamesTheDialogByItsKey) {
  struct Case {
    const char* value;
    int key;
  };
  for (const Case& c : {Case{"", 0}, Case{"settings", 'H'}, Case{"tasks", 'N'}, Case{"input", 'S'},
                        Case{"Settings", -1}, Case{"play", -1}}) {
    EXPECT_EQ(DialogOnlyKey(c.value), c.key) << c.value;
  }
}

// R: the lesson waits while the report is shown, so nothing talks behind
// the browser; it goes on when the teacher comes back to the game. A browser
// that cannot be started is reported, and the lesson goes on at once.
TEST_F(GameWindowTest, TheReportPausesTheLessonAndABrowserThatFailsIsReported) {
  folder.Write("opener-that-fails.sh", "#!/bin/sh\nexit 3\n");
  std::filesystem::permissions(folder / "opener-that-fails.sh", std::filesystem::perms::owner_all);
  struct Case {
    std::string opener;
    bool fails;
  };
  const std::vector<Case> cases = {
      {"/bin/true", false},
      {PathToUtf8(folder / "opener-that-fails.sh"), true},
      {PathToUtf8(folder / "no-such-opener"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opener);
    QtShell shell;
    shell.Attach(lesson, game, *window);
    shell.UseBrowserOpener(QString::fromStdString(c.opener));
    platform.shell.messages.clear();
    lesson.OnKey(static_cast<int>(Key::kR));
    ASSERT_EQ(lesson.Mode(), LessonMode::kDialog);
    const std::size_t said = platform.speech.spoken.size();
    shell.ShowLearningReport(folder.path(), folder / "学習記録.html");
    EXPECT_TRUE(folder.Exists("学習記録.html"));
    if (c.fails) {
      ASSERT_TRUE(QTest::qWaitFor([this] { return !platform.shell.messages.empty(); }, 10000));
      EXPECT_NE(platform.shell.messages[0].text.find(U"ブラウザー"), Text::npos);
      EXPECT_NE(platform.shell.messages[0].text.find(U"学習記録.html"), Text::npos);
      EXPECT_EQ(lesson.Mode(), LessonMode::kAsking);
      continue;
    }
    QTest::qWait(300);  // the opener has long ended
    EXPECT_TRUE(platform.shell.messages.empty());
    EXPECT_EQ(lesson.Mode(), LessonMode::kDialog);
    EXPECT_EQ(platform.speech.spoken.size(), said);
    // The teacher comes back: the window active again after the browser had it.
    QEvent away(QEvent::WindowDeactivate);
    QApplication::sendEvent(window.get(), &away);
    EXPECT_EQ(lesson.Mode(), LessonMode::kDialog);
    QEvent back(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &back);
    EXPECT_NE(lesson.Mode(), LessonMode::kDialog);
    EXPECT_EQ(platform.speech.spoken.size(), said + 1);  // the restarted lesson's first prompt
  }
}

// 決定 with too few pictures marked says so, with the count, and the
// dialog stays open with nothing changed.
TEST_F(GameWindowTest, DecidingWithTooFewMarkedSaysHowManyAndStaysOpen) {
  lesson.state.picture_files = {U"いぬ.jpg", U"うし.jpg", U"えび.jpg", U"りんご.jpg"};
  lesson.state.task_pictures = lesson.state.picture_files;
  QtShell shell;
  shell.Attach(lesson, game, *window);
  lesson.OnKey('N');
  shell.OpenDialog(DialogKind::kTasks);
  auto* list = window->findChild<QListWidget*>("List1");
  ASSERT_NE(list, nullptr);
  QDialog* dialog = qobject_cast<QDialog*>(list->window());
  dialog->findChild<QPushButton*>("Command4")->click();  // 全解除
  list->item(1)->setSelected(true);
  QString told;
  QString button;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    told = box->text();
    button = box->buttons().value(0)->text();
    if (const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR"); !shots.isEmpty()) {
      box->grab().save(shots + "/refusal.png");
      dialog->grab().save(shots + "/task-dialog-count.png");
    }
    box->buttons().value(0)->click();
  });
  dialog->findChild<QPushButton*>("Command1")->click();  // 決定
  EXPECT_TRUE(told.contains(QStringLiteral("4枚以上"))) << told.toStdString();
  EXPECT_TRUE(told.contains(QStringLiteral("いま選んでいるのは1枚"))) << told.toStdString();
  EXPECT_EQ(button, QStringLiteral("閉じる"));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(lesson.Mode(), LessonMode::kDialog);
  EXPECT_EQ(lesson.state.TaskCount(), 4);
  dialog->findChild<QPushButton*>("Command2")->click();  // キャンセル
}

// A click on the game brings the lesson back too (the browser may have
// opened somewhere else), and answers nothing.
TEST_F(GameWindowTest, AClickOnTheGameEndsTheReportsPause) {
  QtShell shell;
  shell.Attach(lesson, game, *window);
  shell.UseBrowserOpener("/bin/true");
  lesson.OnKey(static_cast<int>(Key::kR));
  shell.ShowLearningReport(folder.path(), folder / "学習記録.html");
  const std::size_t played = platform.player.played.size();
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, Centre(*game.cards[0]));
  EXPECT_NE(lesson.Mode(), LessonMode::kDialog);
  EXPECT_EQ(platform.player.played.size(), played);  // no letter sounded: nothing was answered
}

// A note to the teacher that needs no click: over the top of the game,
// passed through by the pointer, and gone by itself.
TEST_F(GameWindowTest, ABannerSaidBeforeTheWindowShowsOverItWithoutStoppingTheGame) {
  QtShell shell;
  shell.ShowBanner(U"レッスンのフォルダに書き込めないので、学習記録はこちらに保存します。");
  shell.Attach(lesson, game, *window);
  auto* banner = window->findChild<QLabel*>("banner");
  ASSERT_NE(banner, nullptr);
  EXPECT_TRUE(banner->isVisible());
  EXPECT_TRUE(banner->text().contains(QStringLiteral("学習記録")));
  EXPECT_TRUE(banner->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(lesson.Mode(), LessonMode::kAsking);
  if (const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR"); !shots.isEmpty()) {
    window->grab().save(shots + "/banner.png");
  }
}

// Message boxes to the teacher speak Japanese, Qt's own texts too.
TEST_F(GameWindowTest, MessagesToTheTeacherHaveAJapaneseButton) {
  QString button_text;
  QTimer::singleShot(0, [&button_text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->buttons().size(), 1);
    button_text = box->buttons()[0]->text();
    box->buttons()[0]->click();
  });
  ShowNotice(window.get(), QStringLiteral("テスト"), QStringLiteral("お知らせ"));
  EXPECT_EQ(button_text, QStringLiteral("閉じる"));
  ASSERT_TRUE(UseJapaneseQtTexts(*QCoreApplication::instance())) << "Qt's Japanese translation is not installed";
  EXPECT_TRUE(QCoreApplication::translate("QFileDialog", "&Delete").startsWith(QStringLiteral("削除")));
}

// The program asks its first question (and says its prompt) only once the
// window's first frame is out: never before the window can be seen, and once.
TEST(GameWindowFirstShown, RunsOnceAfterTheFirstFrameAndNotBefore) {
  TempFolder folder;
  TempFolder cwd;
  folder.Touch({"りんご.jpg"});
  FakePlatform platform;
  platform.shell.screen = {640 * 15, 360 * 15};
  Lesson lesson{platform.services(), cwd.path()};
  initial_letter::InitialLetterGame game{lesson};
  ASSERT_TRUE(lesson.Start({folder.path().string()}, game));
  GameWindow window(lesson, game);
  window.resize(640, 360);
  int runs = 0;
  window.WhenFirstShown([&runs] { ++runs; });
  QCoreApplication::processEvents();
  EXPECT_EQ(runs, 0);  // not shown yet
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (int i = 0; i < 100 && runs == 0; ++i) QTest::qWait(10);
  EXPECT_EQ(runs, 1);
  window.update();
  QTest::qWait(50);
  EXPECT_EQ(runs, 1);
}

TEST_F(GameWindowTest, FocusComingBackFromAnotherProgramRestartsNothing) {
  const std::size_t said = platform.speech.spoken.size();
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(window.get(), &activate);
  EXPECT_EQ(platform.speech.spoken.size(), said);
  EXPECT_EQ(lesson.Mode(), LessonMode::kAsking);
}

// A window that keeps what it was asked to repaint.
class RecordingWindow : public GameWindow {
 public:
  using GameWindow::GameWindow;
  std::vector<QRegion> painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    painted.push_back(event->region());
    GameWindow::paintEvent(event);
  }
};

// A lesson whose picture is a real red photo, so that decoding takes place.
class GameWindowPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(QString::fromStdString(PathToUtf8(folder / "りんご.jpg")), "JPG"));
    platform.shell.screen = {640 * 15, 360 * 15};
    ASSERT_TRUE(lesson.Start({folder.path().string()}, game));
    window = std::make_unique<RecordingWindow>(lesson, game);
    window->resize(640, 360);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    lesson.Activate();
    window->Refresh();
    platform.speech.Finish();
  }
  QPoint Centre(const Control& c) const {
    return QPoint(static_cast<int>((c.left + c.width / 2) / 15), static_cast<int>((c.top + c.height / 2) / 15));
  }
  // Lets the decode arrive and every repaint it asks for happen.
  void Settle() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ShowsAllPictures(); }));
    WaitUntilQuiet();
  }
  // Decodes ahead and the frames they ask for may still be on their way:
  // waits until a quarter of a second passes without a paint.
  void WaitUntilQuiet() {
    for (int quiet = 0; quiet < 5;) {
      window->painted.clear();
      QTest::qWait(50);
      quiet = window->painted.empty() ? quiet + 1 : 0;
    }
  }
  void Move(QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &move);
    QCoreApplication::processEvents();
  }

  TempFolder folder;
  TempFolder cwd;
  FakePlatform platform;
  Trace trace{PathToUtf8(cwd / "trace.txt")};
  Lesson lesson{{platform.speech, platform.player, platform.timers, platform.shell, platform.rnd, trace}, cwd.path()};
  initial_letter::InitialLetterGame game{lesson};
  std::unique_ptr<RecordingWindow> window;
};

TEST_F(GameWindowPictureTest, APictureNotYetDecodedIsLeftOutThenDrawnWhenItArrives) {
  // The frame of the new question, painted before the event loop can take in
  // the decode, does not wait for the picture (and leaves no frame pending).
  window->painted.clear();
  window->repaint();
  ASSERT_FALSE(window->painted.empty());
  EXPECT_FALSE(window->ShowsAllPictures());
  const QPoint picture = Centre(game.picture);
  EXPECT_EQ(window->grab().toImage().pixelColor(picture), QColor(0, 128, 128));
  // Nothing but the arrival asks for another frame, and that frame has it.
  window->painted.clear();
  ASSERT_TRUE(QTest::qWaitFor([this] { return window->ShowsAllPictures(); }));
  ASSERT_FALSE(window->painted.empty());
  EXPECT_TRUE(window->painted.back().contains(picture));
  const QColor shown = window->grab().toImage().pixelColor(picture);
  EXPECT_GT(shown.red(), 200);
  EXPECT_LT(shown.green(), 60);
}

TEST_F(GameWindowPictureTest, PointerMovesOverNothingThatChangesRepaintNothing) {
  Settle();
  Move(QPoint(3, 3));
  Move(QPoint(10, 4));
  Move(Centre(game.picture));  // the picture answers nothing
  Move(Centre(*game.cards[0]));  // click mode: moving onto a card answers nothing either
  EXPECT_TRUE(window->painted.empty());
  EXPECT_TRUE(platform.player.played.empty());
}

TEST_F(GameWindowPictureTest, AChangeRepaintsOnlyWhereItIsSeen) {
  Settle();
  game.settings.touch_mode = kTrue;
  Move(Centre(*game.cards[0]));  // answers: the card moves up, the circle shows
  ASSERT_FALSE(platform.player.played.empty());
  ASSERT_FALSE(window->painted.empty());
  WaitUntilQuiet();
  // A caption changed on one card: that card's area is repainted, not the window.
  game.cards[0]->caption += U"あ";
  window->Refresh();
  QCoreApplication::processEvents();
  ASSERT_FALSE(window->painted.empty());
  const QRect card(static_cast<int>(game.cards[0]->left / 15), static_cast<int>(game.cards[0]->top / 15),
                   static_cast<int>(game.cards[0]->width / 15), static_cast<int>(game.cards[0]->height / 15));
  EXPECT_TRUE(window->painted.back().contains(card.center()));
  EXPECT_FALSE(window->painted.back().contains(QPoint(3, 3)));
  EXPECT_LT(window->painted.back().boundingRect().width(), 320);
}

TEST_F(GameWindowPictureTest, ReadyIsWrittenOnceTheFirstQuestionHasBeenDrawnWithItsPicture) {
  auto readies = [this] {
    const std::string trace_text = cwd.Read("trace.txt");
    int count = 0;
    for (std::size_t at = trace_text.find("\tready"); at != std::string::npos; at = trace_text.find("\tready", at + 1)) ++count;
    return count;
  };
  window->grab();  // a frame of the question without its picture
  EXPECT_EQ(readies(), 0);
  Settle();
  EXPECT_EQ(readies(), 1);
  // Later questions are not the first.
  game.NextQuestion();
  window->Refresh();
  ASSERT_TRUE(QTest::qWaitFor([this] { return window->ShowsAllPictures(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(readies(), 1);
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
