// The settings loader on any content, and the round trip: the values saved
// for a game's settings load back as they were.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "settings_file.h"
#include "text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(1, 10);
  std::vector<std::int16_t> values(count);
  kanae::SettingsList settings;
  for (std::size_t i = 0; i < count; ++i) {
    const bool boolean = input.ConsumeBool();
    settings.push_back({"s" + std::to_string(i), boolean ? kanae::SettingType::kBoolean : kanae::SettingType::kInteger,
                        0, &values[i]});
    values[i] = input.ConsumeIntegral<std::int16_t>();
  }
  const std::vector<std::int16_t> saved = values;
  const auto decoded = kanae::DecodeFileBytes(kanae::EncodeForFile(kanae::FormatSettingsLine(settings) + U"\r\n"));
  FUZZ_CHECK(decoded.has_value());
  FUZZ_CHECK(kanae::ParseSettingsRecord(*decoded, settings) == saved);

  const std::string rest = input.ConsumeRemainingBytesAsString();
  if (const auto text = kanae::DecodeFileBytes(rest)) {
    if (const auto parsed = kanae::ParseSettingsRecord(*text, settings)) FUZZ_CHECK(parsed->size() == count);
  }
  return 0;
}
