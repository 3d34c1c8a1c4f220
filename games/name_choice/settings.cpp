#include "settings.h"

#include "settings_notes.h"

#include "records.h"

namespace kanae::name_choice {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"AskWithName", SettingType::kBoolean, kTrue, &s.ask_with_name},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.touch_mode},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.cursor_visible},
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

SettingsDialogLayout DialogLayout(Settings& s) {
  SettingsDialogLayout layout;
  layout.title = U"クオマ選び設定";
  layout.title_rect = {1920, 360, 1800, 285};
  layout.client_width = 5565;
  layout.client_height = 3540;
  layout.execute_button = {4080, 2160, 1095, 375};
  layout.cancel_button = {2880, 2160, 1095, 375};
  layout.frame_rect = {120, 120, 5295, 3255};

  auto question = StackedOptions({{"Option1", U"～は、どっち"}, {"Option2", U"このなまえは、どっち"}}, {kTrue, kFalse});
  question[1].rect.width = 1935;  // the longer caption needs the wider button
  layout.frames = {
      {U"問題設定", {360, 840, 2295, 975}, &s.ask_with_name, true, std::move(question)},
      {U"タッチの方法", {2880, 840, 2295, 975}, &s.touch_mode, true,
       StackedOptions({{"Option3", U"触れるだけ"}, {"Option4", U"クリックする"}}, {kTrue, kFalse})},
      {U"マウスカーソルの表示", {360, 2040, 2295, 975}, &s.cursor_visible, true,
       StackedOptions({{"Option5", U"有り"}, {"Option6", U"無し"}}, {kTrue, kFalse}, 1095)},
  };
  AttachNotes(layout, {{U"問題設定", U"「～は、どっち」は「いぬ、は、どっちかな」と名前を言って聞きます。もう一方は「この名前は、どっちかな」とだけ聞きます。"}});
  return layout;
}

}  // namespace kanae::name_choice
