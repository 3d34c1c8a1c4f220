// Plays the initial-letter game in an offscreen window on a lesson of photos
// and reports what the child would notice: how long from a question being set
// up to its picture being on screen (p50/p90), the longest time the GUI thread
// was busy with one event, how many frames pointer moves over the background
// cost, and the peak memory of the process.
// usage: picture_bench LESSON_FOLDER [click|touch] [QUESTIONS]
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/qt/game_window.h"
#include "questions.h"

namespace kanae {
namespace {

using Clock = std::chrono::steady_clock;
using namespace kanae::testing;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Times every event the GUI thread handles (the outermost delivery only).
class WatchedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (depth_ > 0 || !watching) return QApplication::notify(receiver, event);
    ++depth_;
    const auto start = Clock::now();
    const bool handled = QApplication::notify(receiver, event);
    --depth_;
    Record(Clock::now() - start, event->type());
    return handled;
  }
  void Record(Clock::duration busy, int what) {
    if (Ms(busy) <= longest_ms) return;
    longest_ms = Ms(busy);
    longest_what = what;
  }

  bool watching = false;
  double longest_ms = 0;
  int longest_what = 0;  // the event type, or -1 for a feedback tick

 private:
  int depth_ = 0;
};

// Whether the window's last frame held every picture it shows; a window that
// decodes while painting always does.
template <class Window>
bool PicturesOnScreen(const Window& window) {
  if constexpr (requires { window.ShowsAllPictures(); }) {
    return window.ShowsAllPictures();
  } else {
    return true;
  }
}

class BenchWindow : public GameWindow {
 public:
  using GameWindow::GameWindow;
  bool armed = false;
  int paints = 0;
  Clock::time_point shown_at;

 protected:
  void paintEvent(QPaintEvent* event) override {
    GameWindow::paintEvent(event);
    ++paints;
    if (armed && PicturesOnScreen(*this)) {
      armed = false;
      shown_at = Clock::now();
    }
  }
};

void Spin(int milliseconds) {
  const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (Clock::now() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[at];
}

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

void Move(QWidget& window, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, window.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &move);
}

int Run(WatchedApplication& app, const std::string& lesson_folder, bool touch, int questions) {
  TempFolder cwd;
  FakePlatform platform;
  Lesson lesson{platform.services(), cwd.path()};
  initial_letter::InitialLetterGame game{lesson};
  if (!lesson.Start({lesson_folder}, game)) {
    std::fprintf(stderr, "the lesson does not start\n");
    return 1;
  }
  game.settings.touch_mode = touch ? kTrue : kFalse;
  BenchWindow window(lesson, game);
  window.resize(lesson.form.width / 15, lesson.form.height / 15);
  window.show();
  lesson.Activate();
  window.Refresh();
  auto* feedback = static_cast<ManualTimer*>(game.right_answer_timer.get());

  std::vector<double> latencies;
  int background_moves = 0;
  int background_paints = 0;
  const QPoint background(3, 3);  // the teal margin: nothing there to answer or change
  // The first frame (fonts loaded, first picture decoded) is the start-up
  // benchmark's business; this one watches the questions after it.
  Spin(300);
  app.watching = true;
  for (int q = 0; q < questions; ++q) {
    // The prompt is spoken; the pointer wanders over the background meanwhile.
    const int paints_before = window.paints;
    for (int i = 0; i < 10; ++i) {
      Move(window, background + QPoint(i, i));
      Spin(15);
    }
    background_moves += 10;
    background_paints += window.paints - paints_before;
    platform.speech.Finish();

    const QPoint card((game.cards[0]->left + game.cards[0]->width / 2) / 15,
                      (game.cards[0]->top + game.cards[0]->height / 2) / 15);
    if (touch) {
      Move(window, card);
    } else {
      QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, card);
    }
    if (!feedback->Enabled()) {
      std::fprintf(stderr, "question %d: the answer was not taken\n", q);
      return 1;
    }
    Spin(150);  // the praise is spoken
    platform.speech.Finish();

    // The feedback timer's tick sets up the next question.
    window.armed = true;
    const auto start = Clock::now();
    feedback->Tick();
    window.Refresh();
    app.Record(Clock::now() - start, -1);
    while (window.armed && Clock::now() - start < std::chrono::seconds(5)) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    if (window.armed) {
      std::fprintf(stderr, "question %d: the picture never came\n", q);
      return 1;
    }
    latencies.push_back(Ms(window.shown_at - start));
  }
  app.watching = false;

  std::printf("%s mode, %d questions: question -> picture on screen p50 %.1f ms, p90 %.1f ms, max %.1f ms; "
              "longest GUI event %.1f ms (event type %d); frames per 10 background moves %.1f; peak memory %.1f MiB\n",
              touch ? "touch" : "click", questions, Percentile(latencies, 0.5), Percentile(latencies, 0.9),
              Percentile(latencies, 1.0), app.longest_ms, app.longest_what, 10.0 * background_paints / background_moves,
              static_cast<double>(PeakKilobytes()) / 1024);
  return 0;
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: picture_bench LESSON_FOLDER [click|touch] [QUESTIONS]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  kanae::WatchedApplication app(argc, argv);
  const bool touch = argc > 2 && std::string(argv[2]) == "touch";
  const int questions = argc > 3 ? std::atoi(argv[3]) : 30;
  return kanae::Run(app, argv[1], touch, questions);
}
