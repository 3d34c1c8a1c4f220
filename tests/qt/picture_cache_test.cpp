// Pictures are decoded off the GUI thread at the size they are shown; those
// that cannot be shown give no picture, never a crash or a huge allocation.
#include "platform/qt/picture_cache.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// The store's folder is the user's alone, or the store is not used: someone
// who can write it could swap the teacher's pictures or make the prune delete
// files elsewhere.
TEST_F(ShownPictureStoreTest, AFolderThatIsALinkOrWritableByOthersIsNotUsedAndNothingIsWrittenOrDeletedThere) {
  const std::string red = Picture("red.jpg", Qt::red);
  const QImage image = Shown(red);
  TempFolder documents;
  documents.Write("letter.txt", "the teacher's letter");
  std::filesystem::last_write_time(documents / "letter.txt",
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(5));
  std::filesystem::create_directory_symlink(documents.path(), cache / "linked");
  std::filesystem::create_directory(cache / "open");
  std::filesystem::permissions(cache / "open", std::filesystem::perms::all);
  for (const char* folder : {"linked", "open"}) {
    SCOPED_TRACE(folder);
    ShownPictureStore unused(cache / folder, 1);  // a budget the prune always passes
    for (int i = 0; i < 17; ++i) unused.Save(red, image);
    EXPECT_TRUE(unused.Load(red, kShown).isNull());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cache / folder), {}), folder == std::string("linked") ? 1 : 0);
  }
  EXPECT_EQ(documents.Read("letter.txt"), "the teacher's letter");

  // Made by the store itself: 0700 at every level it makes.
  ShownPictureStore made(cache / "kanae" / "shown");
  made.Save(red, image);
  EXPECT_EQ(made.Load(red, kShown), image);
  for (const char* folder : {"kanae", "kanae/shown"}) {
    EXPECT_EQ(std::filesystem::status(cache / folder).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all) << folder;
  }
}

TEST_F(ShownPictureStoreTest, AForeignEntryInAFolderOfSomeoneElsesIsNeverShown) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the folder to a second user";
  const std::string red = Picture("red.jpg", Qt::red);
  const std::string blue = Picture("blue.jpg", Qt::blue);
  // A well-formed entry of a blue picture, put under the red picture's name.
  store.Save(red, Shown(red));
  std::string red_entry;
  for (const auto& entry : std::filesystem::directory_iterator(cache.path())) red_entry = PathToUtf8(entry.path().filename());
  ShownPictureStore other(cache / "other");
  other.Save(blue, Shown(blue));
  std::string forged;
  for (const auto& entry : std::filesystem::directory_iterator(cache / "other")) forged = cache.Read("other/" + PathToUtf8(entry.path().filename()));
  std::filesystem::create_directory(cache / "shared");
  cache.Write("shared/" + red_entry, forged);
  ASSERT_EQ(::chown((cache / "shared").c_str(), 65534, 65534), 0);
  for (const auto mode : {0777, 0755}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(::chmod((cache / "shared").c_str(), static_cast<mode_t>(mode)), 0);
    ShownPictureStore foreign(cache / "shared");
    EXPECT_TRUE(foreign.Load(red, kShown).isNull());
    foreign.Save(red, Shown(red));
    EXPECT_EQ(cache.Read("shared/" + red_entry), forged);
  }
}

TEST_F(ShownPictureStoreTest, ALinkUnderAnEntrysNameIsReplacedAndThePruneDeletesOnlyItsOwnEntries) {
  const std::string red = Picture("red.jpg", Qt::red);
  const QImage image = Shown(red);
  store.Save(red, image);
  std::string entry_name;
  for (const auto& entry : std::filesystem::directory_iterator(cache.path())) entry_name = PathToUtf8(entry.path().filename());
  std::filesystem::remove(cache / entry_name);
  TempFolder documents;
  documents.Write("notes.txt", "notes");
  documents.Write("old.txt", "old");
  const auto long_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(5);
  std::filesystem::last_write_time(documents / "old.txt", long_ago);
  std::filesystem::create_symlink(documents / "notes.txt", cache / entry_name);
  std::filesystem::create_symlink(documents / "old.txt", cache / "planted.pixels");
  cache.Write("readme.txt", "not ours");
  std::filesystem::last_write_time(cache / "readme.txt", long_ago);
  std::filesystem::create_directory(cache / "folder.pixels");

  ShownPictureStore small(cache.path(), 1);  // every entry is over the budget
  small.Save(red, image);  // the first save prunes
  EXPECT_EQ(documents.Read("notes.txt"), "notes");
  EXPECT_EQ(documents.Read("old.txt"), "old");
  EXPECT_TRUE(std::filesystem::is_symlink(cache / "planted.pixels"));
  EXPECT_TRUE(cache.Exists("readme.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(cache / "folder.pixels"));
  // The entry itself was a regular file of ours, and went with the prune.
  EXPECT_FALSE(std::filesystem::is_symlink(cache / entry_name));
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
