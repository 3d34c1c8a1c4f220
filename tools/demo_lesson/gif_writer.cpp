#include "gif_writer.h"

#include <gif_lib.h>

#include <QFile>
#include <vector>

namespace kanae {

bool WriteGif(const QImage& image, const QString& file) {
  // Qt picks the palette and dithers; giflib only has to encode.
  const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
  const QList<QRgb> table = indexed.colorTable();
  if (indexed.isNull() || table.isEmpty()) return false;

  // GIF palettes hold a power of two colours.
  int bits = 1;
  while ((1 << bits) < table.size()) ++bits;
  std::vector<GifColorType> colours(std::size_t{1} << bits, GifColorType{0, 0, 0});
  for (qsizetype i = 0; i < table.size(); ++i) {
    colours[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(qRed(table[i])),
                                            static_cast<GifByteType>(qGreen(table[i])),
                                            static_cast<GifByteType>(qBlue(table[i]))};
  }
  ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
  if (map == nullptr) return false;

  int error = 0;
  GifFileType* gif = EGifOpenFileName(QFile::encodeName(file).constData(), false, &error);
  if (gif == nullptr) {
    GifFreeMapObject(map);
    return false;
  }
  bool ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), bits, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < indexed.height(); ++y) {
    // giflib takes a non-const line but does not write to it.
    ok = EGifPutLine(gif, const_cast<GifPixelType*>(indexed.constScanLine(y)), indexed.width()) == GIF_OK;
  }
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  GifFreeMapObject(map);
  return ok;
}

}  // namespace kanae
