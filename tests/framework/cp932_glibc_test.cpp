// The generated CP932 table against glibc's converter, every byte pair and
// every character: the table decodes what glibc decodes, and encodes what
// glibc encodes wherever that reads back unchanged.
#include <iconv.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "cp932.h"
#include "text.h"

namespace kanae {
namespace {

class Glibc {
 public:
  Glibc(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Glibc() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  std::optional<std::string> Convert(std::string input) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[64];
    char* in = input.data();
    std::size_t in_left = input.size();
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    if (iconv(cd_, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) return std::nullopt;
    return std::string(buffer, out);
  }

 private:
  iconv_t cd_;
};

TEST(Cp932AgainstGlibc, EveryByteAndBytePairDecodesAsGlibcDecodesIt) {
  Glibc glibc("UTF-8", "CP932");
  ASSERT_TRUE(glibc.ok());
  int decoded = 0;
  for (int first = 0; first < 256; ++first) {
    for (int second = -1; second < 256; ++second) {
      std::string bytes(1, static_cast<char>(first));
      if (second >= 0) bytes.push_back(static_cast<char>(second));
      const auto expected = glibc.Convert(bytes);
      const auto ours = DecodeCp932(bytes);
      ASSERT_EQ(ours.has_value(), expected.has_value()) << std::hex << first << " " << second;
      if (ours) {
        ASSERT_EQ(ToUtf8(*ours), *expected) << std::hex << first << " " << second;
        ++decoded;
      }
    }
  }
  EXPECT_GT(decoded, 7000);  // the pairs CP932 defines, and the single bytes
}

TEST(Cp932AgainstGlibc, EveryCharacterEncodesAsGlibcOrIsRefusedWhenGlibcWouldChangeIt) {
  Glibc glibc("CP932", "UTF-8");
  ASSERT_TRUE(glibc.ok());
  int encoded = 0;
  int refused_look_alikes = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const Text text(1, c);
    const auto expected = glibc.Convert(ToUtf8(text));
    const auto ours = EncodeCp932(text);
    if (ours) {
      ASSERT_EQ(ours, expected) << std::hex << static_cast<unsigned>(c);
      ASSERT_EQ(DecodeCp932(*ours), text) << std::hex << static_cast<unsigned>(c);
      ++encoded;
    } else if (expected) {
      // glibc writes a look-alike's bytes: they must read back as another character.
      ASSERT_NE(DecodeCp932(*expected), text) << std::hex << static_cast<unsigned>(c);
      ++refused_look_alikes;
    }
  }
  EXPECT_GT(encoded, 7000);
  EXPECT_GT(refused_look_alikes, 0);  // 〜 − ‖ and their kind
}

}  // namespace
}  // namespace kanae
