#include "report_page.h"

#include <QDate>
#include <algorithm>
#include <cmath>

namespace kanae::report {

namespace {

QString E(const QString& text) { return text.toHtmlEscaped(); }

QString Percent(const Tally& t) {
  if (t.answers == 0) return QStringLiteral("―");
  return QString::number(std::lround(t.Accuracy() * 100)) + QStringLiteral("%");
}

QString Number(double value, int decimals) { return QString::number(value, 'f', decimals); }

// The top of a chart's axis: four equal steps of a round size (15, 2.5, 300 ...).
double AxisTop(double most) {
  const double rough = std::max(most, 0.4) / 4;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double factor : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
    if (factor * power >= rough - 1e-9) return 4 * factor * power;
  }
  return 40 * power;
}

// "2026-12-10" as the teacher reads it: 12月10日(木).
QString DayLabel(const QString& day, bool with_year = false) {
  const QDate date = QDate::fromString(day, Qt::ISODate);
  if (!date.isValid()) return day;
  static const char* const kWeekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
  QString label = QString::number(date.month()) + "月" + QString::number(date.day()) + "日(" +
                  QString::fromUtf8(kWeekdays[date.dayOfWeek() - 1]) + ")";
  if (with_year) label = QString::number(date.year()) + "年" + label;
  return label;
}

// The accuracy as a short horizontal bar.
QString AccuracyBar(const Tally& t) {
  const int width = static_cast<int>(std::lround(t.Accuracy() * 120));
  return QStringLiteral(
             "<svg class=\"bar\" width=\"120\" height=\"14\" viewBox=\"0 0 120 14\" role=\"img\" aria-label=\"%1\">"
             "<rect width=\"120\" height=\"14\" rx=\"3\" fill=\"#e6e6e6\"/>"
             "<rect width=\"%2\" height=\"14\" rx=\"3\" fill=\"#3a9d5d\"/></svg>")
      .arg(Percent(t))
      .arg(width);
}

QString StyleSheet() {
  return QStringLiteral(R"(<style>
body{font-family:"IPAGothic","IPAexGothic","Noto Sans CJK JP","Noto Sans JP",sans-serif;margin:0;background:#f7f5f0;color:#222;font-size:18px;line-height:1.6}
main{max-width:980px;margin:0 auto;padding:24px 28px 48px}
h1{font-size:30px;margin:8px 0 4px}
h2{font-size:23px;margin:36px 0 10px;padding-bottom:4px;border-bottom:3px solid #3d5fc4}
p.period{margin:0 0 16px;color:#555}
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
.note{color:#555;font-size:15px;margin:6px 0}
.chart{background:#fff;box-shadow:0 1px 3px rgba(0,0,0,.12);width:100%;height:auto}
.legend span{display:inline-block;width:14px;height:14px;margin:0 4px 0 14px;vertical-align:middle}
svg.bar{vertical-align:middle}
</style>)");
}

QString SummaryCards(const ReportData& data) {
  QString html = "<div class=\"cards\">";
  const auto card = [&](const QString& value, const char* label) {
    html += "<div class=\"card\"><div class=\"value\">" + E(value) + "</div><div class=\"label\">" +
            QString::fromUtf8(label) + "</div></div>";
  };
  card(QString::number(data.total.answers), "答えた数");
  card(Percent(data.total), "正答率");
  card(QString::number(data.days.size()), "記録のある日");
  if (data.total.caught > 0) card(QString::number(data.total.caught), "つかまえた文字");
  return html + "</div>";
}

QString GameTable(const ReportData& data) {
  const bool catches = data.total.caught > 0;
  QString html =
      "<h2>ゲームごとの答え</h2><table><tr><th class=\"name\">ゲーム</th><th>答えた数</th><th>正解</th>"
      "<th>正答率</th><th></th>" +
      QString(catches ? "<th>つかまえた文字</th>" : "") + "</tr>";
  for (const auto& [game, t] : data.games) {
    html += "<tr><td class=\"name\">" + E(game) + "</td><td>" + QString::number(t.answers) + "</td><td>" +
            QString::number(t.right) + "</td><td>" + Percent(t) + "</td><td>" + AccuracyBar(t) + "</td>" +
            (catches ? "<td>" + (t.caught > 0 ? QString::number(t.caught) : QString()) + "</td>" : QString()) +
            "</tr>";
  }
  return html + "</table>";
}

// One bar per day: right answers below, wrong ones stacked on top.
QString DayChart(const ReportData& data) {
  const int n = static_cast<int>(data.days.size());
  double most = 1;
  for (const DayTally& d : data.days) most = std::max<double>(most, d.tally.answers);
  most = AxisTop(most);
  const double left = 56, top = 20, plot_w = 880, plot_h = 220;
  const double slot = plot_w / std::max(n, 1);
  const double bar = std::min(slot * 0.7, 60.0);
  QString svg = QStringLiteral("<svg class=\"chart\" viewBox=\"0 0 960 300\" role=\"img\" aria-label=\"日ごとの答え\">");
  for (int k = 0; k <= 4; ++k) {
    const double y = top + plot_h - plot_h * k / 4;
    svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#ddd\"/>")
               .arg(left)
               .arg(y)
               .arg(left + plot_w);
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"14\" text-anchor=\"end\" fill=\"#555\">%3</text>")
               .arg(left - 6)
               .arg(y + 5)
               .arg(std::lround(most * k / 4.0));
  }
  const int label_every = std::max(1, n / 12);
  for (int i = 0; i < n; ++i) {
    const DayTally& d = data.days[static_cast<std::size_t>(i)];
    const double x = left + slot * i + (slot - bar) / 2;
    const double right_h = plot_h * d.tally.right / most;
    const double wrong_h = plot_h * (d.tally.answers - d.tally.right) / most;
    const double base = top + plot_h;
    svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"#3a9d5d\"><title>%5</title></rect>")
               .arg(x)
               .arg(base - right_h)
               .arg(bar)
               .arg(right_h)
               .arg(E(DayLabel(d.day)) + " 正解 " + QString::number(d.tally.right));
    svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"#e8704a\"><title>%5</title></rect>")
               .arg(x)
               .arg(base - right_h - wrong_h)
               .arg(bar)
               .arg(wrong_h)
               .arg(E(DayLabel(d.day)) + " 不正解 " + QString::number(d.tally.answers - d.tally.right));
    if (i % label_every == 0) {
      svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"14\" text-anchor=\"middle\" fill=\"#333\">%3</text>")
                 .arg(x + bar / 2)
                 .arg(base + 20)
                 .arg(E(DayLabel(d.day)));
    }
  }
  svg += "</svg>";
  return svg;
}

QString DayTable(const ReportData& data) {
  QString html =
      "<h2>日ごとの答え</h2><div class=\"legend\"><span style=\"background:#3a9d5d\"></span>正解"
      "<span style=\"background:#e8704a\"></span>不正解</div>" +
      DayChart(data) +
      "<table><tr><th class=\"name\">日</th><th>答えた数</th><th>正解</th><th>正答率</th><th></th></tr>";
  for (const DayTally& d : data.days) {
    html += "<tr><td class=\"name\">" + E(DayLabel(d.day, true)) + "</td><td>" + QString::number(d.tally.answers) +
            "</td><td>" + QString::number(d.tally.right) + "</td><td>" + Percent(d.tally) + "</td><td>" +
            AccuracyBar(d.tally) + "</td></tr>";
  }
  return html + "</table>";
}

QString HeatMap(const ReportData& data) {
  QString html = "<h2>まちがえやすい文字</h2>";
  if (data.letters.empty()) {
    return html + "<p>文字を選ぶ答えは、まだありません。</p>";
  }
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
      "<p class=\"note\">左の列が問われた文字、上の行が選んだ文字です。赤が濃いほど、その文字と取りちがえた回数が"
      "多いことを示します（緑は正しく選んだ回数）。</p><table class=\"heat\"><tr><th class=\"corner\">問われた↓<br>"
      "選んだ→</th>";
  for (const QString& chosen : data.letters) html += "<th>" + E(chosen) + "</th>";
  html += "</tr>";
  for (const QString& asked : data.letters) {
    html += "<tr><th>" + E(asked) + "</th>";
    for (const QString& chosen : data.letters) {
      const auto it = data.confusion.find({asked, chosen});
      const int count = it == data.confusion.end() ? 0 : it->second;
      if (count == 0) {
        html += "<td></td>";
        continue;
      }
      const bool right = asked == chosen;
      const double strength = 0.15 + 0.85 * count / (right ? most_right : most_wrong);
      const QString colour = right ? QStringLiteral("rgba(58,157,93,%1)").arg(Number(strength * 0.6, 2))
                                   : QStringLiteral("rgba(214,48,39,%1)").arg(Number(strength, 2));
      const QString ink = !right && strength > 0.55 ? QStringLiteral("#fff") : QStringLiteral("#222");
      html += "<td style=\"background:" + colour + ";color:" + ink + "\" title=\"" + E(asked) + " → " + E(chosen) +
              "：" + QString::number(count) + "回\">" + QString::number(count) + "</td>";
    }
    html += "</tr>";
  }
  return html + "</table>";
}

QString MostMissed(const ReportData& data) {
  QString html = "<h2>よくまちがえた絵（上位10）</h2>";
  if (data.most_missed.empty()) return html + "<p>まちがえた絵はありません。</p>";
  html += "<table><tr><th>順位</th><th class=\"name\">絵</th><th>不正解</th><th>答えた数</th></tr>";
  int rank = 0;
  for (const PictureMistakes& p : data.most_missed) {
    html += "<tr><td>" + QString::number(++rank) + "</td><td class=\"name\">" + E(p.picture) + "</td><td>" +
            QString::number(p.wrong) + "</td><td>" + QString::number(p.answers) + "</td></tr>";
  }
  return html + "</table>";
}

QString ResponseTimes(const ReportData& data) {
  QString html = "<h2>答えるまでの時間</h2><p class=\"note\">問いを聞き終わってから答えるまでの秒数（日ごとの中央値）。</p>";
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
  QString svg = QStringLiteral("<svg class=\"chart\" viewBox=\"0 0 960 300\" role=\"img\" aria-label=\"答えるまでの時間\">");
  for (int k = 0; k <= 4; ++k) {
    const double y = top + plot_h - plot_h * k / 4;
    svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#ddd\"/>").arg(left).arg(y).arg(left + plot_w);
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"14\" text-anchor=\"end\" fill=\"#555\">%3秒</text>")
               .arg(left - 6)
               .arg(y + 5)
               .arg(QString::number(most * k / 4));
  }
  QString points;
  const int label_every = std::max(1, n / 12);
  for (int i = 0; i < n; ++i) {
    const double x = left + slot * (i + 0.5);  // under the day's bar above
    const double y = top + plot_h - plot_h * days[static_cast<std::size_t>(i)]->median_seconds / most;
    points += QStringLiteral("%1,%2 ").arg(Number(x, 1), Number(y, 1));
    svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"5\" fill=\"#3d5fc4\"><title>%3</title></circle>")
               .arg(Number(x, 1), Number(y, 1),
                    E(DayLabel(days[static_cast<std::size_t>(i)]->day)) + " " +
                        Number(days[static_cast<std::size_t>(i)]->median_seconds, 1) + "秒");
    if (i % label_every == 0) {
      svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"14\" text-anchor=\"middle\" fill=\"#333\">%3</text>")
                 .arg(Number(x, 1))
                 .arg(top + plot_h + 20)
                 .arg(E(DayLabel(days[static_cast<std::size_t>(i)]->day)));
    }
  }
  svg += "<polyline fill=\"none\" stroke=\"#3d5fc4\" stroke-width=\"3\" points=\"" + points.trimmed() + "\"/></svg>";
  html += svg + "<table><tr><th class=\"name\">日</th><th>中央値</th><th>平均</th></tr>";
  for (const DayTally* d : days) {
    html += "<tr><td class=\"name\">" + E(DayLabel(d->day, true)) + "</td><td>" + Number(d->median_seconds, 1) +
            "秒</td><td>" + Number(d->mean_seconds, 1) + "秒</td></tr>";
  }
  return html + "</table>";
}

}  // namespace

QString ReportPage(const ReportData& data, const QString& lesson, const QString& since) {
  QString html = QStringLiteral(
      "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
  html += "<title>学習記録 " + E(lesson) + "</title>" + StyleSheet() + "</head><body><main>";
  html += "<h1>学習記録：" + E(lesson) + "</h1>";
  QString period;
  if (data.first_day.isEmpty()) {
    period = since.isEmpty() ? QStringLiteral("記録のすべて") : DayLabel(since, true) + "から";
  } else {
    period = DayLabel(data.first_day, true) + "〜" + DayLabel(data.last_day, true);
    if (!since.isEmpty()) period += "（" + DayLabel(since, true) + "から）";
  }
  html += "<p class=\"period\">期間：" + E(period) + "</p>";
  if (data.total.answers == 0 && data.total.caught == 0) {
    html += "<p>この期間の記録は、まだありません。</p>";
  } else {
    html += SummaryCards(data) + GameTable(data) + DayTable(data) + HeatMap(data) + MostMissed(data) +
            ResponseTimes(data);
  }
  if (data.skipped_lines > 0) {
    html += "<p class=\"note\">読み取れなかった行：" + QString::number(data.skipped_lines) +
            "（書き込みの途中で止まった行など。数には入れていません）</p>";
  }
  return html + "</main></body></html>\n";
}

}  // namespace kanae::report
