// kanae [--kiosk]: the full-screen menu of the six games.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QFont>

#include "launch.h"
#include "lesson_folder_dialog.h"
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
  kanae::menu::MenuWindow menu(runner, kanae::launcher::InstalledDataFolder(), kiosk, [&menu](const QString& start) {
    return kanae::launcher::ChooseLessonFolder(&menu, start);
  });
  // The screen's size first: without a window manager, full screen alone
  // leaves the window at its preferred size.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) menu.setGeometry(screen->geometry());
  menu.showFullScreen();
  return QApplication::exec();
}
