#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "headless.h"
#include "platform/speech/create_speech_engine.h"
#include "platform/speech/espeak_voice.h"
#include "platform/speech/null_speech.h"
#include "platform/speech/synthesis.h"
#include "platform/speech/voiced_speech.h"

namespace kanae::speech {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Stands in for the GUI thread's event queue: posted functions run only when
// the test pumps, on the test's thread.
class GuiQueue {
 public:
  PostToGui Poster() {
    return [this](std::function<void()> f) {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(f));
    };
  }
  // Runs what is queued; true if anything ran.
  bool RunPending() {
    std::deque<std::function<void()>> batch;
    {
      std::lock_guard lock(mutex_);
      batch.swap(queue_);
    }
    for (auto& f : batch) f();
    return !batch.empty();
  }
  // Pumps until done() or the time is up.
  void PumpUntil(const std::function<bool()>& done, Clock::duration limit) {
    const auto end = Clock::now() + limit;
    while (!done() && Clock::now() < end) {
      if (!RunPending()) std::this_thread::sleep_for(2ms);
    }
  }
  void PumpFor(Clock::duration time) {
    PumpUntil([] { return false; }, time);
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

// Counts ends and notes any that arrive while Speak is still running.
struct EndCounter {
  int ends = 0;
  bool inside_speak = false;
  bool ended_inside_speak = false;

  void Attach(SpeechEngine& engine) {
    engine.SetFinishedHandler([this] {
      ++ends;
      if (inside_speak) ended_inside_speak = true;
    });
  }
  void Speak(SpeechEngine& engine, const Text& text) {
    inside_speak = true;
    engine.Speak(text, {});
    inside_speak = false;
  }
};

Clock::duration SpokenLength(const Text& text) {
  const auto pcm = Synthesize(text);
  if (!pcm || pcm->sample_rate <= 0) return {};
  return std::chrono::microseconds(static_cast<long long>(pcm->samples.size()) * 1000000 / pcm->sample_rate);
}

// The engine around the espeak-ng voice alone.
class EspeakSpeech : public VoicedSpeech {
 public:
  explicit EspeakSpeech(PostToGui post) : VoicedSpeech(std::move(post), Voices()) {}

 private:
  static std::vector<std::unique_ptr<Voice>> Voices() {
    std::vector<std::unique_ptr<Voice>> voices;
    voices.push_back(std::make_unique<EspeakVoice>());
    return voices;
  }
};

class EspeakSpeechTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SynthesizerAvailable()) GTEST_SKIP() << "espeak-ng's ja voice is not installed";
  }
  GuiQueue gui_;
  EndCounter counter_;
};

TEST_F(EspeakSpeechTest, TheEndIsPostedOnceWhenTheTextHasSounded) {
  const Text text = U"よくできました。";
  const auto length = SpokenLength(text);
  ASSERT_GT(length, 500ms);
  EspeakSpeech engine(gui_.Poster());
  counter_.Attach(engine);

  const auto start = Clock::now();
  counter_.Speak(engine, text);
  gui_.PumpUntil([&] { return counter_.ends > 0; }, length + 3s);
  const auto took = Clock::now() - start;
  gui_.PumpFor(300ms);

  EXPECT_EQ(counter_.ends, 1);
  EXPECT_FALSE(counter_.ended_inside_speak);
  // The end follows the sound, not the (much faster) synthesis.
  EXPECT_GE(took, length - 100ms);
  EXPECT_LE(took, length + 1s);
}

TEST_F(EspeakSpeechTest, OnlyTheLastOfSeveralTextsReportsItsEnd) {
  EspeakSpeech engine(gui_.Poster());
  counter_.Attach(engine);
  counter_.Speak(engine, U"りんごの、り、は、どれかな");
  std::this_thread::sleep_for(100ms);
  counter_.Speak(engine, U"いぬ");
  gui_.PumpUntil([&] { return counter_.ends > 0; }, 5s);
  gui_.PumpFor(300ms);
  EXPECT_EQ(counter_.ends, 1);
}

TEST_F(EspeakSpeechTest, RapidSpeakAndStopLeaveOnlyTheLastEnd) {
  EspeakSpeech engine(gui_.Poster());
  counter_.Attach(engine);
  for (int i = 0; i < 30; ++i) {
    counter_.Speak(engine, i % 2 == 0 ? U"いぬ" : U"");
    if (i % 3 == 0) engine.Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(i % 4));
    gui_.RunPending();
  }
  counter_.ends = 0;
  counter_.Speak(engine, U"ねこ");
  gui_.PumpUntil([&] { return counter_.ends > 0; }, 5s);
  gui_.PumpFor(200ms);
  EXPECT_EQ(counter_.ends, 1);
}

TEST_F(EspeakSpeechTest, StopEndsSpeechWithoutALateEnd) {
  EspeakSpeech engine(gui_.Poster());
  counter_.Attach(engine);
  const Text text = U"いぬ";
  const auto length = SpokenLength(text);
  counter_.Speak(engine, text);
  std::this_thread::sleep_for(50ms);
  engine.Stop();
  gui_.PumpFor(length + 500ms);
  EXPECT_EQ(counter_.ends, 0);
  // The engine still speaks afterwards.
  counter_.Speak(engine, text);
  gui_.PumpUntil([&] { return counter_.ends > 0; }, length + 3s);
  EXPECT_EQ(counter_.ends, 1);
}

TEST_F(EspeakSpeechTest, TextsWithNothingToSayStillEndOnce) {
  EspeakSpeech engine(gui_.Poster());
  counter_.Attach(engine);
  for (const Text& text : {Text(U""), Text(U"   "), Text(U"\U0001F600"), Text(1, U'\0')}) {
    counter_.ends = 0;
    counter_.Speak(engine, text);
    gui_.PumpUntil([&] { return counter_.ends > 0; }, 3s);
    gui_.PumpFor(100ms);
    EXPECT_EQ(counter_.ends, 1);
    EXPECT_FALSE(counter_.ended_inside_speak);
  }
}

TEST_F(EspeakSpeechTest, EndsQueuedForADestroyedEngineAreDropped) {
  {
    EspeakSpeech engine(gui_.Poster());
    counter_.Attach(engine);
    counter_.Speak(engine, U"");
    std::this_thread::sleep_for(200ms);
  }
  gui_.RunPending();
  EXPECT_EQ(counter_.ends, 0);
}

// A voice that reads only when the test opens its gate: a slow voice on a
// cold start, made to order. Its sound is empty, so nothing needs a device.
class GatedVoice : public Voice {
 public:
  std::string Name() const override { return "gated"; }
  bool Start(std::string*) override { return true; }
  std::optional<Utterance> Render(const SpokenText& text) override {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
    return Utterance{U"ヨミ:" + text.Plain(), {}};
  }
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

class GatedSpeech : public ::testing::Test {
 protected:
  GatedSpeech() {
    auto voice = std::make_unique<GatedVoice>();
    gate_ = voice.get();
    std::vector<std::unique_ptr<Voice>> voices;
    voices.push_back(std::move(voice));
    engine_ = std::make_unique<VoicedSpeech>(gui_.Poster(), std::move(voices));
  }
  ~GatedSpeech() override {
    if (engine_ != nullptr) gate_->Open();  // the worker must be free to end
  }
  // Speaks text, noting whether its reading came inside Speak.
  void Speak(const Text& text) {
    inside_speak_ = true;
    engine_->Speak(text, [this, text](const Text& reading) {
      readings_.push_back(text + U"→" + reading);
      if (inside_speak_) read_inside_speak_ = true;
    });
    inside_speak_ = false;
  }

  GuiQueue gui_;
  GatedVoice* gate_ = nullptr;
  std::unique_ptr<VoicedSpeech> engine_;
  std::vector<Text> readings_;
  bool inside_speak_ = false;
  bool read_inside_speak_ = false;
};

TEST_F(GatedSpeech, AReadingNotKnownYetComesLaterOnTheGuiThreadOnce) {
  Speak(U"いぬ");  // returns although the voice has not read it
  gui_.PumpFor(100ms);
  EXPECT_TRUE(readings_.empty());
  gate_->Open();
  gui_.PumpUntil([&] { return !readings_.empty(); }, 5s);
  gui_.PumpFor(100ms);
  EXPECT_EQ(readings_, std::vector<Text>{U"いぬ→ヨミ:いぬ"});
  EXPECT_FALSE(read_inside_speak_);
  // Known now: the next Speak of it reads at once, inside Speak.
  Speak(U"いぬ");
  EXPECT_TRUE(read_inside_speak_);
  EXPECT_EQ(readings_.size(), 2u);
}

TEST_F(GatedSpeech, TextsStoppedOrCutOffBeforeTheyWereReadStillGetTheirReading) {
  Speak(U"いぬ");
  Speak(U"ねこ");  // cuts off いぬ
  engine_->Stop();
  gate_->Open();
  gui_.PumpUntil([&] { return readings_.size() >= 2; }, 5s);
  gui_.PumpFor(100ms);
  std::sort(readings_.begin(), readings_.end());
  EXPECT_EQ(readings_, (std::vector<Text>{U"いぬ→ヨミ:いぬ", U"ねこ→ヨミ:ねこ"}));
}

TEST_F(GatedSpeech, ReadingsPostedForADestroyedEngineAreDropped) {
  Speak(U"いぬ");
  gate_->Open();
  std::this_thread::sleep_for(200ms);  // read and posted, not yet run
  engine_.reset();
  gui_.RunPending();
  EXPECT_TRUE(readings_.empty());
}

// The lesson waits for its first prompt to be made before it shows it.
TEST_F(GatedSpeech, ReadinessIsToldOnTheGuiThreadOnceTheTextIsMadeAndAtOnceAfter) {
  int ready = 0;
  engine_->WhenReady(SpokenText(U"いぬ"), [&ready] { ++ready; });  // never prepared: made for this
  gui_.PumpFor(100ms);
  EXPECT_EQ(ready, 0);
  gate_->Open();
  gui_.PumpUntil([&] { return ready > 0; }, 5s);
  gui_.PumpFor(100ms);
  EXPECT_EQ(ready, 1);
  // Made: told inside the call, and a Speak of it reads at once.
  engine_->WhenReady(SpokenText(U"いぬ"), [&ready] { ++ready; });
  EXPECT_EQ(ready, 2);
  Speak(U"いぬ");
  EXPECT_TRUE(read_inside_speak_);
  // Nothing to say is ready at once.
  engine_->WhenReady(SpokenText(), [&ready] { ++ready; });
  EXPECT_EQ(ready, 3);
}

TEST_F(GatedSpeech, ReadinessPostedForADestroyedEngineIsDropped) {
  int ready = 0;
  engine_->WhenReady(SpokenText(U"いぬ"), [&ready] { ++ready; });
  gate_->Open();
  std::this_thread::sleep_for(200ms);  // made and posted, not yet run
  engine_.reset();
  gui_.RunPending();
  EXPECT_EQ(ready, 0);
}

TEST(NullSpeechTest, ReportsTheEndOnlyOncePosted) {
  GuiQueue gui;
  EndCounter counter;
  {
    NullSpeech engine(gui.Poster());
    counter.Attach(engine);
    counter.Speak(engine, U"いぬ");
    EXPECT_EQ(counter.ends, 0);
    gui.RunPending();
    gui.RunPending();
    EXPECT_EQ(counter.ends, 1);

    // Stopped before the queue ran: no end. A superseded text: one end.
    counter.Speak(engine, U"ねこ");
    engine.Stop();
    gui.RunPending();
    EXPECT_EQ(counter.ends, 1);
    counter.Speak(engine, U"ねこ");
    counter.Speak(engine, U"いぬ");
    gui.RunPending();
    EXPECT_EQ(counter.ends, 2);

    counter.Speak(engine, U"とり");
  }
  gui.RunPending();  // the engine is gone: dropped, not a crash
  EXPECT_EQ(counter.ends, 2);
  EXPECT_FALSE(counter.ended_inside_speak);
}

TEST(CreateSpeechEngineTest, HonoursKanaeSpeech) {
  GuiQueue gui;
  const char* saved = std::getenv("KANAE_SPEECH");
  const std::string restore = saved != nullptr ? saved : "";
  setenv("KANAE_SPEECH", "none", 1);
  EXPECT_NE(dynamic_cast<NullSpeech*>(CreateSpeechEngine(gui.Poster()).get()), nullptr);
  if (SynthesizerAvailable()) {
    setenv("KANAE_SPEECH", "espeak", 1);
    auto engine = CreateSpeechEngine(gui.Poster());
    auto* voiced = dynamic_cast<VoicedSpeech*>(engine.get());
    ASSERT_NE(voiced, nullptr);
    EXPECT_EQ(voiced->VoiceName(), "espeak-ng");
  }
  if (saved != nullptr) setenv("KANAE_SPEECH", restore.c_str(), 1);
  else unsetenv("KANAE_SPEECH");
}

}  // namespace
}  // namespace kanae::speech
