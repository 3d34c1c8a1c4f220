#include "input_settings.h"

#include "settings_notes.h"

namespace kanae {

SettingsList InputSettingSlots(InputSettings& s) {
  return {
      {"DwellMilliseconds", SettingType::kInteger, 0, &s.dwell_milliseconds},
      {"Scanning", SettingType::kInteger, 0, &s.scanning},
      {"ScanIntervalMilliseconds", SettingType::kInteger, 2000, &s.scan_interval_milliseconds},
      {"RepeatKey", SettingType::kBoolean, kTrue, &s.repeat_key},
      {"QuestionCount", SettingType::kInteger, 0, &s.question_count},
  };
}

void ReadInputSettings(const std::filesystem::path& file, InputSettings& settings) {
  SettingsList slots = InputSettingSlots(settings);
  if (!ReadSettingsOrDefaults(file, slots)) {
    slots.pop_back();
    if (ReadSettingsOrDefaults(file, slots)) settings.question_count = 0;
  }
  if (settings.question_count < 0) settings.question_count = 0;
}

SettingsDialogLayout InputDialogLayout(InputSettings& s) {
  SettingsDialogLayout layout;
  layout.title = U"入力方法の設定";
  layout.title_rect = {1560, 240, 2400, 285};
  layout.client_width = 7335;
  layout.client_height = 4935;
  layout.execute_button = {1560, 4320, 975, 375};
  layout.cancel_button = {360, 4320, 975, 375};
  layout.frame_rect = {120, 120, 7095, 4695};
  layout.frames = {
      {U"止めて選ぶ（注視）", {360, 720, 2295, 2415}, &s.dwell_milliseconds, false,
       StackedOptions({{"DwellOff", U"使わない"},
                       {"Dwell500", U"0.5秒"},
                       {"Dwell1000", U"1秒"},
                       {"Dwell1500", U"1.5秒"},
                       {"Dwell2000", U"2秒"},
                       {"Dwell3000", U"3秒"}},
                      {0, 500, 1000, 1500, 2000, 3000})},
      {U"問題のくり返し", {360, 3240, 2295, 975}, &s.repeat_key, true,
       StackedOptions({{"RepeatOn", U"有り"}, {"RepeatOff", U"無し"}}, {kTrue, kFalse})},
      {U"スイッチ", {2880, 720, 1935, 1335}, &s.scanning, false,
       StackedOptions({{"ScanOff", U"使わない"}, {"ScanOne", U"１つ"}, {"ScanTwo", U"２つ"}}, {0, 1, 2}, 1455)},
      {U"スイッチの間隔", {2880, 2160, 1935, 2055}, &s.scan_interval_milliseconds, false,
       StackedOptions({{"Scan1000", U"1秒"},
                       {"Scan2000", U"2秒"},
                       {"Scan3000", U"3秒"},
                       {"Scan4000", U"4秒"},
                       {"Scan5000", U"5秒"}},
                      {1000, 2000, 3000, 4000, 5000}, 1455)},
      {U"問題の数", {5040, 720, 1935, 1695}, &s.question_count, false,
       StackedOptions({{"Questions0", U"無制限"}, {"Questions5", U"5問"}, {"Questions10", U"10問"}, {"Questions20", U"20問"}},
                      {0, 5, 10, 20}, 1455)},
  };
  AttachNotes(layout);
  return layout;
}

}  // namespace kanae
