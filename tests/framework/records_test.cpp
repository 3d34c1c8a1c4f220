#include "records.h"

#include <gtest/gtest.h>

namespace kanae {
namespace {

std::vector<Field> AllFields(TextView content) {
  std::vector<Field> fields;
  FieldReader reader(content);
  while (auto field = reader.Next()) fields.push_back(*field);
  return fields;
}

std::vector<Text> Values(TextView content) {
  std::vector<Text> values;
  for (const Field& f : AllFields(content)) values.push_back(f.value);
  return values;
}

TEST(Records, SplitsFieldsByTheCommaSeparatedRules) {
  struct Case {
    Text content;
    std::vector<Text> values;
  };
  const std::vector<Case> cases = {
      {U"a,b\r\nc\r\n", {U"a", U"b", U"c"}},
      {U"  すごい ,\tやったね  \r\n", {U"すごい", U"やったね"}},      // blanks dropped
      {U"\"a,b\",c", {U"a,b", U"c"}},                               // quoted commas stay
      {U"\" padded \"", {U" padded "}},                             // quotes keep inner blanks
      {U"もういちど、やりなおしだよ", {U"もういちど、やりなおしだよ"}},  // 、 is a character
      {U"a\r\n\r\nb", {U"a", U"", U"b"}},                           // an empty line is an empty field
      {U"\"say \"\"hi\"\"\",x", {U"say \"hi\"", U"x"}},             // doubled quotes
      {U"a\nb\rc", {U"a", U"b", U"c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Values(c.content), c.values) << ToUtf8(c.content);
}

TEST(Records, ConvertsBooleansAndIntegers) {
  struct Case {
    Text text;
    bool quoted;
    std::optional<std::int16_t> boolean;
    std::optional<std::int16_t> integer;
  };
  const Case cases[] = {
      {U"#TRUE#", false, kTrue, std::nullopt},
      {U"#false#", false, kFalse, std::nullopt},
      {U"#TRUE#", true, std::nullopt, std::nullopt},
      {U"3", false, 3, 3},
      {U"-1", false, -1, -1},
      {U"1", false, 1, 1},  // a hand-edited 1 stays 1
      {U"32767", false, 32767, 32767},
      {U"-32768", false, -32768, -32768},
      {U"32768", false, std::nullopt, std::nullopt},
      {U"x", false, std::nullopt, std::nullopt},
      {U"", false, std::nullopt, std::nullopt},
      {U"-", false, std::nullopt, std::nullopt},
      {U"1.5", false, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const Field field{c.text, c.quoted};
    EXPECT_EQ(ParseBoolean(field), c.boolean) << ToUtf8(c.text);
    EXPECT_EQ(ParseInteger(field), c.integer) << ToUtf8(c.text);
  }
}

TEST(Records, QuotedTextRoundTrips) {
  for (const Text& text : {Text(U"いぬ.jpg"), Text(U"a \"b\".jpg"), Text(U"a,b.gif"), Text(U"\"")}) {
    const auto fields = AllFields(QuoteText(text) + U",#TRUE#\r\n");
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].value, text);
    EXPECT_TRUE(fields[0].quoted);
  }
}

TEST(Records, FormatsValuesAsTheFilesWriteThem) {
  EXPECT_EQ(FormatBoolean(kTrue), U"#TRUE#");
  EXPECT_EQ(FormatBoolean(kFalse), U"#FALSE#");
  EXPECT_EQ(FormatBoolean(1), U"1");
  EXPECT_EQ(FormatInteger(-12), U"-12");
}

}  // namespace
}  // namespace kanae
