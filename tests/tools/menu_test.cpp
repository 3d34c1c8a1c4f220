// The teacher's menu starts the chosen game on the chosen lesson folder, in
// the per-user folder, and comes back when the game ends.
#include "menu_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "class_editor.h"
#include "class_list.h"
#include "hold_to_act.h"
#include "lesson_check_panel.h"
#include "lesson_folder_dialog.h"
#include "lesson_speech_ahead.h"
#include "launch.h"
#include "lesson.h"
#include "remembered_lesson.h"
#include "process_runner.h"

namespace kanae::menu {
namespace {

// Records each start; the test ends the game when it likes.
class FakeRunner : public GameRunner {
 public:
  void Run(const GameStart& start, std::function<void(bool)> ended) override {
    starts.push_back(start);
    this->ended = std::move(ended);
  }
  std::vector<GameStart> starts;
  std::function<void(bool)> ended;
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.isValid());
    // The per-user data and configuration live in this test's own folders.
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    ASSERT_TRUE(QDir().mkpath(home.filePath("share/sounds")));
    ASSERT_TRUE(QDir().mkpath(home.filePath("share/demo_lesson")));
    ASSERT_TRUE(QDir().mkpath(home.filePath("animals")));
    QFile sound(home.filePath("share/sounds/ピンポン.wav"));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write("RIFF");
  }
  std::unique_ptr<MenuWindow> MakeMenu(bool kiosk = false) {
    auto menu = std::make_unique<MenuWindow>(runner, home.filePath("share"), kiosk, [this](const QString& start) {
      asked_from.push_back(start);
      return chosen;
    });
    menu->SetMessenger([this](const QString& text) { told.push_back(text); });
    menu->show();
    return menu;
  }
  // Presses the button and keeps it down for the given time by the menu's
  // hold clock, then lets go.
  void HoldDown(MenuWindow& menu, const char* name, qint64 milliseconds) {
    auto* button = menu.findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    auto* hold = button->findChild<HoldToAct*>();
    ASSERT_NE(hold, nullptr) << name;
    hold->UseClock([this] { return now; });
    QTest::mousePress(button, Qt::LeftButton);
    for (qint64 waited = 0; waited < milliseconds; waited += 100) {
      now += 100;
      hold->Tick();
    }
    QTest::mouseRelease(button, Qt::LeftButton);
  }
  void ClickGame(MenuWindow& menu, const char* program) {
    auto* button = menu.findChild<QToolButton*>(program);
    ASSERT_NE(button, nullptr) << program;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  QTemporaryDir home;
  FakeRunner runner;
  QString chosen;
  QStringList asked_from;
  QStringList told;
  qint64 now = 0;
};

TEST_F(MenuTest, ShowsTheSixGamesWithTheirJapaneseTitles) {
  auto menu = MakeMenu();
  const QStringList programs = {"Oltar", "Pemble", "Suvan", "Dabrel", "Quoma", "Vintal"};
  const QStringList titles = {"オルタ文字", "ペンブル", "スヴァン選び", "ダブレル作り", "クオマ選び", "絵ヴィンタ選び"};
  for (int i = 0; i < programs.size(); ++i) {
    auto* button = menu->findChild<QToolButton*>(programs[i]);
    ASSERT_NE(button, nullptr) << programs[i].toStdString();
    EXPECT_EQ(button->text(), titles[i]);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_GE(button->iconSize().height(), 64);  // a large picture, not a list entry
  }
  // A screenshot for a person to look at, when KANAE_SCREENSHOT_DIR names a folder.
  const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR");
  if (!shots.isEmpty()) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    menu->resize(screen.size());
    menu->grab().save(QDir(shots).filePath(QStringLiteral("menu-%1.png").arg(screen.height())));
  }
}

// Under each game, in words on the screen (a touch screen shows no
// tooltip): what the child does and what the game teaches.
TEST_F(MenuTest, ShowsUnderEachGameWhatItTeaches) {
  auto menu = MakeMenu();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  menu->resize(screen.size());
  for (const launcher::GameEntry& game : launcher::Games()) {
    SCOPED_TRACE(game.program.toStdString());
    auto* teaches = menu->findChild<QLabel*>(game.program + "_teaches");
    ASSERT_NE(teaches, nullptr);
    EXPECT_FALSE(game.teaches.isEmpty());
    EXPECT_TRUE(teaches->text().contains(game.teaches));
    EXPECT_TRUE(teaches->text().contains(game.comment));
    EXPECT_TRUE(teaches->isVisible());
    EXPECT_GE(QFontInfo(teaches->font()).pixelSize(), 16);
    EXPECT_TRUE(menu->rect().contains(QRect(teaches->mapTo(menu.get(), QPoint(0, 0)), teaches->size())));
  }
}

// Each game's settings, task selection and input settings open from the
// menu on its lesson, without playing: the game's program shows only that
// dialog, and no child is asked for.
TEST_F(MenuTest, OpensEachGamesDialogsWithoutPlaying) {
  auto menu = MakeMenu();
  for (const launcher::GameEntry& game : launcher::Games()) {
    for (const QString dialog : {"settings", "tasks", "input"}) {
      SCOPED_TRACE((game.program + " " + dialog).toStdString());
      auto* button = menu->findChild<QPushButton*>(game.program + "_" + dialog);
      ASSERT_NE(button, nullptr);
      EXPECT_TRUE(button->isVisible());
      runner.starts.clear();
      QTest::mouseClick(button, Qt::LeftButton);
      ASSERT_EQ(runner.starts.size(), 1u);
      EXPECT_EQ(runner.starts[0].program, launcher::GameProgram(game.program));
      EXPECT_EQ(runner.starts[0].dialog, dialog);
      EXPECT_EQ(runner.starts[0].lesson, menu->Lesson());
      EXPECT_TRUE(runner.starts[0].child.isEmpty());
      EXPECT_FALSE(menu->isVisible());
      runner.ended(true);
      EXPECT_TRUE(menu->isVisible());
    }
  }
}

TEST_F(MenuTest, TheProcessRunnerNamesTheDialogAndSilencesTheVoiceForIt) {
  const QString game = home.filePath("dialog.sh");
  QFile script(game);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nprintf '%s|%s|%s' \"$1\" \"$KANAE_DIALOG\" \"$KANAE_SPEECH\" > seen\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ASSERT_TRUE(QDir().mkpath(home.filePath("user")));
  qputenv("KANAE_DIALOG", "tasks");  // left over in the menu's own environment
  ProcessRunner runner;
  for (const QString dialog : {"input", ""}) {
    int ended = 0;
    runner.Run({game, home.filePath("animals"), home.filePath("user"), false, QString(), dialog},
               [&](bool) { ++ended; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended > 0; }, 20000));
    QFile seen(home.filePath("user/seen"));
    ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
    const QStringList fields = QString::fromUtf8(seen.readAll()).split('|');
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0], home.filePath("animals"));
    EXPECT_EQ(fields[1], dialog);
    if (!dialog.isEmpty()) EXPECT_EQ(fields[2], "none");
  }
  qunsetenv("KANAE_DIALOG");
}

TEST_F(MenuTest, StartsTheDemoLessonFirstInThePerUserFolder) {
  auto menu = MakeMenu();
  EXPECT_EQ(menu->Lesson(), home.filePath("share/demo_lesson"));
  ClickGame(*menu, "Pemble");
  ASSERT_EQ(runner.starts.size(), 1u);
  const GameStart& start = runner.starts[0];
  EXPECT_EQ(start.program, launcher::GameProgram("Pemble"));
  EXPECT_TRUE(start.program.endsWith("/Pemble"));
  EXPECT_EQ(start.lesson, home.filePath("share/demo_lesson"));
  EXPECT_EQ(start.working_folder, home.filePath("data/kanae"));
  EXPECT_FALSE(start.kiosk);
  // The sound pack was copied into the per-user folder the game runs in.
  EXPECT_TRUE(QFile::exists(home.filePath("data/kanae/ピンポン.wav")));
}

TEST_F(MenuTest, RunsTheChosenFolderAndRemembersItForNextTime) {
  {
    auto menu = MakeMenu();
    chosen = home.filePath("animals");
    QTest::mouseClick(menu->findChild<QPushButton*>("choose_lesson"), Qt::LeftButton);
    EXPECT_EQ(asked_from, QStringList{home.filePath("share/demo_lesson")});
    EXPECT_TRUE(menu->findChild<QLabel*>("lesson")->text().contains("animals"));
    ClickGame(*menu, "Vintal");
    ASSERT_EQ(runner.starts.size(), 1u);
    EXPECT_EQ(runner.starts[0].lesson, home.filePath("animals"));
    EXPECT_TRUE(runner.starts[0].program.endsWith("/Vintal"));
  }
  // The next menu opens on it; a cancelled chooser keeps it.
  auto menu = MakeMenu();
  EXPECT_EQ(menu->Lesson(), home.filePath("animals"));
  chosen.clear();
  QTest::mouseClick(menu->findChild<QPushButton*>("choose_lesson"), Qt::LeftButton);
  EXPECT_EQ(menu->Lesson(), home.filePath("animals"));
  // A remembered folder that is gone falls back to the demo lesson.
  ASSERT_TRUE(QDir(home.filePath("animals")).removeRecursively());
  EXPECT_EQ(MakeMenu()->Lesson(), home.filePath("share/demo_lesson"));
}

TEST_F(MenuTest, HidesWhileTheGameRunsAndComesBackWhenItEnds) {
  auto menu = MakeMenu();
  ClickGame(*menu, "Oltar");
  EXPECT_FALSE(menu->isVisible());
  menu->Start("Quoma");  // no second game while one runs
  EXPECT_EQ(runner.starts.size(), 1u);
  runner.ended(true);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_TRUE(told.isEmpty());
  ClickGame(*menu, "Quoma");
  ASSERT_EQ(runner.starts.size(), 2u);
  EXPECT_TRUE(runner.starts[1].program.endsWith("/Quoma"));
  // A game that cannot start brings the menu back with a message.
  runner.ended(false);
  EXPECT_TRUE(menu->isVisible());
  ASSERT_EQ(told.size(), 1);
  EXPECT_TRUE(told[0].contains("Quoma"));
}

// Records what the menu asks to have made ahead, and when it holds it.
class RecordingSpeechAhead : public LessonSpeechAhead {
 public:
  void PrepareLesson(const QString& folder) override { lessons.push_back(folder); }
  void Hold(bool held) override { holds.push_back(held); }
  QStringList lessons;
  std::vector<bool> holds;
};

TEST_F(MenuTest, HasTheShownLessonsPromptsMadeAheadAndHoldsWhileAGameRuns) {
  auto menu = MakeMenu();
  RecordingSpeechAhead ahead;
  menu->PrepareSpeechWith(&ahead);
  // The lesson it opens on, at once.
  EXPECT_EQ(ahead.lessons, QStringList{home.filePath("share/demo_lesson")});
  // Another lesson chosen: that one instead.
  chosen = home.filePath("animals");
  QTest::mouseClick(menu->findChild<QPushButton*>("choose_lesson"), Qt::LeftButton);
  EXPECT_EQ(ahead.lessons, (QStringList{home.filePath("share/demo_lesson"), home.filePath("animals")}));
  // A cancelled chooser changes nothing.
  chosen.clear();
  QTest::mouseClick(menu->findChild<QPushButton*>("choose_lesson"), Qt::LeftButton);
  EXPECT_EQ(ahead.lessons.size(), 2);
  // Held while the game runs (it makes its own speech), and again after.
  ClickGame(*menu, "Oltar");
  EXPECT_EQ(ahead.holds, std::vector<bool>{true});
  runner.ended(true);
  EXPECT_EQ(ahead.holds, (std::vector<bool>{true, false}));
  // A dialog opened alone is a game's run too.
  menu->OpenDialog("Oltar", "settings");
  EXPECT_EQ(ahead.holds, (std::vector<bool>{true, false, true}));
  runner.ended(true);
  EXPECT_EQ(ahead.holds, (std::vector<bool>{true, false, true, false}));
}

// The prompts made ahead are the names of the folder's pictures, with each
// name's first letter, as the games ask for them.
TEST_F(MenuTest, TheLessonsOpeningPromptsComeFromItsPictures) {
  const std::filesystem::path folder = PathFromUtf8(home.filePath("animals").toStdString());
  for (const char* picture : {"はち.jpg", "いぬ.gif", "notes.txt"}) {
    QFile file(home.filePath(QString("animals/") + picture));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const std::vector<SpokenText> prompts = OpeningPromptsOfLesson(folder);
  const auto has = [&](const SpokenText& text) { return std::find(prompts.begin(), prompts.end(), text) != prompts.end(); };
  EXPECT_TRUE(has(Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな"));
  EXPECT_TRUE(has(Word(U"いぬ") + U"、と、並べましょう"));
  for (const SpokenText& prompt : prompts) EXPECT_EQ(prompt.Plain().find(U"notes"), Text::npos) << ToUtf8(prompt.Plain());
  // No folder, no pictures: nothing to make.
  EXPECT_TRUE(OpeningPromptsOfLesson(folder / "gone").empty());
}

TEST_F(MenuTest, HandsTheKioskLockToTheGames) {
  auto menu = MakeMenu(/*kiosk=*/true);
  ClickGame(*menu, "Suvan");
  ASSERT_EQ(runner.starts.size(), 1u);
  EXPECT_TRUE(runner.starts[0].kiosk);
  runner.ended(true);
  HoldDown(*menu, "kiosk", 2000);  // under the lock, turning it off is held too
  EXPECT_FALSE(menu->Kiosk());
  ClickGame(*menu, "Dabrel");
  ASSERT_EQ(runner.starts.size(), 2u);
  EXPECT_FALSE(runner.starts[1].kiosk);
}

TEST_F(MenuTest, UnderTheLockQuitActsOnlyWhenHeld) {
  auto menu = MakeMenu(/*kiosk=*/true);
  auto* quit = menu->findChild<QPushButton*>("quit");
  ASSERT_NE(quit, nullptr);
  EXPECT_NE(quit->text().indexOf(QStringLiteral("2秒")), -1);
  QTest::mouseClick(quit, Qt::LeftButton);
  EXPECT_TRUE(menu->isVisible());
  // Let go before the time: still there.
  QTest::mousePress(quit, Qt::LeftButton);
  QTest::qWait(MenuWindow::kQuitHoldMilliseconds / 2);
  QTest::mouseRelease(quit, Qt::LeftButton);
  QTest::qWait(MenuWindow::kQuitHoldMilliseconds);
  EXPECT_TRUE(menu->isVisible());
  QTest::mousePress(quit, Qt::LeftButton);
  for (int waited = 0; menu->isVisible() && waited < MenuWindow::kQuitHoldMilliseconds * 3; waited += 50) QTest::qWait(50);
  EXPECT_FALSE(menu->isVisible());

  // Without the lock one click ends it.
  auto unlocked = MakeMenu(/*kiosk=*/false);
  auto* plain_quit = unlocked->findChild<QPushButton*>("quit");
  EXPECT_EQ(plain_quit->text(), QStringLiteral("終了"));
  QTest::mouseClick(plain_quit, Qt::LeftButton);
  EXPECT_FALSE(unlocked->isVisible());
}

// With a class, the child who plays is chosen before the game starts.
class ClassMenuTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    ASSERT_TRUE(QDir().mkpath(home.filePath("data/kanae")));
    QFile list(home.filePath("data/kanae/クラス.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("\xEF\xBB\xBFはなこ\t#ff8080\r\nたろう\r\n");
  }
  // Clicks the middle of a tile, as a finger would.
  void Touch(ClassChooserWidget& chooser, std::size_t tile) {
    const Control& c = *chooser.Model().Tiles().at(tile);
    QTest::mouseClick(&chooser, Qt::LeftButton, {}, QPoint(int((c.left + c.width / 2) / 15), int((c.top + c.height / 2) / 15)));
  }
};

TEST_F(ClassMenuTest, OneTouchOnAChildsTileStartsTheGameForThatChild) {
  auto menu = MakeMenu();
  const struct {
    std::size_t tile;
    const char* child;
  } cases[] = {{1, "たろう"}, {0, "はなこ"}, {2, ""}};  // the last tile: なまえなし
  for (const auto& c : cases) {
    SCOPED_TRACE(c.child);
    runner.starts.clear();
    ClickGame(*menu, "Oltar");
    ClassChooserWidget* chooser = menu->Chooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(runner.starts.empty());  // nothing starts before someone is chosen
    ASSERT_EQ(chooser->Model().Tiles().size(), 3u);
    EXPECT_EQ(chooser->Model().Names().back()->caption, U"なまえなし");
    Touch(*chooser, c.tile);
    ASSERT_EQ(runner.starts.size(), 1u);
    EXPECT_EQ(runner.starts[0].child, QString::fromUtf8(c.child));
    EXPECT_EQ(menu->Chooser(), nullptr);
    runner.ended(true);
  }
}

TEST_F(ClassMenuTest, EscBacksOutOfTheChooserAndASwitchChoosesAsInTheGames) {
  auto menu = MakeMenu();
  ClickGame(*menu, "Oltar");
  ASSERT_NE(menu->Chooser(), nullptr);
  QTest::keyClick(menu->Chooser(), Qt::Key_Escape);
  EXPECT_EQ(menu->Chooser(), nullptr);
  EXPECT_TRUE(runner.starts.empty());
  EXPECT_TRUE(menu->isVisible());

  // One switch, in the lesson's input settings: the first tile is offered at once.
  QFile input(QDir(menu->Lesson()).filePath("入力.txt"));
  ASSERT_TRUE(input.open(QIODevice::WriteOnly));
  input.write("0,1,2000,#TRUE#,0\r\n");
  input.close();
  ClickGame(*menu, "Oltar");
  ASSERT_NE(menu->Chooser(), nullptr);
  EXPECT_EQ(menu->Chooser()->Model().form().markers.scan_target, menu->Chooser()->Model().Tiles()[0]);
  QTest::keyClick(menu->Chooser(), Qt::Key_Space);
  ASSERT_EQ(runner.starts.size(), 1u);
  EXPECT_EQ(runner.starts[0].child, QStringLiteral("はなこ"));
  input.remove();
}

TEST_F(ClassMenuTest, TheTeacherAddsChildrenInTheEditorAndTheListIsKeptOwnerOnly) {
  ClassEditor editor(QString(), nullptr);
  auto* name = editor.findChild<QLineEdit*>("name");
  for (const char* typed : {"ゆうき", "李 小龍", "ゆうき"}) {
    name->setText(QString::fromUtf8(typed));
    QTest::mouseClick(editor.findChild<QPushButton*>("add"), Qt::LeftButton);
  }
  // The second ゆうき is refused and stays to be corrected; after an added one the field is empty.
  EXPECT_FALSE(editor.findChild<QLabel*>("notice")->text().isEmpty());
  EXPECT_EQ(name->text(), QStringLiteral("ゆうき"));
  name->setText(QStringLiteral("ゆうき２"));
  QTest::mouseClick(editor.findChild<QPushButton*>("add"), Qt::LeftButton);
  EXPECT_TRUE(name->text().isEmpty());
  QTest::mouseClick(editor.findChild<QPushButton*>("up"), Qt::LeftButton);  // ゆうき２ before 李 小龍
  editor.SetAskers([](const QString&) { return QString(); }, [](const QString&) { return QString(); },
                   [] { return std::optional<std::uint32_t>(0x3a9d5d); });
  QTest::mouseClick(editor.findChild<QPushButton*>("colour"), Qt::LeftButton);  // for ゆうき２, the current one
  ASSERT_TRUE(editor.Save());
  const ClassList list = LoadClassList(ClassListFile());
  ASSERT_EQ(list.children.size(), 5u);
  EXPECT_EQ(list.children[2].name, U"ゆうき");
  EXPECT_EQ(list.children[3].name, U"ゆうき２");
  EXPECT_EQ(list.children[3].colour, 0x3a9d5du);
  EXPECT_EQ(list.children[4].name, U"李 小龍");
  EXPECT_EQ(QFile::permissions(home.filePath("data/kanae/クラス.txt")) & (QFile::ReadGroup | QFile::ReadOther), 0);

  // Kept in a folder the teacher chooses (a share): that list is edited from then on.
  ASSERT_TRUE(QDir().mkpath(home.filePath("share/class")));
  editor.SetAskers({}, [this](const QString&) { return home.filePath("share/class"); }, {});
  QTest::mouseClick(editor.findChild<QPushButton*>("choose_place"), Qt::LeftButton);
  EXPECT_TRUE(editor.Children().empty());
  EXPECT_EQ(editor.Folder(), home.filePath("share/class"));
}

// Under the lock a child's click on the menu's own buttons does nothing:
// each must be held for two seconds, as the games' keys are. Without the
// lock one click acts.
TEST_F(MenuTest, UnderTheLockEveryMenuButtonMustBeHeld) {
  // Whether the button did its work on a menu started with the lock on or off.
  struct Case {
    const char* button;
    std::function<bool(MenuWindow&, bool started_locked)> acted;
  };
  const std::vector<Case> cases = {
      {"kiosk", [](MenuWindow& menu, bool started_locked) { return menu.Kiosk() != started_locked; }},
      {"quit", [](MenuWindow& menu, bool) { return !menu.isVisible(); }},
      {"choose_lesson", [this](MenuWindow&, bool) { return !asked_from.isEmpty(); }},
      {"demo_lesson", [this](MenuWindow& menu, bool) { return menu.Lesson() == home.filePath("share/demo_lesson"); }},
      {"Suvan_settings", [this](MenuWindow&, bool) { return !runner.starts.empty(); }},
      {"Oltar_tasks", [this](MenuWindow&, bool) { return !runner.starts.empty(); }},
      {"Vintal_input", [this](MenuWindow&, bool) { return !runner.starts.empty(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    for (const bool locked : {true, false}) {
      // The menu starts on another lesson, so the demo lesson's button has work to do.
      RememberLesson(home.filePath("animals"));
      asked_from.clear();
      runner.starts.clear();
      auto menu = MakeMenu(locked);
      auto* button = menu->findChild<QAbstractButton*>(c.button);
      ASSERT_NE(button, nullptr);
      QTest::mouseClick(button, Qt::LeftButton);
      if (!locked) {
        EXPECT_TRUE(c.acted(*menu, locked)) << "without the lock a click did nothing";
        continue;
      }
      QTest::keyClick(button, Qt::Key_Space);
      EXPECT_FALSE(c.acted(*menu, locked)) << "a click acted";
      HoldDown(*menu, c.button, 1500);
      EXPECT_FALSE(c.acted(*menu, locked)) << "let go early, it acted";
      EXPECT_FALSE(button->findChild<QWidget*>("hold_bar")->isVisible());
      HoldDown(*menu, c.button, 2000);
      EXPECT_TRUE(c.acted(*menu, locked)) << "held, it did not act";
    }
  }
}

// Closing the window from outside (Alt+F4, the window manager) is refused
// under the lock; the held 終了 still ends the menu.
TEST_F(MenuTest, UnderTheLockTheWindowCannotBeClosedFromOutside) {
  auto menu = MakeMenu(/*kiosk=*/true);
  EXPECT_FALSE(menu->close());
  EXPECT_TRUE(menu->isVisible());
  HoldDown(*menu, "quit", 2000);
  EXPECT_FALSE(menu->isVisible());

  auto unlocked = MakeMenu(/*kiosk=*/false);
  EXPECT_TRUE(unlocked->close());
}

// The first start shows the demo lesson by name, never its installed path;
// a chosen folder shows as its path.
TEST_F(MenuTest, TheDemoLessonShowsByNameAndAChosenFolderByItsPath) {
  auto menu = MakeMenu();
  auto* label = menu->findChild<QLabel*>("lesson");
  EXPECT_EQ(label->text(), QStringLiteral("デモのレッスン"));
  chosen = home.filePath("animals");
  QTest::mouseClick(menu->findChild<QPushButton*>("choose_lesson"), Qt::LeftButton);
  EXPECT_EQ(label->text(), QDir::toNativeSeparators(home.filePath("animals")));
}

// Choosing a folder checks it: how many pictures each game can use, and
// what was left out and why, with a reading for a name in kanji.
TEST_F(MenuTest, ChoosingAFolderShowsTheLessonCheck) {
  for (const char* name : {"いぬ.png", "ねこ.jpeg", "犬.jpg", "うし.jpg", "えび.gif"}) {
    QFile file(home.filePath(QStringLiteral("animals/") + QString::fromUtf8(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  auto menu = MakeMenu();
  auto* check = menu->findChild<LessonCheckPanel*>("lesson_check");
  ASSERT_NE(check, nullptr);
  chosen = home.filePath("animals");
  QTest::mouseClick(menu->findChild<QPushButton*>("choose_lesson"), Qt::LeftButton);
  EXPECT_TRUE(check->GamesLine().contains(QStringLiteral("絵 3枚"))) << check->GamesLine().toStdString();
  EXPECT_TRUE(check->GamesLine().contains(QStringLiteral("オルタ文字：2枚で遊べます")));
  EXPECT_TRUE(check->GamesLine().contains(QStringLiteral("スヴァン選び：3枚。4枚以上ないと遊べません")));
  const QString notes = check->Notes().join('\n');
  for (const QString& said : {QStringLiteral("「いぬ.png」は使われません：ゲームが読める形式は .jpg .gif .bmp です。"),
                              QStringLiteral("「ねこ.jpeg」は使われません"),
                              QStringLiteral("「犬.jpg」の名前がかなではありません"),
                              // MeCab knows the word: its reading is offered as the file's name.
                              QStringLiteral("「いぬ.jpg」にしてはどうでしょう")}) {
    EXPECT_TRUE(notes.contains(said)) << said.toStdString() << " not in\n" << notes.toStdString();
  }
  const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR");
  if (!shots.isEmpty()) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    menu->resize(screen.size());
    menu->grab().save(QDir(shots).filePath(QStringLiteral("menu-check-%1.png").arg(screen.height())));
  }
}

// The folder chooser is Qt's own dialog, read-only: Delete on a file or an
// empty folder in it removes nothing, even when a child says yes.
TEST_F(MenuTest, TheFolderChooserCannotDeleteATeachersFiles) {
  ASSERT_TRUE(QDir().mkpath(home.filePath("lessons/animals/empty")));
  QFile picture(home.filePath("lessons/animals/いぬ.jpg"));
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.close();
  std::unique_ptr<QFileDialog> dialog(launcher::MakeLessonFolderDialog(nullptr, home.filePath("lessons/animals")));
  EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly));
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
  dialog->show();
  auto* view = dialog->findChild<QListView*>("listView");
  ASSERT_NE(view, nullptr);
  auto* model = qobject_cast<QFileSystemModel*>(view->model());
  ASSERT_NE(model, nullptr);
  EXPECT_TRUE(model->isReadOnly());
  // Were it asked, a child would answer yes.
  QTimer answer_yes;
  QObject::connect(&answer_yes, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box->button(QMessageBox::Yes) != nullptr ? box->button(QMessageBox::Yes)->click() : box->accept();
    }
  });
  answer_yes.start(20);
  for (const char* name : {"いぬ.jpg", "empty"}) {
    const QString path = home.filePath(QStringLiteral("lessons/animals/") + QString::fromUtf8(name));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->index(path).isValid(); }, 5000)) << name;
    view->setCurrentIndex(model->index(path));
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::qWait(100);
    EXPECT_TRUE(QFileInfo::exists(path)) << name << " was deleted";
  }
}

// Under the list, the chooser says whether a folder holds pictures, how many,
// and shows the first one small.
TEST_F(MenuTest, TheFolderChooserShowsWhichFoldersHoldPictures) {
  ASSERT_TRUE(QDir().mkpath(home.filePath("lessons/animals")));
  ASSERT_TRUE(QDir().mkpath(home.filePath("lessons/empty")));
  QImage red(64, 48, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(home.filePath("lessons/animals/いぬ.jpg"), "JPG"));
  ASSERT_TRUE(red.save(home.filePath("lessons/animals/ねこ.bmp"), "BMP"));
  std::unique_ptr<QFileDialog> dialog(launcher::MakeLessonFolderDialog(nullptr, home.filePath("lessons")));
  dialog->show();
  auto* text = dialog->findChild<QLabel*>("folder_preview_text");
  auto* picture = dialog->findChild<QLabel*>("folder_preview_picture");
  ASSERT_NE(text, nullptr);
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(text->text().contains(QStringLiteral("絵がありません"))) << text->text().toStdString();
  emit dialog->currentChanged(home.filePath("lessons/animals"));
  EXPECT_EQ(text->text(), QStringLiteral("「animals」：絵 2枚（いぬ.jpg など）"));
  ASSERT_FALSE(picture->pixmap().isNull());
  const QImage shown = picture->pixmap().toImage();
  EXPECT_GT(shown.pixelColor(shown.width() / 2, shown.height() / 2).red(), 200);
  emit dialog->currentChanged(home.filePath("lessons/empty"));
  EXPECT_TRUE(text->text().contains(QStringLiteral(".jpg .gif .bmp")));
  EXPECT_TRUE(picture->pixmap().isNull());
  const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR");
  if (!shots.isEmpty()) {
    emit dialog->currentChanged(home.filePath("lessons/animals"));
    dialog->grab().save(QDir(shots).filePath("folder-chooser.png"));
  }
}

// The real runner: the game gets the lesson as its one argument, runs in the
// per-user folder, and sees KANAE_KIOSK=1 only under the lock, and the child
// chosen in KANAE_CHILD.
TEST_F(MenuTest, TheProcessRunnerHandsOverFolderArgumentAndLock) {
  const QString game = home.filePath("game.sh");
  QFile script(game);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nprintf '%s|%s|%s|%s' \"$1\" \"$(pwd)\" \"$KANAE_KIOSK\" \"$KANAE_CHILD\" > seen\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ASSERT_TRUE(QDir().mkpath(home.filePath("user")));
  auto seen = [this] {
    QFile file(home.filePath("user/seen"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  };
  qputenv("KANAE_KIOSK", "1");  // left over in the menu's own environment
  qputenv("KANAE_CHILD", "someone else");
  ProcessRunner runner;
  for (const bool kiosk : {false, true}) {
    int ended = 0;
    bool started = false;
    const QString child = kiosk ? QStringLiteral("はなこ") : QString();
    runner.Run({game, home.filePath("my lessons/animals"), home.filePath("user"), kiosk, child}, [&](bool ok) {
      ++ended;
      started = ok;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended > 0; }, 20000));
    EXPECT_TRUE(started);
    EXPECT_EQ(seen(), home.filePath("my lessons/animals") + "|" + home.filePath("user") + "|" + (kiosk ? "1" : "") +
                          "|" + child);
    QTest::qWait(50);
    EXPECT_EQ(ended, 1);  // reported once
  }
  qunsetenv("KANAE_KIOSK");
  qunsetenv("KANAE_CHILD");
  int ended = 0;
  bool started = true;
  runner.Run({home.filePath("no such game"), home.filePath("animals"), home.filePath("user"), false, QString()}, [&](bool ok) {
    ++ended;
    started = ok;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended > 0; }, 20000));
  EXPECT_FALSE(started);
}

}  // namespace
}  // namespace kanae::menu

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
