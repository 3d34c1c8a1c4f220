#include "kana_tables.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes.h"

namespace kanae {
namespace {

TEST(KanaTables, HoldTheLettersInGojuonOrder) {
  const KanaTables t = FillKanaTables();
  ASSERT_EQ(t.hiragana.size(), 46u);
  ASSERT_EQ(t.katakana.size(), 46u);
  ASSERT_EQ(t.digits.size(), 10u);
  EXPECT_EQ(t.hiragana[0], U'あ');
  EXPECT_EQ(t.hiragana[45], U'ん');
  EXPECT_EQ(t.digits[0], U'０');
  for (std::size_t i = 0; i < 46; ++i) EXPECT_EQ(t.katakana[i], t.hiragana[i] + 0x60) << i;
}

TEST(KanaTables, DistractorsAreFreeLettersOfTheTable) {
  const KanaTables t = FillKanaTables();
  SeededRandomSource rnd(7);
  for (const TextView table : {TextView(t.hiragana), TextView(t.katakana)}) {
    for (const Text& start : {Text(U"あ"), Text(U"が"), Text(U"ゃ"), Text(U"ア")}) {
      for (int round = 0; round < 200; ++round) {
        Text letters = start;
        for (int k = 0; k < 3; ++k) ASSERT_TRUE(DrawDistractor(table, letters, rnd));
        ASSERT_EQ(letters.size(), 4u);
        EXPECT_EQ(letters[0], start[0]);
        EXPECT_EQ(std::set<char32_t>(letters.begin(), letters.end()).size(), 4u);
        for (std::size_t k = 1; k < 4; ++k) EXPECT_NE(table.find(letters[k]), TextView::npos);
      }
    }
  }
}

TEST(KanaTables, EveryFreeLetterCanBeDrawn) {
  const KanaTables t = FillKanaTables();
  SeededRandomSource rnd(3);
  std::set<char32_t> seen;
  for (int i = 0; i < 3000; ++i) {
    Text letters = U"あ";
    DrawDistractor(t.hiragana, letters, rnd);
    seen.insert(letters[1]);
  }
  EXPECT_EQ(seen.size(), 45u);
  EXPECT_FALSE(seen.contains(U'あ'));
}

TEST(KanaTables, AnExhaustedTableStopsDrawing) {
  const KanaTables t = FillKanaTables();
  SeededRandomSource rnd(1);
  Text letters = U"０１２３４５６７８";
  EXPECT_TRUE(DrawDistractor(t.digits, letters, rnd));
  EXPECT_EQ(letters.back(), U'９');
  EXPECT_FALSE(DrawDistractor(t.digits, letters, rnd));
  EXPECT_EQ(letters.size(), 10u);
}

// The 3 of 3びき is the letter ３: it is never offered again as a distractor.
TEST(KanaTables, AHalfWidthDigitHoldsItsFullWidthLetter) {
  const KanaTables t = FillKanaTables();
  SeededRandomSource rnd(5);
  Text letters = U"3";
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(DrawDistractor(t.digits, letters, rnd));
  EXPECT_EQ(letters.find(U'３'), Text::npos);
  EXPECT_FALSE(DrawDistractor(t.digits, letters, rnd));
  EXPECT_EQ(letters.size(), 10u);
  EXPECT_EQ(AsLetter(U'3'), U'３');
  EXPECT_EQ(AsLetter(U'３'), U'３');
  EXPECT_EQ(AsLetter(U'は'), U'は');
}

TEST(KanaTables, DistractorKindsNameTheirTable) {
  const KanaTables t = FillKanaTables();
  struct Case {
    int kind;
    bool offers_digits;
    TextView table;
  };
  const Case cases[] = {
      {0, false, t.hiragana}, {1, false, t.katakana}, {2, true, t.digits},
      {0, true, t.hiragana},  {2, false, {}},         {3, true, {}},
      {-1, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << (c.offers_digits ? " with digits" : ""));
    EXPECT_TRUE(DistractorTable(t, c.kind, c.offers_digits) == c.table);
  }
}

TEST(KanaTables, LetterSoundFiles) {
  struct Case {
    char32_t letter;
    Text file;
  };
  const Case cases[] = {
      {U'あ', U"あ.wav"}, {U'ア', U"あ.wav"}, {U'ネ', U"ね.wav"}, {U'ね', U"ね.wav"},
      {U'ガ', U"が.wav"}, {U'ン', U"ん.wav"}, {U'ー', U"゜.wav"},  // U+30FC - 96 = U+309C
      {U'０', U"０.wav"}, {U'a', U"a.wav"}, {U'3', U"３.wav"}, {U'0', U"０.wav"},
      {U'〜', U"〜.wav"}, {U'～', U"～.wav"},
  };
  for (const Case& c : cases) EXPECT_EQ(LetterSoundFile(c.letter), c.file) << ToUtf8(Text(1, c.letter));
  // A card plays its letter as shown; only a half-width digit turns full-width.
  EXPECT_EQ(ShownLetterSoundFile(U"ア"), U"ア.wav");
  EXPECT_EQ(ShownLetterSoundFile(U"7"), U"７.wav");
}

}  // namespace
}  // namespace kanae
