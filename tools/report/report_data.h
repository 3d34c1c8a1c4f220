// The numbers of the learning report, worked out from the record's rows.
#pragma once

#include <QString>
#include <map>
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
  QString day;
  Tally tally;
  double median_seconds = 0;  // of the day's answers
  double mean_seconds = 0;
};

struct PictureMistakes {
  QString picture;
  int wrong = 0;
  int answers = 0;
};

struct ReportData {
  QString first_day;  // of the rows counted; empty when there are none
  QString last_day;
  Tally total;
  std::vector<std::pair<QString, Tally>> games;  // in order of first appearance
  std::vector<DayTally> days;                    // in date order
  // Asked letter against chosen letter, for the answers where both are one
  // letter; the letters in gojuon order.
  std::vector<QString> letters;
  std::map<std::pair<QString, QString>, int> confusion;
  std::vector<PictureMistakes> most_missed;  // at most ten, most wrong answers first
  int skipped_lines = 0;
};

// since: the first day counted (yyyy-MM-dd), empty for all of the record.
ReportData Summarize(const std::vector<RecordRow>& rows, const QString& since);

// Where a letter stands in gojuon order: hiragana, then katakana, then digits;
// voiced and small letters after the plain ones; anything else last.
int GojuonRank(const QString& letter);

}  // namespace kanae::report
