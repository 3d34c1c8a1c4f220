// Our own CSV tokenizer against libcsv on any bytes: every field and row end
// alike, read whole and in two pieces cut where the first byte says.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "report/csv_reading.h"
#include "fuzz_check.h"
#include "report/lenient_csv_tokenizer.h"

namespace {

class Transcript : public kanae::report::CsvEvents {
 public:
  void Field(std::string_view field) override {
    text += 'F';
    text += std::to_string(field.size());
    text += ':';
    text += field;
  }
  void RowEnd(int ending) override {
    text += 'R';
    text += std::to_string(ending);
    text += ';';
  }
  std::string text;
};

template <typename Reader>
std::string Read(Reader& reader, std::string_view text, std::size_t cut) {
  Transcript transcript;
  reader.Feed(text.substr(0, cut), transcript);
  reader.Feed(text.substr(cut), transcript);
  reader.Finish(transcript);
  return transcript.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = data[0] % (text.size() + 1);
  // Kept across inputs, as the record reader keeps its parser.
  static kanae::report::CsvReader libcsv;
  static kanae::report::LenientCsvTokenizer own;
  FUZZ_CHECK(Read(own, text, text.size()) == Read(libcsv, text, text.size()));
  FUZZ_CHECK(Read(own, text, cut) == Read(libcsv, text, cut));
  return 0;
}
