// Opens a page in the desktop's browser and says, later, when that failed:
// the opener program missing, or its report that no browser could show it.
#pragma once

#include <QString>
#include <functional>

namespace kanae {

// failed runs once, on the GUI thread, with the reason, when the page could
// not be opened; it never runs when the opener reports success or keeps
// running (a browser it started in the foreground). opener: the program,
// "xdg-open" on the desktop; tests hand in their own.
void OpenInBrowser(const QString& page, std::function<void(const QString& reason)> failed,
                   const QString& opener = QStringLiteral("xdg-open"));

}  // namespace kanae
