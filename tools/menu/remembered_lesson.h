// The lesson folder the teacher used last, kept per user in
// $XDG_CONFIG_HOME/kanae/menu.ini, so the menu opens on it next time.
#pragma once

#include <QString>

namespace kanae::menu {

// The folder used last, or fallback when none was or it is gone.
QString RememberedLesson(const QString& fallback);
void RememberLesson(const QString& folder);

}  // namespace kanae::menu
