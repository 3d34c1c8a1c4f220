// Picture names as the games take them: the word before the first ".",
// composed for the child, and the name as it is written to the selection file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "picture_library.h"
#include "text_file.h"
#include "text_normalisation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto name = kanae::DecodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!name) return 0;
  const kanae::Text word = kanae::NameOfPicture(*name);
  FUZZ_CHECK(word.find(U'.') == kanae::Text::npos);
  FUZZ_CHECK(kanae::ToNfc(word) == word);  // composing twice changes nothing
  FUZZ_CHECK(word == kanae::NameOfPicture(word + U".jpg"));
  kanae::Left(word, 10);
  kanae::CharAt(word, 0);
  // The selection file keeps the name exactly as the folder spells it.
  FUZZ_CHECK(kanae::DecodeFileBytes(kanae::EncodeForFile(*name)) == *name);
  return 0;
}
