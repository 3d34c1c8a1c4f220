#include "menu_window.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "class_editor.h"
#include "class_place.h"
#include "hold_to_act.h"
#include "launch.h"
#include "lesson_check_panel.h"
#include "lesson_speech_ahead.h"
#include "platform/qt/guide_window.h"
#include "platform/qt/japanese_ui.h"
#include "platform/speech/reading.h"
#include "remembered_lesson.h"

namespace kanae::menu {

namespace {

// The game's picture, as its desktop icon draws it: its letter on a card.
QPixmap GamePicture(const launcher::GameEntry& game, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const double unit = size / 256.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(game.colour));
  painter.drawRoundedRect(QRectF(8 * unit, 8 * unit, 240 * unit, 240 * unit), 40 * unit, 40 * unit);
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(QRectF(48 * unit, 40 * unit, 160 * unit, 160 * unit), 16 * unit, 16 * unit);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(static_cast<int>(112 * unit));
  painter.setFont(font);
  painter.setPen(QColor(0x22, 0x22, 0x22));
  painter.drawText(QRectF(48 * unit, 40 * unit, 160 * unit, 160 * unit), Qt::AlignCenter, game.letter);
  return pixmap;
}

}  // namespace

MenuWindow::MenuWindow(GameRunner& runner, QString data, bool kiosk, FolderChooser choose_folder)
    : runner_(runner), data_(std::move(data)), choose_folder_(std::move(choose_folder)) {
  setWindowTitle(QStringLiteral("かなえ"));
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(0xfb, 0xf6, 0xec));
  setPalette(colours);

  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screen_height = screen != nullptr ? screen->geometry().height() : 768;
  // Room under each picture for its title, what it teaches and its dialogs.
  const int picture = screen_height / 6;
  QFont text = font();
  text.setPixelSize(std::max(16, screen_height / 45));
  setFont(text);

  auto* heading = new QLabel(QStringLiteral("かなえ"), this);
  QFont big = text;
  big.setBold(true);
  big.setPixelSize(text.pixelSize() * 2);
  heading->setFont(big);
  heading->setAlignment(Qt::AlignCenter);

  auto* games = new QGridLayout;
  games->setSpacing(picture / 6);
  QFont title = text;
  title.setBold(true);
  title.setPixelSize(text.pixelSize() * 3 / 2);
  // Each game's dialogs, opened from here without playing: the buttons
  // collected so that the lock can hold them like the others.
  std::vector<QPushButton*> dialog_buttons;
  int n = 0;
  for (const launcher::GameEntry& game : launcher::Games()) {
    auto* button = new QToolButton(this);
    button->setObjectName(game.program);
    button->setText(game.title);
    button->setToolTip(game.comment);
    button->setIcon(GamePicture(game, picture));
    button->setIconSize(QSize(picture, picture));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFont(title);
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(button, &QToolButton::clicked, this, [this, program = game.program] { Start(program); });
    // What the game teaches, written out: a touch screen shows no tooltip.
    auto* teaches = new QLabel(game.comment + QStringLiteral("\n（") + game.teaches + QStringLiteral("）"), this);
    teaches->setObjectName(game.program + "_teaches");
    teaches->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    teaches->setWordWrap(true);
    auto* dialogs = new QHBoxLayout;
    dialogs->addStretch();
    for (const auto& [dialog, caption] : {std::pair{QStringLiteral("settings"), QStringLiteral("設定")},
                                          std::pair{QStringLiteral("tasks"), QStringLiteral("課題えらび")},
                                          std::pair{QStringLiteral("input"), QStringLiteral("入力方法")}}) {
      auto* open = new QPushButton(caption, this);
      open->setObjectName(game.program + "_" + dialog);
      connect(open, &QPushButton::clicked, this,
              [this, program = game.program, dialog = dialog] { OpenDialog(program, dialog); });
      dialogs->addWidget(open);
      dialog_buttons.push_back(open);
    }
    dialogs->addStretch();
    auto* cell = new QVBoxLayout;
    cell->setSpacing(text.pixelSize() / 4);
    cell->addWidget(button, 1);
    cell->addWidget(teaches);
    cell->addLayout(dialogs);
    games->addLayout(cell, n / 3, n % 3);
    ++n;
  }

  lesson_label_ = new QLabel(this);
  lesson_label_->setObjectName("lesson");
  lesson_label_->setTextInteractionFlags(Qt::NoTextInteraction);
  auto* choose = new QPushButton(QStringLiteral("フォルダを選ぶ…"), this);
  choose->setObjectName("choose_lesson");
  connect(choose, &QPushButton::clicked, this, [this] {
    const QString folder = choose_folder_(lesson_);
    if (!folder.isEmpty()) SetLesson(folder);
  });
  auto* demo = new QPushButton(QStringLiteral("デモのレッスン"), this);
  demo->setObjectName("demo_lesson");
  connect(demo, &QPushButton::clicked, this, [this] { SetLesson(data_ + "/demo_lesson"); });

  kiosk_ = new QCheckBox(QStringLiteral("キーのロック（Esc・H・N・S・R・F1 は2秒押し続けたときだけ）"), this);
  kiosk_->setObjectName("kiosk");
  kiosk_->setChecked(kiosk);
  // The style's box is a few pixels wide on any screen; here it is as tall as the text.
  kiosk_->setStyleSheet(
      QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(text.pixelSize()));
  kiosk_->setFont(text);
  auto* quit = quit_ = new QPushButton(this);
  quit->setObjectName("quit");
  connect(quit, &QPushButton::clicked, this, [this] {
    close_guard_->AllowOnce();
    close();
  });
  const auto name_quit = [this] {
    quit_->setText(Kiosk() ? QStringLiteral("終了（2秒押し続ける）") : QStringLiteral("終了"));
  };
  name_quit();
  connect(kiosk_, &QCheckBox::toggled, this, name_quit);

  // A child at the menu between games could end it, unlock it or change the
  // lesson with one click: under the lock each of these must be held.
  for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{kiosk_, quit, choose, demo}) {
    new HoldToAct(button, [this] { return Kiosk(); });
  }
  for (QPushButton* button : dialog_buttons) new HoldToAct(button, [this] { return Kiosk(); });
  close_guard_ = new LockedClose(this, [this] { return Kiosk(); });

  class_button_ = new QPushButton(QStringLiteral("クラスの名簿…"), this);
  class_button_->setObjectName("class_list");
  connect(class_button_, &QPushButton::clicked, this, &MenuWindow::EditClass);
  // A child at the locked menu must not change the class.
  const auto lock_class = [this] { class_button_->setEnabled(!Kiosk()); };
  lock_class();
  connect(kiosk_, &QCheckBox::toggled, this, lock_class);
  class_folder_ = RememberedClassFolder();

  // The guide only shows; a child who opens it closes it again with one touch.
  auto* guide = new QPushButton(QStringLiteral("使い方"), this);
  guide->setObjectName("guide");
  connect(guide, &QPushButton::clicked, this, &MenuWindow::ShowGuide);

  for (QPushButton* button : {choose, demo, quit, class_button_, guide}) {
    button->setMinimumSize(button->fontMetrics().horizontalAdvance(button->text()) + text.pixelSize() * 2,
                           text.pixelSize() * 2);
  }
  auto* lesson_row = new QHBoxLayout;
  lesson_row->addWidget(new QLabel(QStringLiteral("レッスン："), this));
  lesson_row->addWidget(lesson_label_, 1);
  lesson_row->addWidget(choose);
  lesson_row->addWidget(demo);
  auto* bottom_row = new QHBoxLayout;
  bottom_row->addWidget(kiosk_);
  bottom_row->addStretch();
  bottom_row->addWidget(guide);
  bottom_row->addWidget(class_button_);
  bottom_row->addWidget(quit);
  auto* column = new QVBoxLayout(this);
  const int margin = screen_height / 30;
  column->setContentsMargins(margin, margin, margin, margin);
  column->addWidget(heading);
  column->addLayout(games, 1);
  column->addLayout(lesson_row);
  check_ = new LessonCheckPanel(data_ + "/sounds", [](const Text& word) { return speech::ReadingOf(word); }, this);
  column->addWidget(check_);
  column->addLayout(bottom_row);

  lesson_ = RememberedLesson(data_ + "/demo_lesson");
  ShowLesson();
}

void MenuWindow::SetLesson(const QString& folder) {
  lesson_ = QDir(folder).absolutePath();
  ShowLesson();
  RememberLesson(lesson_);
  if (speech_ahead_ != nullptr) speech_ahead_->PrepareLesson(lesson_);
}

void MenuWindow::PrepareSpeechWith(LessonSpeechAhead* ahead) {
  speech_ahead_ = ahead;
  if (speech_ahead_ != nullptr) speech_ahead_->PrepareLesson(lesson_);
}

void MenuWindow::ShowLesson() {
  // The installed demo lesson lives in a folder no teacher should need to read.
  const QString demo = QFileInfo(data_ + "/demo_lesson").canonicalFilePath();
  const bool is_demo = !demo.isEmpty() && QFileInfo(lesson_).canonicalFilePath() == demo;
  lesson_label_->setText(is_demo ? QStringLiteral("デモのレッスン") : QDir::toNativeSeparators(lesson_));
  lesson_label_->setToolTip(QDir::toNativeSeparators(lesson_));
  check_->Check(lesson_);
}

void MenuWindow::Start(const QString& program) {
  if (running_ || chooser_ != nullptr) return;  // a second click while the first game starts
  const auto close_chooser = [this] {
    chooser_->hide();
    chooser_->deleteLater();
    chooser_ = nullptr;
  };
  chooser_ = ShowClassChooser(
      class_folder_, lesson_,
      [this, program, close_chooser](const QString& child) {
        close_chooser();
        Launch(program, child);
      },
      [this, close_chooser] {
        close_chooser();
        showFullScreen();
        activateWindow();
      });
  if (chooser_ == nullptr) return Launch(program, QString());  // no class: no one to choose
  hide();
}

void MenuWindow::EditClass() {
  ClassEditor editor(class_folder_, this);
  editor.setModal(true);
  if (editor.exec() != QDialog::Accepted) return;
  class_folder_ = editor.Folder();
  RememberClassFolder(class_folder_);
}

void MenuWindow::ShowGuide() {
  if (guide_ == nullptr) guide_ = new GuideWindow(this);
  guide_->show();
  guide_->raise();
  guide_->activateWindow();
}

void MenuWindow::OpenDialog(const QString& program, const QString& dialog) {
  if (running_ || chooser_ != nullptr) return;
  Launch(program, QString(), dialog);
}

void MenuWindow::Launch(const QString& program, const QString& child, const QString& dialog) {
  if (running_) return;
  QString error;
  const QString user = launcher::PrepareUserFolder(data_, error);
  if (user.isEmpty()) {
    Tell(QStringLiteral("フォルダを作成できませんでした。\n") + error);
    return;
  }
  running_ = true;
  hide();
  if (speech_ahead_ != nullptr) speech_ahead_->Hold(true);
  GameStart start{launcher::GameProgram(program), lesson_, user, Kiosk(), child, dialog};
  runner_.Run(start, [this, start](bool started) {
    running_ = false;
    if (speech_ahead_ != nullptr) speech_ahead_->Hold(false);
    check_->Check(lesson_);  // the teacher may have mended the folder meanwhile
    showFullScreen();
    raise();
    activateWindow();
    if (!started) Tell(QStringLiteral("ゲームを起動できませんでした。\n") + start.program);
  });
}

void MenuWindow::Tell(const QString& text) {
  if (tell_) {
    tell_(text);
    return;
  }
  ShowNotice(this, QStringLiteral("かなえ"), text);
}

}  // namespace kanae::menu
