#include "settings_file.h"

#include <optional>

#include "records.h"

namespace kanae {

// Fields beyond the game's list are ignored, as one read of N fields does.
std::optional<std::vector<std::int16_t>> ParseSettingsRecord(TextView content, const SettingsList& settings) {
  FieldReader reader(content);
  std::vector<std::int16_t> values;
  values.reserve(settings.size());
  for (const SettingSlot& slot : settings) {
    const auto field = reader.Next();
    if (!field) return std::nullopt;
    const auto value = slot.type == SettingType::kBoolean ? ParseBoolean(*field) : ParseInteger(*field);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

void SetDefaults(const SettingsList& settings) {
  for (const SettingSlot& slot : settings) *slot.value = slot.default_value;
}

Text FormatSettingsLine(const SettingsList& settings) {
  Text line;
  for (const SettingSlot& slot : settings) {
    if (!line.empty()) line += U",";
    line += slot.type == SettingType::kBoolean ? FormatBoolean(*slot.value) : FormatInteger(*slot.value);
  }
  return line;
}

WriteOutcome SaveSettings(const std::filesystem::path& file, const SettingsList& settings) {
  return ReplaceTextFile(file, {FormatSettingsLine(settings)});
}

bool ReadSettingsOrDefaults(const std::filesystem::path& file, const SettingsList& settings) {
  const TextFileContent content = ReadTextFile(file);
  if (content.status == ReadStatus::kOk) {
    if (const auto values = ParseSettingsRecord(content.text, settings)) {
      for (std::size_t i = 0; i < settings.size(); ++i) *settings[i].value = (*values)[i];
      return true;
    }
  }
  SetDefaults(settings);
  return false;
}

SettingsLoadOutcome LoadSettings(const std::filesystem::path& file, const SettingsList& settings) {
  const TextFileContent content = ReadTextFile(file);
  SettingsLoadOutcome outcome;
  outcome.truncated = content.truncated;
  if (content.status == ReadStatus::kUnreadable) {
    SetDefaults(settings);
    outcome.load = SettingsLoad::kUnreadable;
    outcome.read_error = content.error;
    return outcome;
  }
  if (content.status == ReadStatus::kOk) {
    if (const auto values = ParseSettingsRecord(content.text, settings)) {
      for (std::size_t i = 0; i < settings.size(); ++i) *settings[i].value = (*values)[i];
      return outcome;
    }
  }
  // The defaults just written are the values a second read would give, so
  // they are used directly; that also holds when the write fails.
  SetDefaults(settings);
  outcome.load = content.status == ReadStatus::kNotFound ? SettingsLoad::kCreated : SettingsLoad::kResetUnreadable;
  outcome.write = SaveSettings(file, settings);
  return outcome;
}

}  // namespace kanae
