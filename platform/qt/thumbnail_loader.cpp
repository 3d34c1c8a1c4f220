#include "thumbnail_loader.h"

#include <QImageReader>
#include <QMetaObject>
#include <QThread>
#include <algorithm>

#include "bmp_downscale.h"
#include "gif_downscale.h"

namespace kanae {

namespace {

// Enough for any photo a teacher takes; a file claiming more is refused.
constexpr int kAllocationLimitMegabytes = 256;

}  // namespace

ThumbnailLoader::ThumbnailLoader(QSize largest, std::function<void(const QString&, const QImage&)> ready,
                                 QObject* parent)
    : QObject(parent), largest_(largest), ready_(std::move(ready)) {
  pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailLoader::~ThumbnailLoader() {
  pool_.clear();
  pool_.waitForDone();
}

bool ThumbnailLoader::Request(const QString& path, QImage& thumbnail) {
  const auto found = decoded_.constFind(path);
  if (found != decoded_.constEnd()) {
    thumbnail = found.value();
    decoded_order_.remove(path);
    decoded_order_.push_back(path);
    return true;
  }
  if (pending_.contains(path)) return false;
  pending_.insert(path);
  {
    const std::lock_guard lock(queue_mutex_);
    queue_.push_back(path);
  }
  pool_.start([this] { DecodeNext(); });
  return false;
}

void ThumbnailLoader::KeepOnly(const QSet<QString>& wanted) {
  const std::lock_guard lock(queue_mutex_);
  std::erase_if(queue_, [&](const QString& path) {
    if (wanted.contains(path)) return false;
    pending_.remove(path);
    return true;
  });
}

void ThumbnailLoader::DecodeNext() {
  QString path;
  {
    const std::lock_guard lock(queue_mutex_);
    if (queue_.empty()) return;  // dropped by KeepOnly
    path = queue_.front();
    queue_.pop_front();
  }
  QImage image = Decode(path, largest_);
  QMetaObject::invokeMethod(this, [this, path, image] { Deliver(path, image); }, Qt::QueuedConnection);
}

void ThumbnailLoader::WaitForAll() { pool_.waitForDone(); }

void ThumbnailLoader::Deliver(const QString& path, const QImage& image) {
  pending_.remove(path);
  decoded_.insert(path, image);
  decoded_order_.remove(path);
  decoded_order_.push_back(path);
  while (static_cast<int>(decoded_order_.size()) > kMostKept) {
    decoded_.remove(decoded_order_.front());
    decoded_order_.pop_front();
  }
  if (ready_) ready_(path, image);
}

QImage ThumbnailLoader::Decode(const QString& path, QSize largest) {
  QImageReader reader(path);
  reader.setAllocationLimit(kAllocationLimitMegabytes);
  reader.setAutoTransform(true);  // photos from phones carry their rotation
  const QSize size = reader.size();
  const bool larger = size.isValid() && (size.width() > largest.width() || size.height() > largest.height());
  // Qt reads a GIF or a BMP whole before scaling it; ours add each line into
  // the thumbnail.
  if (larger) {
    const QSize fitted = size.scaled(largest, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (reader.format() == "gif") return DecodeGifDownscaled(path, fitted);
    if (reader.format() == "bmp") {
      if (std::optional<QImage> image = DecodeBmpDownscaled(path, fitted)) return *image;
    }
  }
  if (larger) {
    // JPEG then scales in the decoder, which is what makes 101 photographs quick.
    reader.setScaledSize(size.scaled(largest, Qt::KeepAspectRatio));
  }
  QImage image = reader.read();
  if (image.isNull()) return {};
  if (image.width() > largest.width() || image.height() > largest.height()) {
    image = image.scaled(largest, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace kanae
