#include "picture_decoder.h"

#include <QImageReader>
#include <optional>

#include "bmp_downscale.h"
#include "gif_downscale.h"

namespace kanae {

namespace {

// Enough for any photo a teacher takes; a file claiming more is refused.
constexpr int kAllocationLimitMegabytes = 256;

bool ClaimsTooMuch(QSize size) {
  constexpr qint64 kLimitBytes = static_cast<qint64>(kAllocationLimitMegabytes) * 1024 * 1024;
  return static_cast<qint64>(size.width()) * size.height() * 4 > kLimitBytes;
}

}  // namespace

QImage DecodePicture(const std::string& utf8_path, QSize shown) {
  if (shown.isEmpty()) return {};
  QImageReader reader(QString::fromStdString(utf8_path));
  reader.setAllocationLimit(kAllocationLimitMegabytes);
  reader.setAutoTransform(true);  // photos from phones carry their rotation
  const QSize stored = reader.size();
  // Scaling in the decoder does not make a file that claims gigabytes safe
  // to read: refuse it as the full decode would.
  if (stored.isValid() && ClaimsTooMuch(stored)) return {};
  // Qt reads a GIF or a BMP whole before scaling it; ours add each line into
  // the size shown.
  const auto area = [](QSize size) { return static_cast<qint64>(size.width()) * size.height(); };
  if (stored.isValid() && area(stored) > area(shown)) {
    const QString path = QString::fromStdString(utf8_path);
    std::optional<QImage> image;
    if (reader.format() == "gif") image = DecodeGifDownscaled(path, shown);
    if (reader.format() == "bmp") image = DecodeBmpDownscaled(path, shown);
    if (image) {
      // Stretched the rest of the way where it is smaller than shown in one direction.
      if (!image->isNull() && image->size() != shown) {
        *image = image->scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      }
      return *image;
    }
  }
  // The size applies to the picture as stored; a quarter turn comes after.
  QSize target = shown;
  if (reader.transformation() & QImageIOHandler::TransformationRotate90) target.transpose();
  // JPEG then decodes at a fraction of its size, which is most of the saving.
  reader.setScaledSize(target);
  QImage image = reader.read();
  if (image.isNull()) return {};
  if (image.size() != shown) image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace kanae
