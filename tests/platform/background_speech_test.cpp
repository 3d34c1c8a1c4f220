// Speech made ahead into the store: made once, at the lowest priority, never
// while held, only the newest lesson's phrases; and then a game's engine
// finds them there without making them again.
#include "platform/speech/background_speech.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>

#include "fakes.h"
#include "platform/speech/kept_phrase.h"
#include "platform/speech/voiced_speech.h"

namespace kanae::speech {
namespace {

using testing::TempFolder;

// What a voice was asked to make, and at which priority its thread ran.
struct Made {
  std::mutex mutex;
  std::vector<Text> texts;
  std::vector<int> priorities;
};

class RecordingVoice : public Voice {
 public:
  explicit RecordingVoice(std::shared_ptr<Made> made) : made_(std::move(made)) {}
  std::string Name() const override { return "recording"; }
  bool Start(std::string*) override { return true; }
  std::optional<Utterance> Render(const SpokenText& text) override {
    {
      std::lock_guard lock(made_->mutex);
      made_->texts.push_back(text.Plain());
      made_->priorities.push_back(getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))));
    }
    Utterance made{U"ヨミ" + text.Plain(), {}};
    made.pcm.sample_rate = 16000;
    for (int i = 0; i < 1600; ++i) made.pcm.samples.push_back(static_cast<std::int16_t>(i % 40 < 20 ? 3000 : -3000));
    return made;
  }

 private:
  std::shared_ptr<Made> made_;
};

std::vector<std::unique_ptr<Voice>> VoiceRecordingInto(std::shared_ptr<Made> made) {
  std::vector<std::unique_ptr<Voice>> voices;
  voices.push_back(std::make_unique<RecordingVoice>(std::move(made)));
  return voices;
}

class BackgroundSpeechTest : public ::testing::Test {
 protected:
  TempFolder cache;
  std::shared_ptr<SpeechStore> store = std::make_shared<SpeechStore>(cache / "speech");
  std::shared_ptr<Made> made = std::make_shared<Made>();
  const std::vector<SpokenText> lesson{Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな",
                                       Word(U"いぬ") + U"、は、どっちかな", SpokenText(U"この名前は、どれかな")};
};

TEST_F(BackgroundSpeechTest, MakesEachPhraseOnceAtTheLowestPriorityIntoTheStore) {
  {
    BackgroundSpeech ahead(VoiceRecordingInto(made), store);
    ahead.MakeAhead([this] { return lesson; });
    ahead.WaitUntilDone();
    EXPECT_EQ(ahead.PhrasesDone(), lesson.size());
    // The same lesson again (the menu shown anew): found kept, made no more.
    ahead.MakeAhead([this] { return lesson; });
    ahead.WaitUntilDone();
  }
  ASSERT_EQ(made->texts.size(), lesson.size());
  for (int priority : made->priorities) EXPECT_EQ(priority, 19);
  for (const SpokenText& text : lesson) {
    const std::optional<KeptSpeech> kept = store->Load("recording", StoreKeyOf(text));
    ASSERT_TRUE(kept.has_value()) << ToUtf8(text.Plain());
    EXPECT_EQ(kept->reading, U"ヨミ" + text.Plain());
    EXPECT_FALSE(kept->wav.empty());
  }
}

TEST_F(BackgroundSpeechTest, AGameFindsThePromptMadeAheadAndMakesItNoMore) {
  {
    BackgroundSpeech ahead(VoiceRecordingInto(made), store);
    ahead.MakeAhead([this] { return lesson; });
    ahead.WaitUntilDone();
  }
  const std::size_t made_ahead = made->texts.size();
  // The game's own engine, in its own run, with the same voice and store.
  std::mutex mutex;
  std::condition_variable read;
  std::optional<Text> reading;
  {
    VoicedSpeech engine([](std::function<void()> task) { task(); }, VoiceRecordingInto(made), audio::AudioDevice::Shared(), store);
    engine.Speak(lesson[0], [&](const Text& r) {
      std::lock_guard lock(mutex);
      reading = r;
      read.notify_all();
    });
    std::unique_lock lock(mutex);
    ASSERT_TRUE(read.wait_for(lock, std::chrono::seconds(10), [&] { return reading.has_value(); }));
    engine.Stop();
  }
  EXPECT_EQ(*reading, U"ヨミ" + lesson[0].Plain());
  EXPECT_EQ(made->texts.size(), made_ahead);
}

TEST_F(BackgroundSpeechTest, HeldItStartsNothingAndOnlyTheNewestLessonIsMade) {
  BackgroundSpeech ahead(VoiceRecordingInto(made), store);
  ahead.Hold(true);
  ahead.MakeAhead([] { return std::vector<SpokenText>{SpokenText(U"前のレッスン")}; });
  ahead.MakeAhead([this] { return lesson; });
  ahead.WaitUntilDone();  // held: returns at once
  EXPECT_EQ(ahead.PhrasesDone(), 0u);
  ahead.Hold(false);
  ahead.WaitUntilDone();
  std::lock_guard lock(made->mutex);
  EXPECT_EQ(made->texts.size(), lesson.size());
  EXPECT_EQ(std::count(made->texts.begin(), made->texts.end(), U"前のレッスン"), 0);
}

TEST_F(BackgroundSpeechTest, WithoutAVoiceNothingIsMadeOrKept) {
  BackgroundSpeech ahead({}, store);
  ahead.MakeAhead([this] { return lesson; });
  ahead.WaitUntilDone();
  EXPECT_FALSE(store->Load("recording", StoreKeyOf(lesson[0])).has_value());
}

}  // namespace
}  // namespace kanae::speech
