#include "spoken_text.h"

#include <gtest/gtest.h>

namespace kanae {
namespace {

TEST(SpokenText, ComposesLikeTextAndKeepsTheLettersMarked) {
  const Text name = U"はな";
  const SpokenText prompt = name + U"の、" + Letter(Left(name, 1)) + U"、は、どれかな";
  EXPECT_EQ(prompt.Plain(), U"はなの、は、は、どれかな");
  ASSERT_EQ(prompt.Pieces().size(), 3u);
  EXPECT_EQ(prompt.Pieces()[0], (SpokenPiece{U"はなの、", false}));
  EXPECT_EQ(prompt.Pieces()[1], (SpokenPiece{U"は", true}));
  EXPECT_EQ(prompt.Pieces()[2], (SpokenPiece{U"、は、どれかな", false}));

  // However a sentence is put together, equal sentences compare equal;
  // a letter is not the same as the same character unmarked.
  struct Case {
    SpokenText a, b;
    bool equal;
  };
  const Case cases[] = {
      {Text(U"はな") + U"の、", SpokenText(U"はなの、"), true},
      {SpokenText(U"") + Letter(U"") + U"いぬ", SpokenText(U"いぬ"), true},
      {Text(U"の、") + Letter(U"は"), SpokenText(U"の、は"), false},
      {Letter(U"は") + Letter(U"な"), Letter(U"は") + Letter(U"な"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.a.Plain()));
    EXPECT_EQ(c.a == c.b, c.equal);
    EXPECT_EQ(c.a.Plain(), c.b.Plain());
  }
  EXPECT_TRUE(SpokenText(U"").empty());
}

// A picture's name is one word, marked apart from the plain text around it.
TEST(SpokenText, KeepsANameMarkedAsAWord) {
  const SpokenText prompt = Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな";
  EXPECT_EQ(prompt.Plain(), U"はちの、は、は、どれかな");
  ASSERT_EQ(prompt.Pieces().size(), 4u);
  EXPECT_EQ(prompt.Pieces()[0], (SpokenPiece{U"はち", false, true}));
  EXPECT_EQ(prompt.Pieces()[1], (SpokenPiece{U"の、", false, false}));
  EXPECT_NE(prompt, SpokenText(U"はちの、") + Letter(U"は") + U"、は、どれかな");
  // Two names side by side stay two words; an empty name adds nothing.
  EXPECT_EQ((Word(U"はな") + Word(U"び")).Pieces().size(), 2u);
  EXPECT_EQ(SpokenText(U"これが、") + Word(U"") + U"だね", SpokenText(U"これが、だね"));
}

}  // namespace
}  // namespace kanae
