#include "picture_cache.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <cstdio>

#include "picture_decoder.h"

namespace kanae {

namespace {

// Undecodable files keep an entry too (so they are not read again); this
// bounds how many.
constexpr std::size_t kMostEntries = 64;

std::size_t BytesOf(const QImage& image) { return static_cast<std::size_t>(image.sizeInBytes()); }

}  // namespace

PictureCache::PictureCache(std::size_t budget_bytes, Arrival on_arrival, std::shared_ptr<ShownPictureStore> store)
    : budget_bytes_(budget_bytes), on_arrival_(std::move(on_arrival)), store_(std::move(store)) {
  // Two decodes at once: a two-picture question is ready in the time of one,
  // and the GUI thread waits on neither.
  pool_.setMaxThreadCount(2);
}

PictureCache::~PictureCache() {
  pool_.clear();  // decodes not yet started are dropped; running ones finish
  pool_.waitForDone();
}

const QImage* PictureCache::Find(const std::string& utf8_path, QSize size) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->size == size && it->path == utf8_path) {
      entries_.splice(entries_.begin(), entries_, it);
      return &entries_.front().image;
    }
  }
  return nullptr;
}

bool PictureCache::Pending(const std::string& utf8_path, QSize size) const {
  return std::find(pending_.begin(), pending_.end(), std::make_pair(utf8_path, size)) != pending_.end();
}

void PictureCache::Request(const std::string& utf8_path, QSize size, bool urgent) {
  if (utf8_path.empty() || size.isEmpty() || Pending(utf8_path, size)) return;
  // A picture wanted again counts as used now, or it could be dropped as
  // the oldest just before it is shown.
  if (Find(utf8_path, size) != nullptr) return;
  pending_.emplace_back(utf8_path, size);
  pool_.start(
      [this, utf8_path, size] {
        QImage image = store_ != nullptr ? store_->Load(utf8_path, size) : QImage();
        const bool decoded = image.isNull();
        if (decoded) image = DecodePicture(utf8_path, size);
        // QImage shares its pixels: the copy kept for the store costs nothing.
        QMetaObject::invokeMethod(
            &receiver_, [this, utf8_path, size, image]() mutable { Store(utf8_path, size, std::move(image)); },
            Qt::QueuedConnection);
        // Kept after it is handed over: the paint does not wait for the disk.
        if (decoded && store_ != nullptr) store_->Save(utf8_path, image);
      },
      urgent ? 1 : 0);
}

void PictureCache::Store(const std::string& utf8_path, QSize size, QImage image) {
  pending_.erase(std::remove(pending_.begin(), pending_.end(), std::make_pair(utf8_path, size)), pending_.end());
  if (image.isNull() && reported_.insert(utf8_path).second) {
    std::fprintf(stderr, "kanae: cannot show picture %s\n", utf8_path.c_str());
  }
  bytes_ += BytesOf(image);
  entries_.push_front({utf8_path, size, std::move(image)});
  // The newest picture always stays, even when it alone is over the budget.
  while (entries_.size() > 1 && (bytes_ > budget_bytes_ || entries_.size() > kMostEntries)) {
    bytes_ -= BytesOf(entries_.back().image);
    entries_.pop_back();
  }
  if (on_arrival_) on_arrival_(entries_.front().path, size);
}

void PictureCache::WaitForDecodes() {
  while (!pending_.empty()) {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(&receiver_, QEvent::MetaCall);
  }
}

}  // namespace kanae
