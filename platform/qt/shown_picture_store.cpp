#include "shown_picture_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
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
  const std::filesystem::path file = folder_ / *name;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
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
  std::error_code error;
  // The pictures may come from a teacher's private folder: the copies are
  // for this user's eyes only.
  if (std::filesystem::create_directories(folder_, error)) {
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, error);
  }
  if (error) return;
  const QImage image = shown_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  // Written whole under a temporary name, then renamed: a reader sees the
  // entry whole or not at all.
  QSaveFile out(QString::fromStdString((folder_ / *name).string()));
  if (!out.open(QIODevice::WriteOnly)) return;
  out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  Header header{kMagic, static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height())};
  bool ok = out.write(reinterpret_cast<const char*>(&header), sizeof header) == static_cast<qint64>(sizeof header);
  const qint64 row = static_cast<qint64>(image.width()) * 4;
  for (int y = 0; y < image.height() && ok; ++y) {
    ok = out.write(reinterpret_cast<const char*>(image.constScanLine(y)), row) == row;
  }
  if (!ok || !out.commit()) return;
  if (saves_.fetch_add(1) % kSavesBetweenPrunes == 0) Prune();
}

void ShownPictureStore::Prune() {
  struct Found {
    std::filesystem::path path;
    std::filesystem::file_time_type used;
    std::uintmax_t bytes;
  };
  std::vector<Found> entries;
  std::uintmax_t total = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    std::error_code entry_error;
    const std::uintmax_t bytes = it->file_size(entry_error);
    const auto used = it->last_write_time(entry_error);
    if (entry_error) continue;
    if (it->path().extension() != ".pixels") {
      // A temporary file left by a program that was ended while writing.
      if (used < std::filesystem::file_time_type::clock::now() - std::chrono::hours(1)) {
        std::filesystem::remove(it->path(), entry_error);
      }
      continue;
    }
    entries.push_back({it->path(), used, bytes});
    total += bytes;
  }
  if (total <= budget_bytes_) return;
  // Down to three quarters, so the next saves do not prune at once again.
  std::sort(entries.begin(), entries.end(), [](const Found& a, const Found& b) { return a.used < b.used; });
  for (const Found& entry : entries) {
    if (total <= budget_bytes_ / 4 * 3) break;
    if (std::filesystem::remove(entry.path, error)) total -= entry.bytes;
  }
}

}  // namespace kanae
