// The record's CSV reading: what it makes of damaged and unusual lines, in
// every build; and, on the desktop, our own tokenizer against libcsv on the
// same texts, field by field.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "csv_reading.h"
#include "lenient_csv_tokenizer.h"

namespace kanae::report {
namespace {

// A reading written out: <field> for each field, |CR |LF |END for each row end.
class Transcript : public CsvEvents {
 public:
  void Field(std::string_view field) override {
    text += '<';
    text += field;
    text += '>';
  }
  void RowEnd(int ending) override {
    text += ending == '\r' ? "|CR" : ending == '\n' ? "|LF" : ending == kCsvTextEnd ? "|END" : "|?" + std::to_string(ending);
  }
  std::string text;
};

std::string ReadWithPlatform(CsvReader& reader, std::string_view text) {
  Transcript transcript;
  reader.Feed(text, transcript);
  reader.Finish(transcript);
  return transcript.text;
}

std::string ReadWithOwn(LenientCsvTokenizer& tokenizer, std::string_view text) {
  Transcript transcript;
  tokenizer.Feed(text, transcript);
  tokenizer.Finish(transcript);
  return transcript.text;
}

struct Reading {
  std::string text;
  std::string transcript;
};

// The texts where a lenient reading has choices to make, and what it makes of them.
const std::vector<Reading> kTrickyTexts = {
    {"", ""},
    {"a", "<a>|END"},
    {"a,b\r\n", "<a><b>|CR"},
    {"a,b\n", "<a><b>|LF"},
    {"a,b\r", "<a><b>|CR"},
    {"a\r\nb", "<a>|CR<b>|END"},
    {"a\n\nb\r\r\nc", "<a>|LF<b>|CR<c>|END"},
    {"\r\n\r\n\n\r", ""},
    {",", "<><>|END"},
    {",\r\n", "<><>|CR"},
    {"a,\n", "<a><>|LF"},
    {" a , b ", "< a >< b >|END"},
    {"\ta\t", "<\ta\t>|END"},
    {"a\"b", "<a\"b>|END"},
    {"a\"\"b,c", "<a\"\"b><c>|END"},
    {"\"a,b\"", "<a,b>|END"},
    {"\"a\"\"b\"", "<a\"b>|END"},
    {"\"\"", "<>|END"},
    {"\"\"\"\"", "<\">|END"},
    {"\"a\nb\"\r\n", "<a\nb>|CR"},
    {"\"a\r\nb\",c\r\n", "<a\r\nb><c>|CR"},
    {"\"ab\"c,d\"\r\n", "<ab\"c,d>|CR"},
    {"\"ab\"c,d\r\n", "<ab\"c,d\r\n>|END"},
    {"\"ab\"c,d\",e\n", "<ab\"c,d><e>|LF"},
    {"\"ab\" ,c", "<ab\" ,c>|END"},
    {"\"ab\"\"", "<ab\">|END"},
    {"\"open", "<open>|END"},
    {"\"open\n", "<open\n>|END"},
    {"a,\"open,b\n", "<a><open,b\n>|END"},
    {"x\"y\",z", "<x\"y\"><z>|END"},
    {" \"a\"", "< \"a\">|END"},
    {"\"a\"\n\"b\"", "<a>|LF<b>|END"},
    {"あ,\"い,う\",え\r\n", "<あ><い,う><え>|CR"},
    {std::string("a\0b,c", 5), std::string("<a\0b><c>|END", 12)},
};

TEST(CsvReading, ReadsEachTrickyTextTheLenientWay) {
  CsvReader reader;  // one reader for all: each reading starts new
  for (const Reading& reading : kTrickyTexts) {
    EXPECT_EQ(ReadWithPlatform(reader, reading.text), reading.transcript) << "text: " << reading.text;
  }
}

TEST(CsvReading, OwnTokenizerReadsEachTrickyTextTheLenientWay) {
  LenientCsvTokenizer tokenizer;
  for (const Reading& reading : kTrickyTexts) {
    EXPECT_EQ(ReadWithOwn(tokenizer, reading.text), reading.transcript) << "text: " << reading.text;
  }
}

TEST(CsvReading, ARecordIsExactlyOneRow) {
  const struct {
    std::string text;
    bool one;
    int rows;
    std::vector<std::string> fields;
  } cases[] = {
      {"a,\"b,c\",d", true, 1, {"a", "b,c", "d"}},
      {"a,\"b\nc\"", true, 1, {"a", "b\nc"}},
      {"", false, 0, {}},
      {"a\nb", false, 2, {"a"}},
      {"a,\"b", true, 1, {"a", "b"}},
  };
  CsvRecordParser parser;
  for (const auto& c : cases) {
    std::vector<std::string> fields = {"left over"};
    EXPECT_EQ(parser.Parse(c.text, fields), c.one) << c.text;
    EXPECT_EQ(parser.rows(), c.rows) << c.text;
    EXPECT_EQ(fields, c.fields) << c.text;
  }
}

#ifndef __EMSCRIPTEN__
// Here the platform's reading is libcsv, so the two readings below are two
// implementations; in the web build they would be one.

// Texts of a small alphabet that holds every character the reading treats
// apart, and a letter of more than one byte.
std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> kPieces = {",", "\"", "\r", "\n", "a", "あ", " "};
  std::uniform_int_distribution<int> length(0, 24);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::string text;
  for (int n = length(random); n > 0; --n) text += kPieces[piece(random)];
  return text;
}

TEST(CsvReadingAgainstLibcsv, TheTrickyTextsAreReadAlike) {
  CsvReader libcsv;
  LenientCsvTokenizer own;
  for (const Reading& reading : kTrickyTexts) {
    EXPECT_EQ(ReadWithOwn(own, reading.text), ReadWithPlatform(libcsv, reading.text)) << "text: " << reading.text;
  }
}

TEST(CsvReadingAgainstLibcsv, RandomTextsAreReadAlikeWholeAndInTwoPieces) {
  std::mt19937 random(20261211);
  CsvReader libcsv;
  LenientCsvTokenizer own;
  int differences = 0;
  for (int i = 0; i < 200000 && differences < 5; ++i) {
    const std::string text = RandomText(random);
    const std::string expected = ReadWithPlatform(libcsv, text);
    const std::string whole = ReadWithOwn(own, text);
    // The same text fed in two pieces, cut anywhere, even inside a letter.
    const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
    Transcript libcsv_pieces;
    libcsv.Feed(std::string_view(text).substr(0, cut), libcsv_pieces);
    libcsv.Feed(std::string_view(text).substr(cut), libcsv_pieces);
    libcsv.Finish(libcsv_pieces);
    Transcript own_pieces;
    own.Feed(std::string_view(text).substr(0, cut), own_pieces);
    own.Feed(std::string_view(text).substr(cut), own_pieces);
    own.Finish(own_pieces);
    if (whole != expected || own_pieces.text != libcsv_pieces.text) {
      ++differences;
      ADD_FAILURE() << "text: \"" << text << "\" cut at " << cut << "\nlibcsv: " << expected
                    << "\nown:    " << whole << "\nin two pieces, libcsv: " << libcsv_pieces.text
                    << "\nin two pieces, own:    " << own_pieces.text;
    }
  }
}
#endif

}  // namespace
}  // namespace kanae::report
