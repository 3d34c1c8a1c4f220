// Without a display the games say so in one line instead of Qt's abort.
#include "platform/qt/display_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace kanae {
namespace {

TEST(DisplayCheck, NamesWhatIsMissingForThePlatformQtWillUse) {
  struct Case {
    std::map<std::string, std::string> environment;
    std::string expected;
  };
  const Case cases[] = {
      {{}, "kanae: no display (DISPLAY is not set)"},
      {{{"DISPLAY", ""}}, "kanae: no display (DISPLAY is not set)"},
      {{{"DISPLAY", ":0"}}, ""},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, ""},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, ""},
      {{{"QT_QPA_PLATFORM", "minimal"}}, ""},
      {{{"QT_QPA_PLATFORM", "offscreen:size=800x600"}}, ""},
      {{{"QT_QPA_PLATFORM", "xcb"}}, "kanae: no display (DISPLAY is not set)"},
      {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, "kanae: no display (DISPLAY is not set)"},
      {{{"QT_QPA_PLATFORM", "wayland"}}, "kanae: no display (WAYLAND_DISPLAY is not set)"},
      {{{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-1"}}, ""},
      {{{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":1"}}, ""},
      {{{"QT_QPA_PLATFORM", "wayland;xcb"}}, "kanae: no display (WAYLAND_DISPLAY is not set)"},
  };
  for (const Case& c : cases) {
    const auto lookup = [&c](const char* name) -> const char* {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? nullptr : it->second.c_str();
    };
    std::string described;
    for (const auto& [name, value] : c.environment) described += name + "=" + value + " ";
    EXPECT_EQ(MissingDisplay(lookup), c.expected) << described;
  }
}

}  // namespace
}  // namespace kanae
