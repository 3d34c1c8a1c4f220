// Pictures that cannot be shown give no picture, never a crash or a huge allocation.
#include "platform/qt/picture_cache.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>

#include "fakes.h"
#include "lesson.h"

namespace kanae {
namespace {

using testing::TempFolder;

// A BMP header that claims 60000 x 60000 pixels of 32 bits (about 14 GB).
std::string EnormousBmp() {
  std::string h(54, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  h[0] = 'B', h[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, 60000);
  put32(22, 60000);
  h[26] = 1;
  h[28] = 32;
  return h;
}

TEST(PictureCache, BrokenFilesGiveNoPicture) {
  TempFolder folder;
  QImage good(64, 48, QImage::Format_RGB32);
  good.fill(Qt::red);
  ASSERT_TRUE(good.save(QString::fromStdString(PathToUtf8(folder / "good.jpg")), "JPG"));
  const std::string jpeg = folder.Read("good.jpg");
  folder.Write("truncated.jpg", jpeg.substr(0, jpeg.size() / 3));
  folder.Write("text.jpg", "not a picture at all");
  folder.Write("empty.gif", "");
  folder.Write("huge.bmp", EnormousBmp());

  PictureCache cache(QSize(1280, 720));
  for (const char* name : {"text.jpg", "empty.gif", "huge.bmp", "missing.jpg"}) {
    EXPECT_TRUE(cache.Get(PathToUtf8(folder / name)).isNull()) << name;
  }
  // A truncated JPEG still decodes what it has, or nothing; it never throws.
  cache.Get(PathToUtf8(folder / "truncated.jpg"));
  EXPECT_EQ(cache.Get(PathToUtf8(folder / "good.jpg")).size(), QSize(64, 48));
}

TEST(PictureCache, NamesEachFileItCannotShowOnceOnStandardError) {
  TempFolder folder;
  folder.Write("broken.jpg", "not a picture at all");
  const std::string path = PathToUtf8(folder / "broken.jpg");
  PictureCache cache(QSize(1280, 720), 1);
  ::testing::internal::CaptureStderr();
  cache.Get(path);
  cache.Get(PathToUtf8(folder / "missing.jpg"));  // pushes the broken one out of the cache
  cache.Get(path);                                  // decoded again, but not named again
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
  EXPECT_TRUE(errors.starts_with("kanae: cannot show picture " + path)) << errors;
}

TEST(PictureCache, LargePicturesAreDecodedAtScreenSize) {
  TempFolder folder;
  QImage big(4000, 3000, QImage::Format_RGB32);
  big.fill(Qt::blue);
  ASSERT_TRUE(big.save(QString::fromStdString(PathToUtf8(folder / "big.jpg")), "JPG"));
  PictureCache cache(QSize(1280, 720));
  EXPECT_EQ(cache.Get(PathToUtf8(folder / "big.jpg")).size(), QSize(960, 720));
  EXPECT_TRUE(cache.Has(PathToUtf8(folder / "big.jpg")));
}

}  // namespace
}  // namespace kanae
