// The settings of the game Pemble, held for the whole run and kept in "Pemble.txt".
#pragma once

#include <cstdint>

#include "game.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace kanae::kana_catching {

struct Settings {
  Settings();  // the defaults

  std::int16_t blink_fast = 0;  // true: the letter jumps every second; false: every two
  std::int16_t cursor_visible = 0;  // false: the pointer is hidden
  std::int16_t distractor_count = 0;  // distractor letters per question, 0 to 3
  std::int16_t distractor_kind = 0;  // 0 hiragana, 1 katakana
  std::int16_t jumping_letter = 0;  // true: each question starts with the letter to catch
  std::int16_t touch_mode = 0;  // true: moving onto a letter answers; false: a click
};

// The settings in file order.
SettingsList SettingSlots(Settings& settings);

const GameInfo& Info();

// The option frames of the settings dialog, bound to the settings.
SettingsDialogLayout DialogLayout(Settings& settings);

}  // namespace kanae::kana_catching
