#include "class_place.h"

#include <QFileInfo>
#include <QSettings>

namespace kanae::menu {

namespace {

constexpr char kKey[] = "class_folder";

QSettings Store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "kanae", "menu"); }

}  // namespace

QString RememberedClassFolder() {
  const QString folder = Store().value(kKey).toString();
  // A share that is not mounted today: the user's own list, rather than none.
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
  return folder;
}

void RememberClassFolder(const QString& folder) {
  QSettings store = Store();
  store.setValue(kKey, folder);
  store.sync();
}

}  // namespace kanae::menu
