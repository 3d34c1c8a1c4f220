// Reads the learning record files back, line by line, as the game wrote them.
#pragma once

#include <filesystem>
#include <string>
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

struct RecordRead {
  std::vector<RecordRow> rows;
  int skipped_lines = 0;  // lines that are not records (a torn end, a foreign line)
  std::vector<std::string> unreadable_files;
};

// Every row of the files in order. A torn last line (a crash while it was
// written) is left out; so is any line that does not hold a whole record.
// Lines of the older, shorter format are read alongside the new ones.
RecordRead ReadRecordFiles(const std::vector<std::filesystem::path>& files);
// One file's bytes, as above.
void ReadRecordBytes(std::string_view bytes, RecordRead& into);

}  // namespace kanae::report
