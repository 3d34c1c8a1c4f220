// The CP932 table the games read and write Japanese files with.
#include "cp932.h"

#include <gtest/gtest.h>

#include "text.h"

namespace kanae {
namespace {

TEST(Cp932, TheLettersWindowsWritesRoundTripExactly) {
  struct Case {
    Text text;
    std::string bytes;
  };
  const Case cases[] = {
      {U"～", "\x81\x60"},    // FULLWIDTH TILDE
      {U"－", "\x81\x7C"},    // FULLWIDTH HYPHEN-MINUS
      {U"①", "\x87\x40"},    // NEC row 13
      {U"髙", "\xFB\xFC"},    // IBM extension
      {U"纊", "\xFA\x5C"},    // IBM extension whose trail byte is a backslash
      {U"いぬ", "\x82\xA2\x82\xCA"},
      {U"ﾈｺ", "\xC8\xBA"},   // half-width katakana, one byte each
      {U"a\\~", "a\\~"},      // the ASCII bytes stay ASCII
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(EncodeCp932(c.text), c.bytes);
    EXPECT_EQ(DecodeCp932(c.bytes), c.text);
  }
}

TEST(Cp932, ACharacterWithoutAnExactFormIsRefusedNeverReplaced) {
  // No CP932 form at all, or one that would read back as a look-alike.
  for (const Text text : {U"😀", U"𠮷", U"한", U"〜", U"−", U"‖", U"—", U"¢", U"いぬ〜"}) {
    SCOPED_TRACE(ToUtf8(text));
    EXPECT_EQ(EncodeCp932(text), std::nullopt);
  }
}

TEST(Cp932, BytesCp932DoesNotDefineAreRefused) {
  for (const std::string bytes : {"\x82", "\x82\x20", "\xFD", "\x81\x7F", "\x82\xA2\x82"}) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(DecodeCp932(bytes), std::nullopt);
  }
}

}  // namespace
}  // namespace kanae
