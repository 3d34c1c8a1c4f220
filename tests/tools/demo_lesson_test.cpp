// The demo lesson as a game would find it: through the framework's own listing.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <set>

#include "picture_library.h"
#include "text.h"

namespace kanae {
namespace {

const std::filesystem::path kLesson = KANAE_DEMO_LESSON_DIR;

bool IsKatakana(char32_t c) { return c >= U'ァ' && c <= U'ー'; }  // ー included

// Share of pixels that differ clearly from the corner, where only ground shows.
double ShareOfObject(const QImage& image) {
  const QColor ground = image.pixelColor(0, 0);
  int differing = 0;
  for (int y = 0; y < image.height(); y += 4) {
    for (int x = 0; x < image.width(); x += 4) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - ground.red()) + std::abs(c.green() - ground.green()) +
              std::abs(c.blue() - ground.blue()) > 60) {
        ++differing;
      }
    }
  }
  return differing / (((image.height() + 3) / 4) * ((image.width() + 3) / 4) * 1.0);
}

TEST(DemoLesson, OffersWhatEveryGameNeeds) {
  const std::vector<Text> pictures = ListPictureFiles(kLesson);
  EXPECT_GE(pictures.size(), 12u);

  std::set<char32_t> initials;
  std::set<std::string> extensions;
  bool katakana_with_long_mark = false;
  for (const Text& file : pictures) {
    const Text name = NameOfPicture(file);
    ASSERT_FALSE(name.empty()) << ToUtf8(file);
    initials.insert(name.front());
    extensions.insert(ToUtf8(file.substr(name.size() + 1)));
    katakana_with_long_mark |= name.find(U'ー') != Text::npos &&
                               std::all_of(name.begin(), name.end(), [](char32_t c) { return IsKatakana(c); });
  }
  // The card game refuses a lesson with fewer than four different initials.
  EXPECT_GE(initials.size(), 4u);
  EXPECT_TRUE(katakana_with_long_mark);
  EXPECT_EQ(extensions, (std::set<std::string>{"bmp", "gif", "jpg"}));
}

TEST(DemoLesson, EveryPictureLoadsAndShowsItsObject) {
  const std::vector<Text> pictures = ListPictureFiles(kLesson);
  ASSERT_FALSE(pictures.empty());
  for (const Text& file : pictures) {
    SCOPED_TRACE(ToUtf8(file));
    const QImage image(QString::fromStdString((kLesson / ToUtf8(file)).string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 320);
    EXPECT_GE(image.height(), 240);
    // A picture that lost its object (blank glyph, broken palette) is mostly ground.
    const double share = ShareOfObject(image);
    EXPECT_GT(share, 0.04);
    EXPECT_LT(share, 0.8);
  }
}

}  // namespace
}  // namespace kanae
