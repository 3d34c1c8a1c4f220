// A game's settings file: one record holding all of the game's settings in the
// game's fixed order. The game describes its settings as a list of slots, each
// pointing at the variable that holds it for the whole run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "records.h"
#include "text_file.h"

namespace kanae {

enum class SettingType { kBoolean, kInteger };

struct SettingSlot {
  std::string name;
  SettingType type;
  std::int16_t default_value;
  std::int16_t* value;
};

using SettingsList = std::vector<SettingSlot>;

enum class SettingsLoad {
  kRead,             // the file was read as it stands
  kCreated,          // there was no file: defaults written
  kResetUnreadable,  // the content was not the game's record: defaults written over it
  kUnreadable,       // the file exists but could not be read: defaults used, the file left as it is
};

struct SettingsLoadOutcome {
  SettingsLoad load = SettingsLoad::kRead;
  WriteOutcome write;      // the write of the defaults, when one was needed
  int read_error = 0;      // the system's error number when kUnreadable
  bool truncated = false;  // the file was larger than a text file may be; its first lines were used
};

// Sets every setting from the file; when it is missing or its content is not
// the game's record, sets the defaults and writes them. When that write fails
// the defaults are used all the same and the failure is returned. A file that
// cannot be read at all is never replaced.
SettingsLoadOutcome LoadSettings(const std::filesystem::path& file, const SettingsList& settings);

// Sets every setting from the file, or the defaults when it is missing or
// cannot be read as the record; never writes. True when the file was read.
bool ReadSettingsOrDefaults(const std::filesystem::path& file, const SettingsList& settings);
// The record's values in the order of settings, or nullopt when a field is
// missing or of the wrong type. Fields beyond the list are ignored.
std::optional<std::vector<std::int16_t>> ParseSettingsRecord(TextView content, const SettingsList& settings);

// Replaces the file with the current values. On failure the old file stays
// whole and the values in memory are kept.
WriteOutcome SaveSettings(const std::filesystem::path& file, const SettingsList& settings);

// The record line for the current values, e.g. #TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#.
Text FormatSettingsLine(const SettingsList& settings);

void SetDefaults(const SettingsList& settings);

}  // namespace kanae
