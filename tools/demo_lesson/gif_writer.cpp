#include "gif_writer.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <QFile>
#include <vector>

namespace kanae {

bool WriteGif(const QImage& image, const QString& file) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const int width = rgb.width();
  const int height = rgb.height();
  if (rgb.isNull()) return false;

  // giflib's median-cut quantizer suits flat drawings: no dither noise on plain
  // grounds, which Qt's own 8-bit conversion leaves.
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<GifByteType> red(count), green(count), blue(count), indices(count);
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      red[i] = static_cast<GifByteType>(qRed(line[x]));
      green[i] = static_cast<GifByteType>(qGreen(line[x]));
      blue[i] = static_cast<GifByteType>(qBlue(line[x]));
    }
  }
  int colour_count = 256;
  std::vector<GifColorType> palette(256);
  if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &colour_count, red.data(),
                        green.data(), blue.data(), indices.data(), palette.data()) != GIF_OK) {
    return false;
  }
  ColorMapObject* map = GifMakeMapObject(256, palette.data());
  if (map == nullptr) return false;

  // Opened here rather than by giflib, which would make the file private to its owner.
  const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  int error = 0;
  GifFileType* gif = fd < 0 ? nullptr : EGifOpenFileHandle(fd, &error);
  if (gif == nullptr) {
    if (fd >= 0) ::close(fd);
    GifFreeMapObject(map);
    return false;
  }
  bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < height; ++y) {
    ok = EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width) ==
         GIF_OK;
  }
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;  // closes fd too
  GifFreeMapObject(map);
  return ok;
}

}  // namespace kanae
