#include "gif_downscale.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <QFile>
#include <cstdint>
#include <vector>

#include "box_average.h"

namespace kanae {

namespace {

// Closes the file however decoding ends.
struct GifFile {
  explicit GifFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    int error = 0;
    gif = DGifOpenFileHandle(fd, &error);  // owns fd from here, also on failure
  }
  ~GifFile() {
    int error = 0;
    if (gif != nullptr) DGifCloseFile(gif, &error);
  }
  GifFile(const GifFile&) = delete;
  GifFile& operator=(const GifFile&) = delete;
  GifFileType* gif = nullptr;
};

}  // namespace

QSize GifSize(const QString& path) {
  GifFile file(path);
  if (file.gif == nullptr || file.gif->SWidth <= 0 || file.gif->SHeight <= 0) return {};
  return QSize(file.gif->SWidth, file.gif->SHeight);
}

QImage DecodeGifDownscaled(const QString& path, QSize target) {
  if (target.isEmpty()) return {};
  GifFile file(path);
  GifFileType* gif = file.gif;
  if (gif == nullptr || gif->SWidth <= 0 || gif->SHeight <= 0) return {};
  const int width = gif->SWidth;
  const int height = gif->SHeight;
  BoxAverage average(QSize(width, height), target);
  if (!average.valid()) return {};

  int transparent = -1;
  bool decoded = false;
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  while (!decoded) {
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return {};
    if (record == TERMINATE_RECORD_TYPE) break;
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return {};
      if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4 && (block[1] & 1) != 0) {
        transparent = block[4];
      }
      while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return {};
      }
      continue;
    }
    if (record != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) == GIF_ERROR) return {};
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colours == nullptr || frame.Width <= 0 || frame.Height <= 0) return {};
    // Every index gets a colour; one past the map is black, as browsers show it.
    std::uint32_t palette[256][4] = {};
    for (int i = 0; i < 256; ++i) {
      if (i == transparent) continue;
      if (i < colours->ColorCount) {
        const GifColorType& c = colours->Colors[i];
        palette[i][0] = c.Blue;
        palette[i][1] = c.Green;
        palette[i][2] = c.Red;
      }
      palette[i][3] = 255;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    const auto add_line = [&](int y) {
      const int row_on_screen = frame.Top + y;
      if (row_on_screen < 0 || row_on_screen >= height) return;
      std::uint32_t* row = average.Row(row_on_screen);
      for (int x = 0; x < frame.Width; ++x) {
        const int column = frame.Left + x;
        if (column < 0 || column >= width) continue;
        const std::uint32_t* colour = palette[line[static_cast<std::size_t>(x)]];
        average.Add(row, column, colour[0], colour[1], colour[2], colour[3]);
      }
    };
    if (frame.Interlace) {
      static constexpr int kStart[] = {0, 4, 2, 1};
      static constexpr int kStep[] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < frame.Height; y += kStep[pass]) {
          if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return {};
          add_line(y);
        }
      }
    } else {
      for (int y = 0; y < frame.Height; ++y) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return {};
        add_line(y);
      }
    }
    decoded = true;  // the first frame is the picture
  }
  if (!decoded) return {};

  // Pixels of the screen that the first frame leaves uncovered stay clear.
  return average.Result();
}

}  // namespace kanae
