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
#include <system_error>

namespace kanae {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

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
  std::filesystem::path name = folder.filename();
  if (name.empty()) name = "lesson";
  return base / "kanae" / "records" / name;
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
      if (!std::filesystem::is_regular_file(file, ec)) break;
      files.push_back(file);
    }
  }
  return files;
}

std::size_t CompleteRecordLength(std::string_view bytes) {
  // Usually the last line feed ends a record: quotes come in pairs before it.
  // Counting them is quick even in a file at its size limit.
  const std::size_t last = bytes.rfind('\n');
  if (last == std::string_view::npos) return 0;
  if (std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(last), '"') % 2 == 0) return last + 1;
  // It lies inside a quoted name of a torn line: find the record end before it.
  bool quoted = false;
  std::size_t complete = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '"') {
      quoted = !quoted;  // a doubled quote toggles twice
    } else if (c == '\n' && !quoted) {
      complete = i + 1;
    }
  }
  return complete;
}

LearningRecord::~LearningRecord() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (syncer_.joinable()) syncer_.join();
  CloseFile();
}

RecordPlace LearningRecord::Open(const std::filesystem::path& lesson_folder) {
  WaitUntilDurable();
  CloseFile();
  const RecordPlace place = RecordPlaceFor(lesson_folder);
  folder_ = FolderOrCurrent(place.folder);
  // The newest file of the series is the one to go on with. It is opened (and
  // a torn end cut off) now, at start-up, so that the first answer does not
  // wait for a large file to be read.
  number_ = 1;
  std::error_code ec;
  while (std::filesystem::exists(RecordFileName(folder_, number_ + 1), ec)) ++number_;
  if (std::filesystem::exists(RecordFileName(folder_, number_), ec)) OpenFile(number_);
  return place;
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

bool LearningRecord::OpenFile(int number) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  const auto file = RecordFileName(folder_, number);
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) {
    error_ = SystemError("open", file);
    return false;
  }
  const FileLock file_lock(fd);
  std::uintmax_t size = SizeOf(fd);
  if (size > 0) {
    // A line torn by a crash or a pulled plug is cut off, so that what is
    // appended now starts a line of its own (an open quote in the torn part
    // would otherwise swallow it).
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapped != MAP_FAILED) {
      std::size_t keep = CompleteRecordLength(std::string_view(static_cast<const char*>(mapped), size));
      ::munmap(mapped, size);
      if (keep < HeaderLine().size() + 3) keep = 0;  // not even the header is whole
      if (keep < size && ::ftruncate(fd, static_cast<off_t>(keep)) == 0) size = keep;
    }
  }
  file_ = file;
  number_ = number;
  size_ = size;
  // A new file's entry in its folder must reach the disk as well as its lines.
  const int dir = size == 0 ? ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  std::lock_guard lock(mutex_);
  fd_ = fd;
  if (dir >= 0) {
    if (dir_to_sync_ >= 0) ::close(dir_to_sync_);
    dir_to_sync_ = dir;
  }
  return true;
}

void LearningRecord::CloseFile() {
  std::lock_guard lock(mutex_);
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
    if (!WriteWhole(size_ == 0 ? kBom + HeaderLine() + line : line)) return false;
  }
  {
    std::lock_guard lock(mutex_);
    ++written_;
    if (!syncer_.joinable()) syncer_ = std::thread([this] { SyncLoop(); });
  }
  wake_.notify_one();
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

void LearningRecord::WaitUntilDurable() {
  std::unique_lock lock(mutex_);
  synced_.wait(lock, [this] { return durable_ >= written_ || !syncer_.joinable(); });
}

void LearningRecord::SyncLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || durable_ < written_; });
    if (durable_ < written_) {
      const std::uint64_t target = written_;
      const int fd = fd_;
      const int dir = dir_to_sync_;
      dir_to_sync_ = -1;
      lock.unlock();
      ::fdatasync(fd);
      if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
      }
      lock.lock();
      durable_ = target;
      synced_.notify_all();
      continue;
    }
    if (stopping_) return;
  }
}

}  // namespace kanae
