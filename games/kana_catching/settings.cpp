#include "settings.h"

#include "settings_notes.h"

#include "records.h"

namespace kanae::kana_catching {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"BlinkFast", SettingType::kBoolean, kTrue, &s.blink_fast},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.cursor_visible},
      {"DistractorCount", SettingType::kInteger, 0, &s.distractor_count},
      {"DistractorKind", SettingType::kInteger, 0, &s.distractor_kind},
      {"JumpingLetter", SettingType::kBoolean, kTrue, &s.jumping_letter},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.touch_mode},
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

SettingsDialogLayout DialogLayout(Settings& s) {
  SettingsDialogLayout layout;
  layout.title = U"ペンブル設定メニュー";
  layout.title_rect = {1200, 240, 2700, 285};
  layout.client_width = 5055;
  layout.client_height = 5520;
  layout.execute_button = {1560, 4440, 975, 375};
  layout.cancel_button = {360, 4440, 975, 375};
  layout.frame_rect = {120, 120, 4815, 5175};
  layout.frames = {
      {U"文字の点滅", {360, 720, 2175, 975}, &s.blink_fast, true,
       StackedOptions({{"Option1", U"早い"}, {"Option2", U"遅い"}}, {kTrue, kFalse})},
      {U"マウスカーソルの表示", {360, 1800, 2175, 975}, &s.cursor_visible, true,
       StackedOptions({{"Option3", U"有り"}, {"Option4", U"無し"}}, {kTrue, kFalse})},
      {U"ペンブル", {360, 2880, 2175, 975}, &s.jumping_letter, true,
       StackedOptions({{"Option11", U"有り"}, {"Option12", U"無し"}}, {kTrue, kFalse})},
      {U"まどわし文字", {2760, 720, 1935, 1695}, &s.distractor_count, false,
       StackedOptions({{"Option5", U"無し"}, {"Option6", U"１字"}, {"Option7", U"２字"}, {"Option8", U"３字"}},
                      {0, 1, 2, 3})},
      {U"まどわし文字の種類", {2760, 2520, 1935, 975}, &s.distractor_kind, false,
       StackedOptions({{"Option9", U"ひらがな"}, {"Option10", U"カタカナ"}}, {0, 1})},
      {U"タッチの方法", {2760, 3600, 1935, 975}, &s.touch_mode, true,
       StackedOptions({{"Option13", U"触れるだけ"}, {"Option14", U"クリックする"}}, {kTrue, kFalse})},
  };
  AttachNotes(layout, {{U"文字の点滅", U"とびまわる文字が次の場所へ移るまでの時間です。早い：１秒、遅い：２秒。"},
       {U"ペンブル", U"「有り」にすると、名前の最初の文字（とびまわる文字）をつかまえてから文字を選びます。「無し」はすぐ選びます。"}});
  return layout;
}

}  // namespace kanae::kana_catching
