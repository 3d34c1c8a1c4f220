// The settings of the game Quoma, held for the whole run and kept in "Quoma.txt".
#pragma once

#include <cstdint>

#include "game.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace kanae::name_choice {

struct Settings {
  Settings();  // the defaults

  std::int16_t ask_with_name = 0;  // true: the prompt says the picture's name
  std::int16_t touch_mode = 0;  // true: moving onto a name answers; false: a click
  std::int16_t cursor_visible = 0;  // false: the pointer is hidden
};

// The settings in file order.
SettingsList SettingSlots(Settings& settings);

const GameInfo& Info();

// The option frames of the settings dialog, bound to the settings.
SettingsDialogLayout DialogLayout(Settings& settings);

}  // namespace kanae::name_choice
