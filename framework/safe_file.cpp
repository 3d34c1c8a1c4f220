#include "safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <random>

namespace kanae {

namespace {

constexpr std::string_view kTemporaryMark = ".kanae-tmp-";
// Older programs named their temporary files "<name>.tmp" and six digits.
constexpr std::string_view kOlderTemporaryMark = ".tmp";
// A temporary file this old is not being written any more.
constexpr time_t kStaleSeconds = 60;

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool AllAlphanumeric(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

std::string SystemText(int error) { return std::strerror(error); }

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Another program of ours may be writing its own temporary file right now:
// only files of our naming, owned by this user and a minute old, go.
void RemoveStaleTemporaries(int folder_fd, std::string_view target) {
  const int listing_fd = ::dup(folder_fd);
  if (listing_fd < 0) return;
  DIR* listing = ::fdopendir(listing_fd);
  if (listing == nullptr) {
    ::close(listing_fd);
    return;
  }
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (!IsTemporaryName(name, target)) continue;
    struct stat info {};
    if (::fstatat(folder_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) continue;
    if (now - info.st_mtim.tv_sec < kStaleSeconds) continue;
    ::unlinkat(folder_fd, entry->d_name, 0);
  }
  ::closedir(listing);
}

// Marked read-only by the teacher: no write permission bit at all (which
// even root respects here), or none for this user.
bool IsReadOnly(int folder_fd, const char* name, const struct stat& info) {
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::faccessat(folder_fd, name, W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

std::string TemporaryName(std::string_view target) {
  static thread_local std::mt19937_64 names{std::random_device{}()};
  static constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string name = std::string(target) + std::string(kTemporaryMark);
  for (int i = 0; i < 8; ++i) name += kLetters[names() % (sizeof kLetters - 1)];
  return name;
}

}  // namespace

bool IsTemporaryName(std::string_view name, std::string_view target) {
  if (const std::size_t at = name.rfind(kTemporaryMark); at != std::string_view::npos && at > 0) {
    if (AllAlphanumeric(name.substr(at + kTemporaryMark.size()))) return true;
  }
  // The older naming is recognised only for the file being saved: a
  // teacher's own "notes.tmp1" elsewhere in the folder is not ours.
  if (target.empty() || !name.starts_with(target)) return false;
  const std::string_view rest = name.substr(target.size());
  return rest.starts_with(kOlderTemporaryMark) && rest.size() <= kOlderTemporaryMark.size() + 6 &&
         AllDigits(rest.substr(kOlderTemporaryMark.size()));
}

OpenedFile OpenRegularFile(const std::filesystem::path& path, int flags, mode_t mode) {
  const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd < 0) {
    // O_NOFOLLOW reports a link as ELOOP; a pipe without a reader opened for
    // writing as ENXIO.
    const int error = errno;
    if (error == ENXIO) return {-1, kNotRegularRefused};
    return {-1, error};
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return {-1, error};
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return {-1, S_ISDIR(info.st_mode) ? kFolderRefused : kNotRegularRefused};
  }
  const int status = ::fcntl(fd, F_GETFL);
  if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  return {fd, 0};
}

bool IsRefusal(int error) { return error == kLinkRefused || error == kNotRegularRefused || error == kFolderRefused; }

Text RefusalReason(int error) {
  switch (error) {
    case kLinkRefused:
      return U"別の場所へのリンクなので、使いません。";
    case kFolderRefused:
      return U"同じ名前のフォルダがあります。";
    case kNotRegularRefused:
      return U"ふつうのファイルではない（パイプや装置）ので、使いません。";
    default:
      return FromUtf8(SystemText(error));
  }
}

ReplaceOutcome ReplaceFileSafely(const std::filesystem::path& path, std::string_view bytes, bool owner_only) {
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const std::string name = path.filename().string();
  if (name.empty()) return {false, false, SystemText(EISDIR)};
  const int folder_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0) return {false, false, SystemText(errno)};
  const auto fail = [folder_fd](ReplaceOutcome outcome) {
    ::close(folder_fd);
    return outcome;
  };
  RemoveStaleTemporaries(folder_fd, name);
  struct stat info {};
  if (::fstatat(folder_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(info.st_mode)) return fail({false, false, ToUtf8(RefusalReason(kFolderRefused))});
    if (S_ISREG(info.st_mode) && IsReadOnly(folder_fd, name.c_str(), info)) {
      return fail({false, true, "読み取り専用のファイルなので、書き換えずにそのままにしてあります。"});
    }
    // A link, a pipe or a device under the name is replaced by the new file
    // below, never written through.
  }
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporaryName(name);
    // O_EXCL and O_NOFOLLOW: nothing planted under the name is used.
    fd = ::openat(folder_fd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  owner_only ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return fail({false, false, SystemText(errno)});
  bool written = WriteAll(fd, bytes);
  int error = written ? 0 : errno;
  if (written && ::fsync(fd) != 0) written = false, error = errno;
  if (::close(fd) != 0 && written) written = false, error = errno;
  if (written && ::renameat(folder_fd, temp.c_str(), folder_fd, name.c_str()) != 0) written = false, error = errno;
  if (!written) {
    ::unlinkat(folder_fd, temp.c_str(), 0);
    return fail({false, false, SystemText(error != 0 ? error : EIO)});
  }
  // The rename is only durable once the folder itself is on disk.
  ::fsync(folder_fd);
  ::close(folder_fd);
  return {};
}

}  // namespace kanae
