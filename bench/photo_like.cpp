#include "photo_like.h"

#include <QColor>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>
#include <cstdint>

namespace kanae::bench {

namespace {

// A small fast generator; the pictures need variety, not statistical quality.
struct Noise {
  std::uint32_t state;
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

}  // namespace

QImage PhotoLikeImage(int width, int height, unsigned seed) {
  QImage image(width, height, QImage::Format_RGB32);
  Noise noise{seed * 2654435761u + 1};
  // Sky-to-ground gradient.
  QPainter painter(&image);
  QLinearGradient ground(0, 0, width * 0.3, height);
  ground.setColorAt(0, QColor::fromHsv(static_cast<int>(seed * 37 % 360), 120, 230));
  ground.setColorAt(0.55, QColor::fromHsv(static_cast<int>((seed * 37 + 60) % 360), 160, 180));
  ground.setColorAt(1, QColor::fromHsv(static_cast<int>((seed * 37 + 150) % 360), 200, 90));
  painter.fillRect(image.rect(), ground);
  // Soft round shapes, like objects out of focus.
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 12; ++i) {
    const double x = noise.Next() % width;
    const double y = noise.Next() % height;
    const double r = height / 12.0 + noise.Next() % (height / 4);
    QRadialGradient blob(x, y, r);
    blob.setColorAt(0, QColor::fromHsv(static_cast<int>(noise.Next() % 360), 200, 240, 220));
    blob.setColorAt(1, QColor(0, 0, 0, 0));
    painter.setBrush(blob);
    painter.drawEllipse(QPointF(x, y), r, r);
  }
  painter.end();
  // Sensor-like grain: what makes a photo's JPEG large.
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::uint32_t n = noise.Next();
      const int grain = static_cast<int>(n & 31) - 16;
      const QRgb p = line[x];
      line[x] = qRgb(Clamp(qRed(p) + grain), Clamp(qGreen(p) + grain + static_cast<int>((n >> 8) & 7) - 4),
                     Clamp(qBlue(p) + grain + static_cast<int>((n >> 12) & 7) - 4));
    }
  }
  return image;
}

bool WritePhotoLikeJpeg(const QString& file, unsigned seed, int width, int height) {
  QImageWriter writer(file, "jpg");
  writer.setQuality(85);
  return writer.write(PhotoLikeImage(width, height, seed));
}

}  // namespace kanae::bench
