#include "text_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "fakes.h"

namespace kanae {
namespace {

using testing::TempFolder;

TEST(TextFile, WritesCp932WithCrLfAndReadsItBack) {
  TempFolder folder;
  ASSERT_TRUE(ReplaceTextFile(folder / "a.txt", {U"いぬ", U"ケーキ～"}).ok);
  // い=82A2 ぬ=82CA ケ=8350 ー=815B キ=834C ～=8160
  EXPECT_EQ(folder.Read("a.txt"), "\x82\xA2\x82\xCA\r\n\x83\x50\x81\x5B\x83\x4C\x81\x60\r\n");
  const auto back = ReadTextFile(folder / "a.txt");
  ASSERT_EQ(back.status, ReadStatus::kOk);
  EXPECT_EQ(back.text, U"いぬ\r\nケーキ～\r\n");
}

TEST(TextFile, ChangesJisFormsToTheirCp932FormsBeforeEncoding) {
  // WAVE DASH and MINUS SIGN have no CP932 code of their own.
  EXPECT_EQ(EncodeForFile(U"〜−"), "\x81\x60\x81\x7C");
}

TEST(TextFile, KeepsTextThatCp932CannotHoldAsUtf8) {
  TempFolder folder;
  ASSERT_TRUE(ReplaceTextFile(folder / "a.txt", {U"강아지.jpg", U"いぬ"}).ok);
  EXPECT_TRUE(folder.Read("a.txt").starts_with("\xEF\xBB\xBF"));
  EXPECT_EQ(ReadTextFile(folder / "a.txt").text, U"강아지.jpg\r\nいぬ\r\n");
}

TEST(TextFile, DecodesByTheReadingRule) {
  struct Case {
    const char* bytes;
    std::optional<Text> text;
  };
  const Case cases[] = {
      {"abc", U"abc"},
      {"\xEF\xBB\xBF\xE3\x81\x84", U"い"},  // UTF-8 with a byte-order mark
      {"\xE3\x81\x84\xE3\x81\xAC", U"いぬ"},  // UTF-8 without one
      {"\x82\xA2\x82\xCA", U"いぬ"},          // CP932
      {"\x82\xA2\xFF", std::nullopt},        // neither
      {"\xEF\xBB\xBF\xFF", std::nullopt},    // a byte-order mark over bad bytes
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeFileBytes(c.bytes), c.text) << c.bytes;
}

TEST(TextFile, ReportsMissingAndUnreadableFiles) {
  TempFolder folder;
  EXPECT_EQ(ReadTextFile(folder / "none.txt").status, ReadStatus::kNotFound);
  std::filesystem::create_directory(folder / "dir.txt");
  EXPECT_EQ(ReadTextFile(folder / "dir.txt").status, ReadStatus::kUnreadable);
  folder.Write("bad.txt", "\x82\xFF");
  EXPECT_EQ(ReadTextFile(folder / "bad.txt").status, ReadStatus::kNotText);
}

TEST(TextFile, SplitsLinesAtEveryKindOfLineEnd) {
  EXPECT_EQ(SplitLines(U"a\r\nb\nc\rd"), (std::vector<Text>{U"a", U"b", U"c", U"d"}));
  EXPECT_EQ(SplitLines(U"a\r\n\r\nb\r\n"), (std::vector<Text>{U"a", U"", U"b"}));
}

TEST(TextFile, AFailedWriteReportsAndLeavesTheOldFileWhole) {
  TempFolder folder;
  folder.Write("keep.txt", "old content\r\n");

  // A file-size limit makes the write fail the way a full disk does, even for root.
  signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit tight = old_limit;
  tight.rlim_cur = 4;
  setrlimit(RLIMIT_FSIZE, &tight);
  const WriteOutcome outcome = ReplaceTextFile(folder / "keep.txt", {U"a much longer new content"});
  setrlimit(RLIMIT_FSIZE, &old_limit);

  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.error.empty());
  EXPECT_EQ(folder.Read("keep.txt"), "old content\r\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(TextFile, AWriteIntoAMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(ReplaceTextFile(folder / "no/such/a.txt", {U"x"}).ok);
}

}  // namespace
}  // namespace kanae
