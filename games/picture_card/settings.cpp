#include "settings.h"

#include "records.h"

namespace kanae::picture_card {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"AskWithName", SettingType::kBoolean, kTrue, &s.AskWithName},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.TouchMode},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.CursorVisible},
      {"ChooseByPicture", SettingType::kBoolean, kTrue, &s.ChooseByPicture},
  };
}

const GameInfo& Info() {
  static const GameInfo info{
      .program = "Vintal",
      .title = U"絵ヴィンタ選び",
      .settings_file = "Vintal.txt",
      .fewest_pictures = 2,
      .fewest_tasks = 2,
      .reads_retry_messages = true,
      .has_letter_tables = false,
  };
  return info;
}

}  // namespace kanae::picture_card
