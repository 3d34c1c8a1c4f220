#include "text.h"

namespace kanae {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence starting at bytes[i]; returns 0 on error.
std::size_t DecodeOne(std::string_view bytes, std::size_t i, char32_t& out) {
  const auto b0 = static_cast<unsigned char>(bytes[i]);
  if (b0 < 0x80) {
    out = b0;
    return 1;
  }
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    length = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  out = cp;
  return length;
}

}  // namespace

std::optional<Text> DecodeUtf8(std::string_view bytes) {
  Text text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t n = DecodeOne(bytes, i, cp);
    if (n == 0) return std::nullopt;
    text.push_back(cp);
    i += n;
  }
  return text;
}

Text FromUtf8(std::string_view bytes) {
  Text text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t n = DecodeOne(bytes, i, cp);
    if (n == 0) {
      text.push_back(kReplacement);
      i += 1;
    } else {
      text.push_back(cp);
      i += n;
    }
  }
  return text;
}

std::string EncodeUtf8(TextView text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char32_t cp : text) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string ToUtf8(TextView text) { return EncodeUtf8(text); }

Text Left(TextView text, std::size_t n) { return Text(text.substr(0, n)); }

Text CharAt(TextView text, std::size_t i) {
  return i < text.size() ? Text(1, text[i]) : Text();
}

}  // namespace kanae
