// The text decoder on any bytes, and the encoder's promise: whatever text is
// written comes back exactly when the file is read by rule.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const auto decoding : {kanae::Decoding::kByRule, kanae::Decoding::kDetected}) {
    if (const auto text = kanae::DecodeFileBytes(bytes, decoding)) {
      kanae::SplitLines(*text);
      FUZZ_CHECK(kanae::DecodeFileBytes(kanae::EncodeForFile(*text)) == *text);
    }
  }
  // The bytes as UTF-8 text of their own (malformed parts replaced).
  const kanae::Text text = kanae::FromUtf8(bytes);
  const std::string encoded = kanae::EncodeForFile(text);
  FUZZ_CHECK(kanae::DecodeFileBytes(encoded, kanae::Decoding::kByRule) == text);
  FUZZ_CHECK(kanae::DecodeFileBytes(encoded, kanae::Decoding::kDetected) == text);
  return 0;
}
