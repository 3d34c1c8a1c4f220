// The numbers of the learning report, worked out from the record's rows.
// Texts are UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "record_reader.h"

namespace kanae::report {

struct Tally {
  int answers = 0;
  int right = 0;
  int caught = 0;  // letters caught in the catching phase (not answers)
  double Accuracy() const { return answers > 0 ? static_cast<double>(right) / answers : 0; }
};

struct DayTally {
  std::string day;
  Tally tally;
  double median_seconds = 0;  // of the day's answers
  double mean_seconds = 0;
};

struct PictureMistakes {
  std::string picture;
  int wrong = 0;
  int answers = 0;
};

// Questions of one letter and how many of them were answered right at the
// first attempt.
struct FirstAttempts {
  int asked = 0;
  int right = 0;
  double Share() const { return asked > 0 ? static_cast<double>(right) / asked : 0; }
};

struct LetterProgress {
  std::string letter;
  FirstAttempts total;
  std::map<std::string, FirstAttempts> days;  // by yyyy-MM-dd
  // The letters chosen in its place, most often first.
  std::vector<std::pair<std::string, int>> taken_for;
};

// One sitting at one game: its rows in a row, with no long pause between.
struct Session {
  std::string day;
  std::string start;  // hh:mm
  std::string game;
  int questions = 0;  // answered right to the end
  Tally tally;
  int right_first_time = 0;
};

struct ReportData {
  std::string first_day;  // of the rows counted; empty when there are none
  std::string last_day;
  Tally total;
  std::vector<std::pair<std::string, Tally>> games;  // in order of first appearance
  std::vector<DayTally> days;                        // in date order
  // Asked letter against chosen letter, for the answers where both are one
  // letter (or a picture's letters are recorded); the letters in gojuon order.
  std::vector<std::string> letters;
  std::map<std::pair<std::string, std::string>, int> confusion;
  std::vector<PictureMistakes> most_missed;  // at most ten, most wrong answers first
  std::vector<LetterProgress> letter_progress;  // the letters asked, in gojuon order
  std::vector<Session> sessions;                // in time order
  int skipped_lines = 0;
  std::vector<UnreadableLines> unreadable;  // where the skipped lines are
};

// Works the numbers out from rows handed over one at a time, in any order
// (records of several folders, or of several games writing at once, are put
// in time order; the order given is kept within the same second). Of each row
// only what the numbers need is kept: its time and a few small numbers.
class ReportBuilder {
 public:
  // since: the first day counted (yyyy-MM-dd), empty for all of the record.
  explicit ReportBuilder(std::string since);
  ~ReportBuilder();
  ReportBuilder(ReportBuilder&&) noexcept;
  ReportBuilder& operator=(ReportBuilder&&) noexcept;
  void Add(const RecordRow& row);
  ReportData Finish();

 private:
  struct Numbers;
  std::unique_ptr<Numbers> numbers_;
};

struct ChildReport;
// One report per child, from rows handed over one at a time.
class ChildReportsBuilder {
 public:
  explicit ChildReportsBuilder(std::string since) : since_(std::move(since)) {}
  void Add(const RecordRow& row);
  // Named children in the order of their names, then the answers given with
  // no name; a child with nothing in the period is left out.
  std::vector<ChildReport> Finish();

 private:
  std::string since_;
  std::map<std::string, ReportBuilder> children_;
};

// since: the first day counted (yyyy-MM-dd), empty for all of the record.
ReportData Summarize(const std::vector<RecordRow>& rows, const std::string& since);

struct ChildReport {
  std::string child;  // empty: played with no name chosen
  ReportData data;
};
// One report per child in the rows: named children in the order of their
// names, then the answers given with no name.
std::vector<ChildReport> SummarizeByChild(const std::vector<RecordRow>& rows, const std::string& since);

// A pause longer than this between two answers starts a new session.
inline constexpr int kSessionPauseSeconds = 20 * 60;

// Where a letter stands in gojuon order: hiragana, then katakana, then digits;
// voiced and small letters after the plain ones; anything else last.
int GojuonRank(const std::string& letter);

}  // namespace kanae::report
