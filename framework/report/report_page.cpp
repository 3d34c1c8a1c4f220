#include "report_page.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace kanae::report {

namespace {

std::string E(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string N(long long value) { return std::to_string(value); }

// A number with a fixed count of decimals, or in the shortest form ("%g").
std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, std::isfinite(value) ? value : 0.0);
  return text;
}
std::string G(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", std::isfinite(value) ? value : 0.0);
  return text;
}

std::string Percent(double share, bool any) {
  if (!any) return "―";
  return N(std::lround(share * 100)) + "%";
}
std::string Percent(const Tally& t) { return Percent(t.Accuracy(), t.answers > 0); }

// The top of a chart's axis: four equal steps of a round size (15, 2.5, 300 ...).
double AxisTop(double most) {
  const double rough = std::max(most, 0.4) / 4;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double factor : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
    if (factor * power >= rough - 1e-9) return 4 * factor * power;
  }
  return 40 * power;
}

// The accuracy as a short horizontal bar.
std::string AccuracyBar(double share, const std::string& label) {
  const long width = std::lround(std::clamp(share, 0.0, 1.0) * 120);
  return "<svg class=\"bar\" width=\"120\" height=\"14\" viewBox=\"0 0 120 14\" role=\"img\" aria-label=\"" + E(label) +
         "\"><rect width=\"120\" height=\"14\" rx=\"3\" fill=\"#e6e6e6\"/><rect width=\"" + N(width) +
         "\" height=\"14\" rx=\"3\" fill=\"#3a9d5d\"/></svg>";
}
std::string AccuracyBar(const Tally& t) { return AccuracyBar(t.Accuracy(), Percent(t)); }

std::string StyleSheet() {
  return R"(<style>
body{font-family:"IPAGothic","IPAexGothic","Noto Sans CJK JP","Noto Sans JP",sans-serif;margin:0;background:#f7f5f0;color:#222;font-size:18px;line-height:1.6}
main{max-width:980px;margin:0 auto;padding:24px 28px 48px}
h1{font-size:30px;margin:8px 0 4px}
h2{font-size:23px;margin:36px 0 10px;padding-bottom:4px;border-bottom:3px solid #3d5fc4}
h2.child-name{font-size:28px;border-bottom:5px solid #e8704a}
h3{font-size:20px;margin:26px 0 8px;padding-bottom:2px;border-bottom:2px solid #3d5fc4}
p.period{margin:0 0 16px;color:#555}
nav.children{display:flex;gap:12px;flex-wrap:wrap;margin:12px 0}
nav.children a{display:block;background:#fff;border-radius:10px;padding:10px 18px;box-shadow:0 1px 3px rgba(0,0,0,.15);color:#222;text-decoration:none;font-size:22px;font-weight:bold}
nav.children a span{display:block;font-size:14px;font-weight:normal;color:#555}
.cards{display:flex;gap:16px;flex-wrap:wrap}
.card{background:#fff;border-radius:10px;padding:12px 20px;box-shadow:0 1px 3px rgba(0,0,0,.15);min-width:150px}
.card .value{font-size:34px;font-weight:bold}
.card .label{color:#555;font-size:16px}
table{border-collapse:collapse;background:#fff;box-shadow:0 1px 3px rgba(0,0,0,.12)}
th,td{padding:6px 12px;border:1px solid #ddd;text-align:right}
th{background:#eef1fa;font-weight:bold}
td.name,th.name{text-align:left}
table.heat td,table.heat th{width:38px;height:38px;padding:0;text-align:center;font-size:20px}
table.heat td{font-size:16px}
table.heat th.corner{font-size:13px;line-height:1.2;width:80px}
table.letters td.letter{font-size:24px;text-align:center}
table.letters th,table.letters td{white-space:nowrap}
table.letters td.taken{white-space:normal;text-align:left}
.note{color:#555;font-size:15px;margin:6px 0}
.chart{background:#fff;box-shadow:0 1px 3px rgba(0,0,0,.12);width:100%;height:auto}
.legend span{display:inline-block;width:14px;height:14px;margin:0 4px 0 14px;vertical-align:middle}
svg.bar{vertical-align:middle}
figure{margin:0}
@page{size:A4;margin:12mm}
@media print{
body{background:#fff;font-size:10pt;line-height:1.3}
main{max-width:none;padding:0}
h1{font-size:18pt;margin:0}
h2{font-size:14pt;margin:10pt 0 4pt}
h2.child-name{font-size:18pt;margin-top:0}
h3{font-size:12pt;margin:8pt 0 3pt}
p.period,.note{margin:2pt 0;font-size:9pt}
nav.children a{font-size:11pt;padding:3pt 8pt;border:1px solid #ccc}
nav.children a span{font-size:8pt}
section.child{break-before:page}
section.child.alone{break-before:auto}
figure,table,.cards,h2,h3{break-inside:avoid}
h2,h3{break-after:avoid}
.card,table,.chart,nav.children a{box-shadow:none}
.card{border:1px solid #ccc;padding:3pt 10pt;min-width:0}
.card .value{font-size:16pt}
.card .label{font-size:8pt}
th,td{padding:1pt 6pt}
.chart{width:80%}
table.heat td,table.heat th{width:20px;height:20px;font-size:10pt}
table.letters td.letter{font-size:13pt}
}
</style>)";
}

std::string Heading(int level, const std::string& text) {
  return "<h" + N(level) + ">" + text + "</h" + N(level) + ">";
}

std::string SummaryCards(const ReportData& data) {
  std::string html = "<div class=\"cards\">";
  const auto card = [&](const std::string& value, const char* label) {
    html += "<div class=\"card\"><div class=\"value\">" + E(value) + "</div><div class=\"label\">" + label +
            "</div></div>";
  };
  card(N(data.total.answers), "答えた数");
  card(Percent(data.total), "正答率");
  card(N(static_cast<long long>(data.days.size())), "記録のある日");
  if (!data.sessions.empty()) card(N(static_cast<long long>(data.sessions.size())), "回数（ゲーム）");
  if (data.total.caught > 0) card(N(data.total.caught), "つかまえた文字");
  return html + "</div>";
}

std::string GameTable(const ReportData& data, int level) {
  const bool catches = data.total.caught > 0;
  std::string html = Heading(level, "ゲームごとの答え") +
                     "<table><tr><th class=\"name\">ゲーム</th><th>答えた数</th><th>正解</th><th>正答率</th><th></th>" +
                     (catches ? "<th>つかまえた文字</th>" : "") + "</tr>";
  for (const auto& [game, t] : data.games) {
    html += "<tr><td class=\"name\">" + E(game) + "</td><td>" + N(t.answers) + "</td><td>" + N(t.right) + "</td><td>" +
            Percent(t) + "</td><td>" + AccuracyBar(t) + "</td>" +
            (catches ? "<td>" + (t.caught > 0 ? N(t.caught) : std::string()) + "</td>" : std::string()) + "</tr>";
  }
  return html + "</table>";
}

std::string AxisLines(double left, double top, double plot_w, double plot_h, double most, const char* unit) {
  std::string svg;
  for (int k = 0; k <= 4; ++k) {
    const double y = top + plot_h - plot_h * k / 4;
    svg += "<line x1=\"" + G(left) + "\" y1=\"" + G(y) + "\" x2=\"" + G(left + plot_w) + "\" y2=\"" + G(y) +
           "\" stroke=\"#ddd\"/>";
    svg += "<text x=\"" + G(left - 6) + "\" y=\"" + G(y + 5) + "\" font-size=\"14\" text-anchor=\"end\" fill=\"#555\">" +
           G(most * k / 4) + unit + "</text>";
  }
  return svg;
}

std::string AxisLabel(double x, double y, const std::string& text) {
  return "<text x=\"" + Fixed(x, 1) + "\" y=\"" + G(y) + "\" font-size=\"14\" text-anchor=\"middle\" fill=\"#333\">" +
         E(text) + "</text>";
}

// One bar per day: right answers below, wrong ones stacked on top.
std::string DayChart(const ReportData& data) {
  const int n = static_cast<int>(data.days.size());
  double most = 1;
  for (const DayTally& d : data.days) most = std::max<double>(most, d.tally.answers);
  most = AxisTop(most);
  const double left = 56, top = 20, plot_w = 880, plot_h = 220;
  const double slot = plot_w / std::max(n, 1);
  const double bar = std::min(slot * 0.7, 60.0);
  std::string svg = "<svg class=\"chart\" viewBox=\"0 0 960 300\" role=\"img\" aria-label=\"日ごとの答え\">";
  svg += AxisLines(left, top, plot_w, plot_h, most, "");
  const int label_every = std::max(1, n / 12);
  for (int i = 0; i < n; ++i) {
    const DayTally& d = data.days[static_cast<std::size_t>(i)];
    const double x = left + slot * i + (slot - bar) / 2;
    const double right_h = plot_h * d.tally.right / most;
    const double wrong_h = plot_h * (d.tally.answers - d.tally.right) / most;
    const double base = top + plot_h;
    svg += "<rect x=\"" + G(x) + "\" y=\"" + G(base - right_h) + "\" width=\"" + G(bar) + "\" height=\"" + G(right_h) +
           "\" fill=\"#3a9d5d\"><title>" + E(DayLabel(d.day)) + " 正解 " + N(d.tally.right) + "</title></rect>";
    svg += "<rect x=\"" + G(x) + "\" y=\"" + G(base - right_h - wrong_h) + "\" width=\"" + G(bar) + "\" height=\"" +
           G(wrong_h) + "\" fill=\"#e8704a\"><title>" + E(DayLabel(d.day)) + " 不正解 " +
           N(d.tally.answers - d.tally.right) + "</title></rect>";
    if (i % label_every == 0) svg += AxisLabel(x + bar / 2, base + 20, DayLabel(d.day));
  }
  return svg + "</svg>";
}

std::string DayTable(const ReportData& data, int level) {
  std::string html = Heading(level, "日ごとの答え") +
                     "<figure><div class=\"legend\"><span style=\"background:#3a9d5d\"></span>正解"
                     "<span style=\"background:#e8704a\"></span>不正解</div>" +
                     DayChart(data) +
                     "</figure><table><tr><th class=\"name\">日</th><th>答えた数</th><th>正解</th><th>正答率</th>"
                     "<th></th></tr>";
  for (const DayTally& d : data.days) {
    html += "<tr><td class=\"name\">" + E(DayLabel(d.day, true)) + "</td><td>" + N(d.tally.answers) + "</td><td>" +
            N(d.tally.right) + "</td><td>" + Percent(d.tally) + "</td><td>" + AccuracyBar(d.tally) + "</td></tr>";
  }
  return html + "</table>";
}

std::string HeatMap(const ReportData& data, int level) {
  std::string html = Heading(level, "まちがえやすい文字");
  if (data.letters.empty()) return html + "<p>文字を選ぶ答えは、まだありません。</p>";
  int most_wrong = 1;
  int most_right = 1;
  for (const auto& [pair, count] : data.confusion) {
    if (pair.first == pair.second) {
      most_right = std::max(most_right, count);
    } else {
      most_wrong = std::max(most_wrong, count);
    }
  }
  html +=
      "<figure><p class=\"note\">左の列が問われた文字、上の行が選んだ文字です。赤が濃いほど、その文字と取りちがえた回数が"
      "多いことを示します（緑は正しく選んだ回数）。</p><table class=\"heat\"><tr><th class=\"corner\">問われた↓<br>"
      "選んだ→</th>";
  for (const std::string& chosen : data.letters) html += "<th>" + E(chosen) + "</th>";
  html += "</tr>";
  for (const std::string& asked : data.letters) {
    html += "<tr><th>" + E(asked) + "</th>";
    for (const std::string& chosen : data.letters) {
      const auto it = data.confusion.find({asked, chosen});
      const int count = it == data.confusion.end() ? 0 : it->second;
      if (count == 0) {
        html += "<td></td>";
        continue;
      }
      const bool right = asked == chosen;
      const double strength = 0.15 + 0.85 * count / (right ? most_right : most_wrong);
      const std::string colour = right ? "rgba(58,157,93," + Fixed(strength * 0.6, 2) + ")"
                                       : "rgba(214,48,39," + Fixed(strength, 2) + ")";
      const std::string ink = !right && strength > 0.55 ? "#fff" : "#222";
      html += "<td style=\"background:" + colour + ";color:" + ink + "\" title=\"" + E(asked) + " → " + E(chosen) +
              "：" + N(count) + "回\">" + N(count) + "</td>";
    }
    html += "</tr>";
  }
  return html + "</table></figure>";
}

std::string MostMissed(const ReportData& data, int level) {
  std::string html = Heading(level, "よくまちがえた絵（上位10）");
  if (data.most_missed.empty()) return html + "<p>まちがえた絵はありません。</p>";
  html += "<table><tr><th>順位</th><th class=\"name\">絵</th><th>不正解</th><th>答えた数</th></tr>";
  int rank = 0;
  for (const PictureMistakes& p : data.most_missed) {
    html += "<tr><td>" + N(++rank) + "</td><td class=\"name\">" + E(p.picture) + "</td><td>" + N(p.wrong) + "</td><td>" +
            N(p.answers) + "</td></tr>";
  }
  return html + "</table>";
}

// Where the lines the report could not read are, so that the teacher can
// find them in the file: "学習記録.csv：12行目、40〜42行目".
std::string UnreadableList(const ReportData& data) {
  std::string html;
  std::string file;
  int named = 0;
  for (const UnreadableLines& lines : data.unreadable) {
    if (html.empty() || lines.file != file) {
      html += html.empty() ? "<p class=\"note\">" : "<br>";
      if (!lines.file.empty()) html += E(lines.file) + "：";
      file = lines.file;
    } else {
      html += "、";
    }
    html += N(lines.first) + (lines.last > lines.first ? "〜" + N(lines.last) : std::string()) + "行目";
    named += lines.records;
  }
  if (html.empty()) return html;
  if (named < data.skipped_lines) html += "、ほか" + N(data.skipped_lines - named) + "行";
  return html + "</p>";
}

std::string ResponseTimes(const ReportData& data, int level) {
  std::string html = Heading(level, "答えるまでの時間") +
                     "<p class=\"note\">問いを聞き終わってから答えるまでの秒数（日ごとの中央値）。</p>";
  std::vector<const DayTally*> days;
  for (const DayTally& d : data.days) {
    if (d.tally.answers > 0) days.push_back(&d);
  }
  if (days.empty()) return html + "<p>まだ記録がありません。</p>";
  double most = 0;
  for (const DayTally* d : days) most = std::max(most, d->median_seconds);
  most = AxisTop(most);
  const double left = 56, top = 20, plot_w = 880, plot_h = 220;
  const int n = static_cast<int>(days.size());
  const double slot = plot_w / n;
  std::string svg = "<figure><svg class=\"chart\" viewBox=\"0 0 960 300\" role=\"img\" aria-label=\"答えるまでの時間\">";
  svg += AxisLines(left, top, plot_w, plot_h, most, "秒");
  std::string points;
  const int label_every = std::max(1, n / 12);
  for (int i = 0; i < n; ++i) {
    const DayTally& d = *days[static_cast<std::size_t>(i)];
    const double x = left + slot * (i + 0.5);
    const double y = top + plot_h - plot_h * d.median_seconds / most;
    if (!points.empty()) points += ' ';
    points += Fixed(x, 1) + "," + Fixed(y, 1);
    svg += "<circle cx=\"" + Fixed(x, 1) + "\" cy=\"" + Fixed(y, 1) + "\" r=\"5\" fill=\"#3d5fc4\"><title>" +
           E(DayLabel(d.day)) + " " + Fixed(d.median_seconds, 1) + "秒</title></circle>";
    if (i % label_every == 0) svg += AxisLabel(x, top + plot_h + 20, DayLabel(d.day));
  }
  svg += "<polyline fill=\"none\" stroke=\"#3d5fc4\" stroke-width=\"3\" points=\"" + points + "\"/></svg></figure>";
  html += svg + "<table><tr><th class=\"name\">日</th><th>中央値</th><th>平均</th></tr>";
  for (const DayTally* d : days) {
    html += "<tr><td class=\"name\">" + E(DayLabel(d->day, true)) + "</td><td>" + Fixed(d->median_seconds, 1) +
            "秒</td><td>" + Fixed(d->mean_seconds, 1) + "秒</td></tr>";
  }
  return html + "</table>";
}

// A share of first attempts as a coloured cell: green when the letter is
// known, red while it is still mixed up.
std::string ShareCell(const FirstAttempts& f) {
  if (f.asked == 0) return "<td></td>";
  const double share = f.Share();
  const std::string colour = share >= 0.8   ? "rgba(58,157,93,.35)"
                             : share >= 0.5 ? "rgba(240,190,60,.35)"
                                            : "rgba(214,48,39,.3)";
  return "<td style=\"background:" + colour + "\" title=\"" + N(f.right) + "/" + N(f.asked) + "\">" + N(f.right) + "/" +
         N(f.asked) + "</td>";
}

// A letter counts as known after at least three first attempts, four in five right.
bool Secure(const LetterProgress& letter) { return letter.total.asked >= 3 && letter.total.Share() >= 0.8; }

std::string LetterTable(const ReportData& data, int level) {
  std::string html = Heading(level, "問われた文字と、一回目で正解した数");
  if (data.letter_progress.empty()) return html + "<p>文字を問う答えは、まだありません。</p>";
  // The most recent days, so that the table fits the page.
  constexpr std::size_t kDaysShown = 7;
  std::vector<std::string> days;
  for (const DayTally& d : data.days) {
    for (const LetterProgress& letter : data.letter_progress) {
      if (letter.days.count(d.day) > 0) {
        days.push_back(d.day);
        break;
      }
    }
  }
  if (days.size() > kDaysShown) days.erase(days.begin(), days.end() - kDaysShown);
  html +=
      "<p class=\"note\">各問題の一回目の答えだけを数えます（正解した数/問われた数）。三回以上問われて八割以上正解した文字を"
      "「できている」としています。</p><table class=\"letters\"><tr><th>文字</th><th>問われた数</th><th>一回目で正解</th>";
  for (const std::string& day : days) html += "<th>" + E(DayLabel(day)) + "</th>";
  html += "<th class=\"name\">ようす</th><th class=\"name\">取りちがえた文字</th></tr>";
  for (const LetterProgress& letter : data.letter_progress) {
    html += "<tr><td class=\"letter\">" + E(letter.letter) + "</td><td>" + N(letter.total.asked) + "</td><td>" +
            Percent(letter.total.Share(), letter.total.asked > 0) + "</td>";
    for (const std::string& day : days) {
      const auto it = letter.days.find(day);
      html += it == letter.days.end() ? std::string("<td></td>") : ShareCell(it->second);
    }
    html += std::string("<td class=\"name\">") + (Secure(letter) ? "できている" : "練習中") + "</td><td class=\"taken\">";
    std::string taken;
    // The five it is taken for most often: enough to plan the next lesson.
    for (std::size_t i = 0; i < letter.taken_for.size() && i < 5; ++i) {
      if (!taken.empty()) taken += "、";
      taken += E(letter.taken_for[i].first) + "（" + N(letter.taken_for[i].second) + "回）";
    }
    html += taken + "</td></tr>";
  }
  return html + "</table>";
}

std::string SessionTable(const ReportData& data, int level) {
  std::string html = Heading(level, "ゲームをした回");
  if (data.sessions.empty()) return html + "<p>まだ記録がありません。</p>";
  html +=
      "<p class=\"note\">同じゲームの答えが" + N(kSessionPauseSeconds / 60) +
      "分より長く途切れたら、別の回として数えます。</p><table><tr><th class=\"name\">日</th><th>時刻</th>"
      "<th class=\"name\">ゲーム</th><th>問題の数</th><th>答えた数</th><th>正答率</th><th>一回目で正解</th></tr>";
  for (const Session& s : data.sessions) {
    html += "<tr><td class=\"name\">" + E(DayLabel(s.day, true)) + "</td><td>" + E(s.start) + "</td><td class=\"name\">" +
            E(s.game) + "</td><td>" + N(s.questions) + "</td><td>" + N(s.tally.answers) + "</td><td>" + Percent(s.tally) +
            "</td><td>" + N(s.right_first_time) + "</td></tr>";
  }
  return html + "</table>";
}

std::string Period(const ReportData& data, const std::string& since) {
  std::string period;
  if (data.first_day.empty()) {
    period = since.empty() ? std::string("記録のすべて") : DayLabel(since, true) + "から";
  } else {
    period = DayLabel(data.first_day, true) + "〜" + DayLabel(data.last_day, true);
    if (!since.empty()) period += "（" + DayLabel(since, true) + "から）";
  }
  return "<p class=\"period\">期間：" + E(period) + "</p>";
}

// alone: the page's only section, which starts on its first page.
std::string ChildSection(const ChildReport& child, std::size_t number, const std::string& since, bool alone) {
  std::string html = std::string("<section class=\"child") + (alone ? " alone" : "") + "\" id=\"child-" +
                     N(static_cast<long long>(number)) +
                     "\"><h2 class=\"child-name\">" + E(ChildTitle(child.child)) + "</h2>" +
                     Period(child.data, since) + SummaryCards(child.data) + LetterTable(child.data, 3) +
                     HeatMap(child.data, 3) + ResponseTimes(child.data, 3) + SessionTable(child.data, 3) +
                     MostMissed(child.data, 3);
  return html + "</section>";
}

std::string Chooser(const std::vector<ChildReport>& children) {
  std::string html = "<nav class=\"children\" aria-label=\"子ども\">";
  for (std::size_t i = 0; i < children.size(); ++i) {
    html += "<a href=\"#child-" + N(static_cast<long long>(i + 1)) + "\">" + E(ChildTitle(children[i].child)) +
            "<span>答え " + N(children[i].data.total.answers) + "・正答率 " + Percent(children[i].data.total) +
            "</span></a>";
  }
  return html + "</nav>";
}

}  // namespace

std::string DayLabel(const std::string& day, bool with_year) {
  using namespace std::chrono;
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  if (day.size() != 10 || std::sscanf(day.c_str(), "%4d-%2u-%2u", &y, &m, &d) != 3) return day;
  const year_month_day date{year{y}, month{m}, std::chrono::day{d}};
  if (!date.ok()) return day;
  static const char* const kWeekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
  const unsigned weekday_index = weekday{sys_days{date}}.iso_encoding() - 1;
  std::string label = N(m) + "月" + N(d) + "日(" + kWeekdays[weekday_index] + ")";
  if (with_year) label = N(y) + "年" + label;
  return label;
}

std::string ChildTitle(const std::string& child) { return child.empty() ? std::string("なまえなし") : child; }

std::string ReportPage(const PageContent& content) {
  const std::string title = content.one_child && !content.children.empty()
                                ? ChildTitle(content.children.front().child) + "（" + content.lesson + "）"
                                : content.lesson;
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
  html += "<title>学習記録 " + E(title) + "</title>" + StyleSheet() + "</head><body><main>";
  html += "<h1>学習記録：" + E(title) + "</h1>";
  const ReportData& data = content.whole;
  if (data.total.answers == 0 && data.total.caught == 0) {
    html += Period(data, content.since) + "<p>この期間の記録は、まだありません。</p>";
  } else if (content.one_child) {
    for (std::size_t i = 0; i < content.children.size(); ++i) {
      html += ChildSection(content.children[i], i + 1, content.since, content.children.size() == 1);
    }
  } else {
    html += Period(data, content.since) + SummaryCards(data);
    if (!content.children.empty()) html += "<h2>子どもごとの記録</h2>" + Chooser(content.children);
    html += GameTable(data, 2) + DayTable(data, 2) + HeatMap(data, 2) + MostMissed(data, 2) + ResponseTimes(data, 2);
    for (std::size_t i = 0; i < content.children.size(); ++i) {
      html += ChildSection(content.children[i], i + 1, content.since, false);
    }
  }
  if (data.skipped_lines > 0) {
    html += "<p class=\"note\">読み取れなかった行：" + N(data.skipped_lines) +
            "（書き込みの途中で止まった行、手で書き足した行など。数には入れていません）</p>" +
            UnreadableList(data);
  }
  return html + "</main></body></html>\n";
}

}  // namespace kanae::report
