// The record reader over any text: it ends, and a quoted field reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kanae::Text text = kanae::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  kanae::FieldReader reader(text);
  std::size_t fields = 0;
  while (auto field = reader.Next()) {
    ++fields;
    FUZZ_CHECK(fields <= text.size() + 1);  // every field moves the reader on
    kanae::ParseBoolean(*field);
    kanae::ParseInteger(*field);
    // Any value, quoted, is one field that gives the value back.
    const kanae::Text quoted = kanae::QuoteText(field->value) + U"\r\n";  // the reader only views it
    kanae::FieldReader again(quoted);
    const auto back = again.Next();
    FUZZ_CHECK(back && back->quoted && back->value == field->value);
    FUZZ_CHECK(again.OnlyBlanksLeft());
  }
  return 0;
}
