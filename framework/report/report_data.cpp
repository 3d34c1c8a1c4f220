#include "report_data.h"

#include <algorithm>
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

// Seconds since midnight of "2026-12-10T09:30:05+09:00"; -1 when unreadable.
int SecondOfDay(const std::string& date_time) {
  if (date_time.size() < 19) return -1;
  int parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    const char tens = date_time[static_cast<std::size_t>(11 + 3 * i)];
    const char ones = date_time[static_cast<std::size_t>(12 + 3 * i)];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return -1;
    parts[i] = (tens - '0') * 10 + (ones - '0');
  }
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::vector<Session> Sessions(const std::vector<const RecordRow*>& rows) {
  std::vector<Session> sessions;
  int last_second = -1;
  std::string word_picture;  // the word being built, and its letters placed so far
  std::size_t word_letters = 0;
  for (const RecordRow* row : rows) {
    const int second = SecondOfDay(row->date_time);
    const bool new_session = sessions.empty() || sessions.back().day != row->day || sessions.back().game != row->game ||
                             second < 0 || last_second < 0 || second - last_second > kSessionPauseSeconds;
    last_second = second;
    if (new_session) {
      Session session;
      session.day = row->day;
      session.start = row->date_time.size() >= 16 ? row->date_time.substr(11, 5) : std::string();
      session.game = row->game;
      sessions.push_back(std::move(session));
      word_picture.clear();
      word_letters = 0;
    }
    Session& s = sessions.back();
    if (row->caught) {
      ++s.tally.caught;
      continue;
    }
    ++s.tally.answers;
    if (!row->right) continue;
    ++s.tally.right;
    if (row->game != kLetterByLetterGame) {
      ++s.questions;
      if (row->attempt == 1) ++s.right_first_time;
      continue;
    }
    if (row->picture != word_picture) {
      word_picture = row->picture;
      word_letters = 0;
    }
    const std::size_t length = std::min(NameOfPicture(FromUtf8(row->picture)).size(), kMostLettersOfAWord);
    if (++word_letters >= length) {
      ++s.questions;
      if (row->attempt == 1) ++s.right_first_time;
      word_picture.clear();
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

ReportData Summarize(const std::vector<RecordRow>& all_rows, const std::string& since) {
  ReportData data;
  std::unordered_map<std::string, std::size_t> game_at;
  std::map<std::string, DayTally> days;
  std::map<std::string, std::vector<double>> day_seconds;
  std::unordered_map<std::string, PictureMistakes> pictures;
  std::map<std::string, LetterProgress> progress;
  std::map<std::string, std::map<std::string, int>> taken_for;

  // Records of several folders, or of several games writing at once, are
  // put in time order; the order written is kept within the same second.
  std::vector<const RecordRow*> rows;
  for (const RecordRow& row : all_rows) {
    if (since.empty() || row.day >= since) rows.push_back(&row);
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const RecordRow* a, const RecordRow* b) { return a->date_time < b->date_time; });

  for (const RecordRow* row_at : rows) {
    const RecordRow& row = *row_at;
    if (data.first_day.empty() || row.day < data.first_day) data.first_day = row.day;
    if (row.day > data.last_day) data.last_day = row.day;

    auto at = game_at.find(row.game);
    if (at == game_at.end()) {
      at = game_at.emplace(row.game, data.games.size()).first;
      data.games.emplace_back(row.game, Tally{});
    }
    Tally& game = data.games[at->second].second;
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

    const std::string asked = AskedLetter(row);
    const std::string chosen = ChosenLetter(row);
    if (!asked.empty() && !chosen.empty()) ++data.confusion[{asked, chosen}];
    if (!asked.empty()) {
      LetterProgress& letter = progress[asked];
      letter.letter = asked;
      // A question's first answer tells whether the letter is known.
      if (row.attempt == 1) {
        for (FirstAttempts* f : {&letter.total, &letter.days[row.day]}) {
          ++f->asked;
          if (row.right) ++f->right;
        }
      }
      if (!row.right && !chosen.empty() && chosen != asked) ++taken_for[asked][chosen];
    }
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

  std::vector<std::string> letters;
  for (const auto& [pair, count] : data.confusion) {
    letters.push_back(pair.first);
    letters.push_back(pair.second);
  }
  std::sort(letters.begin(), letters.end(), GojuonLess);
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  data.letters = std::move(letters);

  for (auto& [name, letter] : progress) {
    for (const auto& [chosen, count] : taken_for[name]) letter.taken_for.emplace_back(chosen, count);
    std::stable_sort(letter.taken_for.begin(), letter.taken_for.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    data.letter_progress.push_back(std::move(letter));
  }
  std::sort(data.letter_progress.begin(), data.letter_progress.end(),
            [](const LetterProgress& a, const LetterProgress& b) { return GojuonLess(a.letter, b.letter); });

  for (const auto& [name, picture] : pictures) {
    if (picture.wrong > 0) data.most_missed.push_back(picture);
  }
  std::sort(data.most_missed.begin(), data.most_missed.end(), [](const PictureMistakes& a, const PictureMistakes& b) {
    if (a.wrong != b.wrong) return a.wrong > b.wrong;
    return a.picture < b.picture;
  });
  if (data.most_missed.size() > 10) data.most_missed.resize(10);

  data.sessions = Sessions(rows);
  return data;
}

std::vector<ChildReport> SummarizeByChild(const std::vector<RecordRow>& rows, const std::string& since) {
  std::map<std::string, std::vector<RecordRow>> by_child;
  for (const RecordRow& row : rows) by_child[row.child].push_back(row);
  std::vector<ChildReport> reports;
  for (auto& [child, own] : by_child) {
    if (child.empty()) continue;
    reports.push_back({child, Summarize(own, since)});
  }
  if (auto unnamed = by_child.find(std::string()); unnamed != by_child.end()) {
    reports.push_back({std::string(), Summarize(unnamed->second, since)});
  }
  // A child with no answers in the period has nothing to show.
  std::erase_if(reports, [](const ChildReport& r) { return r.data.total.answers == 0 && r.data.total.caught == 0; });
  return reports;
}

}  // namespace kanae::report
