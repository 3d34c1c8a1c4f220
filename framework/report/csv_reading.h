// Reading the record's lines as CSV, the lenient way: nothing is refused (a
// damaged line is judged by its fields afterwards) and no space is trimmed
// (spaces in a name are part of it).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kanae::report {

// The row end handed on when the text ended inside a row.
inline constexpr int kCsvTextEnd = -1;

// What a reading finds, in order: each field, then the end of its row with
// the CR or LF that ended it (kCsvTextEnd at the end of the text). Lines with
// nothing on them are no rows.
class CsvEvents {
 public:
  virtual void Field(std::string_view field) = 0;
  virtual void RowEnd(int ending) = 0;

 protected:
  ~CsvEvents() = default;
};

// The platform's reading: Debian's libcsv (not strict, no space function) on
// the desktop; where libcsv cannot be linked (the web), LenientCsvTokenizer,
// which reads every text exactly as libcsv does.
class CsvReader {
 public:
  CsvReader();
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // Bytes in pieces of any size.
  void Feed(std::string_view bytes, CsvEvents& events);
  // Ends an open field and row; the reader is new again.
  void Finish(CsvEvents& events);

 private:
  struct Engine;
  std::unique_ptr<Engine> engine_;
};

// One candidate record at a time.
class CsvRecordParser : private CsvEvents {
 public:
  // The fields of text read as exactly one record; false when it holds
  // another number of records (none, or an unquoted line break inside).
  bool Parse(std::string_view text, std::vector<std::string>& fields);
  // The rows the last text held.
  int rows() const { return rows_; }

 private:
  void Field(std::string_view field) override;
  void RowEnd(int ending) override;

  CsvReader reader_;
  std::vector<std::string> fields_;
  int rows_ = 0;
};

}  // namespace kanae::report
