#include "messages.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace kanae {
namespace {

using testing::Cp932;
using testing::ScriptedRandom;
using testing::TempFolder;

TEST(Messages, ReadsEveryNonEmptyTextField) {
  struct Case {
    std::string content;
    std::vector<Text> messages;
  };
  const Case cases[] = {
      {Cp932("すごい\r\n\r\nやったね\r\n"), {U"すごい", U"やったね"}},
      {Cp932("すごい,やったね\r\n"), {U"すごい", U"やったね"}},
      {Cp932("\"すごい、やったね,ほんとに\"\r\n"), {U"すごい、やったね,ほんとに"}},
      {Cp932("  よし  \r\n"), {U"よし"}},
      {"\xEF\xBB\xBF\xE3\x81\x99\xE3\x81\x94\xE3\x81\x84\r\n", {U"すごい"}},  // UTF-8 from a modern editor
      {"\xE3\x81\x99\xE3\x81\x94\xE3\x81\x84\r\n", {U"すごい"}},  // UTF-8 without a mark
      {"\xE3\x81\x8B\xE3\x82\x99\xE3\x82\x93\xE3\x81\xB0\xE3\x82\x8C\r\n", {U"がんばれ"}},  // decomposed: composed
      {"\r\n\r\n", {kDefaultPraise}},  // nothing to say: the default, not an empty praise
  };
  for (const Case& c : cases) {
    TempFolder folder;
    folder.Write("O.txt", c.content);
    std::vector<Text> messages;
    EXPECT_EQ(LoadMessages(folder / "O.txt", kDefaultPraise, messages).load, MessagesLoad::kRead);
    EXPECT_EQ(messages, c.messages);
  }
}

TEST(Messages, TakesAllTextsOfALongFile) {
  TempFolder folder;
  std::string content;
  for (int i = 0; i < 30; ++i) content += "text" + std::to_string(i) + "\r\n";
  folder.Write("X.txt", content);
  std::vector<Text> messages;
  LoadMessages(folder / "X.txt", kDefaultRetry, messages);
  ASSERT_EQ(messages.size(), 30u);
  EXPECT_EQ(messages.back(), U"text29");
}

TEST(Messages, TakesTheFirstTenThousandTextsAndSaysSo) {
  TempFolder folder;
  std::string content;
  for (std::size_t i = 0; i <= kMessagesLimit; ++i) content += "t" + std::to_string(i) + "\r\n";
  folder.Write("O.txt", content);
  std::vector<Text> messages;
  const auto outcome = LoadMessages(folder / "O.txt", kDefaultPraise, messages);
  EXPECT_TRUE(outcome.truncated);
  ASSERT_EQ(messages.size(), kMessagesLimit);
  EXPECT_EQ(messages.back(), FromUtf8("t" + std::to_string(kMessagesLimit - 1)));
}

TEST(Messages, AFileLargerThanTheLimitGivesItsFirstLines) {
  TempFolder folder;
  folder.Write("O.txt", Cp932("すごい\r\n") + std::string(kTextFileLimitBytes, 'a'));
  std::vector<Text> messages;
  const auto outcome = LoadMessages(folder / "O.txt", kDefaultPraise, messages);
  EXPECT_EQ(outcome.load, MessagesLoad::kRead);
  EXPECT_TRUE(outcome.truncated);
  EXPECT_EQ(messages, std::vector<Text>{U"すごい"});
}

TEST(Messages, CreatesAMissingFileWithItsDefaultAndNeverRewritesIt) {
  TempFolder folder;
  std::vector<Text> messages;
  const auto outcome = LoadMessages(folder / "X.txt", kDefaultRetry, messages);
  EXPECT_EQ(outcome.load, MessagesLoad::kCreated);
  EXPECT_EQ(messages, std::vector<Text>{kDefaultRetry});
  EXPECT_EQ(folder.Read("X.txt"), Cp932("もういちど、やりなおしだよ\r\n"));

  folder.Write("X.txt", Cp932("がんばれ\r\n"));
  EXPECT_EQ(LoadMessages(folder / "X.txt", kDefaultRetry, messages).load, MessagesLoad::kRead);
  EXPECT_EQ(messages, std::vector<Text>{U"がんばれ"});
  EXPECT_EQ(folder.Read("X.txt"), Cp932("がんばれ\r\n"));
}

TEST(Messages, AnUnreadableFileIsKeptAndTheDefaultUsed) {
  TempFolder folder;
  folder.Write("O.txt", "\x82\xFF\x82");
  std::vector<Text> messages;
  EXPECT_EQ(LoadMessages(folder / "O.txt", kDefaultPraise, messages).load, MessagesLoad::kUnreadable);
  EXPECT_EQ(messages, std::vector<Text>{kDefaultPraise});
  EXPECT_EQ(folder.Read("O.txt"), "\x82\xFF\x82");
}

TEST(Messages, DrawsEntryIntOfRndTimesCount) {
  const std::vector<Text> messages = {U"a", U"b", U"c"};
  ScriptedRandom rnd({0.0, 0.34, 0.999});
  EXPECT_EQ(DrawMessage(messages, rnd), U"a");
  EXPECT_EQ(DrawMessage(messages, rnd), U"b");
  EXPECT_EQ(DrawMessage(messages, rnd), U"c");
  EXPECT_EQ(DrawMessage({}, rnd), U"");  // an empty list gives an empty text
}

}  // namespace
}  // namespace kanae
