#include "launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kanae::launcher {

const std::vector<GameEntry>& Games() {
  static const std::vector<GameEntry> games = {
#include "game_list.inc"
  };
  return games;
}

QStringList GamePrograms() {
  QStringList programs;
  for (const GameEntry& game : Games()) programs << game.program;
  return programs;
}

QString InstalledDataFolder() {
  const QString from_env = qEnvironmentVariable("KANAE_DATA_DIR");
  if (!from_env.isEmpty()) return from_env;
  return QDir(QCoreApplication::applicationDirPath() + "/../share/kanae").absolutePath();
}

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

QString GameProgram(const QString& program) { return QCoreApplication::applicationDirPath() + "/" + program; }

}  // namespace kanae::launcher
