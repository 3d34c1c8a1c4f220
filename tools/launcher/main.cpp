// kanae-launch GAME [LESSON]: starts a game the way a teacher expects from the
// desktop. The game runs in a per-user folder that holds the sound pack and
// the teacher's own "O.txt" and "X.txt"; the lesson is the folder given, or
// one the teacher picks (the demo lesson is offered first).
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

namespace {

const QStringList kGames = {"Oltar", "Pemble", "Suvan", "Dabrel", "Quoma", "Vintal"};

// The installed data: share/kanae next to the bin folder, unless overridden.
QString DataFolder() {
  const QString from_env = qEnvironmentVariable("KANAE_DATA_DIR");
  if (!from_env.isEmpty()) return from_env;
  return QDir(QCoreApplication::applicationDirPath() + "/../share/kanae").absolutePath();
}

// The per-user folder, filled from the sound pack. Files already there are
// kept, so a teacher's edited messages and sounds survive updates.
QString PrepareUserFolder(const QString& data, QString& error) {
  const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/kanae";
  if (!QDir().mkpath(user)) {
    error = user;
    return {};
  }
  const QDir sounds(data + "/sounds");
  for (const QFileInfo& file : sounds.entryInfoList(QDir::Files)) {
    const QString target = user + "/" + file.fileName();
    if (!QFileInfo::exists(target)) QFile::copy(file.absoluteFilePath(), target);
  }
  return user;
}

int Fail(const QString& text) {
  QMessageBox::warning(nullptr, QStringLiteral("Kanae"), text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty() || !kGames.contains(args[0])) {
    std::fprintf(stderr, "usage: kanae-launch %s [LESSON_FOLDER]\n", qPrintable(kGames.join('|')));
    return 2;
  }
  const QString data = DataFolder();
  QString error;
  const QString user = PrepareUserFolder(data, error);
  if (user.isEmpty()) return Fail(QStringLiteral("フォルダを作成できませんでした。\n") + error);

  QString lesson = args.size() > 1 ? args.mid(1).join(' ') : QString();
  if (lesson.isEmpty()) {
    lesson = QFileDialog::getExistingDirectory(nullptr, QStringLiteral("レッスンのフォルダを選んでください"),
                                               data + "/demo_lesson");
    if (lesson.isEmpty()) return 0;  // the teacher cancelled
  }

  const QString game = QCoreApplication::applicationDirPath() + "/" + args[0];
  if (!QProcess::startDetached(game, {lesson}, user)) {
    return Fail(QStringLiteral("ゲームを起動できませんでした。\n") + game);
  }
  return 0;
}
