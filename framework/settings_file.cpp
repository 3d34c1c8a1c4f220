#include "settings_file.h"

#include <optional>

#include "records.h"

namespace kanae {

namespace {

// All values of the record, or nullopt when a field is missing or of the wrong
// type. Fields beyond the game's list are ignored, as one read of N fields does.
std::optional<std::vector<std::int16_t>> ParseRecord(TextView content, const SettingsList& settings) {
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

}  // namespace

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
    if (const auto values = ParseRecord(content.text, settings)) {
      for (std::size_t i = 0; i < settings.size(); ++i) *settings[i].value = (*values)[i];
      return true;
    }
  }
  SetDefaults(settings);
  return false;
}

SettingsLoadOutcome LoadSettings(const std::filesystem::path& file, const SettingsList& settings) {
  const TextFileContent content = ReadTextFile(file);
  if (content.status == ReadStatus::kOk) {
    if (const auto values = ParseRecord(content.text, settings)) {
      for (std::size_t i = 0; i < settings.size(); ++i) *settings[i].value = (*values)[i];
      return {SettingsLoad::kRead, {}};
    }
  }
  // The defaults just written are the values a second read would give, so
  // they are used directly; that also holds when the write fails.
  SetDefaults(settings);
  SettingsLoadOutcome outcome;
  outcome.load = content.status == ReadStatus::kNotFound ? SettingsLoad::kCreated : SettingsLoad::kResetUnreadable;
  outcome.write = SaveSettings(file, settings);
  return outcome;
}

}  // namespace kanae
