#include "settings_dialog.h"

#include "records.h"

namespace kanae {

std::vector<OptionButton> StackedOptions(std::vector<std::pair<std::string, Text>> names_and_captions,
                                         std::vector<std::int16_t> values, int width) {
  std::vector<OptionButton> options;
  for (std::size_t i = 0; i < names_and_captions.size(); ++i) {
    options.push_back({names_and_captions[i].first, names_and_captions[i].second,
                       {240, 240 + 360 * static_cast<int>(i), width, 255}, values[i]});
  }
  return options;
}

SettingsDialog::SettingsDialog(SettingsDialogLayout layout, SettingsList settings)
    : layout_(std::move(layout)), settings_(std::move(settings)), selected_(layout_.frames.size(), -1),
      remembered_(layout_.frames.size(), 0) {}

void SettingsDialog::Activate() {
  for (std::size_t f = 0; f < layout_.frames.size(); ++f) {
    const OptionFrame& frame = layout_.frames[f];
    const std::int16_t value = *frame.setting;
    remembered_[f] = value;
    selected_[f] = -1;
    for (std::size_t o = 0; o < frame.options.size(); ++o) {
      // A boolean frame sets its true-button for any true value, unless the
      // game counts only the exact one.
      const bool is_true = frame.true_only_when_exact ? value == kTrue : value != 0;
      const bool matches = frame.boolean ? (is_true == (frame.options[o].value != 0)) : value == frame.options[o].value;
      if (matches) {
        selected_[f] = static_cast<int>(o);
        break;
      }
    }
  }
}

SettingsDialog::ApplyOutcome SettingsDialog::Apply(const std::filesystem::path& file) {
  std::vector<std::int16_t> next(layout_.frames.size());
  bool changed = false;
  for (std::size_t f = 0; f < layout_.frames.size(); ++f) {
    const OptionFrame& frame = layout_.frames[f];
    const int s = selected_[f];
    if (frame.boolean) {
      // A boolean setting takes the state of its true-button.
      const bool true_set = s >= 0 && frame.options[s].value != 0;
      next[f] = true_set ? kTrue : kFalse;
      // Exact comparison: a hand-edited 1 is rewritten as #TRUE#.
      if (next[f] != *frame.setting) changed = true;
    } else {
      next[f] = s >= 0 ? frame.options[s].value : *frame.setting;
      if (next[f] != remembered_[f]) changed = true;
    }
  }
  if (!changed) return {};
  for (std::size_t f = 0; f < layout_.frames.size(); ++f) *layout_.frames[f].setting = next[f];
  ApplyOutcome outcome;
  outcome.write = SaveSettings(file, settings_);
  outcome.applied = outcome.write.ok ? Applied::kSaved : Applied::kSaveFailed;
  return outcome;
}

}  // namespace kanae
