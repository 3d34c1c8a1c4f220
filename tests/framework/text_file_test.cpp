#include "text_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#include "fakes.h"

namespace kanae {
namespace {

using testing::Cp932;
using testing::TempFolder;
using testing::TinyFileSizeLimit;

TEST(TextFile, WritesCp932WithCrLfAndReadsItBack) {
  TempFolder folder;
  ASSERT_TRUE(ReplaceTextFile(folder / "a.txt", {U"いぬ", U"ケーキ～"}).ok);
  // い=82A2 ぬ=82CA ケ=8350 ー=815B キ=834C ～=8160
  EXPECT_EQ(folder.Read("a.txt"), "\x82\xA2\x82\xCA\r\n\x83\x50\x81\x5B\x83\x4C\x81\x60\r\n");
  const auto back = ReadTextFile(folder / "a.txt");
  ASSERT_EQ(back.status, ReadStatus::kOk);
  EXPECT_EQ(back.text, U"いぬ\r\nケーキ～\r\n");
}

TEST(TextFile, LookAlikesThatCp932WouldChangeAreWrittenAsUtf8) {
  // CP932 writes these with the code of a look-alike (〜 as ～), which would
  // read back as another character: such text goes out as UTF-8 instead.
  TempFolder folder;
  for (const Text name : {U"〜", U"−", U"‖", U"—", U"¢", U"£", U"¬"}) {
    const std::string bytes = EncodeForFile(U"な" + name + U".jpg");
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF")) << ToUtf8(name);
    ASSERT_TRUE(ReplaceTextFile(folder / "a.txt", {name}).ok);
    EXPECT_EQ(ReadTextFile(folder / "a.txt").text, name + U"\r\n") << ToUtf8(name);
  }
  // Their CP932 forms stay CP932.
  EXPECT_EQ(EncodeForFile(U"～－∥―￠￡￢"), "\x81\x60\x81\x7C\x81\x61\x81\x5C\x81\x91\x81\x92\x81\xCA");
}

TEST(TextFile, KeepsTextThatCp932CannotHoldAsUtf8) {
  TempFolder folder;
  ASSERT_TRUE(ReplaceTextFile(folder / "a.txt", {U"강아지.jpg", U"いぬ"}).ok);
  EXPECT_TRUE(folder.Read("a.txt").starts_with("\xEF\xBB\xBF"));
  EXPECT_EQ(ReadTextFile(folder / "a.txt").text, U"강아지.jpg\r\nいぬ\r\n");
}

TEST(TextFile, DecodesFilesTheGamesWroteByRuleAndDetectsOnlyTheTeachersTexts) {
  struct Case {
    const char* bytes;
    std::optional<Text> by_rule;
    std::optional<Text> detected;
  };
  const Case cases[] = {
      {"abc", U"abc", U"abc"},
      {"\xEF\xBB\xBF\xE3\x81\x84", U"い", U"い"},           // UTF-8 with a byte-order mark
      {"\x82\xA2\x82\xCA", U"いぬ", U"いぬ"},                 // CP932
      {"\xC8\xBA.jpg", U"ﾈｺ.jpg", U"Ⱥ.jpg"},                 // CP932 that is also valid UTF-8
      {"\xE3\x81\x84\xE3\x81\xAC", std::nullopt, U"いぬ"},  // UTF-8 without a mark: only detected
      {"\x82\xA2\xFF", std::nullopt, std::nullopt},         // neither
      {"\xEF\xBB\xBF\xFF", std::nullopt, std::nullopt},     // a byte-order mark over bad bytes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeFileBytes(c.bytes, Decoding::kByRule), c.by_rule) << c.bytes;
    EXPECT_EQ(DecodeFileBytes(c.bytes, Decoding::kDetected), c.detected) << c.bytes;
  }
}

TEST(TextFile, ReadsABoundedPrefixOfWholeLines) {
  TempFolder folder;
  folder.Write("long.txt", Cp932("いぬ\r\nねこ\r\nうさぎ\r\n"));  // 6 + 6 + 8 bytes
  struct Case {
    std::size_t limit;
    Text text;
    bool truncated;
  };
  const Case cases[] = {
      {20, U"いぬ\r\nねこ\r\nうさぎ\r\n", false},
      {19, U"いぬ\r\nねこ\r\n", true},  // never half a line, nor half a character
      {13, U"いぬ\r\nねこ\r\n", true},
      {11, U"いぬ\r\n", true},
      {3, U"", true},
  };
  folder.Write("one_line.txt", Cp932("すごい,やったね,よし"));
  const auto one_line = ReadTextFile(folder / "one_line.txt", Decoding::kDetected, 16);
  EXPECT_TRUE(one_line.truncated);
  EXPECT_EQ(one_line.text, U"すごい,やったね,");  // one long line is cut after its last whole field
  for (const Case& c : cases) {
    const auto content = ReadTextFile(folder / "long.txt", Decoding::kByRule, c.limit);
    EXPECT_EQ(content.status, ReadStatus::kOk) << c.limit;
    EXPECT_EQ(content.text, c.text) << c.limit;
    EXPECT_EQ(content.truncated, c.truncated) << c.limit;
  }
}

TEST(TextFile, SaysWhyAFileCouldNotBeRead) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "dir.txt");
  const auto content = ReadTextFile(folder / "dir.txt");
  EXPECT_EQ(content.status, ReadStatus::kUnreadable);
  EXPECT_EQ(content.error, EISDIR);
  // A pipe in a file's place is refused at once, never waited on.
  ASSERT_EQ(mkfifo((folder / "pipe.txt").c_str(), 0600), 0);
  EXPECT_EQ(ReadTextFile(folder / "pipe.txt").status, ReadStatus::kUnreadable);
  struct Case {
    int error;
    Text reason;
  };
  const Case cases[] = {
      {EACCES, U"読み込む権限がありません。"},
      {EISDIR, U"同じ名前のフォルダがあります。"},
      {EIO, U"読み込み中に装置のエラーが起きました。"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadFailureReason(c.error), c.reason) << c.error;
  EXPECT_TRUE(ReadFailureReason(ENOMEM).starts_with(U"読み込めませんでした（")) << ToUtf8(ReadFailureReason(ENOMEM));
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

  const WriteOutcome outcome = [&] {
    const TinyFileSizeLimit full_disk;
    return ReplaceTextFile(folder / "keep.txt", {U"a much longer new content"});
  }();

  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.error.empty());
  EXPECT_EQ(folder.Read("keep.txt"), "old content\r\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(TextFile, AReplacementKeepsNoTemporaryFileAndLeavesOtherFilesAlone) {
  TempFolder folder;
  folder.Write("other.txt", "x");
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ReplaceTextFile(folder / "a.txt", {FromUtf8(std::to_string(i))}).ok);
  EXPECT_EQ(folder.Read("a.txt"), "19\r\n");
  EXPECT_EQ(folder.Read("other.txt"), "x");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

TEST(TextFile, AWriteIntoAMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(ReplaceTextFile(folder / "no/such/a.txt", {U"x"}).ok);
}

}  // namespace
}  // namespace kanae
