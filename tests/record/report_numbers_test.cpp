// The report's numbers for a small record made by hand.
#include <gtest/gtest.h>

#include "record_reader.h"
#include "report_data.h"
#include "report_page.h"

namespace kanae::report {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

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
  ReportData data = Summarize(read.rows, QString());

  EXPECT_EQ(data.total.answers, 7);
  EXPECT_EQ(data.total.right, 3);
  EXPECT_EQ(data.total.caught, 1);
  EXPECT_EQ(data.first_day, Q("2026-12-01"));
  EXPECT_EQ(data.last_day, Q("2026-12-02"));

  ASSERT_EQ(data.games.size(), 3u);
  EXPECT_EQ(data.games[0].first, Q("オルタ文字"));
  EXPECT_EQ(std::make_tuple(data.games[0].second.answers, data.games[0].second.right), std::make_tuple(5, 2));
  EXPECT_EQ(data.games[1].first, Q("ペンブル"));
  EXPECT_EQ(std::make_tuple(data.games[1].second.answers, data.games[1].second.caught), std::make_tuple(0, 1));
  EXPECT_EQ(std::make_tuple(data.games[2].second.answers, data.games[2].second.right), std::make_tuple(2, 1));

  ASSERT_EQ(data.days.size(), 2u);
  EXPECT_EQ(std::make_tuple(data.days[0].tally.answers, data.days[0].tally.right), std::make_tuple(3, 1));
  EXPECT_DOUBLE_EQ(data.days[0].median_seconds, 2.0);
  EXPECT_DOUBLE_EQ(data.days[0].mean_seconds, 7.0 / 3);
  EXPECT_EQ(std::make_tuple(data.days[1].tally.answers, data.days[1].tally.right), std::make_tuple(4, 2));
  EXPECT_DOUBLE_EQ(data.days[1].median_seconds, 2.5);  // of 3, 1, 6, 2

  // Letters in gojuon order; only one-letter answers count.
  const std::vector<QString> letters = {Q("さ"), Q("ち"), Q("ぬ"), Q("め")};
  EXPECT_EQ(data.letters, letters);
  const std::map<std::pair<QString, QString>, int> confusion = {
      {{Q("さ"), Q("ち")}, 1}, {{Q("さ"), Q("さ")}, 1}, {{Q("ぬ"), Q("め")}, 2}, {{Q("ぬ"), Q("ぬ")}, 1}};
  EXPECT_EQ(data.confusion, confusion);

  ASSERT_EQ(data.most_missed.size(), 3u);
  EXPECT_EQ(std::make_tuple(data.most_missed[0].picture, data.most_missed[0].wrong, data.most_missed[0].answers),
            std::make_tuple(Q("いぬ.jpg"), 2, 3));
  EXPECT_EQ(data.most_missed[1].picture, Q("さかな.jpg"));  // one wrong each: by name
  EXPECT_EQ(data.most_missed[2].picture, Q("ねこ.jpg"));

  const ReportData later = Summarize(read.rows, Q("2026-12-02"));
  EXPECT_EQ(later.total.answers, 4);
  EXPECT_EQ(later.days.size(), 1u);
  EXPECT_EQ(later.first_day, Q("2026-12-02"));
}

TEST(ReportNumbers, GojuonOrderPutsHiraganaThenKatakanaThenDigitsThenTheRest) {
  const char* ordered[] = {"あ", "か", "ん", "が", "ぱ", "っ", "ア", "ン", "ヴ", "０", "９", "A", "漢"};
  for (std::size_t i = 1; i < std::size(ordered); ++i) {
    EXPECT_LT(GojuonRank(Q(ordered[i - 1])), GojuonRank(Q(ordered[i]))) << ordered[i - 1] << " " << ordered[i];
  }
}

TEST(ReportPage, IsOnePageWithEscapedNamesAndNothingFetched) {
  RecordRead read;
  ReadRecordBytes(
      "2026-12-01T09:00:00+09:00,オルタ文字,<b>&.jpg,さ,ち,不正解,2.000,1,2,,クリック,答え\r\n", read);
  const QString page = ReportPage(Summarize(read.rows, QString()), Q("くま組"), QString());
  EXPECT_TRUE(page.contains(Q("&lt;b&gt;&amp;.jpg")));
  EXPECT_FALSE(page.contains(Q("<b>&")));
  for (const char* outside : {"http://", "https://", "<script", "src=", "@import"}) {
    EXPECT_FALSE(page.contains(Q(outside))) << outside;
  }
  EXPECT_TRUE(page.contains(Q("<svg")));
  EXPECT_TRUE(page.contains(Q("くま組")));
}

}  // namespace
}  // namespace kanae::report
