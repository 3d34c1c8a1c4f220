// Reading the record back: lines it cannot read are counted and named, and
// never take the lines after them along; every line end, both encodings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "fakes.h"
#include "learning_record.h"
#include "record_reader.h"
#include "report_data.h"
#include "report_page.h"
#include "text.h"
#include "text_file.h"

namespace kanae::report {
namespace {

using kanae::testing::TempFolder;

const std::string kHeader =
    "日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面,問いの文字,選んだ文字,児童";

std::string Answer(int i, const std::string& picture = "いぬ.jpg", const std::string& seconds = "2.000",
                   const std::string& date_time = "2026-12-01T09:00:00+09:00") {
  return date_time + ",オルタ文字," + picture + ",い,い," + (i % 2 ? "正解" : "不正解") + "," + seconds +
         ",1,2,,クリック,答え,,,はなこ";
}

std::string Lines(const std::vector<std::string>& lines, const std::string& ending = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + ending;
  return bytes;
}

TEST(RecordReader, OneStrayQuoteLosesOnlyItsOwnLineAndIsNamed) {
  // A header and 1,002 record lines; the line hand-added at line 12 opens a
  // quote it never closes.
  std::vector<std::string> lines = {kHeader};
  for (int i = 0; i < 1002; ++i) lines.push_back(Answer(i));
  lines[11] = "2026-12-01T09:00:00+09:00,オルタ文字,\"いぬ.jpg,い,い,正解,2.000,1,2,,クリック,答え,,,はなこ";
  TempFolder folder;
  folder.Write("学習記録.csv", "\xEF\xBB\xBF" + Lines(lines));

  const RecordRead read = ReadRecordFiles({folder / "学習記録.csv"});
  EXPECT_EQ(read.rows.size(), 1001u);
  EXPECT_EQ(read.skipped_lines, 1);
  ASSERT_EQ(read.unreadable.size(), 1u);
  EXPECT_EQ(read.unreadable[0].file, "学習記録.csv");
  EXPECT_EQ(read.unreadable[0].first, 12);
  EXPECT_EQ(read.unreadable[0].last, 12);

  PageContent content;
  content.whole = Summarize(read.rows, std::string());
  content.whole.skipped_lines = read.skipped_lines;
  content.whole.unreadable = read.unreadable;
  const std::string page = ReportPage(content);
  EXPECT_NE(page.find("読み取れなかった行：1"), std::string::npos);
  EXPECT_NE(page.find("学習記録.csv：12行目"), std::string::npos);
}

TEST(RecordReader, ThePageNamesTheBadLinesOfEachFileAndCountsThoseItDoesNotName) {
  TempFolder folder;
  std::vector<std::string> first = {kHeader};
  for (int i = 0; i < 60; ++i) {
    first.push_back(Answer(i));
    first.push_back("a hand-written note");  // lines 3, 5, 7, ...
  }
  folder.Write("学習記録.csv", "\xEF\xBB\xBF" + Lines(first));
  folder.Write("学習記録-2.csv", "\xEF\xBB\xBF" + Lines({kHeader, Answer(1), "x", "y"}));
  RecordRead read;
  StreamRecordFiles({folder / "学習記録.csv", folder / "学習記録-2.csv"}, [](const RecordRow&) {}, read);
  EXPECT_EQ(read.skipped_lines, 62);
  ASSERT_EQ(read.unreadable.size(), kMostNamedRuns);
  EXPECT_EQ(read.unreadable[0].first, 3);
  EXPECT_EQ(read.unreadable[49].first, 101);

  PageContent content;
  ReadRecordBytes(Lines({kHeader, Answer(1)}), read);
  content.whole = Summarize(read.rows, std::string());
  content.whole.skipped_lines = read.skipped_lines;
  content.whole.unreadable = read.unreadable;
  const std::string page = ReportPage(content);
  EXPECT_NE(page.find("読み取れなかった行：62"), std::string::npos);
  EXPECT_NE(page.find("学習記録.csv：3行目、5行目、7行目"), std::string::npos);
  EXPECT_NE(page.find("101行目、ほか12行"), std::string::npos);

  // A second file's lines are named under its own name.
  RecordRead second;
  StreamRecordFiles({folder / "学習記録-2.csv"}, [](const RecordRow&) {}, second);
  content.whole.skipped_lines = second.skipped_lines;
  content.whole.unreadable = second.unreadable;
  EXPECT_NE(ReportPage(content).find("学習記録-2.csv：3〜4行目"), std::string::npos);
}

TEST(RecordReader, ReadsEveryKindOfLineEndAndNamesTheBadLines) {
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t rows;
    std::vector<std::pair<int, int>> unreadable;
  };
  const std::string foreign = "not a record";
  const std::vector<Case> cases = {
      {"CR LF", Lines({kHeader, Answer(1), Answer(2), Answer(3)}, "\r\n"), 3, {}},
      {"LF", Lines({kHeader, Answer(1), Answer(2), Answer(3)}, "\n"), 3, {}},
      {"CR only", Lines({kHeader, Answer(1), Answer(2), Answer(3)}, "\r"), 3, {}},
      {"mixed", kHeader + "\r" + Answer(1) + "\n" + Answer(2) + "\r\n" + Answer(3) + "\r", 3, {}},
      {"foreign lines", Lines({kHeader, Answer(1), foreign, foreign, Answer(2), foreign}, "\r"), 2, {{3, 4}, {6, 6}}},
      {"torn last line", Lines({kHeader, Answer(1)}) + "2026-12-01T09:00:00+09:00,オルタ", 1, {{3, 3}}},
      {"quote torn at the end", Lines({kHeader, Answer(1)}) + "2026-12-01T09:00:00+09:00,オルタ文字,\"い", 1, {{3, 3}}},
      {"a record torn over two lines", Lines({kHeader, Answer(1)}) + "2026-12-01T09:00:00+09:00,オルタ文字,\"い,\r\nぬ", 1,
       {{3, 4}}},
      {"empty lines and a spreadsheet's empty row", Lines({kHeader, "", Answer(1), ",,,,,", Answer(2)}), 2, {}},
      {"a name with a line break in its quotes",
       Lines({kHeader, "2026-12-01T09:00:00+09:00,オルタ文字,\"い\r\nぬ.jpg\",い,い,正解,2.000,1,2,,クリック,答え,,,はなこ",
              Answer(2)}),
       2,
       {}},
      {"a name with twenty line breaks, as a file name may hold",
       Lines({kHeader, "2026-12-01T09:00:00+09:00,オルタ文字,\"い" + std::string(20, '\r') + "ぬ.jpg\",い,い,正解,2.000,1,2,,クリック,答え,,,はなこ",
              Answer(2)}),
       2,
       {}},
      {"a stray quote before the last line",
       Lines({kHeader, Answer(1), "2026-12-01,オルタ文字,\"い", Answer(2)}), 2, {{3, 3}}},
      {"a second header", Lines({kHeader, Answer(1), kHeader, Answer(2)}), 2, {{3, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordRead read;
    ReadRecordBytes("\xEF\xBB\xBF" + c.bytes, read);
    EXPECT_EQ(read.rows.size(), c.rows);
    std::vector<std::pair<int, int>> unreadable;
    int count = 0;
    for (const UnreadableLines& u : read.unreadable) {
      unreadable.emplace_back(u.first, u.last);
      count += u.records;
    }
    EXPECT_EQ(unreadable, c.unreadable);
    EXPECT_EQ(read.skipped_lines, count);
  }
  // The line break inside quotes is part of the name.
  const auto with_break = std::find_if(cases.begin(), cases.end(), [](const Case& c) {
    return std::string(c.name) == "a name with a line break in its quotes";
  });
  RecordRead read;
  ReadRecordBytes(with_break->bytes, read);
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.rows[0].picture, "い\r\nぬ.jpg");
}

TEST(RecordReader, DamageToOneLineNeverCostsAnotherLine) {
  // Each way a hand or a crash may spoil a line, at every place in a record.
  const std::vector<std::pair<const char*, std::function<std::string(const std::string&)>>> damages = {
      {"an opening quote", [](const std::string& line) { return "\"" + line; }},
      {"a quote in the middle", [](const std::string& line) { return line.substr(0, 40) + "\"" + line.substr(40); }},
      {"a quote at the end", [](const std::string& line) { return line + "\""; }},
      {"cut short", [](const std::string& line) { return line.substr(0, line.size() / 2); }},
      {"a quoted field left open", [](const std::string& line) { return line.substr(0, 27) + "\"\"\"" + line.substr(27); }},
      {"bytes that are not text", [](const std::string& line) { return line.substr(0, 30) + "\xFF\xFE" + line.substr(30); }},
  };
  constexpr int kLines = 12;
  for (const auto& [name, damage] : damages) {
    for (int bad = 0; bad < kLines; ++bad) {
      SCOPED_TRACE(std::string(name) + " at record " + std::to_string(bad));
      std::vector<std::string> lines = {kHeader};
      for (int i = 0; i < kLines; ++i) {
        const std::string line = Answer(i, "え" + std::to_string(i) + ".jpg");
        lines.push_back(i == bad ? damage(line) : line);
      }
      RecordRead read;
      ReadRecordBytes("\xEF\xBB\xBF" + Lines(lines), read);
      std::vector<std::string> pictures;
      for (const RecordRow& row : read.rows) pictures.push_back(row.picture);
      for (int i = 0; i < kLines; ++i) {
        if (i == bad) continue;
        EXPECT_NE(std::find(pictures.begin(), pictures.end(), "え" + std::to_string(i) + ".jpg"), pictures.end()) << i;
      }
      EXPECT_GE(read.rows.size(), static_cast<std::size_t>(kLines - 1));
      EXPECT_EQ(read.rows.size() + static_cast<std::size_t>(read.skipped_lines), static_cast<std::size_t>(kLines));
      if (read.skipped_lines == 1) {
        ASSERT_EQ(read.unreadable.size(), 1u);
        EXPECT_EQ(read.unreadable[0].first, bad + 2);  // the header is line 1
      }
    }
  }
}

TEST(RecordReader, ReadsARecordSavedAsCp932OrAsUtf8WithoutAMark) {
  const std::string utf8 = Lines({kHeader, Answer(1, "さかな.jpg"), Answer(2, "〜ねこ.jpg")});
  const std::string cp932 = EncodeForFile(FromUtf8(Lines({kHeader, Answer(1, "さかな.jpg"), Answer(2, "～ねこ.jpg")})));
  ASSERT_FALSE(cp932.starts_with("\xEF\xBB\xBF"));
  ASSERT_FALSE(DecodeUtf8(cp932));  // really CP932, not UTF-8

  for (const auto& [name, bytes, second_picture] :
       {std::tuple{"CP932", cp932, "～ねこ.jpg"}, std::tuple{"UTF-8 without a mark", utf8, "〜ねこ.jpg"}}) {
    SCOPED_TRACE(name);
    TempFolder folder;
    folder.Write("学習記録.csv", bytes);
    const RecordRead read = ReadRecordFiles({folder / "学習記録.csv"});
    EXPECT_EQ(read.skipped_lines, 0);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].picture, "さかな.jpg");
    EXPECT_EQ(read.rows[1].picture, second_picture);
    EXPECT_EQ(read.rows[1].game, "オルタ文字");
    EXPECT_EQ(read.rows[1].child, "はなこ");
  }
}

TEST(RecordReader, OnlyTheFilesMarkIsDroppedNotOneStartingALaterName) {
  const std::string bytes =
      "\xEF\xBB\xBF" + Lines({kHeader, Answer(1, "\xEF\xBB\xBFいぬ.jpg"), Answer(2, "いぬ.jpg")});
  TempFolder folder;
  folder.Write("学習記録.csv", bytes);
  for (const RecordRead& read : {ReadRecordFiles({folder / "学習記録.csv"}), [&] {
         RecordRead r;
         ReadRecordBytes(bytes, r);
         return r;
       }()}) {
    EXPECT_EQ(read.skipped_lines, 0);  // the header was known by its columns
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].picture, "\xEF\xBB\xBFいぬ.jpg");
    EXPECT_EQ(read.rows[1].picture, "いぬ.jpg");
  }
}

TEST(RecordReader, ChecksDatesAsCalendarDates) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"2026-12-10T09:30:00+09:00", true},
      {"2024-02-29T23:59:59+09:00", true},
      {"2026-12-10", true},
      {"2026-12-10 09:30", true},
      {"2026-02-29T09:30:00+09:00", false},
      {"2026-13-01T09:30:00+09:00", false},
      {"2026-04-31T09:30:00+09:00", false},
      {"2026-12-00T09:30:00+09:00", false},
      {"2026-12-10T24:00:00+09:00", false},
      {"2026-12-10T09:60:00+09:00", false},
      {"2026-12-10X09:30:00+09:00", false},
      {"abcdefghij", false},
      {"2026/12/10", false},
      {"2026-12-1", false},
      {"2026-12-10T9", false},
  };
  for (const auto& [date_time, valid] : cases) {
    SCOPED_TRACE(date_time);
    EXPECT_EQ(IsRecordDateTime(date_time), valid);
    RecordRead read;
    ReadRecordBytes(Lines({kHeader, Answer(1, "いぬ.jpg", "2.000", date_time)}), read);
    EXPECT_EQ(read.rows.size(), valid ? 1u : 0u);
    EXPECT_EQ(read.skipped_lines, valid ? 0 : 1);
  }
}

TEST(RecordReader, TimesThatAreNotTimesCountTheAnswerButNotTheTime) {
  RecordRead read;
  ReadRecordBytes(Lines({kHeader, Answer(1, "いぬ.jpg", "2.000"), Answer(2, "いぬ.jpg", "nan"),
                         Answer(3, "いぬ.jpg", "inf"), Answer(4, "いぬ.jpg", "-1.5"), Answer(5, "いぬ.jpg", "4.000"),
                         Answer(6, "いぬ.jpg", "-nan")}),
                  read);
  ASSERT_EQ(read.rows.size(), 6u);
  EXPECT_EQ(read.skipped_lines, 0);
  const std::vector<bool> known = {true, false, false, false, true, false};
  for (std::size_t i = 0; i < known.size(); ++i) {
    EXPECT_EQ(read.rows[i].seconds_known, known[i]) << i;
    EXPECT_TRUE(std::isfinite(read.rows[i].seconds));
  }
  PageContent content;
  content.whole = Summarize(read.rows, std::string());
  EXPECT_EQ(content.whole.total.answers, 6);
  ASSERT_EQ(content.whole.days.size(), 1u);
  EXPECT_DOUBLE_EQ(content.whole.days[0].median_seconds, 3.0);
  EXPECT_DOUBLE_EQ(content.whole.days[0].mean_seconds, 3.0);
  const std::string page = ReportPage(content);
  EXPECT_EQ(page.find("nan"), std::string::npos);
  EXPECT_EQ(page.find("inf"), std::string::npos);
}

TEST(RecordReader, RowsGivenOutOfOrderGiveTheNumbersOfTheRowsInOrder) {
  RecordRead read;
  ReadRecordBytes(Lines({kHeader, Answer(1, "いぬ.jpg", "1.000", "2026-12-02T10:00:00+09:00"),
                         "2026-12-01T09:00:00+09:00,ペンブル,ねこ.jpg,ね,ね,正解,1.000,1,2,,クリック,答え,,,はなこ",
                         Answer(2, "いぬ.jpg", "1.000", "2026-12-01T09:00:30+09:00")}),
                  read);
  ASSERT_EQ(read.rows.size(), 3u);
  std::vector<RecordRow> in_order = {read.rows[1], read.rows[2], read.rows[0]};
  const ReportData shuffled = Summarize(read.rows, std::string());
  const ReportData ordered = Summarize(in_order, std::string());
  ASSERT_EQ(shuffled.games.size(), 2u);
  EXPECT_EQ(shuffled.games[0].first, "ペンブル");  // played first, though written later
  EXPECT_EQ(shuffled.games[0].first, ordered.games[0].first);
  ASSERT_EQ(shuffled.sessions.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(shuffled.sessions[i].day, ordered.sessions[i].day);
    EXPECT_EQ(shuffled.sessions[i].start, ordered.sessions[i].start);
    EXPECT_EQ(shuffled.sessions[i].game, ordered.sessions[i].game);
  }
  EXPECT_EQ(shuffled.sessions[0].start, "09:00");
  EXPECT_EQ(shuffled.sessions[2].day, "2026-12-02");
}

}  // namespace
}  // namespace kanae::report
