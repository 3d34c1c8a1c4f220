// The settings of the game Suvan, held for the whole run and kept in "Suvan.txt".
#pragma once

#include <cstdint>

#include "game.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace kanae::card_picking {

struct Settings {
  Settings();  // the defaults

  std::int16_t four_cards = 0;  // exactly true (-1): four cards; anything else: two
  std::int16_t card_letter_size = 0;  // 0 none, 1 small, 2 medium, 3 large (letter without picture)
  std::int16_t touch_mode = 0;  // true: moving onto a card answers; false: a click
  std::int16_t cursor_visible = 0;  // false: the pointer is hidden
};

// The settings in file order.
SettingsList SettingSlots(Settings& settings);

const GameInfo& Info();

// The option frames of the settings dialog, bound to the settings.
SettingsDialogLayout DialogLayout(Settings& settings);

}  // namespace kanae::card_picking
