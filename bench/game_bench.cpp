// How much of our own work stands between the child and the game: setting up
// a question (with and without decoding its picture) and answering a card.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "fakes.h"
#include "platform/qt/picture_cache.h"
#include "questions.h"

namespace kanae {
namespace {

using namespace kanae::testing;

// A 4000x3000 photo-like JPEG, made once.
const std::filesystem::path& LargeJpeg() {
  static TempFolder folder;
  static const std::filesystem::path path = folder / "りんご.jpg";
  if (!std::filesystem::exists(path)) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 60; ++i) {
      painter.fillRect(i * 67, 0, 67, 3000, QColor::fromHsv(i * 6 % 360, 180, 220));
    }
    painter.setBrush(Qt::red);
    painter.drawEllipse(1000, 600, 2000, 1800);
    painter.end();
    image.save(QString::fromStdString(path.string()), "JPG", 90);
  }
  return path;
}

struct Oltar {
  Oltar() {
    std::filesystem::copy_file(LargeJpeg(), folder / "りんご.jpg");
    lesson.Start({folder.path().string()}, game);
    lesson.Activate();
  }
  TempFolder folder;
  TempFolder cwd;
  FakePlatform platform;
  Lesson lesson{platform.services(), cwd.path()};
  initial_letter::InitialLetterGame game{lesson};
};

// NextQuestion plus the decode the window does when it first paints the picture.
void BM_NextQuestionWithLargeJpeg(benchmark::State& state) {
  Oltar oltar;
  for (auto _ : state) {
    PictureCache cache(QSize(1280, 720));
    oltar.game.NextQuestion();
    benchmark::DoNotOptimize(cache.Get(oltar.game.Image1.picture));
  }
}
BENCHMARK(BM_NextQuestionWithLargeJpeg)->Unit(benchmark::kMillisecond);

// NextQuestion when the picture has been prepared already.
void BM_NextQuestionPrepared(benchmark::State& state) {
  Oltar oltar;
  PictureCache cache(QSize(1280, 720));
  cache.Get(oltar.game.Image1.picture);
  for (auto _ : state) {
    oltar.game.NextQuestion();
    benchmark::DoNotOptimize(cache.Get(oltar.game.Image1.picture));
  }
}
BENCHMARK(BM_NextQuestionPrepared)->Unit(benchmark::kMicrosecond);

// From a click on a card to the letter sound being handed to the player.
void BM_ClickToCue(benchmark::State& state) {
  Oltar oltar;
  for (auto _ : state) {
    state.PauseTiming();
    oltar.game.NextQuestion();
    oltar.platform.speech.Finish();
    oltar.platform.player.played.clear();
    state.ResumeTiming();
    oltar.game.OnPointer({PointerAction::kClick, oltar.game.Label2[0], 1});
    state.PauseTiming();
    if (oltar.platform.player.played.empty()) state.SkipWithError("no cue");
    oltar.game.Timer2->SetEnabled(false);
    oltar.lesson.fields.IsSpeaking = false;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClickToCue)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
