// How the child answers besides a click or a touch: resting the pointer on an
// answer (dwell), switch scanning, and a key that asks the question again.
// Kept per lesson in "入力.txt", apart from the games' own settings files.
#pragma once

#include <cstdint>
#include <filesystem>

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
  // Questions to answer right before the lesson ends; 0 plays on without end.
  std::int16_t question_count = 0;
};

// The fields in file order, with their defaults (0,0,2000,#TRUE#,0).
SettingsList InputSettingSlots(InputSettings& settings);

// Reads the file, or sets the defaults; never writes. A file of the four
// fields kept before the question count reads as it stands, with no end to
// the lesson. A negative count is taken as none.
void ReadInputSettings(const std::filesystem::path& file, InputSettings& settings);

// The teacher's dialog for them (key S), laid out like the games' settings dialogs.
SettingsDialogLayout InputDialogLayout(InputSettings& settings);

}  // namespace kanae
