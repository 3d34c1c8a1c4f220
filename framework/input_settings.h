// How the child answers besides a click or a touch: resting the pointer on an
// answer (dwell), switch scanning, and a key that asks the question again.
// Kept per lesson in "入力.txt", apart from the games' own settings files.
#pragma once

#include <cstdint>

#include "records.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace kanae {

inline constexpr char32_t kInputSettingsFile[] = U"入力.txt";

struct InputSettings {
  std::int16_t dwell_milliseconds = 0;  // 0: off
  std::int16_t scanning = 0;           // 0 off, 1 one switch, 2 two switches
  std::int16_t scan_interval_milliseconds = 2000;
  std::int16_t repeat_key = kTrue;      // Space or the right button says the question again
};

// The fields in file order, with their defaults (0,0,2000,#TRUE#).
SettingsList InputSettingSlots(InputSettings& settings);

// The teacher's dialog for them (key S), laid out like the games' settings dialogs.
SettingsDialogLayout InputDialogLayout(InputSettings& settings);

}  // namespace kanae
