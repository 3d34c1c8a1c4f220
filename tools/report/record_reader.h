// Reads the learning record files back, line by line, as the game wrote them.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

namespace kanae::report {

struct RecordRow {
  QString date_time;  // as written: 2026-12-10T09:30:00+09:00
  QString day;        // its date part, 2026-12-10
  QString game;
  QString picture;
  QString asked;
  QString chosen;
  bool right = false;
  double seconds = 0;
  int attempt = 1;
  QString distractors;  // empty when the game has none
  QString cards;
  QString answering;  // 触れる or クリック
  bool caught = false;  // a letter caught in the catching phase, not an answer
};

struct RecordRead {
  std::vector<RecordRow> rows;
  int skipped_lines = 0;  // lines that are not records (a torn end, a foreign line)
  std::vector<std::string> unreadable_files;
};

// Every row of the files in order. A torn last line (a crash while it was
// written) is left out; so is any line that does not hold a whole record.
RecordRead ReadRecordFiles(const std::vector<std::filesystem::path>& files);
// One file's bytes, as above.
void ReadRecordBytes(std::string_view bytes, RecordRead& into);

}  // namespace kanae::report
