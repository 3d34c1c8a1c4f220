#include "settings.h"

#include "records.h"

namespace kanae::word_building {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"AskWithName", SettingType::kBoolean, kTrue, &s.AskWithName},
      {"ShowModel", SettingType::kBoolean, kTrue, &s.ShowModel},
      {"DistractorCount", SettingType::kInteger, 0, &s.DistractorCount},
      {"DistractorKind", SettingType::kInteger, 0, &s.DistractorKind},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.CursorVisible},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.TouchMode},
  };
}

const GameInfo& Info() {
  static const GameInfo info{
      .program = "Dabrel",
      .title = U"ダブレル作り",
      .settings_file = "Dabrel.txt",
      .fewest_pictures = 1,
      .fewest_tasks = 1,
      .reads_retry_messages = false,
      .has_letter_tables = true,
  };
  return info;
}

}  // namespace kanae::word_building
