// GIFs decoded straight to a smaller size give what decoding them whole and
// averaging would: every line, interlaced or not, a frame that covers part of
// the screen, transparency.
#include "platform/qt/gif_downscale.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QImageReader>
#include <vector>

#include "fakes.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/thumbnail_loader.h"

namespace kanae {
namespace {

using testing::TempFolder;

struct GifSpec {
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

std::string WriteGif(const TempFolder& folder, const std::string& name, const GifSpec& spec) {
  const std::string path = (folder / name).string();
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) return {};
  const GifColorType colours[4] = {{255, 0, 0}, {0, 0, 255}, {0, 200, 0}, {250, 250, 250}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, spec.width, spec.height, 2, 0, map);
  if (spec.transparent >= 0) {
    const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(spec.transparent)};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
  }
  EGifPutImageDesc(gif, spec.left, spec.top, spec.frame_w, spec.frame_h, spec.interlaced, nullptr);
  std::vector<GifPixelType> line(static_cast<std::size_t>(spec.frame_w));
  std::vector<int> order;
  if (spec.interlaced) {
    for (const auto& [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}}) {
      for (int y = start; y < spec.frame_h; y += step) order.push_back(y);
    }
  } else {
    for (int y = 0; y < spec.frame_h; ++y) order.push_back(y);
  }
  for (const int y : order) {
    for (int x = 0; x < spec.frame_w; ++x) line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(IndexAt(x, y));
    EGifPutLine(gif, line.data(), spec.frame_w);
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
    GifSpec spec;
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
    const QString path = QString::fromStdString(WriteGif(folder, std::string(c.name) + ".gif", c.spec));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(GifSize(path), QSize(c.spec.width, c.spec.height));
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
