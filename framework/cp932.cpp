#include "cp932.h"

#include <algorithm>
#include <cstdint>

namespace kanae {

namespace {

#include "cp932_table.inc"

constexpr std::uint16_t kNone = 0xFFFF;  // a noncharacter: no byte decodes to it

}  // namespace

std::optional<Text> DecodeCp932(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (kSingleByte[b] != kNone) {
      out.push_back(kSingleByte[b]);
      continue;
    }
    const int row = kLeadRow[b];
    if (row < 0 || i + 1 == bytes.size()) return std::nullopt;
    const std::uint16_t c = kPairs[row][static_cast<unsigned char>(bytes[i + 1])];
    if (c == kNone) return std::nullopt;
    out.push_back(c);
    ++i;
  }
  return out;
}

std::optional<std::string> EncodeCp932(TextView text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char32_t c : text) {
    if (c > 0xFFFF) return std::nullopt;
    const auto* end = std::end(kEncoded);
    const auto* found = std::lower_bound(std::begin(kEncoded), end, c,
                                         [](const EncodedChar& e, char32_t key) { return e.character < key; });
    if (found == end || found->character != c) return std::nullopt;
    if (found->bytes > 0xFF) out.push_back(static_cast<char>(found->bytes >> 8));
    out.push_back(static_cast<char>(found->bytes & 0xFF));
  }
  return out;
}

}  // namespace kanae
