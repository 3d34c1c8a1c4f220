// GIFs and BMPs decoded straight to a smaller size give what decoding them
// whole and averaging would: every line, interlaced or not, either way up, a
// frame that covers part of the screen, transparency, palettes.
#include "platform/qt/gif_downscale.h"
#include "platform/qt/bmp_downscale.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QImageReader>
#include <optional>
#include <vector>

#include "fakes.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/thumbnail_loader.h"

namespace kanae {
namespace {

using testing::TempFolder;

struct GifShape {
  int width = 64, height = 32;                      // the screen
  int left = 0, top = 0, frame_w = 64, frame_h = 32;  // the first frame on it
  bool interlaced = false;
  int transparent = -1;
};

// Index of each frame pixel: stripes and a block, so that averaging shows.
int IndexAt(int x, int y) {
  if (x >= 20 && x < 31 && y >= 5 && y < 19) return 3;
  return (x / 7 + y / 5) % 3;
}

std::string WriteGif(const TempFolder& folder, const std::string& name, const GifShape& shape) {
  const std::string path = (folder / name).string();
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) return {};
  const GifColorType colours[4] = {{255, 0, 0}, {0, 0, 255}, {0, 200, 0}, {250, 250, 250}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, shape.width, shape.height, 2, 0, map);
  if (shape.transparent >= 0) {
    const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(shape.transparent)};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
  }
  EGifPutImageDesc(gif, shape.left, shape.top, shape.frame_w, shape.frame_h, shape.interlaced, nullptr);
  std::vector<GifPixelType> line(static_cast<std::size_t>(shape.frame_w));
  std::vector<int> order;
  if (shape.interlaced) {
    for (const auto& [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}}) {
      for (int y = start; y < shape.frame_h; y += step) order.push_back(y);
    }
  } else {
    for (int y = 0; y < shape.frame_h; ++y) order.push_back(y);
  }
  for (const int y : order) {
    for (int x = 0; x < shape.frame_w; ++x) line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(IndexAt(x, y));
    EGifPutLine(gif, line.data(), shape.frame_w);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return path;
}

// The whole picture as Qt decodes it, each target pixel the mean of the
// pixels it covers.
QImage AveragedReference(const QString& path, QSize target) {
  const QImage full = QImageReader(path).read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QImage out(target, QImage::Format_ARGB32_Premultiplied);
  for (int ty = 0; ty < target.height(); ++ty) {
    for (int tx = 0; tx < target.width(); ++tx) {
      long sum[4] = {}, count = 0;
      for (int y = 0; y < full.height(); ++y) {
        if (y * target.height() / full.height() != ty) continue;
        for (int x = 0; x < full.width(); ++x) {
          if (x * target.width() / full.width() != tx) continue;
          const QRgb p = full.pixel(x, y);
          const QRgb premultiplied = qPremultiply(p);
          sum[0] += qRed(premultiplied), sum[1] += qGreen(premultiplied), sum[2] += qBlue(premultiplied);
          sum[3] += qAlpha(p);
          ++count;
        }
      }
      const auto mean = [&](int i) { return static_cast<int>((sum[i] + count / 2) / count); };
      reinterpret_cast<QRgb*>(out.scanLine(ty))[tx] = qRgba(mean(0), mean(1), mean(2), mean(3));
    }
  }
  return out;
}

TEST(GifDownscale, GivesTheAverageOfTheWholePicture) {
  struct Case {
    const char* name;
    GifShape shape;
    QSize target;
  };
  const Case cases[] = {
      {"plain", {}, QSize(8, 4)},
      {"uneven steps", {}, QSize(10, 7)},
      {"interlaced", {64, 32, 0, 0, 64, 32, true, -1}, QSize(16, 8)},
      {"a transparent colour", {64, 32, 0, 0, 64, 32, false, 3}, QSize(8, 4)},
      {"a frame on part of the screen", {64, 40, 10, 6, 40, 30, true, 1}, QSize(16, 10)},
      {"one pixel", {}, QSize(1, 1)},
      {"the stored size", {}, QSize(64, 32)},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = QString::fromStdString(WriteGif(folder, std::string(c.name) + ".gif", c.shape));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(GifSize(path), QSize(c.shape.width, c.shape.height));
    const QImage ours = DecodeGifDownscaled(path, c.target);
    ASSERT_EQ(ours.size(), c.target);
    EXPECT_EQ(ours.format(), QImage::Format_ARGB32_Premultiplied);
    const QImage reference = AveragedReference(path, c.target);
    for (int y = 0; y < c.target.height(); ++y) {
      for (int x = 0; x < c.target.width(); ++x) {
        const QRgb a = reinterpret_cast<const QRgb*>(ours.constScanLine(y))[x];
        const QRgb b = reinterpret_cast<const QRgb*>(reference.constScanLine(y))[x];
        for (const int shift : {0, 8, 16, 24}) {
          const int ours_part = static_cast<int>((a >> shift) & 0xFF);
          const int qt_part = static_cast<int>((b >> shift) & 0xFF);
          EXPECT_LE(std::abs(ours_part - qt_part), 1) << x << "," << y << std::hex << " ours " << a << " Qt " << b;
        }
      }
    }
  }
}

TEST(GifDownscale, TheGamesAndTheTaskSelectionDecodeALargeGifToTheirSize) {
  TempFolder folder;
  const std::string path = WriteGif(folder, "おおきい.gif", {600, 450, 0, 0, 600, 450, false, -1});
  const QImage card = DecodePicture(path, QSize(60, 45));
  EXPECT_EQ(card.size(), QSize(60, 45));
  const QImage thumbnail = ThumbnailLoader::Decode(QString::fromStdString(path), QSize(100, 100));
  EXPECT_EQ(thumbnail.size(), QSize(100, 75));
  const QImage reference = AveragedReference(QString::fromStdString(path), QSize(60, 45));
  EXPECT_EQ(card.pixel(30, 22), reference.pixel(30, 22));
  // Wide and low: smaller in one direction, larger in the other, still the size shown.
  const std::string wide = WriteGif(folder, "ながい.gif", {800, 40, 0, 0, 800, 40, false, -1});
  EXPECT_EQ(DecodePicture(wide, QSize(200, 100)).size(), QSize(200, 100));
}

struct BmpSpec {
  int width = 61, height = 33;  // odd, so rows are padded
  int bits = 24;                // 8 (with a palette), 24 or 32
  bool top_down = false;
  std::uint32_t compression = 0;
};

std::string BmpBytes(const BmpSpec& shape) {
  std::string bytes;
  const auto put16 = [&](int v) { bytes += static_cast<char>(v & 0xFF), bytes += static_cast<char>((v >> 8) & 0xFF); };
  const auto put32 = [&](std::int64_t v) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const int palette = shape.bits == 8 ? 256 * 4 : 0;
  const int row = (shape.width * shape.bits + 31) / 32 * 4;
  bytes += "BM";
  put32(14 + 40 + palette + row * shape.height);
  put32(0);
  put32(14 + 40 + palette);
  put32(40);
  put32(shape.width);
  put32(shape.top_down ? -shape.height : shape.height);
  put16(1);
  put16(shape.bits);
  put32(shape.compression);
  for (int i = 0; i < 5; ++i) put32(0);
  for (int i = 0; i < palette / 4; ++i) {
    bytes += static_cast<char>(i * 7), bytes += static_cast<char>(255 - i), bytes += static_cast<char>(i * 3),
        bytes += '\0';
  }
  for (int i = 0; i < shape.height; ++i) {
    const int y = shape.top_down ? i : shape.height - 1 - i;
    std::string line;
    for (int x = 0; x < shape.width; ++x) {
      const int v = IndexAt(x, y) * 80 + (x * 3 + y) % 40;
      if (shape.bits == 8) {
        line += static_cast<char>(v);
      } else {
        line += static_cast<char>(v), line += static_cast<char>(255 - v), line += static_cast<char>(x * 4);
        if (shape.bits == 32) line += static_cast<char>(0x7F);  // no alpha in a plain BMP
      }
    }
    line.resize(static_cast<std::size_t>(row), '\0');
    bytes += line;
  }
  return bytes;
}

void ExpectAveraged(const QImage& ours, const QImage& reference) {
  ASSERT_EQ(ours.size(), reference.size());
  for (int y = 0; y < ours.height(); ++y) {
    for (int x = 0; x < ours.width(); ++x) {
      const QRgb a = reinterpret_cast<const QRgb*>(ours.constScanLine(y))[x];
      const QRgb b = reinterpret_cast<const QRgb*>(reference.constScanLine(y))[x];
      for (const int shift : {0, 8, 16, 24}) {
        EXPECT_LE(std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)), 1)
            << x << "," << y << std::hex << " ours " << a << " Qt " << b;
      }
    }
  }
}

TEST(BmpDownscale, GivesTheAverageOfTheWholePictureAndLeavesTheRareKindsToQt) {
  struct Case {
    const char* name;
    BmpSpec shape;
    QSize target;
  };
  const Case cases[] = {
      {"24 bits", {}, QSize(8, 4)},
      {"24 bits, top down", {61, 33, 24, true, 0}, QSize(10, 7)},
      {"8 bits with a palette", {61, 33, 8, false, 0}, QSize(9, 5)},
      {"32 bits", {61, 33, 32, false, 0}, QSize(6, 6)},
      {"one pixel", {}, QSize(1, 1)},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write(std::string(c.name) + ".bmp", BmpBytes(c.shape));
    const QString path = QString::fromStdString((folder / (std::string(c.name) + ".bmp")).string());
    const std::optional<QImage> ours = DecodeBmpDownscaled(path, c.target);
    ASSERT_TRUE(ours.has_value());
    EXPECT_EQ(ours->format(), QImage::Format_ARGB32_Premultiplied);
    ExpectAveraged(*ours, AveragedReference(path, c.target));
  }
  // Compressed, or with bit fields: Qt reads those.
  for (const std::uint32_t compression : {1u, 3u}) {
    folder.Write("other.bmp", BmpBytes({61, 33, compression == 1 ? 8 : 32, false, compression}));
    EXPECT_FALSE(DecodeBmpDownscaled(QString::fromStdString((folder / "other.bmp").string()), QSize(8, 4)));
  }
  // Cut short: no picture.
  const std::string whole = BmpBytes({});
  folder.Write("cut.bmp", whole.substr(0, whole.size() / 2));
  const auto cut = DecodeBmpDownscaled(QString::fromStdString((folder / "cut.bmp").string()), QSize(8, 4));
  ASSERT_TRUE(cut.has_value());
  EXPECT_TRUE(cut->isNull());
  // The game's pictures and the thumbnails go the same way.
  folder.Write("おおきい.bmp", BmpBytes({640, 480, 24, false, 0}));
  const std::string large = (folder / "おおきい.bmp").string();
  EXPECT_EQ(DecodePicture(large, QSize(64, 48)).pixel(20, 20),
            AveragedReference(QString::fromStdString(large), QSize(64, 48)).pixel(20, 20));
  EXPECT_EQ(ThumbnailLoader::Decode(QString::fromStdString(large), QSize(100, 100)).size(), QSize(100, 75));
}

TEST(GifDownscale, ABrokenGifGivesNoPicture) {
  TempFolder folder;
  const std::string whole = [&] {
    WriteGif(folder, "whole.gif", {});
    return folder.Read("whole.gif");
  }();
  folder.Write("cut.gif", whole.substr(0, whole.size() / 2));
  folder.Write("not.gif", "GIF89a but nothing more");
  for (const char* name : {"cut.gif", "not.gif", "missing.gif"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(DecodeGifDownscaled(QString::fromStdString((folder / name).string()), QSize(8, 4)).isNull());
  }
}

}  // namespace
}  // namespace kanae
