#include "settings.h"

#include "records.h"

namespace kanae::initial_letter {

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
      .program = "Oltar",
      .title = U"オルタ文字",
      .settings_file = "Oltar.txt",
      .fewest_pictures = 1,
      .fewest_tasks = 1,
      .reads_retry_messages = true,
      .has_letter_tables = true,
  };
  return info;
}

}  // namespace kanae::initial_letter
