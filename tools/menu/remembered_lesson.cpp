#include "remembered_lesson.h"

#include <QFileInfo>
#include <QSettings>

namespace kanae::menu {

namespace {

constexpr char kKey[] = "lesson_folder";

QSettings Store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "kanae", "menu"); }

}  // namespace

QString RememberedLesson(const QString& fallback) {
  const QString folder = Store().value(kKey).toString();
  // A folder on a stick that is not plugged in, or one since deleted.
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return fallback;
  return folder;
}

void RememberLesson(const QString& folder) {
  QSettings store = Store();
  store.setValue(kKey, folder);
  store.sync();
}

}  // namespace kanae::menu
