#include "bmp_downscale.h"

#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "box_average.h"

namespace kanae {

namespace {

std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool ReadExactly(QFile& file, void* into, qint64 size) { return file.read(static_cast<char*>(into), size) == size; }

}  // namespace

std::optional<QImage> DecodeBmpDownscaled(const QString& path, QSize target) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QImage();
  unsigned char header[14 + 40];
  if (!ReadExactly(file, header, sizeof header) || header[0] != 'B' || header[1] != 'M') return QImage();
  const std::uint32_t pixels_at = Le32(header + 10);
  const unsigned char* info = header + 14;
  const std::uint32_t info_size = Le32(info);
  if (info_size < 40) return std::nullopt;  // the old OS/2 header
  const auto width = static_cast<std::int32_t>(Le32(info + 4));
  const auto signed_height = static_cast<std::int32_t>(Le32(info + 8));
  const std::uint16_t bits = Le16(info + 14);
  const std::uint32_t compression = Le32(info + 16);
  const std::uint32_t colours_used = Le32(info + 32);
  if (compression != 0 || (bits != 8 && bits != 24 && bits != 32)) return std::nullopt;
  if (width <= 0 || signed_height == 0 || signed_height == INT32_MIN) return QImage();
  const int height = std::abs(signed_height);
  const bool top_down = signed_height < 0;

  std::uint32_t palette[256][3] = {};
  if (bits == 8) {
    const std::uint32_t count = colours_used == 0 || colours_used > 256 ? 256 : colours_used;
    std::vector<unsigned char> entries(count * 4);
    if (!file.seek(14 + static_cast<qint64>(info_size)) ||
        !ReadExactly(file, entries.data(), static_cast<qint64>(entries.size()))) {
      return QImage();
    }
    for (std::uint32_t i = 0; i < count; ++i) {
      for (int c = 0; c < 3; ++c) palette[i][c] = entries[i * 4 + static_cast<std::uint32_t>(c)];
    }
  }

  BoxAverage average(QSize(width, height), target);
  if (!average.valid()) return QImage();
  const qint64 row_bytes = (static_cast<qint64>(width) * bits + 31) / 32 * 4;
  std::vector<unsigned char> row(static_cast<std::size_t>(row_bytes));
  if (!file.seek(pixels_at)) return QImage();
  const int step = bits / 8;
  for (int i = 0; i < height; ++i) {
    if (!ReadExactly(file, row.data(), row_bytes)) return QImage();
    std::uint32_t* sums = average.Row(top_down ? i : height - 1 - i);
    const unsigned char* p = row.data();
    for (int x = 0; x < width; ++x, p += step) {
      if (bits == 8) {
        const std::uint32_t* c = palette[*p];
        average.Add(sums, x, c[0], c[1], c[2], 255);
      } else {
        // The fourth byte of a 32-bit pixel is no alpha in a plain BMP.
        average.Add(sums, x, p[0], p[1], p[2], 255);
      }
    }
  }
  return average.Result();
}

}  // namespace kanae
