#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>

#include "platform/speech/reading.h"
#include "platform/speech/synthesis.h"

namespace kanae::speech {
namespace {

struct Case {
  const char* text;
  const char* reading;
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ReadingTest : public ::testing::TestWithParam<Case> {};

TEST_P(ReadingTest, ReadsAsPronounced) {
  EXPECT_EQ(ToUtf8(ReadingOf(FromUtf8(GetParam().text))), GetParam().reading);
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, ReadingTest,
    ::testing::Values(
        // は as a particle reads ワ, kanji become kana, the pauses stay.
        Case{"この名前は、どれかな", "コノナマエワ、ドレカナ"},
        Case{"りんごの、り、は、どれかな", "リンゴノ、リ、ワ、ドレカナ"},
        Case{"よくできました。これが、いぬ、だね。", "ヨクデキマシタ。コレガ、イヌ、ダネ。"},
        // へ as a particle reads エ; long vowels as MeCab pronounces them.
        Case{"学校へ行く", "ガッコーエイク"},
        // Digit runs, ASCII and full-width, read as numbers in the sentence.
        Case{"りんごが3こ", "リンゴガサンコ"}, Case{"２０２６ねん", "ニセンニジュウロクネン"},
        Case{"3.5", "サンテンゴ"},
        // Words MeCab does not know keep their spelling; nothing is lost or crashes.
        Case{"ABC", "ABC"}, Case{"", ""}, Case{"いぬ\nねこ", "イヌ ネコ"}));

struct NumberCase {
  const char* digits;
  const char* reading;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.digits; }

class NumberReadingTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberReadingTest, ReadsAsAJapaneseNumber) {
  EXPECT_EQ(ToUtf8(NumberReading(FromUtf8(GetParam().digits))), GetParam().reading);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberReadingTest,
    ::testing::Values(NumberCase{"0", "ぜろ"}, NumberCase{"3", "さん"}, NumberCase{"10", "じゅう"},
                      NumberCase{"12", "じゅうに"}, NumberCase{"100", "ひゃく"}, NumberCase{"300", "さんびゃく"},
                      NumberCase{"600", "ろっぴゃく"}, NumberCase{"800", "はっぴゃく"},
                      NumberCase{"1000", "せん"}, NumberCase{"3000", "さんぜん"}, NumberCase{"8000", "はっせん"},
                      NumberCase{"2026", "にせんにじゅうろく"}, NumberCase{"１２", "じゅうに"},
                      NumberCase{"10000", "いちまん"}, NumberCase{"10000000", "いっせんまん"},
                      NumberCase{"100000000", "いちおく"}, NumberCase{"1000000000000", "いっちょう"},
                      NumberCase{"8000000000000", "はっちょう"}, NumberCase{"10000000000000", "じゅっちょう"},
                      NumberCase{"80000000000000", "はちじゅっちょう"},
                      NumberCase{"120005", "じゅうにまんご"},
                      // Leading zeros and overlong runs are read digit by digit.
                      NumberCase{"007", "ぜろぜろなな"}, NumberCase{"12345678901234567", "いちにさんよんごろくななはちきゅうぜろいちにさんよんごろくなな"}));

TEST(SynthesisTest, PunctuationKeepsItsPausesInTheVoice) {
  const auto with_pauses = Synthesize(U"これが、いぬ、だね。");
  const auto without = Synthesize(U"これがいぬだね");
  ASSERT_TRUE(with_pauses && without);
  EXPECT_GT(with_pauses->sample_rate, 0);
  ASSERT_FALSE(without->samples.empty());
  // Two clause pauses add a clearly audible stretch of time.
  EXPECT_GT(with_pauses->samples.size(), without->samples.size() + with_pauses->sample_rate / 5);
}

TEST(SynthesisTest, NothingToSayGivesNoSamples) {
  for (const char32_t* text : {U"", U" "}) {
    const auto pcm = Synthesize(text);
    ASSERT_TRUE(pcm);
    EXPECT_TRUE(pcm->samples.empty());
  }
}

}  // namespace
}  // namespace kanae::speech

namespace kanae::speech {
namespace {

// Every classroom counter after the numbers whose sound changes differ.
TEST(CountReading, EachCounterWithItsSoundChanges) {
  struct Case {
    int value;
    const char* after;
    const char* reading;
  };
  const Case cases[] = {
      {1, "本", "いっぽん"},   {3, "ぼん", "さんぼん"},   {6, "ぽん", "ろっぽん"},     {10, "本", "じゅっぽん"},
      {1, "匹", "いっぴき"},   {3, "びき", "さんびき"},   {6, "ぴき", "ろっぴき"},     {300, "ぴき", "さんびゃっぴき"},
      {1, "回", "いっかい"},   {3, "階", "さんがい"},     {8, "回", "はっかい"},       {6, "こ", "ろっこ"},
      {8, "個", "はっこ"},     {8, "点", "はってん"},     {4, "問", "よんもん"},       {7, "枚", "ななまい"},
      {9, "番", "きゅうばん"}, {1, "歳", "いっさい"},     {20, "さい", "はたち"},      {8, "冊", "はっさつ"},
      {1, "台", "いちだい"},   {3, "羽", "さんわ"},       {1, "頭", "いっとう"},       {10, "ぷん", "じゅっぷん"},
      {4, "分", "よんぷん"},   {4, "円", "よえん"},       {3, "杯", "さんばい"},       {6, "ぱい", "ろっぱい"},
      {3, "足", "さんぞく"},   {4, "時", "よじ"},         {9, "時", "くじ"},           {1, "人", "ひとり"},
      {2, "人", "ふたり"},     {4, "人", "よにん"},       {14, "人", "じゅうよにん"},  {2, "日", "ふつか"},
      {14, "日", "じゅうよっか"}, {20, "日", "はつか"},   {12, "日", "じゅうににち"},  {1, "つ", "ひとつ"},
      {9, "つ", "ここのつ"},   {10, "つ", "とお"},        {11, "つ", "じゅういち"},    {1000, "本", "せんぼん"},
      {21, "本", "にじゅういっぽん"}, {100, "こ", "ひゃっこ"},
      // After a hundred some counters keep the く, as Open JTalk reads them.
      {100, "てん", "ひゃくてん"}, {100, "点", "ひゃくてん"}, {600, "さい", "ろっぴゃくさい"},
      {800, "冊", "はっぴゃくさつ"}, {100, "頭", "ひゃくとう"}, {300, "足", "さんびゃくそく"},
      {100, "本", "ひゃっぽん"}, {1000, "階", "せんかい"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + c.after);
    const auto counted = ReadCount(c.value, FromUtf8(c.after));
    ASSERT_TRUE(counted.has_value());
    EXPECT_EQ(ToUtf8(counted->reading), c.reading);
    EXPECT_EQ(counted->counter_length, FromUtf8(c.after).size());
  }
  // No counter, or a number out of range: nothing to read here.
  EXPECT_FALSE(ReadCount(3, U"ねこ").has_value());
  EXPECT_FALSE(ReadCount(10000, U"本").has_value());
  EXPECT_FALSE(ReadCount(0, U"本").has_value());
}

TEST(KanjiNumber, ValuesUpTo9999) {
  const std::pair<const char32_t*, int> cases[] = {
      {U"三", 3}, {U"十", 10}, {U"十二", 12}, {U"二十", 20}, {U"百", 100}, {U"三千五百", 3500},
      {U"二千二十六", 2026}, {U"二〇二六", 2026}, {U"九千九百九十九", 9999}};
  for (const auto& [numerals, value] : cases) EXPECT_EQ(KanjiNumberValue(numerals), value) << ToUtf8(numerals);
  for (const char32_t* bad : {U"", U"十百", U"二十三十", U"一〇〇〇〇"}) EXPECT_FALSE(KanjiNumberValue(bad).has_value()) << ToUtf8(bad);
}

}  // namespace
}  // namespace kanae::speech
