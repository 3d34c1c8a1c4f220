// Pictures at the size they are shown, decoded on worker threads so that the
// GUI thread never waits for a file. The paint takes what is ready; the rest
// is announced when it arrives. Bounded by a byte budget, least recently used
// first out. A broken or enormous file gives no picture rather than a crash
// or an unbounded allocation, and one line on standard error names it (once
// per file).
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <functional>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "shown_picture_store.h"

namespace kanae {

class PictureCache {
 public:
  // Called on the GUI thread when a requested picture has been decoded (or
  // found undecodable).
  using Arrival = std::function<void(const std::string& utf8_path, QSize size)>;

  // With a store, pictures decoded in an earlier run are read from it, and
  // new ones are kept in it.
  PictureCache(std::size_t budget_bytes, Arrival on_arrival, std::shared_ptr<ShownPictureStore> store = nullptr);
  ~PictureCache();
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The picture when it is ready (a null image when the file cannot be
  // decoded), nullptr while it is not. Never decodes.
  const QImage* Find(const std::string& utf8_path, QSize size);
  // Starts decoding unless the picture is ready (then it counts as just
  // used) or under way; urgent ones (wanted on screen now) go before those
  // wanted ahead.
  void Request(const std::string& utf8_path, QSize size, bool urgent);
  bool Pending(const std::string& utf8_path, QSize size) const;
  std::size_t Bytes() const { return bytes_; }

  // Waits for the decodes under way and takes in their pictures (tests and
  // tools; the game never waits).
  void WaitForDecodes();

 private:
  struct Entry {
    std::string path;
    QSize size;
    QImage image;
  };
  void Store(const std::string& utf8_path, QSize size, QImage image);

  std::size_t budget_bytes_;
  std::size_t bytes_ = 0;
  Arrival on_arrival_;
  std::shared_ptr<ShownPictureStore> store_;
  std::list<Entry> entries_;  // most recently used first
  std::vector<std::pair<std::string, QSize>> pending_;
  std::set<std::string> reported_;  // files already named on standard error
  QObject receiver_;  // decoded pictures are posted to the GUI thread through it
  QThreadPool pool_;  // declared last: gone first, so no decode outlives the cache
};

}  // namespace kanae
