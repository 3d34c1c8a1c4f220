// Whether the window system Qt is about to use is there at all. Without one,
// Qt aborts with a long hint about reinstalling the application; the games
// say in one line what is missing and exit with status 1 instead.
#pragma once

#include <functional>
#include <string>

namespace kanae {

// Reads an environment variable: nullptr when it is not set.
using Environment = std::function<const char*(const char*)>;

// Empty when a display is available (or the platform needs none, such as
// QT_QPA_PLATFORM=offscreen); otherwise the line to print, for example
// "kanae: no display (DISPLAY is not set)".
std::string MissingDisplay(const Environment& environment);

}  // namespace kanae
