#include "settings.h"

#include "settings_notes.h"

#include "records.h"

namespace kanae::word_building {

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

SettingsDialogLayout DialogLayout(Settings& s) {
  SettingsDialogLayout layout;
  layout.title = U"ダブレルづくり設定";
  layout.title_rect = {1680, 240, 2400, 285};
  layout.client_width = 5415;
  layout.client_height = 5295;
  layout.execute_button = {1680, 4200, 975, 375};
  layout.cancel_button = {360, 4200, 975, 375};
  layout.frame_rect = {120, 120, 5175, 5055};
  layout.frames = {
      {U"問題設定", {360, 720, 2295, 975}, &s.ask_with_name, true,
       StackedOptions({{"Option1", U"～を並べよう"}, {"Option2", U"この名前を並べよう"}}, {kTrue, kFalse}, 1935)},
      {U"お手本", {360, 1800, 2295, 975}, &s.show_model, true,
       StackedOptions({{"Option3", U"表示する"}, {"Option4", U"表示しない"}}, {kTrue, kFalse})},
      {U"マウスカーソルの表示", {360, 2880, 2295, 975}, &s.cursor_visible, true,
       StackedOptions({{"Option11", U"有り"}, {"Option12", U"無し"}}, {kTrue, kFalse})},
      {U"まどわし文字", {2880, 720, 2175, 1335}, &s.distractor_count, false,
       StackedOptions({{"Option5", U"無し"}, {"Option6", U"１字有り"}, {"Option7", U"２字有り"}}, {0, 1, 2})},
      {U"まどわし文字の種類", {2880, 2160, 2175, 1335}, &s.distractor_kind, false,
       StackedOptions({{"Option8", U"ひらがな"}, {"Option9", U"カタカナ"}, {"Option10", U"数字"}}, {0, 1, 2})},
      {U"タッチの方法", {2880, 3600, 2175, 975}, &s.touch_mode, true,
       StackedOptions({{"Option13", U"触れるだけ"}, {"Option14", U"クリックする"}}, {kTrue, kFalse})},
  };
  AttachNotes(layout, {{U"問題設定", U"「～を並べよう」は「いぬ、と、並べましょう」と名前を言います。もう一方は「この名前を、並べましょう」とだけ言います。"},
       {U"お手本", U"「表示する」にすると、並べる名前をうすい色で上に見せます。その上に文字を並べます。"},
       {U"まどわし文字の種類", U"まちがいの文字を、ひらがな・カタカナ・数字のどれから出すかです。"}});
  return layout;
}

}  // namespace kanae::word_building
