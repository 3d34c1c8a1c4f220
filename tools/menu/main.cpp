// kanae [--kiosk]: the full-screen menu of the six games.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QFont>

#include "launch.h"
#include "lesson_folder_dialog.h"
#include "lesson_speech_ahead.h"
#include "platform/qt/japanese_ui.h"
#include "menu_window.h"
#include "process_runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kanae::UseJapaneseQtTexts(app);
  QFont font = QApplication::font();
  font.setFamilies({"IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "sans-serif"});
  QApplication::setFont(font);
  const bool kiosk = QCoreApplication::arguments().contains(QStringLiteral("--kiosk"));

  kanae::menu::ProcessRunner runner;
  // The shown lesson's first prompts, made while the teacher is in the menu.
  const std::unique_ptr<kanae::menu::LessonSpeechAhead> speech_ahead = kanae::menu::MakeLessonSpeechAhead();
  kanae::menu::MenuWindow menu(runner, kanae::launcher::InstalledDataFolder(), kiosk, [&menu](const QString& start) {
    return kanae::launcher::ChooseLessonFolder(&menu, start);
  });
  // The screen's size first: without a window manager, full screen alone
  // leaves the window at its preferred size.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) menu.setGeometry(screen->geometry());
  menu.PrepareSpeechWith(speech_ahead.get());
  menu.showFullScreen();
  return QApplication::exec();
}
