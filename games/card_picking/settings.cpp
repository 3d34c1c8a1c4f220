#include "settings.h"

#include "records.h"

namespace kanae::card_picking {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"FourCards", SettingType::kBoolean, kTrue, &s.FourCards},
      {"CardLetterSize", SettingType::kInteger, 1, &s.CardLetterSize},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.TouchMode},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.CursorVisible},
  };
}

const GameInfo& Info() {
  static const GameInfo info{
      .program = "Suvan",
      .title = U"スヴァン選び",
      .settings_file = "Suvan.txt",
      .fewest_pictures = 4,
      .fewest_tasks = 4,
      .reads_retry_messages = true,
      .has_letter_tables = false,
  };
  return info;
}

}  // namespace kanae::card_picking
