#include "learning_record.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <system_error>
#include <utility>

#include "safe_file.h"

namespace kanae {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string HeaderLine() {
  std::string line;
  for (const std::string& column : RecordColumns()) {
    if (!line.empty()) line += ',';
    line += CsvField(column);
  }
  return line + "\r\n";
}

std::string SystemError(const char* what, const std::filesystem::path& file) {
  return std::string(what) + " " + Utf8Of(file) + ": " + std::strerror(errno);
}

// The lesson folder as a directory path: "" is the current directory.
std::filesystem::path FolderOrCurrent(const std::filesystem::path& folder) {
  return folder.empty() ? std::filesystem::path(".") : folder;
}

}  // namespace

const std::vector<std::string>& FirstRecordColumns() {
  static const std::vector<std::string> columns = {"日時", "ゲーム", "絵", "問い", "選んだもの", "正誤", "秒",
                                                   "回目", "まぎらわしい文字の数", "カードの数", "答え方", "場面"};
  return columns;
}

const std::vector<std::string>& RecordColumns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> all = FirstRecordColumns();
    all.insert(all.end(), {"問いの文字", "選んだ文字", "児童"});
    return all;
  }();
  return columns;
}

std::string CsvField(std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
  std::string quoted = "\"";
  for (const char c : utf8) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

namespace {
bool NeedsApostrophe(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r'").find(text.front()) != std::string_view::npos;
}
}  // namespace

std::string CsvTextField(std::string_view utf8) {
  return NeedsApostrophe(utf8) ? CsvField("'" + std::string(utf8)) : CsvField(utf8);
}

std::string TextOfCsvField(std::string_view field) {
  if (field.size() >= 2 && field.front() == '\'' && NeedsApostrophe(field.substr(1))) field.remove_prefix(1);
  return std::string(field);
}

std::string FormatRecordLine(const RecordEntry& e) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", std::isfinite(e.seconds) && e.seconds > 0 ? e.seconds : 0.0);
  const auto optional_number = [](const std::optional<int>& n) { return n ? std::to_string(*n) : std::string(); };
  const std::string fields[] = {
      CsvField(e.date_time),
      CsvField(ToUtf8(e.game)),
      CsvTextField(ToUtf8(e.picture)),
      CsvTextField(ToUtf8(e.asked)),
      CsvTextField(ToUtf8(e.chosen)),
      e.right ? kRight : kWrong,
      seconds,
      std::to_string(e.attempt),
      optional_number(e.distractors),
      optional_number(e.cards),
      e.touch ? kTouch : kClick,
      e.phase == RecordPhase::kCatch ? kPhaseCatch : kPhaseAnswer,
      CsvTextField(ToUtf8(e.asked_letter)),
      CsvTextField(ToUtf8(e.chosen_letter)),
      CsvTextField(ToUtf8(e.child)),
  };
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty() || &field != &fields[0]) line += ',';
    line += field;
  }
  return line + "\r\n";
}

std::filesystem::path UserRecordFolder(const std::filesystem::path& lesson_folder) {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / ".local" / "share";
  }
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::absolute(FolderOrCurrent(lesson_folder), ec).lexically_normal();
  // "/lessons/どうぶつ/" names its last component after the trailing separator.
  if (!folder.has_filename()) folder = folder.parent_path();
  std::string name = Utf8Of(folder.filename());
  if (name.empty()) name = "lesson";
  // Two lessons of the same name (どうぶつ of two classes) keep records of
  // their own: the folder's full path tells them apart.
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (const char c : Utf8Of(folder)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211u;
  }
  char tag[16];
  std::snprintf(tag, sizeof tag, "-%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
  return base / "kanae" / "records" / PathOf(name + tag);
}

RecordPlace RecordPlaceFor(const std::filesystem::path& lesson_folder) {
  const std::filesystem::path folder = FolderOrCurrent(lesson_folder);
  const std::filesystem::path file = RecordFileName(folder, 1);
  std::error_code ec;
  // The record goes where the teacher keeps the lesson whenever that can be written.
  const bool exists = std::filesystem::exists(file, ec);
  if (::access((exists ? file : folder).c_str(), W_OK) == 0) return {lesson_folder, false};
  return {UserRecordFolder(lesson_folder), true};
}

std::filesystem::path RecordFileName(const std::filesystem::path& folder, int number) {
  const std::string name = std::string(kRecordBaseName) + (number > 1 ? "-" + std::to_string(number) : "") + ".csv";
  return FolderOrCurrent(folder) / PathOf(name);
}

std::vector<std::filesystem::path> RecordFilesFor(const std::filesystem::path& lesson_folder) {
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& folder : {FolderOrCurrent(lesson_folder), UserRecordFolder(lesson_folder)}) {
    std::error_code ec;
    for (int n = 1;; ++n) {
      const auto file = RecordFileName(folder, n);
      // A link planted under a record's name is not read as one.
      if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec))) break;
      files.push_back(file);
    }
  }
  return files;
}

namespace {

// The end of the content of the line that the line end just before at ends
// (CR LF is one line end).
std::size_t ContentEndBefore(std::string_view bytes, std::size_t at) {
  if (at >= 2 && bytes[at - 1] == '\n' && bytes[at - 2] == '\r') return at - 2;
  return at - 1;
}

// The start of the line whose content ends at end, or npos when it starts
// before floor (a line too long to look at).
std::size_t LineStart(std::string_view bytes, std::size_t end, std::size_t floor) {
  for (std::size_t i = end; i > floor; --i) {
    if (IsLineEnd(bytes[i - 1])) return i;
  }
  return floor == 0 ? 0 : std::string_view::npos;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Every line the games write starts with its date, "2026-12-10T...", and the
// first line of a file is its header: a line that starts otherwise continues
// a quoted name of the line before, or was added by hand.
bool StartsRecord(std::string_view bytes, std::size_t start) {
  if (start == 0) return true;
  const std::string_view head = bytes.substr(start, 10);
  return head.size() == 10 && IsDigit(head[0]) && IsDigit(head[1]) && IsDigit(head[2]) && IsDigit(head[3]) &&
         head[4] == '-' && IsDigit(head[5]) && IsDigit(head[6]) && head[7] == '-' && IsDigit(head[8]) &&
         IsDigit(head[9]);
}

}  // namespace

std::size_t CompleteRecordLength(std::string_view bytes) {
  const std::size_t size = bytes.size();
  if (size == 0) return 0;
  // Only the end of the file is looked at: a stray quote further up, added
  // by hand, never decides what is cut.
  const std::size_t floor = size > kRepairLookBack ? size - kRepairLookBack : 0;
  const bool ended = IsLineEnd(bytes.back());
  const std::size_t last_start = LineStart(bytes, ended ? ContentEndBefore(bytes, size) : size, floor);
  if (last_start == std::string_view::npos) return size;  // one line too long to cut
  // The last record begins on the last line that starts with a date.
  std::size_t record = last_start;
  while (!StartsRecord(bytes, record)) {
    if (record == 0) break;
    record = LineStart(bytes, ContentEndBefore(bytes, record), floor);
    if (record == std::string_view::npos) break;
  }
  std::size_t whole = record;
  if (record != std::string_view::npos && StartsRecord(bytes, record)) {
    // From there on, a line end outside quotes ends a record; quotes are
    // counted within these last lines only.
    bool quoted = false;
    for (std::size_t i = record; i < size; ++i) {
      const char c = bytes[i];
      if (c == '"') {
        quoted = !quoted;  // a doubled quote toggles twice
      } else if (!quoted && IsLineEnd(c)) {
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ++i;
        whole = i + 1;
      }
    }
    if (whole == size) return size;
    // One of our lines left unfinished: it goes, with any line of it that
    // ended inside a quoted name.
    if (StartsRecord(bytes, whole)) return whole;
  }
  // A line that is not one of ours (added by hand) stays when finished; an
  // unfinished last line goes alone.
  return ended ? size : last_start;
}

LearningRecord::~LearningRecord() {
  sync_.WaitUntilDurable();
  CloseFile();
}

RecordPlace LearningRecord::Open(const std::filesystem::path& lesson_folder) {
  WaitUntilDurable();
  CloseFile();
  lesson_folder_ = lesson_folder;
  const RecordPlace place = RecordPlaceFor(lesson_folder);
  folder_ = FolderOrCurrent(place.folder);
  in_user_folder_ = place.in_user_folder;
  // The newest file of the series is the one to go on with. It is opened (and
  // a torn end cut off) now, at start-up, so that the first answer does not
  // wait for a large file to be read, and so that anything planted under its
  // name is refused before the lesson starts.
  number_ = 1;
  while (NameTaken(RecordFileName(folder_, number_ + 1))) ++number_;
  if (NameTaken(RecordFileName(folder_, number_))) OpenFile(number_);
  return {in_user_folder_ ? folder_ : place.folder, in_user_folder_};
}

std::vector<std::string> LearningRecord::TakeNotices() {
  std::vector<std::string> notices;
  notices.swap(notices_);
  return notices;
}

bool LearningRecord::NameTaken(const std::filesystem::path& file) {
  std::error_code ec;
  // A link counts, even one that leads nowhere: it is refused, not skipped.
  return std::filesystem::exists(std::filesystem::symlink_status(file, ec));
}

namespace {

// Another game on the same lesson (another window, another computer on a
// shared folder) may write the same file. Every change to it is made under an
// advisory lock, with the size read from the file, so neither game cuts off
// or repeats what the other wrote.
class FileLock {
 public:
  explicit FileLock(int fd) : fd_(fd) {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~FileLock() { ::flock(fd_, LOCK_UN); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

std::uintmax_t SizeOf(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? static_cast<std::uintmax_t>(info.st_size) : 0;
}

}  // namespace

bool LearningRecord::KeepCutPart(const std::filesystem::path& record, std::string_view cut) {
  char day[16] = "";
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  std::strftime(day, sizeof day, "%Y-%m-%d", &local);
  const std::string base = std::string(kRecordBaseName) + "-cut-" + day;
  std::filesystem::path kept;
  for (int n = 1; n < 1000; ++n) {
    kept = record.parent_path() / PathOf(base + (n > 1 ? "-" + std::to_string(n) : "") + ".txt");
    if (!NameTaken(kept)) break;
  }
  const ReplaceOutcome saved = ReplaceFileSafely(kept, cut, true);
  if (!saved.ok) {
    notices_.push_back("学習記録「" + Utf8Of(record) + "」の終わりに書きかけの行がありますが、その行を別に保存" +
                       "できなかったので、そのままにしてあります。\n" + saved.error);
    return false;
  }
  notices_.push_back("学習記録「" + Utf8Of(record) + "」の終わりの書きかけの行（" + std::to_string(cut.size()) +
                     "バイト）を外し、次のファイルに残しました。\n" + Utf8Of(kept));
  return true;
}

void LearningRecord::MakeOwnFolder(const std::filesystem::path& folder) {
  // Records name children: only their teacher reads them.
  // Folders made here are 0700; one made by an older version is narrowed.
  std::filesystem::path made;
  for (const auto& part : folder) {
    made /= part;
    ::mkdir(made.c_str(), 0700);
  }
  ::chmod(folder.c_str(), 0700);
}

bool LearningRecord::OpenFile(int number) {
  std::error_code ec;
  if (in_user_folder_) {
    MakeOwnFolder(folder_);
  } else {
    std::filesystem::create_directories(folder_, ec);
  }
  const auto file = RecordFileName(folder_, number);
  const OpenedFile opened = OpenRegularFile(file, O_RDWR | O_CREAT | O_APPEND, 0600);
  if (opened.fd < 0) {
    if (IsRefusal(opened.error) && !in_user_folder_) {
      // Something planted under the record's name (a link to a teacher's
      // file, a pipe, a device): the lines go where a read-only lesson's go.
      notices_.push_back("学習記録「" + Utf8Of(file) + "」は" + ToUtf8(RefusalReason(opened.error)) +
                         "\n学習記録はこちらに保存します。\n" + Utf8Of(UserRecordFolder(lesson_folder_)));
      folder_ = UserRecordFolder(lesson_folder_);
      in_user_folder_ = true;
      number_ = 1;
      while (NameTaken(RecordFileName(folder_, number_ + 1))) ++number_;
      return OpenFile(number_);
    }
    errno = opened.error;
    error_ = IsRefusal(opened.error) ? Utf8Of(file) + ": " + ToUtf8(RefusalReason(opened.error))
                                     : SystemError("open", file);
    return false;
  }
  const int fd = opened.fd;
  const FileLock file_lock(fd);
  std::uintmax_t size = SizeOf(fd);
  if (size > 0) {
    // A line torn by a crash or a pulled plug is cut off, so that what is
    // appended now starts a line of its own (an open quote in the torn part
    // would otherwise swallow it). What is cut is kept beside the record.
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) {
      const std::string_view bytes(static_cast<const char*>(mapped), size);
      const std::size_t keep = CompleteRecordLength(bytes);
      const bool cut = keep < size && KeepCutPart(file, bytes.substr(keep));
      ::munmap(mapped, size);
      if (cut && ::ftruncate(fd, static_cast<off_t>(keep)) == 0) size = keep;
    }
  }
  file_ = file;
  number_ = number;
  size_ = size;
  // A new file's entry in its folder must reach the disk as well as its lines.
  const int dir = size == 0 ? ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  fd_ = fd;
  if (dir >= 0) {
    if (dir_to_sync_ >= 0) ::close(dir_to_sync_);
    dir_to_sync_ = dir;
  }
  return true;
}

void LearningRecord::CloseFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (dir_to_sync_ >= 0) ::close(dir_to_sync_);
  dir_to_sync_ = -1;
}

bool LearningRecord::Append(const RecordEntry& entry) {
  if (folder_.empty()) return false;
  const std::string line = FormatRecordLine(entry);
  if (fd_ < 0 && !OpenFile(number_)) return false;
  size_ = SizeOf(fd_);
  if (size_ > 0 && size_ + line.size() > limit_) {
    WaitUntilDurable();
    CloseFile();
    if (!OpenFile(number_ + 1)) return false;
  }
  {
    const FileLock file_lock(fd_);
    size_ = SizeOf(fd_);  // another game's lines included
    // A last line that could not be cut (too long, or its copy could not be
    // saved) stays; the new line starts after a line end of its own.
    char last = '\n';
    if (size_ > 0 && ::pread(fd_, &last, 1, static_cast<off_t>(size_ - 1)) != 1) last = '\n';
    if (!WriteWhole(size_ == 0 ? kBom + HeaderLine() + line : (IsLineEnd(last) ? line : "\r\n" + line))) return false;
  }
  sync_.Written(fd_, std::exchange(dir_to_sync_, -1));
  return true;
}

bool LearningRecord::WriteWhole(const std::string& bytes) {
  const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
  if (n == static_cast<ssize_t>(bytes.size())) {
    size_ += bytes.size();
    return true;
  }
  error_ = n < 0 ? SystemError("write", file_) : "write " + Utf8Of(file_) + ": the disk is full";
  // Half a line would join the next one: take it back.
  if (n > 0 && ::ftruncate(fd_, static_cast<off_t>(size_)) != 0) {
    error_ += "; the last line is torn";
  }
  return false;
}

void LearningRecord::WaitUntilDurable() { sync_.WaitUntilDurable(); }

}  // namespace kanae
