// How much of our own work stands between the child and the game: setting up
// a question, decoding a photo for it (on a worker) and answering a card.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "fakes.h"
#include "photo_like.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/picture_decoder.h"
#include "questions.h"

namespace kanae {
namespace {

using namespace kanae::testing;

// A 4000x3000 photo-like JPEG (about 3 MB), made once.
const std::filesystem::path& LargeJpeg() {
  static TempFolder folder;
  static const std::filesystem::path path = folder / "りんご.jpg";
  if (!std::filesystem::exists(path)) bench::WritePhotoLikeJpeg(QString::fromStdString(PathToUtf8(path)), 7);
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

// The decode a worker does for one question: the photo straight to the
// size the initial-letter game shows it at (half the screen each way), and
// to the whole screen for comparison.
void BM_DecodeLargePhoto(benchmark::State& state) {
  const QSize shown(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::string path = PathToUtf8(LargeJpeg());
  for (auto _ : state) benchmark::DoNotOptimize(DecodePicture(path, shown));
}
BENCHMARK(BM_DecodeLargePhoto)->Args({640, 360})->Args({960, 720})->Unit(benchmark::kMillisecond);

// NextQuestion and finding its picture when it has been decoded ahead: what
// the GUI thread does.
void BM_NextQuestionPrepared(benchmark::State& state) {
  Oltar oltar;
  const QSize shown(640, 360);
  PictureCache cache(8u << 20, nullptr);
  cache.Request(oltar.game.picture.picture, shown, true);
  cache.WaitForDecodes();
  for (auto _ : state) {
    oltar.game.NextQuestion();
    benchmark::DoNotOptimize(cache.Find(oltar.game.picture.picture, shown));
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
    oltar.game.OnPointer({PointerAction::kClick, oltar.game.cards[0], 1});
    state.PauseTiming();
    if (oltar.platform.player.played.empty()) state.SkipWithError("no cue");
    oltar.game.right_answer_timer->SetEnabled(false);
    oltar.lesson.fields.is_speaking = false;
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
