#include "display_check.h"

#include <string_view>
#include <vector>

namespace kanae {

namespace {

bool IsSet(const Environment& environment, const char* name) {
  const char* value = environment(name);
  return value != nullptr && *value != '\0';
}

// QT_QPA_PLATFORM may list several platforms ("wayland;xcb"), each with
// options after a colon ("offscreen:size=800x600").
std::vector<std::string> Platforms(std::string_view setting) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= setting.size()) {
    std::size_t end = setting.find(';', start);
    if (end == std::string_view::npos) end = setting.size();
    std::string_view item = setting.substr(start, end - start);
    item = item.substr(0, item.find(':'));
    if (!item.empty()) names.emplace_back(item);
    start = end + 1;
  }
  return names;
}

}  // namespace

std::string MissingDisplay(const Environment& environment) {
#if defined(__linux__) || defined(__FreeBSD__)
  const bool x11 = IsSet(environment, "DISPLAY");
  const bool wayland = IsSet(environment, "WAYLAND_DISPLAY");
  const char* setting = environment("QT_QPA_PLATFORM");
  const std::vector<std::string> platforms = Platforms(setting != nullptr ? setting : "");
  if (platforms.empty()) {
    if (x11 || wayland) return {};
    return "kanae: no display (DISPLAY is not set)";
  }
  std::string missing;
  for (const std::string& platform : platforms) {
    if (platform == "xcb") {
      if (x11) return {};
      if (missing.empty()) missing = "DISPLAY";
    } else if (platform.starts_with("wayland")) {
      if (wayland) return {};
      if (missing.empty()) missing = "WAYLAND_DISPLAY";
    } else {
      return {};  // offscreen, minimal, vnc, eglfs, linuxfb...: no display server needed
    }
  }
  return "kanae: no display (" + missing + " is not set)";
#else
  (void)environment;
  return {};
#endif
}

}  // namespace kanae
