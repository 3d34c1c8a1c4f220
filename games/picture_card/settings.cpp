#include "settings.h"

#include "settings_notes.h"

#include "records.h"

namespace kanae::picture_card {

Settings::Settings() { SetDefaults(SettingSlots(*this)); }

SettingsList SettingSlots(Settings& s) {
  return {
      {"AskWithName", SettingType::kBoolean, kTrue, &s.ask_with_name},
      {"TouchMode", SettingType::kBoolean, kFalse, &s.touch_mode},
      {"CursorVisible", SettingType::kBoolean, kTrue, &s.cursor_visible},
      {"ChooseByPicture", SettingType::kBoolean, kTrue, &s.choose_by_picture},
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

SettingsDialogLayout DialogLayout(Settings& s) {
  // Each option keeps its own width: the captions differ in length.
  auto pair = [](std::string true_name, Text true_caption, int true_width, std::string false_name,
                 Text false_caption, int false_width) {
    return std::vector<OptionButton>{{std::move(true_name), std::move(true_caption), {240, 240, true_width, 255}, kTrue},
                                     {std::move(false_name), std::move(false_caption), {240, 600, false_width, 255}, kFalse}};
  };
  SettingsDialogLayout layout;
  layout.title = U"ヴィンタえらび設定";
  layout.title_rect = {1560, 360, 2130, 285};
  layout.client_width = 5190;
  layout.client_height = 4125;
  layout.execute_button = {1560, 3240, 1095, 375};
  layout.cancel_button = {360, 3240, 1095, 375};
  layout.frame_rect = {120, 120, 4935, 3855};
  layout.frames = {
      {U"問題設定", {360, 840, 2295, 975}, &s.ask_with_name, true,
       pair("Option1", U"～は、どっち", 1335, "Option2", U"このなまえは、どっち", 1935)},
      {U"タッチの方法", {2880, 840, 1935, 975}, &s.touch_mode, true,
       pair("Option3", U"触れるだけ", 1215, "Option4", U"クリックする", 1335)},
      {U"マウスカーソルの表示", {360, 2040, 2295, 975}, &s.cursor_visible, true,
       pair("Option5", U"有り", 975, "Option6", U"無し", 855)},
      {U"選択方法", {2880, 2040, 1935, 975}, &s.choose_by_picture, true,
       pair("Option7", U"絵を選択", 1335, "Option8", U"左右ボタン", 1335)},
  };
  AttachNotes(layout, {{U"問題設定", U"「～は、どっち」は「いぬ、は、どっちかな」と名前を言って聞きます。もう一方は「この名前は、どっちかな」とだけ聞きます。"},
       {U"選択方法", U"「絵を選択」は絵をクリックして答えます。「左右ボタン」はマウスの左ボタンで左の絵、右ボタンで右の絵です（画面のどこでも）。"}});
  return layout;
}

}  // namespace kanae::picture_card
