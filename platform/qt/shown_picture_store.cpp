#include "shown_picture_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <array>

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

std::uint64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_nsec);
}

}  // namespace

std::shared_ptr<ShownPictureStore> ShownPictureStore::ForUser() {
  const std::optional<std::filesystem::path> folder = OwnedCacheFolder::ForUser("shown");
  if (!folder) return nullptr;
  return std::make_shared<ShownPictureStore>(*folder);
}

ShownPictureStore::ShownPictureStore(std::filesystem::path folder, std::uintmax_t budget_bytes)
    : folder_(std::move(folder), "the picture store", ".pixels", budget_bytes) {}

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
  const int fd = folder_.OpenEntry(*name);
  if (fd < 0) return {};
  QImage image;
  struct stat info {};
  Header header{};
  const std::uintmax_t pixels = static_cast<std::uintmax_t>(shown.width()) * static_cast<std::uintmax_t>(shown.height()) * 4;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uintmax_t>(info.st_size) == sizeof header + pixels &&
      ReadExactly(fd, &header, sizeof header) && header.magic == kMagic &&
      header.width == static_cast<std::uint32_t>(shown.width()) &&
      header.height == static_cast<std::uint32_t>(shown.height())) {
    image = QImage(shown, QImage::Format_ARGB32_Premultiplied);
    const std::size_t row = static_cast<std::size_t>(shown.width()) * 4;
    for (int y = 0; y < shown.height() && !image.isNull(); ++y) {
      if (!ReadExactly(fd, image.scanLine(y), row)) image = QImage();
    }
  }
  // Used now: the prune keeps it over entries not wanted for longer.
  if (!image.isNull()) OwnedCacheFolder::MarkUsed(fd);
  ::close(fd);
  return image;
}

void ShownPictureStore::Save(const std::string& utf8_path, const QImage& shown_image) {
  if (shown_image.isNull()) return;
  const std::optional<std::string> name = EntryName(utf8_path, shown_image.size());
  if (!name) return;
  if (!folder_.Usable()) return;
  const QImage image = shown_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  folder_.WriteEntry(*name, [&image](int fd) {
    Header header{kMagic, static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height())};
    bool ok = WriteExactly(fd, &header, sizeof header);
    const std::size_t row = static_cast<std::size_t>(image.width()) * 4;
    for (int y = 0; y < image.height() && ok; ++y) ok = WriteExactly(fd, image.constScanLine(y), row);
    return ok;
  });
}

}  // namespace kanae
