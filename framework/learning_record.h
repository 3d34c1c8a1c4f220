// The learning record: one CSV line per judged answer (and per caught letter),
// appended to "学習記録.csv" so that a teacher can see later which letters a
// child mixes up. UTF-8 with a BOM, CR LF, fields quoted as RFC 4180 says, so
// a spreadsheet opens it as it is.
//
// Durability: each line goes out in one write() on a file opened O_APPEND, so
// another program appending at the same time never interleaves inside a line
// and a crash leaves at most the last line torn. The sync to the disk is
// RecordSync's; WaitUntilDurable is called before the next question.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "record_sync.h"
#include "text.h"

namespace kanae {

enum class RecordPhase { kAnswer, kCatch };

struct RecordEntry {
  std::string date_time;  // local ISO 8601, from the clock
  Text game;              // the game's title
  Text picture;           // the picture file of the question
  Text asked;             // the letter or name asked for
  Text chosen;            // the letter, name or picture file chosen
  bool right = false;
  double seconds = 0;  // from the end of the prompt (or the previous answer) to this one
  int attempt = 1;     // 1 + wrong answers so far in this question
  std::optional<int> distractors;
  std::optional<int> cards;
  bool touch = false;  // answered by touching (moving onto), not by clicking
  RecordPhase phase = RecordPhase::kAnswer;
  // The letters behind a question asked and answered with pictures (the
  // initials of the asked and the chosen picture), so their confusions show
  // as the letter games' do; empty where asked and chosen are letters already.
  Text asked_letter;
  Text chosen_letter;
  Text child;  // who plays; empty when nobody was chosen
};

inline constexpr char kRecordBaseName[] = "学習記録";
inline constexpr std::uintmax_t kRecordFileLimit = 50u * 1024 * 1024;

// The column names, in order; the header line of a new file. The child comes
// last, so a spreadsheet's columns stay where they were.
const std::vector<std::string>& RecordColumns();
// The columns of records written before the letters and the child were kept.
const std::vector<std::string>& FirstRecordColumns();
// Texts of the coded columns, shared with the reader.
inline constexpr char kRight[] = "正解";
inline constexpr char kWrong[] = "不正解";
inline constexpr char kTouch[] = "触れる";
inline constexpr char kClick[] = "クリック";
inline constexpr char kPhaseAnswer[] = "答え";
inline constexpr char kPhaseCatch[] = "つかまえた";

// One field quoted when it holds a comma, a quote, CR or LF; quotes doubled.
std::string CsvField(std::string_view utf8);
// A field of free text (a picture's name, a letter): a text a spreadsheet
// would run as a formula (it starts with = + - @, a tab or CR) gets a leading
// apostrophe and is shown as it is written; one that starts with an
// apostrophe gets one more, so TextOfCsvField gives back every text exactly.
std::string CsvTextField(std::string_view utf8);
// The text a CsvTextField was made from, given the field's unquoted content.
std::string TextOfCsvField(std::string_view field);
// The whole line for an entry, CR LF included.
std::string FormatRecordLine(const RecordEntry& entry);

// Where a lesson's record lives: the lesson folder itself, or, when that
// cannot be written (or something is planted under the record's name),
// $XDG_DATA_HOME/kanae/records/<lesson name>-<hash of its full path>/ (by
// default ~/.local/share/...), folders 0700 and files 0600.
struct RecordPlace {
  std::filesystem::path folder;
  bool in_user_folder = false;
};
std::filesystem::path UserRecordFolder(const std::filesystem::path& lesson_folder);
RecordPlace RecordPlaceFor(const std::filesystem::path& lesson_folder);
// Every record file of a lesson, oldest first: 学習記録.csv, 学習記録-2.csv, ...
// from the lesson folder and from the per-user folder.
std::vector<std::filesystem::path> RecordFilesFor(const std::filesystem::path& lesson_folder);
std::filesystem::path RecordFileName(const std::filesystem::path& folder, int number);

// The byte length of the whole records at the start of bytes (BOM and header
// included): what follows is the last record, left unfinished by a crash, that
// must not be read or written after. The last record begins on the last line
// that starts with a date (or the header); from there a line end outside
// quotes ends a record (CR, LF and CR LF alike). Only that one unfinished
// record is cut, and only within the last kRepairLookBack bytes; a finished
// line that is not ours (added by hand) stays, and a stray quote further up
// changes nothing.
inline constexpr std::size_t kRepairLookBack = 64 * 1024;
std::size_t CompleteRecordLength(std::string_view bytes);

class LearningRecord {
 public:
  LearningRecord() = default;
  ~LearningRecord();
  LearningRecord(const LearningRecord&) = delete;
  LearningRecord& operator=(const LearningRecord&) = delete;

  // Decides where the record goes; writes nothing yet.
  RecordPlace Open(const std::filesystem::path& lesson_folder);
  // Appends one line; false (with error()) when it could not be written. A new
// file is created readable by its owner only: it names children.
  bool Append(const RecordEntry& entry);
  // Returns once every appended line has reached the disk.
  void WaitUntilDurable();
  const std::string& error() const { return error_; }
  // What the teacher should hear once, in Japanese: a record refused (a link
  // or a pipe under its name) or an unfinished last line cut off and kept.
  std::vector<std::string> TakeNotices();
  // The file lines go to now (empty before the first append).
  const std::filesystem::path& current_file() const { return file_; }
  // The size past which a new file is started; the tests make it small.
  void SetFileLimit(std::uintmax_t bytes) { limit_ = bytes; }

 private:
  bool OpenFile(int number);
  bool KeepCutPart(const std::filesystem::path& record, std::string_view cut);
  static void MakeOwnFolder(const std::filesystem::path& folder);
  static bool NameTaken(const std::filesystem::path& file);
  void CloseFile();
  bool WriteWhole(const std::string& bytes);

  std::filesystem::path lesson_folder_;
  std::filesystem::path folder_;
  bool in_user_folder_ = false;
  std::filesystem::path file_;
  std::vector<std::string> notices_;
  std::uintmax_t limit_ = kRecordFileLimit;
  int number_ = 0;
  int fd_ = -1;
  std::uintmax_t size_ = 0;
  std::string error_;

  int dir_to_sync_ = -1;  // a new file's folder, synced with its first line
  RecordSync sync_;
};

}  // namespace kanae
