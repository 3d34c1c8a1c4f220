// The desktop's CSV reading: Debian's libcsv.
#include <csv.h>

#include "csv_reading.h"

namespace kanae::report {

namespace {

int NotSpace(unsigned char) { return 0; }  // spaces in a name are part of it

void OnField(void* data, std::size_t length, void* events) {
  static_cast<CsvEvents*>(events)->Field(std::string_view(static_cast<const char*>(data), length));
}

void OnRowEnd(int ending, void* events) { static_cast<CsvEvents*>(events)->RowEnd(ending); }

}  // namespace

struct CsvReader::Engine {
  Engine() {
    // Not strict: a damaged line is judged by its fields.
    csv_init(&parser, 0);
    csv_set_space_func(&parser, NotSpace);
  }
  ~Engine() { csv_free(&parser); }
  csv_parser parser{};
};

CsvReader::CsvReader() : engine_(std::make_unique<Engine>()) {}
CsvReader::~CsvReader() = default;

void CsvReader::Feed(std::string_view bytes, CsvEvents& events) {
  csv_parse(&engine_->parser, bytes.data(), bytes.size(), OnField, OnRowEnd, &events);
}

void CsvReader::Finish(CsvEvents& events) {
  csv_fini(&engine_->parser, OnField, OnRowEnd, &events);  // also makes the parser new
}

}  // namespace kanae::report
