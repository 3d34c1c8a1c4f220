// Reads the learning record files back, line by line, as the game wrote them
// (or as a spreadsheet saved them again).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kanae::report {

// Texts are UTF-8.
struct RecordRow {
  std::string date_time;  // as written: 2026-12-10T09:30:00+09:00
  std::string day;        // its date part, 2026-12-10
  std::string game;
  std::string picture;
  std::string asked;
  std::string chosen;
  bool right = false;
  double seconds = 0;
  bool seconds_known = true;  // false: the field held no usable time (nan, inf, below zero)
  int attempt = 1;
  std::string distractors;  // empty when the game has none
  std::string cards;
  std::string answering;  // 触れる or クリック
  bool caught = false;  // a letter caught in the catching phase, not an answer
  // The letters behind a question of pictures; empty in records written
  // before they were kept, and where asked and chosen are letters already.
  std::string asked_letter;
  std::string chosen_letter;
  std::string child;  // empty when nobody was chosen, and in older records
};

// Lines of one file that are not records, numbered from 1 (the header is line 1).
struct UnreadableLines {
  std::string file;  // the file's name, without its folder; empty for bytes read directly
  int first = 0;
  int last = 0;     // the same as first for a single line
  int records = 1;  // what they count as: one each, but one for a torn record over two lines
};

struct RecordRead {
  std::vector<RecordRow> rows;  // empty when the rows were handed to a sink
  int skipped_lines = 0;        // lines that are not records (a torn end, a foreign line); a
                                // record torn over two lines counts once
  std::vector<UnreadableLines> unreadable;  // where they are, the first kMostNamedRuns of them
  std::vector<std::string> unreadable_files;
};

inline constexpr std::size_t kMostNamedRuns = 50;

using RowSink = std::function<void(const RecordRow&)>;

// Every row of the files in order, handed to sink one at a time, so that a
// large record is never held whole. A torn last line (a crash while it was
// written) is left out; so is any line that does not hold a whole record,
// and reading goes on at the next line that does. Lines of the older, shorter
// format are read alongside the new ones. A file with a byte-order mark is
// UTF-8; one without is UTF-8 when every line is, else CP932 (a spreadsheet's
// save). CR, LF and CR LF all end lines.
void StreamRecordFiles(const std::vector<std::filesystem::path>& files, const RowSink& sink, RecordRead& into);
// One file's bytes, as above.
void StreamRecordBytes(std::string_view bytes, std::string_view file_name, const RowSink& sink,
                       RecordRead& into);

// The same, keeping the rows in into.rows.
RecordRead ReadRecordFiles(const std::vector<std::filesystem::path>& files);
void ReadRecordBytes(std::string_view bytes, RecordRead& into);

// A record's time stamp: a real calendar date (yyyy-MM-dd), optionally
// followed by T or a space and a time of day.
bool IsRecordDateTime(std::string_view text);

}  // namespace kanae::report
