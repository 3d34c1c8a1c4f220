// A CSV tokenizer of our own that reads every text exactly as libcsv 3 does
// when it is not strict and trims no spaces, for builds where libcsv cannot
// be linked (the web). The differential test and a fuzz target run both on
// the same texts and compare every field and row end.
//
// What that reading is, beyond plain CSV:
// - a quote inside an unquoted field is kept as it is: a"b reads a"b;
// - a quoted field's closing quote followed by anything but a comma or a line
//   end is kept, and the field stays quoted: "ab"c,d reads ab"c,d up to the
//   next closing quote that a comma or a line end follows;
// - CR and LF each end a row; a line end with no field before it (the LF of
//   CR LF, an empty line) ends nothing;
// - at the end of the text, an open field (even inside quotes) ends its row.
#pragma once

#include <string>
#include <string_view>

#include "csv_reading.h"

namespace kanae::report {

class LenientCsvTokenizer {
 public:
  // Bytes in pieces of any size.
  void Feed(std::string_view bytes, CsvEvents& events);
  // Ends an open field and row; the tokenizer is new again.
  void Finish(CsvEvents& events);

 private:
  enum class State {
    kBetweenRows,      // nothing of a row yet
    kBetweenFields,    // after a comma
    kInField,
    kAfterQuoteInQuotes,  // a quote in a quoted field: its end, or the first of two
  };
  void EndField(CsvEvents& events);
  void EndRow(int ending, CsvEvents& events);

  State state_ = State::kBetweenRows;
  bool quoted_ = false;
  std::string field_;
};

}  // namespace kanae::report
