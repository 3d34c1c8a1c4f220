// The games as drawn on the screen this test runs on (one run per screen
// size, offscreen): every letter whole inside its card, every answer's mark
// on the screen, and the dwell ring and the scanning frame seen on a picture
// of their own colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <memory>

#include "fakes.h"
#include "games/card_picking/questions.h"
#include "games/kana_catching/questions.h"
#include "lesson.h"
#include "platform/qt/game_window.h"

namespace kanae {
namespace {

using namespace kanae::testing;

QSize ScreenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

// A screenshot for a person to look at, when KANAE_SCREENSHOT_DIR names a folder.
void Keep(const QImage& image, const QString& name) {
  const QString folder = qEnvironmentVariable("KANAE_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  image.save(QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(name).arg(ScreenSize().height())));
}

QRect PixelsOf(const Control& c) {
  return QRect(QPoint(static_cast<int>(c.left / 15), static_cast<int>(c.top / 15)),
               QPoint(static_cast<int>((c.left + c.width) / 15) - 1, static_cast<int>((c.top + c.height) / 15) - 1));
}

// The game on the fakes, drawn by the real window at the size of the screen.
template <typename GameT>
class OnScreen {
 public:
  // pictures: file name and colour (an invalid colour leaves the file empty);
  // numbers: the random numbers in turn, or empty for a seeded source.
  OnScreen(const std::vector<std::pair<std::string, QColor>>& pictures, const std::string& settings_line,
           std::vector<double> numbers) {
    for (const auto& [name, colour] : pictures) {
      if (!colour.isValid()) {
        folder.Touch({name});
        continue;
      }
      QImage image(320, 240, QImage::Format_RGB32);
      image.fill(colour);
      image.save(QString::fromStdString((folder.path() / PathFromUtf8(name)).string()), "JPG", 100);
    }
    platform.shell.screen = {ScreenSize().width() * 15, ScreenSize().height() * 15};
    random = std::make_unique<ScriptedRandom>(numbers.empty() ? std::vector<double>{0.0} : numbers);
    RandomSource& rnd = numbers.empty() ? static_cast<RandomSource&>(platform.rnd) : *random;
    lesson = std::make_unique<Lesson>(
        Services{platform.speech, platform.player, platform.timers, platform.shell, rnd, platform.trace}, cwd.path());
    game = std::make_unique<GameT>(*lesson);
    folder.Write(game->Info().settings_file, settings_line + "\r\n");
    started = lesson->Start({folder.path().string()}, *game);
    if (!started) return;
    window = std::make_unique<GameWindow>(*lesson, *game);
    window->setGeometry(QRect(QPoint(0, 0), ScreenSize()));
    window->show();
    lesson->Activate();
    platform.speech.Finish();
  }
  // What the screen shows once every picture has been decoded.
  QImage Shot() {
    window->Refresh();
    window->grab();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->ShowsAllPictures(); }));
    return window->grab().toImage();
  }
  void Click(const Control* control) { lesson->OnPointer({PointerAction::kClick, control, 1}); }
  // Every control the player sees lies on the screen.
  void ExpectEverythingOnScreen(const char* when) {
    for (const Control& c : lesson->form.Controls()) {
      if (!c.visible || c.width <= 0 || c.height <= 0) continue;
      SCOPED_TRACE(std::string(when) + ": " + c.name);
      EXPECT_GE(c.left, 0);
      EXPECT_GE(c.top, 0);
      EXPECT_LE(c.left + c.width, lesson->form.width);
      EXPECT_LE(c.top + c.height, lesson->form.height);
    }
  }

  TempFolder folder;
  TempFolder cwd;
  FakePlatform platform;
  std::unique_ptr<ScriptedRandom> random;
  std::unique_ptr<Lesson> lesson;
  std::unique_ptr<GameT> game;
  std::unique_ptr<GameWindow> window;
  bool started = false;
};

// The rows of the card's rectangle holding any dark (letter) pixel.
std::pair<int, int> InkRows(const QImage& image, const QRect& card) {
  int top = -1, bottom = -1;
  for (int y = card.top(); y <= card.bottom(); ++y) {
    for (int x = card.left(); x <= card.right(); ++x) {
      if (image.pixelColor(x, y).lightness() >= 100) continue;
      if (top < 0) top = y;
      bottom = y;
      break;
    }
  }
  return {top, bottom};
}

TEST(GameLayout, TheKanaCatchingCardsShowEachLetterWhole) {
  // Distractors three, katakana; no catching phase.
  const QColor pale(255, 236, 179);
  OnScreen<kana_catching::KanaCatchingGame> screen({{"サイ.jpg", pale}, {"ヒト.jpg", pale},
                                                    {"ケーキ.jpg", pale}, {"バス.jpg", pale}},
                                                   "#TRUE#,#TRUE#,3,1,#FALSE#,#FALSE#", {});
  ASSERT_TRUE(screen.started);
  ASSERT_EQ(screen.game->choice_count, 4);
  // The letters whose tops and marks a card of a wide screen cut off.
  const Text letters[] = {U"サ", U"ヒ", U"ケ", U"バ"};
  for (int j = 0; j < 4; ++j) screen.game->choice_letters[j]->caption = letters[j];
  const QImage shot = screen.Shot();
  Keep(shot, "kana-catching-cards");
  for (int j = 0; j < 4; ++j) {
    SCOPED_TRACE(ToUtf8(letters[j]));
    const QRect card = PixelsOf(*screen.game->choice_letters[j]);
    ASSERT_TRUE(QRect(QPoint(0, 0), ScreenSize()).contains(card));
    // Inside the card's edge, whose pixels blend with the background.
    const QRect inside = card.adjusted(2, 2, -2, -2);
    const auto [top, bottom] = InkRows(shot, inside);
    ASSERT_GE(top, 0) << "no letter drawn";
    // A letter cut by its card runs into the card's edge; a whole one stands clear of it.
    EXPECT_GT(top, inside.top()) << "cut at the top";
    EXPECT_LT(bottom, inside.bottom()) << "cut at the bottom";
  }
  screen.ExpectEverythingOnScreen("the question");
  screen.Click(screen.game->choice_letters[1]);
  Keep(screen.Shot(), "kana-catching-wrong");
  screen.ExpectEverythingOnScreen("a wrong answer");
}

TEST(GameLayout, TheCardPickingCrossStaysOnTheScreenInEitherRow) {
  OnScreen<card_picking::CardPickingGame> screen(
      {{"いぬ.jpg", QColor()}, {"うし.jpg", QColor()}, {"ねこ.jpg", QColor()}, {"りす.jpg", QColor()}},
      "#TRUE#,1,#FALSE#,#TRUE#", {});
  ASSERT_TRUE(screen.started);
  // A wrong card in the bottom row (0, 1), then one in the top row (2, 3).
  for (const auto& [name, row] : {std::pair{"bottom", std::vector<int>{0, 1}}, std::pair{"top", std::vector<int>{2, 3}}}) {
    SCOPED_TRACE(name);
    const int right = screen.game->correct_card;
    const int wrong = row[0] != right ? row[0] : row[1];
    screen.platform.speech.Finish();
    screen.Click(screen.game->card_pictures[wrong]);
    ASSERT_TRUE(screen.game->cross.visible);
    const QImage shot = screen.Shot();
    Keep(shot, QStringLiteral("card-picking-cross-%1").arg(name));
    screen.ExpectEverythingOnScreen("a wrong answer");
    // The cross still covers the card it marks.
    EXPECT_TRUE(PixelsOf(screen.game->cross).intersects(PixelsOf(*screen.game->card_pictures[wrong])));
    // The feedback ends and the same question is asked again.
    screen.platform.speech.Finish();
    for (ManualTimer* timer : screen.platform.timers.created) timer->Tick();
  }
}

// How many pixels of the area are near black: the outline that makes a marker
// stand out on a picture of its own colour.
int DarkPixels(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y) {
    for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() < 50 && c.green() < 50 && c.blue() < 50) ++count;
    }
  }
  return count;
}

TEST(GameLayout, TheScanningFrameAndTheDwellRingShowOnAGoldPicture) {
  // Pictures in the markers' own gold; no letters on the cards.
  const QColor gold(255, 215, 0);
  OnScreen<card_picking::CardPickingGame> screen(
      {{"いぬ.jpg", gold}, {"うし.jpg", gold}, {"ねこ.jpg", gold}, {"りす.jpg", gold}}, "#TRUE#,0,#FALSE#,#TRUE#",
      {});
  ASSERT_TRUE(screen.started);
  const Control& card = *screen.game->card_pictures[0];
  const QRect area = PixelsOf(card);
  EXPECT_EQ(DarkPixels(screen.Shot(), area), 0) << "the picture itself is plain gold";

  screen.lesson->form.markers.scan_target = &card;
  const QImage framed = screen.Shot();
  Keep(framed, "scanning-frame-on-gold");
  // The frame runs along the card's edges: dark on both sides of its gold, on every side.
  const int band = std::max(12, std::min(area.width(), area.height()) / 6);
  for (const QRect& side : {QRect(area.left(), area.top(), band, area.height()),
                            QRect(area.right() - band, area.top(), band, area.height()),
                            QRect(area.left(), area.top(), area.width(), band),
                            QRect(area.left(), area.bottom() - band, area.width(), band)}) {
    EXPECT_GT(DarkPixels(framed, side), side.height() < side.width() ? side.width() : side.height())
        << "side at " << side.x() << "," << side.y();
  }

  screen.lesson->form.markers.scan_target = nullptr;
  screen.lesson->form.markers.dwell_target = &card;
  screen.lesson->form.markers.dwell_progress = 1.0;
  const QImage ringed = screen.Shot();
  Keep(ringed, "dwell-ring-on-gold");
  // A full ring: dark outlines across its left, right, top and bottom.
  const QPoint centre = area.center();
  const int reach = std::min(area.width(), area.height()) / 2;
  for (const QRect& across : {QRect(centre.x() - reach, centre.y(), reach / 2, 1),
                              QRect(centre.x() + reach / 2, centre.y(), reach / 2, 1),
                              QRect(centre.x(), centre.y() - reach, 1, reach / 2),
                              QRect(centre.x(), centre.y() + reach / 2, 1, reach / 2)}) {
    EXPECT_GE(DarkPixels(ringed, across), 2) << "across " << across.x() << "," << across.y();
  }
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
