#include "settings.h"

#include "records.h"

namespace kanae::name_choice {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"AskWithName", SettingType::kBoolean, kTrue, &s.AskWithName},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.TouchMode},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.CursorVisible},
  };
}

const GameInfo& Info() {
  static const GameInfo info{
      .program = "Quoma",
      .title = U"クオマ選び",
      .settings_file = "Quoma.txt",
      .fewest_pictures = 2,
      .fewest_tasks = 2,
      .reads_retry_messages = true,
      .has_letter_tables = false,
  };
  return info;
}

}  // namespace kanae::name_choice
