#include "records.h"

#include <string>

namespace kanae {

namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t'; }
bool IsLineBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

Text Trimmed(TextView text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return Text(text.substr(begin, end - begin));
}

bool EqualsIgnoringAsciiCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char32_t x = a[i];
    char32_t y = b[i];
    if (x >= U'a' && x <= U'z') x -= 32;
    if (y >= U'a' && y <= U'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool FieldReader::OnlyBlanksLeft() const {
  for (std::size_t i = pos_; i < content_.size(); ++i) {
    if (!IsBlank(content_[i]) && !IsLineBreak(content_[i])) return false;
  }
  return true;
}

std::optional<Field> FieldReader::Next() {
  if (AtEnd()) return std::nullopt;
  while (pos_ < content_.size() && IsBlank(content_[pos_])) ++pos_;

  Field field;
  if (pos_ < content_.size() && content_[pos_] == U'"') {
    field.quoted = true;
    ++pos_;
    while (pos_ < content_.size()) {
      const char32_t c = content_[pos_++];
      if (c == U'"') {
        if (pos_ < content_.size() && content_[pos_] == U'"') {
          field.value.push_back(U'"');
          ++pos_;
          continue;
        }
        break;
      }
      field.value.push_back(c);
    }
    // Anything between the closing quote and the delimiter is dropped.
    while (pos_ < content_.size() && content_[pos_] != U',' && !IsLineBreak(content_[pos_])) ++pos_;
  } else {
    const std::size_t start = pos_;
    while (pos_ < content_.size() && content_[pos_] != U',' && !IsLineBreak(content_[pos_])) ++pos_;
    field.value = Trimmed(content_.substr(start, pos_ - start));
  }

  if (pos_ < content_.size()) {
    if (content_[pos_] == U',') {
      ++pos_;
    } else if (content_[pos_] == U'\r') {
      ++pos_;
      if (pos_ < content_.size() && content_[pos_] == U'\n') ++pos_;
    } else {
      ++pos_;  // '\n'
    }
  }
  return field;
}

std::optional<std::int16_t> ParseInteger(const Field& field) {
  if (field.quoted || field.value.empty()) return std::nullopt;
  const TextView v = field.value;
  std::size_t i = 0;
  bool negative = false;
  if (v[0] == U'-' || v[0] == U'+') {
    negative = v[0] == U'-';
    i = 1;
  }
  if (i == v.size()) return std::nullopt;
  long value = 0;
  for (; i < v.size(); ++i) {
    if (v[i] < U'0' || v[i] > U'9') return std::nullopt;
    value = value * 10 + static_cast<long>(v[i] - U'0');
    if (value > 32768) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

std::optional<std::int16_t> ParseBoolean(const Field& field) {
  if (field.quoted) return std::nullopt;
  if (EqualsIgnoringAsciiCase(field.value, U"#TRUE#")) return kTrue;
  if (EqualsIgnoringAsciiCase(field.value, U"#FALSE#")) return kFalse;
  return ParseInteger(field);
}

Text QuoteText(TextView text) {
  Text out = U"\"";
  for (char32_t c : text) {
    if (c == U'"') out.push_back(U'"');
    out.push_back(c);
  }
  out.push_back(U'"');
  return out;
}

Text FormatInteger(std::int16_t value) { return FromUtf8(std::to_string(value)); }

Text FormatBoolean(std::int16_t value) {
  if (value == kTrue) return U"#TRUE#";
  if (value == kFalse) return U"#FALSE#";
  return FormatInteger(value);
}

}  // namespace kanae
