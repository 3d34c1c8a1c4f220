#include "csv_reading.h"

namespace kanae::report {

bool CsvRecordParser::Parse(std::string_view text, std::vector<std::string>& fields) {
  fields_.clear();
  rows_ = 0;
  reader_.Feed(text, *this);
  reader_.Finish(*this);
  fields.swap(fields_);
  return rows_ == 1;
}

void CsvRecordParser::Field(std::string_view field) {
  if (rows_ == 0) fields_.emplace_back(field);
}

void CsvRecordParser::RowEnd(int) { ++rows_; }

}  // namespace kanae::report
