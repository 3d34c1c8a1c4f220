// Where the teacher keeps the class list: "" for the user's own data folder,
// or the folder she chose (a school share), remembered between starts.
#pragma once

#include <QString>

namespace kanae::menu {

QString RememberedClassFolder();
void RememberClassFolder(const QString& folder);

}  // namespace kanae::menu
