#include "decimal_field.h"

#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstdlib>
#include <string>
#include <version>

namespace kanae::report {

bool ParseDecimalField(std::string_view text, double& value) {
#if defined(__cpp_lib_to_chars)
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end && !text.empty();
#else
  return ParseDecimalFieldByStrtod(text, value);
#endif
}

bool ParseDecimalFieldByStrtod(std::string_view text, double& value) {
  // What strtod takes and from_chars does not: space and a plus before the
  // number, and hexadecimal.
  std::string_view number = text;
  if (number.starts_with('-')) number.remove_prefix(1);
  if (number.empty()) return false;
  const char first = number.front();
  const bool digit_or_point = (first >= '0' && first <= '9') || first == '.';
  const bool word = first == 'i' || first == 'I' || first == 'n' || first == 'N';
  if (!digit_or_point && !word) return false;
  if (number.size() > 1 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) return false;
  const std::string whole(text);  // strtod reads up to a terminating zero
  char* end = nullptr;
  errno = 0;
  const double read = std::strtod(whole.c_str(), &end);
  if (end != whole.c_str() + whole.size()) return false;
  // Out of range is none, as with from_chars; strtod also says so of a
  // number it can only give unnormalised, which from_chars gives.
  if (errno == ERANGE && (read == 0 || !std::isfinite(read))) return false;
  value = read;
  return true;
}

}  // namespace kanae::report
