// The speech engine starts on a worker; the texts asked for meanwhile wait for it.
#include "platform/qt/speech_started_on_worker.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QTest>
#include <atomic>
#include <future>

#include "fakes.h"

namespace kanae {
namespace {

using testing::FakeSpeech;

// Counts the engines in existence.
class CountedSpeech : public FakeSpeech {
 public:
  explicit CountedSpeech(std::atomic<int>& alive) : alive_(alive) { ++alive_; }
  ~CountedSpeech() override { --alive_; }

 private:
  std::atomic<int>& alive_;
};

// An engine whose start the test holds until it lets go.
struct HeldStart {
  std::promise<void> let_go;
  std::shared_future<void> released{let_go.get_future().share()};
  std::atomic<int> alive{0};
  FakeSpeech* engine = nullptr;  // set on the worker, read after the hand-over

  SpeechStartedOnWorker::Factory Factory() {
    return [this] {
      released.wait();
      auto made = std::make_unique<CountedSpeech>(alive);
      engine = made.get();
      return made;
    };
  }
};

void PostToGui(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

TEST(SpeechStartedOnWorker, TheLatestTextAskedForWhileStartingIsSpokenOnceTheEngineIsUp) {
  HeldStart start;
  SpeechStartedOnWorker speech(start.Factory(), PostToGui);
  int finished = 0;
  speech.SetFinishedHandler([&] { ++finished; });
  speech.Speak(U"いぬ、は、どれかな");
  speech.Speak(U"ねこ、は、どれかな");
  EXPECT_FALSE(speech.Started());
  start.let_go.set_value();
  ASSERT_TRUE(QTest::qWaitFor([&] { return speech.Started(); }));
  EXPECT_EQ(start.engine->spoken, std::vector<Text>{U"ねこ、は、どれかな"});
  // The engine's end reaches the lesson through the wrapper.
  start.engine->Finish();
  EXPECT_EQ(finished, 1);
  speech.Speak(U"よくできました");
  speech.Stop();
  EXPECT_EQ(start.engine->spoken.back(), U"よくできました");
  EXPECT_EQ(start.engine->stops, 1);
}

TEST(SpeechStartedOnWorker, ATextStoppedBeforeTheEngineIsUpIsNeverSpoken) {
  HeldStart start;
  SpeechStartedOnWorker speech(start.Factory(), PostToGui);
  speech.Speak(U"いぬ、は、どれかな");
  speech.Stop();
  start.let_go.set_value();
  ASSERT_TRUE(QTest::qWaitFor([&] { return speech.Started(); }));
  EXPECT_TRUE(start.engine->spoken.empty());
}

TEST(SpeechStartedOnWorker, EndingBeforeTheHandOverLeavesNothingBehind) {
  HeldStart start;
  {
    SpeechStartedOnWorker speech(start.Factory(), PostToGui);
    speech.Speak(U"いぬ");
    start.let_go.set_value();
    EXPECT_FALSE(speech.Started());
  }  // the hand-over is still queued
  // The engine ended with its wrapper; the late hand-over finds nobody.
  EXPECT_EQ(start.alive, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(start.alive, 0);
}

}  // namespace
}  // namespace kanae
