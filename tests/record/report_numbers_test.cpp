// The report's numbers for a small record made by hand.
#include <gtest/gtest.h>

#include "record_reader.h"
#include "report_data.h"
#include "report_page.h"

namespace kanae::report {
namespace {


// Two days, three games; さ/ち and ぬ/め mixed up; one catch; a foreign line.
constexpr char kRecord[] =
    "\xEF\xBB\xBF日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面\r\n"
    "2026-12-01T09:00:00+09:00,オルタ文字,さかな.jpg,さ,ち,不正解,2.000,1,2,,クリック,答え\r\n"
    "2026-12-01T09:00:10+09:00,オルタ文字,さかな.jpg,さ,さ,正解,4.000,2,2,,クリック,答え\r\n"
    "2026-12-01T09:01:00+09:00,オルタ文字,いぬ.jpg,ぬ,め,不正解,1.000,1,2,,クリック,答え\r\n"
    "2026-12-01T09:01:00+09:00,ペンブル,いぬ.jpg,い,い,正解,5.500,1,1,,触れる,つかまえた\r\n"
    "this line is not a record\r\n"
    "2026-12-02T10:00:00+09:00,オルタ文字,いぬ.jpg,ぬ,め,不正解,3.000,1,2,,クリック,答え\r\n"
    "2026-12-02T10:00:09+09:00,オルタ文字,いぬ.jpg,ぬ,ぬ,正解,1.000,2,2,,クリック,答え\r\n"
    "2026-12-02T10:01:00+09:00,スヴァン選び,ねこ.jpg,ねこ,\"い,ぬ.jpg\",不正解,6.000,1,,4,クリック,答え\r\n"
    "2026-12-02T10:01:30+09:00,スヴァン選び,ねこ.jpg,ねこ,ねこ.jpg,正解,2.000,2,,4,クリック,答え\r\n"
    "2026-12-02T10:02:00+09:00,オルタ文字,さかな.jpg,さ,";  // torn

TEST(ReportNumbers, CountsAnswersAccuracyConfusionsMistakesAndTimes) {
  RecordRead read;
  ReadRecordBytes(kRecord, read);
  EXPECT_EQ(read.rows.size(), 8u);
  EXPECT_EQ(read.skipped_lines, 2);  // the foreign line and the torn one
  ReportData data = Summarize(read.rows, std::string());

  EXPECT_EQ(data.total.answers, 7);
  EXPECT_EQ(data.total.right, 3);
  EXPECT_EQ(data.total.caught, 1);
  EXPECT_EQ(data.first_day, std::string("2026-12-01"));
  EXPECT_EQ(data.last_day, std::string("2026-12-02"));

  ASSERT_EQ(data.games.size(), 3u);
  EXPECT_EQ(data.games[0].first, std::string("オルタ文字"));
  EXPECT_EQ(std::make_tuple(data.games[0].second.answers, data.games[0].second.right), std::make_tuple(5, 2));
  EXPECT_EQ(data.games[1].first, std::string("ペンブル"));
  EXPECT_EQ(std::make_tuple(data.games[1].second.answers, data.games[1].second.caught), std::make_tuple(0, 1));
  EXPECT_EQ(std::make_tuple(data.games[2].second.answers, data.games[2].second.right), std::make_tuple(2, 1));

  ASSERT_EQ(data.days.size(), 2u);
  EXPECT_EQ(std::make_tuple(data.days[0].tally.answers, data.days[0].tally.right), std::make_tuple(3, 1));
  EXPECT_DOUBLE_EQ(data.days[0].median_seconds, 2.0);
  EXPECT_DOUBLE_EQ(data.days[0].mean_seconds, 7.0 / 3);
  EXPECT_EQ(std::make_tuple(data.days[1].tally.answers, data.days[1].tally.right), std::make_tuple(4, 2));
  EXPECT_DOUBLE_EQ(data.days[1].median_seconds, 2.5);  // of 3, 1, 6, 2

  // Letters in gojuon order; only one-letter answers count.
  const std::vector<std::string> letters = {std::string("さ"), std::string("ち"), std::string("ぬ"), std::string("め")};
  EXPECT_EQ(data.letters, letters);
  const std::map<std::pair<std::string, std::string>, int> confusion = {
      {{std::string("さ"), std::string("ち")}, 1}, {{std::string("さ"), std::string("さ")}, 1}, {{std::string("ぬ"), std::string("め")}, 2}, {{std::string("ぬ"), std::string("ぬ")}, 1}};
  EXPECT_EQ(data.confusion, confusion);

  ASSERT_EQ(data.most_missed.size(), 3u);
  EXPECT_EQ(std::make_tuple(data.most_missed[0].picture, data.most_missed[0].wrong, data.most_missed[0].answers),
            std::make_tuple(std::string("いぬ.jpg"), 2, 3));
  EXPECT_EQ(data.most_missed[1].picture, std::string("さかな.jpg"));  // one wrong each: by name
  EXPECT_EQ(data.most_missed[2].picture, std::string("ねこ.jpg"));

  const ReportData later = Summarize(read.rows, std::string("2026-12-02"));
  EXPECT_EQ(later.total.answers, 4);
  EXPECT_EQ(later.days.size(), 1u);
  EXPECT_EQ(later.first_day, std::string("2026-12-02"));
}

TEST(ReportNumbers, GojuonOrderPutsHiraganaThenKatakanaThenDigitsThenTheRest) {
  const char* ordered[] = {"あ", "か", "ん", "が", "ぱ", "っ", "ア", "ン", "ヴ", "０", "９", "A", "漢"};
  for (std::size_t i = 1; i < std::size(ordered); ++i) {
    EXPECT_LT(GojuonRank(std::string(ordered[i - 1])), GojuonRank(std::string(ordered[i]))) << ordered[i - 1] << " " << ordered[i];
  }
}

TEST(ReportPage, IsOnePageWithEscapedNamesAndNothingFetched) {
  RecordRead read;
  ReadRecordBytes(
      "2026-12-01T09:00:00+09:00,オルタ文字,<b>&.jpg,さ,ち,不正解,2.000,1,2,,クリック,答え\r\n"
      "2026-12-01T09:00:05+09:00,オルタ文字,<b>&.jpg,さ,さ,正解,2.000,2,2,,クリック,答え,,,\"<i>はな\"\"\"\r\n",
      read);
  ASSERT_EQ(read.rows.size(), 2u);
  PageContent content;
  content.lesson = "くま組";
  content.whole = Summarize(read.rows, std::string());
  content.children = SummarizeByChild(read.rows, std::string());
  const std::string page = ReportPage(content);
  const auto contains = [&](const std::string& text) { return page.find(text) != std::string::npos; };
  EXPECT_TRUE(contains("&lt;b&gt;&amp;.jpg"));
  EXPECT_TRUE(contains("&lt;i&gt;はな&quot;"));
  EXPECT_FALSE(contains("<b>&"));
  EXPECT_FALSE(contains("<i>"));
  for (const char* outside : {"http://", "https://", "<script", "src=", "@import", "url("}) {
    EXPECT_FALSE(contains(outside)) << outside;
  }
  EXPECT_TRUE(contains("<svg"));
  EXPECT_TRUE(contains("くま組"));
}

TEST(ReportPage, DayLabelsReadAsTheTeacherWritesThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"2026-12-10", "2026年12月10日(木)"}, {"2024-02-29", "2024年2月29日(木)"},
      {"2026-12-13", "2026年12月13日(日)"}, {"2026-02-30", "2026-02-30"},  // no such day: as written
      {"yesterday!", "yesterday!"},
  };
  for (const auto& [day, label] : cases) EXPECT_EQ(DayLabel(day, true), label) << day;
  EXPECT_EQ(DayLabel("2026-12-14"), "12月14日(月)");
}

}  // namespace
}  // namespace kanae::report

namespace kanae::report {
namespace {

// Two children and an older line with no child; the card-picking game's
// letters; a word built letter by letter; two sittings of one game.
constexpr char kChildrenRecord[] =
    "\xEF\xBB\xBF日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面\r\n"
    "2026-12-01T08:00:00+09:00,オルタ文字,さかな.jpg,さ,ち,不正解,2.000,1,2,,クリック,答え\r\n"
    "2026-12-01T09:00:00+09:00,スヴァン選び,ねこ.jpg,ねこ,めだか.jpg,不正解,3.000,1,,2,クリック,答え,ね,め,はなこ\r\n"
    "2026-12-01T09:00:09+09:00,スヴァン選び,ねこ.jpg,ねこ,ねこ.jpg,正解,1.000,2,,2,クリック,答え,ね,ね,はなこ\r\n"
    "2026-12-01T09:00:20+09:00,スヴァン選び,めだか.jpg,めだか,めだか.jpg,正解,1.000,1,,2,クリック,答え,め,め,はなこ\r\n"
    "2026-12-01T09:05:00+09:00,ダブレル作り,いぬ.jpg,い,い,正解,1.000,1,1,,クリック,答え,,,はなこ\r\n"
    "2026-12-01T09:05:03+09:00,ダブレル作り,いぬ.jpg,ぬ,め,不正解,1.000,1,1,,クリック,答え,,,はなこ\r\n"
    "2026-12-01T09:05:06+09:00,ダブレル作り,いぬ.jpg,ぬ,ぬ,正解,1.000,2,1,,クリック,答え,,,はなこ\r\n"
    "2026-12-01T09:05:09+09:00,ダブレル作り,て.jpg,て,て,正解,1.000,1,1,,クリック,答え,,,はなこ\r\n"
    "2026-12-02T10:00:00+09:00,オルタ文字,ねこ.jpg,ね,ね,正解,1.000,1,2,,クリック,答え,,,Ana María\r\n"
    "2026-12-02T11:00:00+09:00,オルタ文字,ねこ.jpg,ね,れ,不正解,1.000,1,2,,クリック,答え,,,Ana María\r\n";

TEST(ReportPerChild, EachChildHasTheirOwnFiguresAndTheOlderLinesGoUnnamed) {
  RecordRead read;
  ReadRecordBytes(kChildrenRecord, read);
  ASSERT_EQ(read.rows.size(), 10u);
  EXPECT_EQ(read.skipped_lines, 0);
  const std::vector<ChildReport> children = SummarizeByChild(read.rows, std::string());
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0].child, "Ana María");
  EXPECT_EQ(children[1].child, "はなこ");
  EXPECT_EQ(children[2].child, "");  // written before children were recorded
  EXPECT_EQ(children[2].data.total.answers, 1);

  const ReportData& hanako = children[1].data;
  EXPECT_EQ(std::make_tuple(hanako.total.answers, hanako.total.right), std::make_tuple(7, 5));
  // The card-picking game's letters reach the heat map.
  EXPECT_EQ(hanako.confusion.at({"ね", "め"}), 1);
  EXPECT_EQ(hanako.confusion.at({"め", "め"}), 1);
  // Sessions: the card game (two questions, one right at the first try) and
  // the word game (いぬ after a slip, then て: two questions).
  ASSERT_EQ(hanako.sessions.size(), 2u);
  EXPECT_EQ(std::make_tuple(hanako.sessions[0].game, hanako.sessions[0].start, hanako.sessions[0].questions,
                            hanako.sessions[0].tally.answers, hanako.sessions[0].right_first_time),
            std::make_tuple(std::string("スヴァン選び"), std::string("09:00"), 2, 3, 1));
  EXPECT_EQ(std::make_tuple(hanako.sessions[1].game, hanako.sessions[1].questions, hanako.sessions[1].tally.answers,
                            hanako.sessions[1].right_first_time),
            std::make_tuple(std::string("ダブレル作り"), 2, 4, 1));
  // Letters asked, judged by each question's first answer.
  std::map<std::string, std::pair<int, int>> first;
  for (const LetterProgress& letter : hanako.letter_progress) first[letter.letter] = {letter.total.asked, letter.total.right};
  const std::map<std::string, std::pair<int, int>> expected = {
      {"い", {1, 1}}, {"ぬ", {1, 0}}, {"て", {1, 1}}, {"ね", {1, 0}}, {"め", {1, 1}}};
  EXPECT_EQ(first, expected);
  EXPECT_EQ(hanako.letter_progress.front().letter, "い");  // in gojuon order
  const auto nu = std::find_if(hanako.letter_progress.begin(), hanako.letter_progress.end(),
                               [](const LetterProgress& l) { return l.letter == "ぬ"; });
  ASSERT_NE(nu, hanako.letter_progress.end());
  EXPECT_EQ(nu->taken_for, (std::vector<std::pair<std::string, int>>{{"め", 1}}));

  // An hour apart, one game: two sittings, one question each.
  const ReportData& ana = children[0].data;
  ASSERT_EQ(ana.sessions.size(), 2u);
  EXPECT_EQ(std::make_tuple(ana.sessions[0].questions, ana.sessions[1].questions), std::make_tuple(1, 0));
  EXPECT_EQ(ana.letter_progress.at(0).days.at("2026-12-02").asked, 2);
  EXPECT_EQ(ana.letter_progress.at(0).days.at("2026-12-02").right, 1);
}

TEST(ReportPerChild, SinceLeavesOutAChildWithNothingInThePeriod) {
  RecordRead read;
  ReadRecordBytes(kChildrenRecord, read);
  const std::vector<ChildReport> children = SummarizeByChild(read.rows, "2026-12-02");
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].child, "Ana María");
}

}  // namespace
}  // namespace kanae::report
