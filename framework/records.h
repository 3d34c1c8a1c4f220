// The suite's comma-separated records: text fields in double quotes, booleans
// as #TRUE# / #FALSE#, integers in decimal, records ended by CR LF.
//
// Reading follows the usual rules: blanks around a field are dropped, a quoted
// field may hold commas and loses its quotes, an unquoted field ends at a comma
// or at the end of the line, and a line end separates fields like a comma. A
// double quote inside a quoted field is written doubled ("") so that any file
// name survives the round trip.
#pragma once

#include <cstdint>
#include <optional>

#include "text.h"

namespace kanae {

struct Field {
  Text value;
  bool quoted = false;
};

class FieldReader {
 public:
  explicit FieldReader(TextView content) : content_(content) {}

  // True when nothing but the end of the content is left.
  bool AtEnd() const { return pos_ >= content_.size(); }

  // True when only blanks and line ends are left (a trailing empty line that an
  // editor added is not a record).
  bool OnlyBlanksLeft() const;

  // The next field, or nullopt at the end of the content.
  std::optional<Field> Next();

 private:
  TextView content_;
  std::size_t pos_ = 0;
};

// Field conversions; nullopt when the field is not of that type.
// A boolean field is #TRUE# (-1), #FALSE# (0) or a decimal integer kept as it is.
std::optional<std::int16_t> ParseBoolean(const Field& field);
std::optional<std::int16_t> ParseInteger(const Field& field);

Text QuoteText(TextView text);
Text FormatBoolean(std::int16_t value);  // -1 and 0 as words, anything else as a number
Text FormatInteger(std::int16_t value);

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

}  // namespace kanae
