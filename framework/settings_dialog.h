// The settings dialog's logic: option frames built from the game's settings,
// filled on activation, applied by 実行 (written only when something changed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings_file.h"
#include "text.h"

namespace kanae {

struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct OptionButton {
  std::string name;  // "Option13"
  Text caption;
  TwipRect rect;  // inside its frame
  std::int16_t value = 0;  // the setting's value when this button is set
};

struct OptionFrame {
  Text caption;
  TwipRect rect;  // inside the dialog
  std::int16_t* setting = nullptr;
  // A boolean frame has its true-button and its false-button; a choice frame
  // has one button per value.
  bool boolean = true;
  std::vector<OptionButton> options;
  // A boolean the game takes as true only when it is exactly true (-1): any
  // other value, a hand-edited 1 among them, then shows the false-button, so
  // the dialog shows what is played.
  bool true_only_when_exact = false;
  // One plain line for the teacher, shown under the frame: what the setting does.
  Text note;
};

struct SettingsDialogLayout {
  Text title;  // the heading label, "オルタ文字設定"
  TwipRect title_rect;
  int client_width = 0;
  int client_height = 0;
  TwipRect execute_button;  // 実行
  TwipRect cancel_button;   // キャンセル
  TwipRect frame_rect;      // the decorative rectangle, empty when there is none
  std::vector<OptionFrame> frames;
};

// Lays out the options of a frame one below the other, 360 twips apart,
// starting 240 twips from the frame's top and left.
std::vector<OptionButton> StackedOptions(std::vector<std::pair<std::string, Text>> names_and_captions,
                                         std::vector<std::int16_t> values, int width = 1335);

inline constexpr char32_t kSettingsDialogCaption[] = U"ヴィンタ選び";

class SettingsDialog {
 public:
  SettingsDialog(SettingsDialogLayout layout, SettingsList settings);

  const SettingsDialogLayout& Layout() const { return layout_; }

  // Remembers the choice settings and sets every button from the settings.
  void Activate();
  // The button of frame f that is set, or -1 when none is.
  int Selected(std::size_t frame) const { return selected_[frame]; }
  // The teacher clicks an option.
  void Select(std::size_t frame, int option) { selected_[frame] = option; }

  enum class Applied { kUnchanged, kSaved, kSaveFailed };
  struct ApplyOutcome {
    Applied applied = Applied::kUnchanged;
    WriteOutcome write;
  };
  // 実行: takes the buttons into the settings and writes the file when one changed.
  ApplyOutcome Apply(const std::filesystem::path& file);

 private:
  SettingsDialogLayout layout_;
  SettingsList settings_;
  std::vector<int> selected_;
  std::vector<std::int16_t> remembered_;
};

}  // namespace kanae
