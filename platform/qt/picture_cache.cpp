#include "picture_cache.h"

#include <QImageReader>
#include <cstdio>

namespace kanae {

namespace {

// Enough for any photo a teacher takes; a file claiming more is refused.
constexpr int kAllocationLimitMegabytes = 256;

}  // namespace

bool PictureCache::Has(const std::string& utf8_path) const {
  for (const auto& entry : entries_) {
    if (entry.first == utf8_path) return true;
  }
  return false;
}

const QImage& PictureCache::Get(const std::string& utf8_path) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first == utf8_path) {
      entries_.splice(entries_.begin(), entries_, it);
      return entries_.front().second;
    }
  }
  entries_.emplace_front(utf8_path, Decode(utf8_path));
  if (entries_.size() > capacity_) entries_.pop_back();
  return entries_.front().second;
}

QImage PictureCache::Decode(const std::string& utf8_path) {
  QImageReader reader(QString::fromStdString(utf8_path));
  reader.setAllocationLimit(kAllocationLimitMegabytes);
  reader.setAutoTransform(true);  // photos from phones carry their rotation
  const QSize size = reader.size();
  if (size.isValid() && largest_.isValid() &&
      (size.width() > largest_.width() || size.height() > largest_.height())) {
    // Decode straight to screen size: JPEG then scales in the decoder.
    reader.setScaledSize(size.scaled(largest_, Qt::KeepAspectRatio));
  }
  QImage image = reader.read();
  if (image.isNull()) {
    if (reported_.insert(utf8_path).second) {
      std::fprintf(stderr, "kanae: cannot show picture %s (%s)\n", utf8_path.c_str(),
                   reader.errorString().toStdString().c_str());
    }
    return {};
  }
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace kanae
