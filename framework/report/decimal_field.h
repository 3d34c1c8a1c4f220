// A record's field as a decimal number (the seconds to answer).
#pragma once

#include <string_view>

namespace kanae::report {

// The whole text as a number, as std::from_chars reads a double: an optional
// minus, then digits with an optional point and exponent, or inf, infinity,
// nan; no plus, no space, no hexadecimal; a number out of range is none.
bool ParseDecimalField(std::string_view text, double& value);

// The same through strtod, for a standard library with no from_chars of
// doubles (the web's); on the desktop it is only compared with the above.
bool ParseDecimalFieldByStrtod(std::string_view text, double& value);

}  // namespace kanae::report
