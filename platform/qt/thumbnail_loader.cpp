#include "thumbnail_loader.h"

#include <QImageReader>
#include <QMetaObject>
#include <QThread>
#include <algorithm>

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
    return true;
  }
  if (pending_.contains(path)) return false;
  pending_.insert(path);
  const QSize largest = largest_;
  pool_.start([this, path, largest] {
    QImage image = Decode(path, largest);
    QMetaObject::invokeMethod(this, [this, path, image] { Deliver(path, image); }, Qt::QueuedConnection);
  });
  return false;
}

void ThumbnailLoader::WaitForAll() { pool_.waitForDone(); }

void ThumbnailLoader::Deliver(const QString& path, const QImage& image) {
  pending_.remove(path);
  decoded_.insert(path, image);
  if (ready_) ready_(path, image);
}

QImage ThumbnailLoader::Decode(const QString& path, QSize largest) {
  QImageReader reader(path);
  reader.setAllocationLimit(kAllocationLimitMegabytes);
  reader.setAutoTransform(true);  // photos from phones carry their rotation
  const QSize size = reader.size();
  const bool larger = size.isValid() && (size.width() > largest.width() || size.height() > largest.height());
  // Qt reads a GIF whole before scaling it; ours adds each line into the thumbnail.
  if (larger && reader.format() == "gif") {
    return DecodeGifDownscaled(path, size.scaled(largest, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
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
