#include <gtest/gtest.h>

#include <ostream>

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
