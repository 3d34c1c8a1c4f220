// Pictures are decoded off the GUI thread at the size they are shown; those
// that cannot be shown give no picture, never a crash or a huge allocation.
#include "platform/qt/picture_cache.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "fakes.h"
#include "lesson.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/shown_picture_store.h"

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

std::string WriteJpeg(const TempFolder& folder, const std::string& name, QSize size, Qt::GlobalColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  const std::string path = PathToUtf8(folder / name);
  EXPECT_TRUE(image.save(QString::fromStdString(path), "JPG"));
  return path;
}

TEST(PictureDecoder, BrokenFilesGiveNoPicture) {
  TempFolder folder;
  WriteJpeg(folder, "good.jpg", {64, 48}, Qt::red);
  const std::string jpeg = folder.Read("good.jpg");
  folder.Write("truncated.jpg", jpeg.substr(0, jpeg.size() / 3));
  folder.Write("text.jpg", "not a picture at all");
  folder.Write("empty.gif", "");
  folder.Write("huge.bmp", EnormousBmp());

  for (const char* name : {"text.jpg", "empty.gif", "huge.bmp", "missing.jpg"}) {
    EXPECT_TRUE(DecodePicture(PathToUtf8(folder / name), QSize(320, 240)).isNull()) << name;
  }
  // A truncated JPEG still decodes what it has, or nothing; it never throws.
  DecodePicture(PathToUtf8(folder / "truncated.jpg"), QSize(320, 240));
  EXPECT_TRUE(DecodePicture(PathToUtf8(folder / "good.jpg"), QSize()).isNull());
}

TEST(PictureCache, NamesEachFileItCannotShowOnceOnStandardError) {
  TempFolder folder;
  folder.Write("broken.jpg", "not a picture at all");
  const std::string broken = PathToUtf8(folder / "broken.jpg");
  const std::string missing = PathToUtf8(folder / "missing.jpg");
  PictureCache cache(1u << 20, nullptr);
  ::testing::internal::CaptureStderr();
  cache.Request(broken, QSize(64, 48), true);
  cache.Request(missing, QSize(64, 48), true);
  cache.WaitForDecodes();
  cache.Request(broken, QSize(32, 24), false);  // decoded again at another size, but not named again
  cache.WaitForDecodes();
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
  EXPECT_NE(errors.find("kanae: cannot show picture " + broken + "\n"), std::string::npos) << errors;
  EXPECT_NE(errors.find("kanae: cannot show picture " + missing + "\n"), std::string::npos) << errors;
}

TEST(PictureDecoder, PicturesAreDecodedAtTheSizeTheyAreShown) {
  TempFolder folder;
  const std::string big = WriteJpeg(folder, "big.jpg", {4000, 3000}, Qt::blue);
  const std::string small = WriteJpeg(folder, "small.jpg", {64, 48}, Qt::red);
  struct Case {
    std::string path;
    QSize shown;
  };
  for (const Case& c : {Case{big, {400, 300}}, Case{big, {640, 360}}, Case{small, {128, 96}}, Case{small, {64, 48}}}) {
    const QImage image = DecodePicture(c.path, c.shown);
    EXPECT_EQ(image.size(), c.shown) << c.path;
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
  }
}

struct Arrivals {
  std::vector<std::pair<std::string, QSize>> seen;
  PictureCache::Arrival Recorder() {
    return [this](const std::string& path, QSize size) { seen.emplace_back(path, size); };
  }
};

TEST(PictureCache, GivesNothingUntilTheDecodeArrivesThenThePicture) {
  TempFolder folder;
  const std::string path = WriteJpeg(folder, "good.jpg", {64, 48}, Qt::red);
  Arrivals arrivals;
  PictureCache cache(8u << 20, arrivals.Recorder());
  cache.Request(path, {32, 24}, true);
  cache.Request(path, {32, 24}, false);  // already under way: not decoded twice
  EXPECT_TRUE(cache.Pending(path, {32, 24}));
  EXPECT_EQ(cache.Find(path, {32, 24}), nullptr);
  cache.WaitForDecodes();
  ASSERT_EQ(arrivals.seen.size(), 1u);
  EXPECT_EQ(arrivals.seen[0], std::make_pair(path, QSize(32, 24)));
  ASSERT_NE(cache.Find(path, {32, 24}), nullptr);
  EXPECT_EQ(cache.Find(path, {32, 24})->size(), QSize(32, 24));
  // The same file at another size is another picture.
  EXPECT_EQ(cache.Find(path, {64, 48}), nullptr);
  cache.Request(path, {32, 24}, false);  // ready already: nothing to do
  EXPECT_FALSE(cache.Pending(path, {32, 24}));
}

TEST(PictureCache, BrokenFilesArriveAsNoPictureAndAreNotReadAgain) {
  TempFolder folder;
  folder.Write("text.jpg", "not a picture at all");
  folder.Write("huge.bmp", EnormousBmp());
  Arrivals arrivals;
  PictureCache cache(8u << 20, arrivals.Recorder());
  for (const char* name : {"text.jpg", "huge.bmp", "missing.jpg"}) cache.Request(PathToUtf8(folder / name), {320, 240}, true);
  cache.WaitForDecodes();
  EXPECT_EQ(arrivals.seen.size(), 3u);
  for (const char* name : {"text.jpg", "huge.bmp", "missing.jpg"}) {
    const QImage* image = cache.Find(PathToUtf8(folder / name), {320, 240});
    ASSERT_NE(image, nullptr) << name;
    EXPECT_TRUE(image->isNull()) << name;
    cache.Request(PathToUtf8(folder / name), {320, 240}, true);
    EXPECT_FALSE(cache.Pending(PathToUtf8(folder / name), {320, 240})) << name;
  }
  EXPECT_EQ(cache.Bytes(), 0u);
}

// Room for two of three pictures, a and b decoded in that order.
class PictureCacheBudget : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) paths.push_back(WriteJpeg(folder, name, {64, 48}, Qt::red));
    for (int i = 0; i < 2; ++i) {
      cache.Request(paths[i], shown, false);
      cache.WaitForDecodes();
    }
  }
  TempFolder folder;
  const QSize shown{100, 100};  // 40,000 bytes each
  std::vector<std::string> paths;
  PictureCache cache{90'000, nullptr};
};

TEST_F(PictureCacheBudget, KeepsWithinItsBudgetDroppingTheLeastRecentlyUsed) {
  ASSERT_NE(cache.Find(paths[0], shown), nullptr);  // a is now the most recent
  cache.Request(paths[2], shown, false);
  cache.WaitForDecodes();
  EXPECT_NE(cache.Find(paths[0], shown), nullptr);
  EXPECT_EQ(cache.Find(paths[1], shown), nullptr);
  EXPECT_NE(cache.Find(paths[2], shown), nullptr);
  EXPECT_LE(cache.Bytes(), 90'000u);
}

TEST_F(PictureCacheBudget, APictureAskedForAgainIsKeptOverOnesNotWanted) {
  // a, decoded long ago and never shown, is wanted for a coming question.
  cache.Request(paths[0], shown, false);
  cache.Request(paths[2], shown, false);
  cache.WaitForDecodes();
  EXPECT_NE(cache.Find(paths[0], shown), nullptr);
  EXPECT_EQ(cache.Find(paths[1], shown), nullptr);
}

// Shown pictures kept on disk between runs.
class ShownPictureStoreTest : public ::testing::Test {
 protected:
  std::string Picture(const char* name, Qt::GlobalColor colour) { return WriteJpeg(lesson, name, {64, 48}, colour); }
  QImage Shown(const std::string& path) { return DecodePicture(path, kShown); }

  static constexpr QSize kShown{40, 30};
  TempFolder lesson;
  TempFolder cache;
  ShownPictureStore store{cache.path()};
};

TEST_F(ShownPictureStoreTest, GivesBackWhatItKeptAndNothingForAnotherSizeOrAChangedFile) {
  const std::string red = Picture("red.jpg", Qt::red);
  EXPECT_TRUE(store.Load(red, kShown).isNull());
  const QImage image = Shown(red);
  store.Save(red, image);
  EXPECT_EQ(store.Load(red, kShown), image);
  for (const auto& entry : std::filesystem::directory_iterator(cache.path())) {
    const auto others = std::filesystem::perms::group_all | std::filesystem::perms::others_all;
    EXPECT_EQ(entry.status().permissions() & others, std::filesystem::perms::none) << entry.path();
  }
  EXPECT_TRUE(store.Load(red, {41, 30}).isNull());
  EXPECT_TRUE(store.Load(PathToUtf8(lesson / "missing.jpg"), kShown).isNull());

  // The teacher puts another picture under the same name: decoded afresh,
  // even with the old modification time put back.
  const auto modified = std::filesystem::last_write_time(lesson / "red.jpg");
  Picture("red.jpg", Qt::blue);
  std::filesystem::last_write_time(lesson / "red.jpg", modified);
  EXPECT_TRUE(store.Load(red, kShown).isNull());
}

TEST_F(ShownPictureStoreTest, ADamagedOrForeignEntryIsNotTakenForAPicture) {
  const std::string red = Picture("red.jpg", Qt::red);
  store.Save(red, Shown(red));
  std::vector<std::filesystem::path> entries;
  for (const auto& entry : std::filesystem::directory_iterator(cache.path())) entries.push_back(entry.path());
  ASSERT_EQ(entries.size(), 1u);
  const std::string whole = cache.Read(PathToUtf8(entries[0].filename()));
  for (const std::string& damaged : {whole.substr(0, whole.size() - 1), whole + "x", "KANAEPX2" + whole.substr(8),
                                     std::string(whole.size(), '\0')}) {
    cache.Write(PathToUtf8(entries[0].filename()), damaged);
    EXPECT_TRUE(store.Load(red, kShown).isNull());
  }
}

TEST_F(ShownPictureStoreTest, AFolderThatCannotBeMadeMeansDecodingAsBefore) {
  const std::string red = Picture("red.jpg", Qt::red);
  lesson.Write("file", "in the way");
  ShownPictureStore blocked(lesson / "file" / "shown");
  blocked.Save(red, Shown(red));  // no throw, no crash
  EXPECT_TRUE(blocked.Load(red, kShown).isNull());
}

TEST_F(ShownPictureStoreTest, PastItsBudgetTheLeastRecentlyUsedGo) {
  // Each entry is 40 x 30 x 4 bytes and a header: three fit, four do not.
  ShownPictureStore small(cache.path(), 3 * (40 * 30 * 4 + 16));
  std::vector<std::string> paths;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) paths.push_back(Picture(name, Qt::red));
  for (int i = 0; i < 3; ++i) small.Save(paths[i], Shown(paths[i]));
  // Made older by hand, then a used now: b is the least recently used.
  for (const auto& entry : std::filesystem::directory_iterator(cache.path())) {
    std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now() - std::chrono::minutes(10));
  }
  EXPECT_FALSE(small.Load(paths[0], kShown).isNull());
  // The prune runs now and then; saves enough to reach it.
  for (int i = 0; i < 16; ++i) small.Save(paths[3], Shown(paths[3]));
  EXPECT_FALSE(small.Load(paths[0], kShown).isNull());
  EXPECT_TRUE(small.Load(paths[1], kShown).isNull());
  EXPECT_FALSE(small.Load(paths[3], kShown).isNull());
}

// The next run's picture comes from the store: reading an entry marks it
// used, so its time shows the store was asked and answered.
TEST_F(ShownPictureStoreTest, APictureCacheWithAStoreReadsWhatAnEarlierRunDecoded) {
  const std::string red = Picture("red.jpg", Qt::red);
  auto shared = std::make_shared<ShownPictureStore>(cache.path());
  {
    PictureCache first_run(8u << 20, nullptr, shared);
    first_run.Request(red, kShown, true);
    first_run.WaitForDecodes();
  }  // every save has finished
  std::vector<std::filesystem::path> entries;
  for (const auto& entry : std::filesystem::directory_iterator(cache.path())) entries.push_back(entry.path());
  ASSERT_EQ(entries.size(), 1u);
  const auto long_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(entries[0], long_ago);
  PictureCache second_run(8u << 20, nullptr, shared);
  second_run.Request(red, kShown, true);
  second_run.WaitForDecodes();
  const QImage* image = second_run.Find(red, kShown);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(*image, Shown(red));
  EXPECT_GT(std::filesystem::last_write_time(entries[0]), long_ago + std::chrono::minutes(30));
}

}  // namespace
}  // namespace kanae
