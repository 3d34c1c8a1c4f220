#include "shown_picture_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace kanae {

namespace {

// An entry: this header, then the rows of an ARGB32 premultiplied picture,
// four bytes a pixel, with no padding.
constexpr std::array<char, 8> kMagic = {'K', 'A', 'N', 'A', 'E', 'P', 'X', '1'};
struct Header {
  std::array<char, 8> magic;
  std::uint32_t width;
  std::uint32_t height;
};

// The prune looks at the folder now and then, not at every save.
constexpr int kSavesBetweenPrunes = 16;

std::uint64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_nsec);
}

constexpr char kTemporaryMark[] = ".kanae-tmp-";

bool WriteAll(int fd, const char* from, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, from, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    from += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, char* into, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(fd, into, size);
    if (n <= 0) return false;
    into += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::shared_ptr<ShownPictureStore> ShownPictureStore::ForUser() {
  std::filesystem::path base;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    base = std::filesystem::path(home) / ".cache";
  } else {
    return nullptr;
  }
  return std::make_shared<ShownPictureStore>(base / "kanae" / "shown");
}

ShownPictureStore::ShownPictureStore(std::filesystem::path folder, std::uintmax_t budget_bytes)
    : folder_(std::move(folder)), budget_bytes_(budget_bytes) {}

ShownPictureStore::~ShownPictureStore() {
  if (folder_fd_ >= 0) ::close(folder_fd_);
}

int ShownPictureStore::Folder() const {
  std::call_once(folder_checked_, [this] {
    // Made 0700 where missing, each level: the pictures may come from a
    // teacher's private folder.
    std::filesystem::path made;
    for (const auto& part : folder_) {
      made /= part;
      ::mkdir(made.c_str(), 0700);
    }
    // Used only when it is ours alone: someone who can write it could plant
    // entries that show something else, or links the prune would follow.
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      if (errno != ENOENT && errno != ENOTDIR) {
        std::fprintf(stderr, "kanae: the picture store %s is not used: %s\n", folder_.c_str(), std::strerror(errno));
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
      std::fprintf(stderr, "kanae: the picture store %s is not used: %s\n", folder_.c_str(), why);
      ::close(fd);
      return;
    }
    folder_fd_ = fd;
  });
  return folder_fd_;
}

std::optional<std::string> ShownPictureStore::EntryName(const std::string& utf8_path, QSize shown) const {
  struct stat info {};
  if (::stat(utf8_path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || shown.isEmpty()) return std::nullopt;
  const std::string key = utf8_path + '\0' + std::to_string(info.st_size) + ' ' + std::to_string(info.st_ino) + ' ' +
                          std::to_string(info.st_dev) + ' ' + std::to_string(Nanoseconds(info.st_mtim)) + ' ' +
                          std::to_string(Nanoseconds(info.st_ctim)) + ' ' + std::to_string(shown.width()) + 'x' +
                          std::to_string(shown.height());
  const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(key), QCryptographicHash::Sha256);
  return hash.toHex().toStdString() + ".pixels";
}

QImage ShownPictureStore::Load(const std::string& utf8_path, QSize shown) const {
  const std::optional<std::string> name = EntryName(utf8_path, shown);
  if (!name) return {};
  const int folder = Folder();
  if (folder < 0) return {};
  const int fd = ::openat(folder, name->c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return {};
  QImage image;
  struct stat info {};
  Header header{};
  const std::uintmax_t pixels = static_cast<std::uintmax_t>(shown.width()) * static_cast<std::uintmax_t>(shown.height()) * 4;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uintmax_t>(info.st_size) == sizeof header + pixels &&
      ReadAll(fd, reinterpret_cast<char*>(&header), sizeof header) && header.magic == kMagic &&
      header.width == static_cast<std::uint32_t>(shown.width()) &&
      header.height == static_cast<std::uint32_t>(shown.height())) {
    image = QImage(shown, QImage::Format_ARGB32_Premultiplied);
    const std::size_t row = static_cast<std::size_t>(shown.width()) * 4;
    for (int y = 0; y < shown.height() && !image.isNull(); ++y) {
      if (!ReadAll(fd, reinterpret_cast<char*>(image.scanLine(y)), row)) image = QImage();
    }
  }
  // Used now: the prune keeps it over entries not wanted for longer.
  if (!image.isNull()) ::futimens(fd, nullptr);
  ::close(fd);
  return image;
}

void ShownPictureStore::Save(const std::string& utf8_path, const QImage& shown_image) {
  if (shown_image.isNull()) return;
  const std::optional<std::string> name = EntryName(utf8_path, shown_image.size());
  if (!name) return;
  const int folder = Folder();
  if (folder < 0) return;
  const QImage image = shown_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  // Written whole under a temporary name, then renamed: a reader sees the
  // entry whole or not at all, and a link under the entry's name is replaced,
  // never written through.
  static thread_local std::mt19937_64 names{std::random_device{}()};
  const std::string temp = *name + kTemporaryMark + std::to_string(names() % 1000000000);
  const int fd = ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  Header header{kMagic, static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height())};
  bool ok = WriteAll(fd, reinterpret_cast<const char*>(&header), sizeof header);
  const std::size_t row = static_cast<std::size_t>(image.width()) * 4;
  for (int y = 0; y < image.height() && ok; ++y) {
    ok = WriteAll(fd, reinterpret_cast<const char*>(image.constScanLine(y)), row);
  }
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::renameat(folder, temp.c_str(), folder, name->c_str()) != 0) {
    ::unlinkat(folder, temp.c_str(), 0);
    return;
  }
  if (saves_.fetch_add(1) % kSavesBetweenPrunes == 0) Prune();
}

void ShownPictureStore::Prune() {
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
    if (!name.ends_with(".pixels")) continue;
    entries.push_back({name, Nanoseconds(info.st_mtim), static_cast<std::uintmax_t>(info.st_size)});
    total += static_cast<std::uintmax_t>(info.st_size);
  }
  ::closedir(listing);
  if (total <= budget_bytes_) return;
  // Down to three quarters, so the next saves do not prune at once again.
  std::sort(entries.begin(), entries.end(), [](const Found& a, const Found& b) { return a.used < b.used; });
  for (const Found& entry : entries) {
    if (total <= budget_bytes_ / 4 * 3) break;
    if (::unlinkat(folder, entry.name.c_str(), 0) == 0) total -= entry.bytes;
  }
}

}  // namespace kanae
