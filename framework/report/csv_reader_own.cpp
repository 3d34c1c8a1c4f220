// The web's CSV reading: our own tokenizer, as libcsv has no build for it.
#include "csv_reading.h"
#include "lenient_csv_tokenizer.h"

namespace kanae::report {

struct CsvReader::Engine {
  LenientCsvTokenizer tokenizer;
};

CsvReader::CsvReader() : engine_(std::make_unique<Engine>()) {}
CsvReader::~CsvReader() = default;

void CsvReader::Feed(std::string_view bytes, CsvEvents& events) { engine_->tokenizer.Feed(bytes, events); }

void CsvReader::Finish(CsvEvents& events) { engine_->tokenizer.Finish(events); }

}  // namespace kanae::report
