#include "settings.h"

#include "settings_notes.h"

#include "records.h"

namespace kanae::initial_letter {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"AskWithName", SettingType::kBoolean, kTrue, &s.ask_with_name},
      {"ShowModel", SettingType::kBoolean, kTrue, &s.show_model},
      {"DistractorCount", SettingType::kInteger, 0, &s.distractor_count},
      {"DistractorKind", SettingType::kInteger, 0, &s.distractor_kind},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.cursor_visible},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.touch_mode},
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

SettingsDialogLayout DialogLayout(Settings& s) {
  SettingsDialogLayout layout;
  layout.title = U"オルタ文字設定";
  layout.title_rect = {1560, 240, 2400, 285};
  layout.client_width = 5175;
  layout.client_height = 5280;
  layout.execute_button = {1560, 4320, 975, 375};
  layout.cancel_button = {360, 4320, 975, 375};
  layout.frame_rect = {120, 120, 4935, 5040};
  layout.frames = {
      {U"問題設定", {360, 720, 2295, 975}, &s.ask_with_name, true,
       StackedOptions({{"Option1", U"～は、どっち"}, {"Option2", U"このなまえは、どっち"}}, {kTrue, kFalse}, 1935)},
      {U"お手本", {360, 1800, 2295, 975}, &s.show_model, true,
       StackedOptions({{"Option3", U"表示する"}, {"Option4", U"表示しない"}}, {kTrue, kFalse})},
      {U"マウスカーソルの表示", {360, 2880, 2295, 975}, &s.cursor_visible, true,
       StackedOptions({{"Option11", U"有り"}, {"Option12", U"無し"}}, {kTrue, kFalse})},
      {U"まどわし文字", {2880, 720, 1935, 1695}, &s.distractor_count, false,
       StackedOptions({{"Option5", U"無し"}, {"Option6", U"１字有り"}, {"Option7", U"２字有り"}, {"Option8", U"３字有り"}},
                      {0, 1, 2, 3})},
      {U"まどわし文字の種類", {2880, 2520, 1935, 975}, &s.distractor_kind, false,
       StackedOptions({{"Option9", U"ひらがな"}, {"Option10", U"カタカナ"}}, {0, 1})},
      {U"タッチの方法", {2880, 3600, 1935, 975}, &s.touch_mode, true,
       StackedOptions({{"Option13", U"触れるだけ"}, {"Option14", U"クリックする"}}, {kTrue, kFalse})},
  };
  AttachNotes(layout, {{U"問題設定", U"「～は、どっち」は「いぬの、い、は、どれかな」と名前を言って聞きます。もう一方は「この名前は、どれかな」とだけ聞きます。"},
       {U"お手本", U"「表示する」にすると、答えの文字（名前の最初の文字）も上の名前の中に見せます。見本と同じ文字を選ぶ練習です。"}});
  return layout;
}

}  // namespace kanae::initial_letter
