// The selection file's loader on any content against any folder, and the
// round trip: the selection saved for a folder loads back as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "picture_library.h"
#include "text_file.h"

namespace {

// A name a folder can hold: not empty, no "/" and no NUL.
kanae::Text FileName(FuzzedDataProvider& input) {
  kanae::Text name = kanae::FromUtf8(input.ConsumeRandomLengthString(40));
  std::erase_if(name, [](char32_t c) { return c == U'/' || c == U'\0'; });
  if (name.empty()) name = U"x";
  return name + U".jpg";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<kanae::Text> pictures;
  const int count = input.ConsumeIntegralInRange(0, 12);
  for (int i = 0; i < count; ++i) pictures.push_back(FileName(input));
  std::sort(pictures.begin(), pictures.end());
  pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());

  std::vector<kanae::Text> tasks;
  for (const kanae::Text& picture : pictures) {
    if (input.ConsumeBool()) tasks.push_back(picture);
  }
  kanae::Text content;
  for (const kanae::Text& line : kanae::TaskSelectionLines(pictures, tasks)) content += line + U"\r\n";
  const auto decoded = kanae::DecodeFileBytes(kanae::EncodeForFile(content));
  FUZZ_CHECK(decoded.has_value());
  FUZZ_CHECK(kanae::ParseTaskSelection(*decoded, pictures) == tasks);

  // Whatever else the file may hold: only pictures of the folder, in its order.
  const std::string rest = input.ConsumeRemainingBytesAsString();
  if (const auto text = kanae::DecodeFileBytes(rest)) {
    if (const auto selected = kanae::ParseTaskSelection(*text, pictures)) {
      FUZZ_CHECK(selected->size() <= pictures.size());
      FUZZ_CHECK(std::includes(pictures.begin(), pictures.end(), selected->begin(), selected->end()));
    }
  }
  return 0;
}
