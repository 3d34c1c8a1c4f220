// The settings of the game Dabrel, held for the whole run and kept in "Dabrel.txt".
#pragma once

#include <cstdint>

#include "game.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace kanae::word_building {

struct Settings {
  Settings();  // the defaults

  std::int16_t ask_with_name = 0;  // true: the prompt says the name
  std::int16_t show_model = 0;  // true: the name row shows the name in light blue
  std::int16_t distractor_count = 0;  // distractor letters per question, 0 to 2
  std::int16_t distractor_kind = 0;  // 0 hiragana, 1 katakana, 2 full-width digits
  std::int16_t cursor_visible = 0;  // false: the pointer is hidden
  std::int16_t touch_mode = 0;  // true: moving onto a card answers; false: a click
};

// The settings in file order.
SettingsList SettingSlots(Settings& settings);

const GameInfo& Info();

// The option frames of the settings dialog, bound to the settings.
SettingsDialogLayout DialogLayout(Settings& settings);

}  // namespace kanae::word_building
