// kanae-launch GAME [LESSON]: starts a game the way a teacher expects from the
// desktop. The game runs in the per-user folder; the lesson is the folder
// given, or one the teacher picks (the demo lesson is offered first).
#include <QApplication>
#include <QProcess>
#include <cstdio>

#include "launch.h"
#include "lesson_folder_dialog.h"
#include "platform/qt/japanese_ui.h"

namespace {

int Fail(const QString& text) {
  kanae::ShowNotice(nullptr, QStringLiteral("かなえ"), text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kanae::launcher;
  QApplication app(argc, argv);
  kanae::UseJapaneseQtTexts(app);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty() || !GamePrograms().contains(args[0])) {
    std::fprintf(stderr, "usage: kanae-launch %s [LESSON_FOLDER]\n", qPrintable(GamePrograms().join('|')));
    return 2;
  }
  const QString data = InstalledDataFolder();
  QString error;
  const QString user = PrepareUserFolder(data, error);
  if (user.isEmpty()) return Fail(QStringLiteral("フォルダを作成できませんでした。\n") + error);

  QString lesson = args.size() > 1 ? args.mid(1).join(' ') : QString();
  if (lesson.isEmpty()) {
    lesson = ChooseLessonFolder(nullptr, data + "/demo_lesson");
    if (lesson.isEmpty()) return 0;  // the teacher cancelled
  }

  const QString game = GameProgram(args[0]);
  if (!QProcess::startDetached(game, {lesson}, user)) {
    return Fail(QStringLiteral("ゲームを起動できませんでした。\n") + game);
  }
  return 0;
}
