#include "report_data.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "picture_library.h"
#include "text.h"

namespace kanae::report {

namespace {

// A question of this game is answered one letter at a time, a right answer
// for each letter of the name (of its first ten letters).
constexpr char kLetterByLetterGame[] = "ダブレル作り";
constexpr std::size_t kMostLettersOfAWord = 10;

const Text& GojuonOrder() {
  static const Text order = FromUtf8(
      "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
      "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょゎゐゑゔ"
      "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
      "ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポァィゥェォッャュョヮヰヱヴー"
      "０１２３４５６７８９");
  return order;
}

bool IsOneLetter(const std::string& text) {
  const std::optional<Text> decoded = DecodeUtf8(text);
  return decoded && decoded->size() == 1;
}

// The letter a row asked for, or chose: the recorded letter of a picture,
// else the asked or chosen text when it is one letter; empty otherwise.
std::string AskedLetter(const RecordRow& row) {
  if (!row.asked_letter.empty()) return row.asked_letter;
  return IsOneLetter(row.asked) ? row.asked : std::string();
}
std::string ChosenLetter(const RecordRow& row) {
  if (!row.chosen_letter.empty()) return row.chosen_letter;
  return IsOneLetter(row.chosen) ? row.chosen : std::string();
}

bool GojuonLess(const std::string& a, const std::string& b) {
  const int ra = GojuonRank(a);
  const int rb = GojuonRank(b);
  return ra != rb ? ra < rb : a < b;
}

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

// Seconds since midnight of "2026-12-10T09:30:05+09:00" (or of "...T09:30");
// -1 when there is no time of day.
int SecondOfDay(const std::string& date_time) {
  if (date_time.size() < 16) return -1;
  const int count = date_time.size() >= 19 && date_time[16] == ':' ? 3 : 2;
  int parts[3] = {};
  for (int i = 0; i < count; ++i) {
    const char tens = date_time[static_cast<std::size_t>(11 + 3 * i)];
    const char ones = date_time[static_cast<std::size_t>(12 + 3 * i)];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return -1;
    parts[i] = (tens - '0') * 10 + (ones - '0');
  }
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

// yyyyMMdd of a checked date.
std::int64_t DayNumber(const std::string& day) {
  std::int64_t n = 0;
  for (const char c : day) {
    if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
  }
  return n;
}

// The texts of many rows, kept once each.
class Names {
 public:
  std::uint32_t Id(const std::string& name) {
    const auto [at, added] = ids_.emplace(name, static_cast<std::uint32_t>(names_.size()));
    if (added) names_.push_back(name);
    return at->second;
  }
  const std::string& operator[](std::uint32_t id) const { return names_[id]; }

 private:
  std::unordered_map<std::string, std::uint32_t> ids_;
  std::vector<std::string> names_;
};

// What the sessions need of one row.
struct SessionStep {
  // yyyyMMdd * 100000 + second of the day + 1 (0: no time): orders as the
  // time stamps do.
  std::int64_t when = 0;
  std::uint32_t day = 0;
  std::uint32_t game = 0;
  std::uint32_t picture = 0;
  bool right = false;
  bool caught = false;
  bool first_attempt = false;
  int Second() const { return static_cast<int>(when % 100000) - 1; }
};

std::string HourMinute(int second) {
  if (second < 0) return std::string();
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", second / 3600, second / 60 % 60);
  return text;
}

std::vector<Session> Sessions(const std::vector<SessionStep>& steps, const Names& days, const Names& games,
                              const Names& pictures) {
  std::vector<Session> sessions;
  std::uint32_t day = 0;
  std::uint32_t game = 0;
  int last_second = -1;
  std::uint32_t word_picture = 0;  // the word being built, and its letters placed so far
  bool building = false;
  std::size_t word_letters = 0;
  std::unordered_map<std::uint32_t, std::size_t> word_length;
  for (const SessionStep& step : steps) {
    const int second = step.Second();
    const bool new_session = sessions.empty() || day != step.day || game != step.game || second < 0 ||
                             last_second < 0 || second - last_second > kSessionPauseSeconds;
    last_second = second;
    if (new_session) {
      Session session;
      session.day = days[step.day];
      session.start = HourMinute(second);
      session.game = games[step.game];
      sessions.push_back(std::move(session));
      day = step.day;
      game = step.game;
      building = false;
      word_letters = 0;
    }
    Session& s = sessions.back();
    if (step.caught) {
      ++s.tally.caught;
      continue;
    }
    ++s.tally.answers;
    if (!step.right) continue;
    ++s.tally.right;
    if (games[step.game] != kLetterByLetterGame) {
      ++s.questions;
      if (step.first_attempt) ++s.right_first_time;
      continue;
    }
    if (!building || step.picture != word_picture) {
      building = true;
      word_picture = step.picture;
      word_letters = 0;
    }
    auto [length, added] = word_length.emplace(step.picture, 0);
    if (added) {
      length->second = std::min(NameOfPicture(FromUtf8(pictures[step.picture])).size(), kMostLettersOfAWord);
    }
    if (++word_letters >= length->second) {
      ++s.questions;
      if (step.first_attempt) ++s.right_first_time;
      building = false;
      word_letters = 0;
    }
  }
  return sessions;
}

}  // namespace

int GojuonRank(const std::string& letter) {
  const Text text = FromUtf8(letter);
  const std::size_t at = text.size() == 1 ? GojuonOrder().find(text[0]) : Text::npos;
  if (at != Text::npos) return static_cast<int>(at);
  return static_cast<int>(GojuonOrder().size()) + (text.empty() ? 0 : static_cast<int>(text[0]));
}

struct ReportBuilder::Numbers {
  std::string since;
  ReportData data;
  std::uint64_t order = 0;
  struct Game {
    std::size_t at = 0;
    std::int64_t first_when = 0;  // where it first appears, in time order
    std::uint64_t first_order = 0;
  };
  std::unordered_map<std::string, Game> games;
  std::map<std::string, DayTally> days;
  std::map<std::string, std::vector<double>> day_seconds;
  std::unordered_map<std::string, PictureMistakes> pictures;
  std::map<std::string, LetterProgress> progress;
  std::map<std::string, std::map<std::string, int>> taken_for;
  Names day_names, game_names, picture_names;
  std::vector<SessionStep> steps;
};

ReportBuilder::ReportBuilder(std::string since) : numbers_(std::make_unique<Numbers>()) {
  numbers_->since = std::move(since);
}
ReportBuilder::~ReportBuilder() = default;
ReportBuilder::ReportBuilder(ReportBuilder&&) noexcept = default;
ReportBuilder& ReportBuilder::operator=(ReportBuilder&&) noexcept = default;

void ReportBuilder::Add(const RecordRow& row) {
  Numbers& n = *numbers_;
  if (!n.since.empty() && row.day < n.since) return;
  ReportData& data = n.data;
  if (data.first_day.empty() || row.day < data.first_day) data.first_day = row.day;
  if (row.day > data.last_day) data.last_day = row.day;

  SessionStep step;
  step.when = DayNumber(row.day) * 100000 + SecondOfDay(row.date_time) + 1;
  step.day = n.day_names.Id(row.day);
  step.game = n.game_names.Id(row.game);
  step.picture = n.picture_names.Id(row.picture);
  step.right = row.right;
  step.caught = row.caught;
  step.first_attempt = row.attempt == 1;
  n.steps.push_back(step);

  auto at = n.games.find(row.game);
  if (at == n.games.end()) {
    at = n.games.emplace(row.game, Numbers::Game{data.games.size(), step.when, n.order}).first;
    data.games.emplace_back(row.game, Tally{});
  } else if (step.when < at->second.first_when) {
    at->second.first_when = step.when;
    at->second.first_order = n.order;
  }
  ++n.order;
  Tally& game = data.games[at->second.at].second;
  DayTally& day = n.days[row.day];
  day.day = row.day;
  if (row.caught) {
    ++game.caught;
    ++day.tally.caught;
    ++data.total.caught;
    return;
  }
  for (Tally* t : {&game, &day.tally, &data.total}) {
    ++t->answers;
    if (row.right) ++t->right;
  }
  if (row.seconds_known) n.day_seconds[row.day].push_back(row.seconds);

  PictureMistakes& picture = n.pictures[row.picture];
  picture.picture = row.picture;
  ++picture.answers;
  if (!row.right) ++picture.wrong;

  const std::string asked = AskedLetter(row);
  const std::string chosen = ChosenLetter(row);
  if (!asked.empty() && !chosen.empty()) ++data.confusion[{asked, chosen}];
  if (!asked.empty()) {
    LetterProgress& letter = n.progress[asked];
    letter.letter = asked;
    // A question's first answer tells whether the letter is known.
    if (row.attempt == 1) {
      for (FirstAttempts* f : {&letter.total, &letter.days[row.day]}) {
        ++f->asked;
        if (row.right) ++f->right;
      }
    }
    if (!row.right && !chosen.empty() && chosen != asked) ++n.taken_for[asked][chosen];
  }
}

ReportData ReportBuilder::Finish() {
  Numbers& n = *numbers_;
  ReportData data = std::move(n.data);

  // The games in the order they were first played.
  std::vector<std::pair<std::pair<std::int64_t, std::uint64_t>, std::size_t>> game_order;
  for (const auto& [name, game] : n.games) game_order.push_back({{game.first_when, game.first_order}, game.at});
  std::sort(game_order.begin(), game_order.end());
  std::vector<std::pair<std::string, Tally>> games;
  for (const auto& [first, at] : game_order) games.push_back(std::move(data.games[at]));
  data.games = std::move(games);

  for (auto& [day, tally] : n.days) {
    std::vector<double>& seconds = n.day_seconds[day];
    if (!seconds.empty()) {
      double sum = 0;
      for (const double s : seconds) sum += s;
      tally.mean_seconds = sum / static_cast<double>(seconds.size());
      tally.median_seconds = Median(seconds);
    }
    data.days.push_back(tally);
  }

  std::vector<std::string> letters;
  for (const auto& [pair, count] : data.confusion) {
    letters.push_back(pair.first);
    letters.push_back(pair.second);
  }
  std::sort(letters.begin(), letters.end(), GojuonLess);
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  data.letters = std::move(letters);

  for (auto& [name, letter] : n.progress) {
    for (const auto& [chosen, count] : n.taken_for[name]) letter.taken_for.emplace_back(chosen, count);
    std::stable_sort(letter.taken_for.begin(), letter.taken_for.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    data.letter_progress.push_back(std::move(letter));
  }
  std::sort(data.letter_progress.begin(), data.letter_progress.end(),
            [](const LetterProgress& a, const LetterProgress& b) { return GojuonLess(a.letter, b.letter); });

  for (const auto& [name, picture] : n.pictures) {
    if (picture.wrong > 0) data.most_missed.push_back(picture);
  }
  std::sort(data.most_missed.begin(), data.most_missed.end(), [](const PictureMistakes& a, const PictureMistakes& b) {
    if (a.wrong != b.wrong) return a.wrong > b.wrong;
    return a.picture < b.picture;
  });
  if (data.most_missed.size() > 10) data.most_missed.resize(10);

  const auto earlier = [](const SessionStep& a, const SessionStep& b) { return a.when < b.when; };
  // One file read in order is in time order already: no sorting, no copy.
  if (!std::is_sorted(n.steps.begin(), n.steps.end(), earlier)) {
    std::stable_sort(n.steps.begin(), n.steps.end(), earlier);
  }
  data.sessions = Sessions(n.steps, n.day_names, n.game_names, n.picture_names);
  n.steps = {};
  return data;
}

ReportData Summarize(const std::vector<RecordRow>& rows, const std::string& since) {
  ReportBuilder builder(since);
  for (const RecordRow& row : rows) builder.Add(row);
  return builder.Finish();
}

void ChildReportsBuilder::Add(const RecordRow& row) {
  auto at = children_.find(row.child);
  if (at == children_.end()) at = children_.emplace(row.child, ReportBuilder(since_)).first;
  at->second.Add(row);
}

std::vector<ChildReport> ChildReportsBuilder::Finish() {
  std::vector<ChildReport> reports;
  for (auto& [child, builder] : children_) {
    if (!child.empty()) reports.push_back({child, builder.Finish()});
  }
  if (auto unnamed = children_.find(std::string()); unnamed != children_.end()) {
    reports.push_back({std::string(), unnamed->second.Finish()});
  }
  children_.clear();
  // A child with no answers in the period has nothing to show.
  std::erase_if(reports, [](const ChildReport& r) { return r.data.total.answers == 0 && r.data.total.caught == 0; });
  return reports;
}

std::vector<ChildReport> SummarizeByChild(const std::vector<RecordRow>& rows, const std::string& since) {
  ChildReportsBuilder builder(since);
  for (const RecordRow& row : rows) builder.Add(row);
  return builder.Finish();
}

}  // namespace kanae::report
