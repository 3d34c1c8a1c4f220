#include "settings.h"

#include "records.h"

namespace kanae::kana_catching {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"BlinkFast", SettingType::kBoolean, kTrue, &s.BlinkFast},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.CursorVisible},
      {"DistractorCount", SettingType::kInteger, 0, &s.DistractorCount},
      {"DistractorKind", SettingType::kInteger, 0, &s.DistractorKind},
      {"JumpingLetter", SettingType::kBoolean, kTrue, &s.JumpingLetter},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.TouchMode},
  };
}

const GameInfo& Info() {
  static const GameInfo info{
      .program = "Pemble",
      .title = U"ペンブル",
      .settings_file = "Pemble.txt",
      .fewest_pictures = 1,
      .fewest_tasks = 1,
      .reads_retry_messages = true,
      .has_letter_tables = true,
  };
  return info;
}

}  // namespace kanae::kana_catching
