#include "settings.h"

#include "settings_notes.h"

#include "records.h"

namespace kanae::card_picking {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"FourCards", SettingType::kBoolean, kTrue, &s.four_cards},
      {"CardLetterSize", SettingType::kInteger, 1, &s.card_letter_size},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.touch_mode},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.cursor_visible},
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
      .selection_needs_four_initials = true,
  };
  return info;
}

namespace {

// Options standing side by side in one row of their frame.
std::vector<OptionButton> RowOfOptions(std::vector<std::pair<std::string, Text>> names_and_captions,
                                       std::vector<int> lefts, std::vector<std::int16_t> values, int width) {
  std::vector<OptionButton> options;
  for (std::size_t i = 0; i < names_and_captions.size(); ++i) {
    options.push_back({names_and_captions[i].first, names_and_captions[i].second, {lefts[i], 240, width, 255},
                       values[i]});
  }
  return options;
}

}  // namespace

SettingsDialogLayout DialogLayout(Settings& s) {
  SettingsDialogLayout layout;
  layout.title = U"スヴァン選び設定メニュー";
  layout.title_rect = {1680, 240, 3600, 285};
  layout.client_width = 6405;
  layout.client_height = 3525;
  layout.cancel_button = {3360, 2160, 1095, 375};
  layout.execute_button = {4680, 2160, 1095, 375};
  layout.frame_rect = {120, 120, 6135, 3255};
  layout.frames = {
      {U"選択枚数", {360, 720, 2655, 615}, &s.four_cards, true,
       RowOfOptions({{"Option1", U"４枚"}, {"Option2", U"２枚"}}, {360, 1560}, {kTrue, kFalse}, 1095),
       /*true_only_when_exact=*/true},
      {U"スヴァン文字", {360, 1440, 2655, 615}, &s.card_letter_size, false,
       RowOfOptions({{"Option3", U"無"}, {"Option4", U"小"}, {"Option5", U"中"}, {"Option6", U"大"}},
                    {240, 840, 1440, 2040}, {0, 1, 2, 3}, 555)},
      {U"マウスカーソルの表示", {360, 2160, 2655, 975}, &s.cursor_visible, true,
       StackedOptions({{"Option9", U"有り"}, {"Option10", U"無し"}}, {kTrue, kFalse})},
      {U"タッチの方法", {3240, 720, 2655, 975}, &s.touch_mode, true,
       StackedOptions({{"Option7", U"触れるだけ"}, {"Option8", U"クリックする"}}, {kTrue, kFalse})},
  };
  AttachNotes(layout, {{U"選択枚数", U"画面に出す絵のカードの枚数です。"},
       {U"スヴァン文字", U"カードに書く、名前の最初の文字の大きさです。「無」は文字なし、「大」は絵を出さず文字だけのカードです。"}});
  return layout;
}

}  // namespace kanae::card_picking
