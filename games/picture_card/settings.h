// The settings of the game Vintal, held for the whole run and kept in "Vintal.txt".
#pragma once

#include <cstdint>

#include "game.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace kanae::picture_card {

struct Settings {
  Settings();  // the defaults

  std::int16_t ask_with_name = 0;  // true: the prompt says the name
  std::int16_t touch_mode = 0;  // with the picture method, true: moving onto a picture answers
  std::int16_t cursor_visible = 0;  // false: the pointer is hidden
  std::int16_t choose_by_picture = 0;  // true: a picture is chosen; false: the left or right mouse button
};

// The settings in file order.
SettingsList SettingSlots(Settings& settings);

const GameInfo& Info();

// The option frames of the settings dialog, bound to the settings.
SettingsDialogLayout DialogLayout(Settings& settings);

}  // namespace kanae::picture_card
