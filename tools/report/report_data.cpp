#include "report_data.h"

#include <algorithm>
#include <QHash>

namespace kanae::report {

namespace {

const QString& GojuonOrder() {
  static const QString order = QString::fromUtf8(
      "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
      "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょゎゐゑゔ"
      "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
      "ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポァィゥェォッャュョヮヰヱヴー"
      "０１２３４５６７８９");
  return order;
}

bool IsOneLetter(const QString& text) { return text.size() == 1 && !text[0].isSurrogate(); }

double Median(std::vector<double>& values) {
  if (values.empty()) return 0;
  const std::size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
  double median = values[mid];
  if (values.size() % 2 == 0) {
    median = (median + *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid))) / 2;
  }
  return median;
}

}  // namespace

int GojuonRank(const QString& letter) {
  const qsizetype at = IsOneLetter(letter) ? GojuonOrder().indexOf(letter) : -1;
  if (at >= 0) return static_cast<int>(at);
  return static_cast<int>(GojuonOrder().size()) + (letter.isEmpty() ? 0 : letter[0].unicode());
}

ReportData Summarize(const std::vector<RecordRow>& rows, const QString& since) {
  ReportData data;
  QHash<QString, std::size_t> game_at;
  std::map<QString, DayTally> days;
  std::map<QString, std::vector<double>> day_seconds;
  QHash<QString, PictureMistakes> pictures;

  for (const RecordRow& row : rows) {
    if (!since.isEmpty() && row.day < since) continue;
    if (data.first_day.isEmpty() || row.day < data.first_day) data.first_day = row.day;
    if (row.day > data.last_day) data.last_day = row.day;

    auto at = game_at.constFind(row.game);
    if (at == game_at.constEnd()) {
      at = game_at.insert(row.game, data.games.size());
      data.games.emplace_back(row.game, Tally{});
    }
    Tally& game = data.games[at.value()].second;
    DayTally& day = days[row.day];
    day.day = row.day;
    if (row.caught) {
      ++game.caught;
      ++day.tally.caught;
      ++data.total.caught;
      continue;
    }
    for (Tally* t : {&game, &day.tally, &data.total}) {
      ++t->answers;
      if (row.right) ++t->right;
    }
    day_seconds[row.day].push_back(row.seconds);

    PictureMistakes& picture = pictures[row.picture];
    picture.picture = row.picture;
    ++picture.answers;
    if (!row.right) ++picture.wrong;

    if (IsOneLetter(row.asked) && IsOneLetter(row.chosen)) ++data.confusion[{row.asked, row.chosen}];
  }

  for (auto& [day, tally] : days) {
    std::vector<double>& seconds = day_seconds[day];
    if (!seconds.empty()) {
      double sum = 0;
      for (const double s : seconds) sum += s;
      tally.mean_seconds = sum / static_cast<double>(seconds.size());
      tally.median_seconds = Median(seconds);
    }
    data.days.push_back(tally);
  }

  std::vector<QString> letters;
  for (const auto& [pair, count] : data.confusion) {
    letters.push_back(pair.first);
    letters.push_back(pair.second);
  }
  std::sort(letters.begin(), letters.end(), [](const QString& a, const QString& b) {
    const int ra = GojuonRank(a);
    const int rb = GojuonRank(b);
    return ra != rb ? ra < rb : a < b;
  });
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  data.letters = std::move(letters);

  for (const PictureMistakes& picture : std::as_const(pictures)) {
    if (picture.wrong > 0) data.most_missed.push_back(picture);
  }
  std::sort(data.most_missed.begin(), data.most_missed.end(), [](const PictureMistakes& a, const PictureMistakes& b) {
    if (a.wrong != b.wrong) return a.wrong > b.wrong;
    return a.picture < b.picture;
  });
  if (data.most_missed.size() > 10) data.most_missed.resize(10);
  return data;
}

}  // namespace kanae::report
