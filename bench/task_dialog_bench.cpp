// The task selection on a folder of 101 large photographs: how long from
// opening it until the grid is first painted, and until every thumbnail is
// in. Each run is a fresh dialog, so nothing is decoded before it opens.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>

#include "fakes.h"
#include "lesson.h"
#include "platform/qt/task_dialog_widget.h"
#include "platform/qt/thumbnail_loader.h"

namespace kanae {
namespace {

using namespace kanae::testing;

constexpr int kPhotographs = 101;

// A lesson folder of photo-like JPEGs: one drawn at the given size, the rest
// copies or hard links of it (the decoding is the same, the disk is spared).
struct PhotoFolder {
  PhotoFolder(int count, int width, int height, const char* stem, bool hard_links) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int stripe = width / 60;
    for (int i = 0; i * stripe < width; ++i) painter.fillRect(i * stripe, 0, stripe, height, QColor::fromHsv(i * 6 % 360, 180, 220));
    painter.setBrush(Qt::red);
    painter.drawEllipse(width / 4, height / 5, width / 2, height * 3 / 5);
    painter.end();
    std::filesystem::path first;
    for (int i = 0; i < count; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "%s%04d.jpg", stem, i);
      const auto path = folder / name;
      if (i == 0) {
        image.save(QString::fromStdString(path.string()), "JPG", 90);
        first = path;
      } else if (hard_links) {
        std::filesystem::create_hard_link(first, path);
      } else {
        std::filesystem::copy_file(first, path);
      }
      state.picture_files.push_back(FromUtf8(name));
    }
    state.task_pictures = state.picture_files;
  }
  TempFolder folder;
  LessonState state;
};

// 101 photo-like 4000x3000 JPEGs.
struct Photographs : PhotoFolder {
  Photographs() : PhotoFolder(kPhotographs, 4000, 3000, "しゃしん", false) {}
};

// Notes when the grid's viewport is painted.
class PaintWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
  bool painted = false;
};

void BM_TaskDialogOn101Photographs(benchmark::State& state) {
  static Photographs photographs;
  double first_paint_ms = 0, all_ms = 0;
  for (auto _ : state) {
    TaskDialog model(photographs.state, false);
    QElapsedTimer clock;
    clock.start();
    TaskDialogWidget dialog(
        model, [](const Text& file) { return photographs.folder.path() / PathFromUtf8(ToUtf8(file)); },
        [] { return false; }, [] {}, nullptr);
    PaintWatch watch;
    dialog.findChild<QListWidget*>("List1")->viewport()->installEventFilter(&watch);
    dialog.Open();
    while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double first = clock.nsecsElapsed() / 1e6;
    while (dialog.ThumbnailsPending() > 0) QApplication::processEvents(QEventLoop::AllEvents, 5);
    QApplication::processEvents();
    const double all = clock.nsecsElapsed() / 1e6;
    state.SetIterationTime(all / 1000.0);
    first_paint_ms += first;
    all_ms += all;
  }
  state.counters["first_paint_ms"] = first_paint_ms / static_cast<double>(state.iterations());
  state.counters["all_thumbnails_ms"] = all_ms / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TaskDialogOn101Photographs)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A folder of 5,000 pictures (hard links to one 800x600 photograph).
struct LargeFolder : PhotoFolder {
  static constexpr int kPictures = 5000;
  LargeFolder() : PhotoFolder(kPictures, 800, 600, "えほん", true) {}
};

// Opening the task selection on 5,000 pictures: until the grid is first
// painted, until its first thumbnail is in, and until every thumbnail in
// sight is (goal: under 0.5 s).
void BM_TaskDialogOn5000Pictures(benchmark::State& state) {
  static LargeFolder pictures;
  double first_paint_ms = 0, first_thumbnail_ms = 0, in_sight_ms = 0;
  for (auto _ : state) {
    TaskDialog model(pictures.state, false);
    QElapsedTimer clock;
    clock.start();
    TaskDialogWidget dialog(
        model, [](const Text& file) { return pictures.folder.path() / PathFromUtf8(ToUtf8(file)); },
        [] { return false; }, [] {}, nullptr);
    PaintWatch watch;
    dialog.findChild<QListWidget*>("List1")->viewport()->installEventFilter(&watch);
    dialog.Open();
    while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double first = clock.nsecsElapsed() / 1e6;
    while (dialog.ThumbnailsShown() == 0) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double thumbnail = clock.nsecsElapsed() / 1e6;
    // To look at: the grid while its thumbnails come in.
    if (const QString folder = qEnvironmentVariable("KANAE_SCREENSHOT_DIR"); !folder.isEmpty()) {
      dialog.grab().save(folder + "/tasks-5000-loading.png");
    }
    while (!dialog.ThumbnailsInSightShown()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double in_sight = clock.nsecsElapsed() / 1e6;
    state.SetIterationTime(in_sight / 1000.0);
    first_paint_ms += first;
    first_thumbnail_ms += thumbnail;
    in_sight_ms += in_sight;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["first_paint_ms"] = first_paint_ms / n;
  state.counters["first_thumbnail_ms"] = first_thumbnail_ms / n;
  state.counters["thumbnails_in_sight_ms"] = in_sight_ms / n;
}
BENCHMARK(BM_TaskDialogOn5000Pictures)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Paging down through the 5,000: how long until each page's thumbnails are in.
void BM_TaskDialogPageDownThrough5000Pictures(benchmark::State& state) {
  static LargeFolder pictures;
  TaskDialog model(pictures.state, false);
  TaskDialogWidget dialog(
      model, [](const Text& file) { return pictures.folder.path() / PathFromUtf8(ToUtf8(file)); },
      [] { return false; }, [] {}, nullptr);
  dialog.Open();
  auto* list = dialog.findChild<QListWidget*>("List1");
  while (!dialog.ThumbnailsInSightShown()) QApplication::processEvents(QEventLoop::AllEvents, 5);
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    QScrollBar* bar = list->verticalScrollBar();
    bar->setValue(bar->value() + bar->pageStep() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
    QApplication::processEvents();
    while (!dialog.ThumbnailsInSightShown()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    state.SetIterationTime(clock.nsecsElapsed() / 1e9);
  }
}
BENCHMARK(BM_TaskDialogPageDownThrough5000Pictures)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

// One photograph to one thumbnail, on one thread: the work the pool shares out.
void BM_DecodeOneThumbnail(benchmark::State& state) {
  static Photographs photographs;
  const QString path = QString::fromStdString((photographs.folder / "しゃしん000.jpg").string());
  for (auto _ : state) benchmark::DoNotOptimize(ThumbnailLoader::Decode(path, QSize(128, 128)));
}
BENCHMARK(BM_DecodeOneThumbnail)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}
