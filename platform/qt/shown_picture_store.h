// Pictures decoded at the size they are shown, kept on disk between runs, so
// that a lesson of large photographs starts as quickly as one of small
// pictures. An entry is found by the picture file's path, size, inode and
// modification and change times together with the shown size: a picture the
// teacher replaces or edits is decoded afresh. Only ever a speed-up: any
// failure (no cache folder, a full disk, a damaged entry) means decoding as
// before. Safe to use from several threads and processes at once.
#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "owned_cache_folder.h"

namespace kanae {

class ShownPictureStore {
 public:
  // Enough for a few lessons of photographs at full-screen sizes.
  static constexpr std::uintmax_t kDefaultBudgetBytes = 256u << 20;

  // In $XDG_CACHE_HOME/kanae/shown (by default ~/.cache/kanae/shown).
  static std::shared_ptr<ShownPictureStore> ForUser();

  // The folder is made 0700 where missing; one that is a link, belongs to
  // someone else or can be written by others is not used (one line on
  // stderr), and the store then keeps nothing.
  explicit ShownPictureStore(std::filesystem::path folder, std::uintmax_t budget_bytes = kDefaultBudgetBytes);
  ShownPictureStore(const ShownPictureStore&) = delete;
  ShownPictureStore& operator=(const ShownPictureStore&) = delete;

  // The stored picture of the file at exactly shown, or a null image.
  QImage Load(const std::string& utf8_path, QSize shown) const;
  // Keeps image (the file decoded at its size); past the budget, the least
  // recently used entries go.
  void Save(const std::string& utf8_path, const QImage& image);

 private:
  std::optional<std::string> EntryName(const std::string& utf8_path, QSize shown) const;

  OwnedCacheFolder folder_;
};

}  // namespace kanae
