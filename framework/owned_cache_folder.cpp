#include "owned_cache_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace kanae {

namespace {

// The prune looks at the folder now and then, not at every write.
constexpr int kWritesBetweenPrunes = 16;

constexpr char kTemporaryMark[] = ".kanae-tmp-";

std::uint64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_nsec);
}

}  // namespace

bool WriteExactly(int fd, const void* from, std::size_t size) {
  const char* bytes = static_cast<const char*>(from);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadExactly(int fd, void* into, std::size_t size) {
  char* bytes = static_cast<char*>(into);
  while (size > 0) {
    const ssize_t n = ::read(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::filesystem::path> OwnedCacheFolder::ForUser(std::string_view name) {
  std::filesystem::path base;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    base = std::filesystem::path(home) / ".cache";
  } else {
    return std::nullopt;
  }
  return base / "kanae" / name;
}

OwnedCacheFolder::OwnedCacheFolder(std::filesystem::path folder, std::string what, std::string entry_suffix,
                                   std::uintmax_t budget_bytes)
    : folder_(std::move(folder)),
      what_(std::move(what)),
      entry_suffix_(std::move(entry_suffix)),
      budget_bytes_(budget_bytes) {}

OwnedCacheFolder::~OwnedCacheFolder() {
  if (folder_fd_ >= 0) ::close(folder_fd_);
}

int OwnedCacheFolder::Folder() const {
  std::call_once(folder_checked_, [this] {
    // Made 0700 where missing, each level: what is kept may come from a
    // teacher's private folder.
    std::filesystem::path made;
    for (const auto& part : folder_) {
      made /= part;
      ::mkdir(made.c_str(), 0700);
    }
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      const int error = errno;
      struct stat link {};
      if (::lstat(folder_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::fprintf(stderr, "kanae: %s %s is not used: it is a link\n", what_.c_str(), folder_.c_str());
      } else if (error != ENOENT && error != ENOTDIR) {
        std::fprintf(stderr, "kanae: %s %s is not used: %s\n", what_.c_str(), folder_.c_str(), std::strerror(error));
      }
      return;
    }
    struct stat info {};
    const char* why = nullptr;
    if (::fstat(fd, &info) != 0) {
      why = std::strerror(errno);
    } else if (info.st_uid != ::geteuid()) {
      why = "it belongs to someone else";
    } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
      why = "others can write it";
    }
    if (why != nullptr) {
      std::fprintf(stderr, "kanae: %s %s is not used: %s\n", what_.c_str(), folder_.c_str(), why);
      ::close(fd);
      return;
    }
    folder_fd_ = fd;
  });
  return folder_fd_;
}

int OwnedCacheFolder::OpenEntry(const std::string& name) const {
  const int folder = Folder();
  if (folder < 0) return -1;
  // Never waits on a pipe planted under the name.
  const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void OwnedCacheFolder::MarkUsed(int fd) { ::futimens(fd, nullptr); }

std::optional<std::string> OwnedCacheFolder::ReadEntry(const std::string& name, std::uintmax_t most_bytes) const {
  const int fd = OpenEntry(name);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && static_cast<std::uintmax_t>(info.st_size) <= most_bytes) {
    std::string read(static_cast<std::size_t>(info.st_size), '\0');
    if (ReadExactly(fd, read.data(), read.size())) {
      bytes = std::move(read);
      MarkUsed(fd);
    }
  }
  ::close(fd);
  return bytes;
}

bool OwnedCacheFolder::WriteEntry(const std::string& name, const std::function<bool(int fd)>& write) {
  const int folder = Folder();
  if (folder < 0) return false;
  // Written whole under a temporary name, then renamed: a reader sees the
  // entry whole or not at all.
  static thread_local std::mt19937_64 names{std::random_device{}()};
  const std::string temp = name + kTemporaryMark + std::to_string(names() % 1000000000);
  const int fd = ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = write(fd);
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
    ::unlinkat(folder, temp.c_str(), 0);
    return false;
  }
  if (writes_.fetch_add(1) % kWritesBetweenPrunes == 0) Prune();
  return true;
}

bool OwnedCacheFolder::WriteEntry(const std::string& name, std::string_view bytes) {
  return WriteEntry(name, [bytes](int fd) { return WriteExactly(fd, bytes.data(), bytes.size()); });
}

void OwnedCacheFolder::Prune() {
  struct Found {
    std::string name;
    std::uint64_t used;
    std::uintmax_t bytes;
  };
  const int folder = Folder();
  if (folder < 0) return;
  // A description of its own: a dup would share (and leave at the end) the
  // kept descriptor's reading position.
  const int listing_fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing_fd < 0) return;
  DIR* listing = ::fdopendir(listing_fd);
  if (listing == nullptr) {
    ::close(listing_fd);
    return;
  }
  std::vector<Found> entries;
  std::uintmax_t total = 0;
  const auto now = static_cast<std::uint64_t>(std::time(nullptr)) * 1000000000u;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    struct stat info {};
    // Only regular files: a link is never followed, a folder never entered.
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
    if (name.find(kTemporaryMark) != std::string::npos) {
      // Left by a program that was ended while writing.
      if (Nanoseconds(info.st_mtim) + 3600ull * 1000000000u < now) ::unlinkat(folder, name.c_str(), 0);
      continue;
    }
    if (!name.ends_with(entry_suffix_)) continue;
    entries.push_back({name, Nanoseconds(info.st_mtim), static_cast<std::uintmax_t>(info.st_size)});
    total += static_cast<std::uintmax_t>(info.st_size);
  }
  ::closedir(listing);
  if (total <= budget_bytes_) return;
  // Down to three quarters, so the next writes do not prune at once again.
  std::sort(entries.begin(), entries.end(), [](const Found& a, const Found& b) { return a.used < b.used; });
  for (const Found& entry : entries) {
    if (total <= budget_bytes_ / 4 * 3) break;
    if (::unlinkat(folder, entry.name.c_str(), 0) == 0) total -= entry.bytes;
  }
}

}  // namespace kanae
