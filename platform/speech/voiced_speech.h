// The speech engine around a voice: reading and synthesis on a worker
// thread of its own, a small cache of recent texts, texts prepared ahead of
// need, and playback on the shared audio device's speech channel. One
// instance per process (it owns that channel).
#pragma once

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/speech/end_notifier.h"
#include "platform/speech/speech_store.h"
#include "platform/speech/voice.h"
#include "platform/speech_engine.h"

namespace kanae::speech {

// Starts the first voice of the list that can start, telling on stderr in
// one line each why a voice was passed over (and when none is left).
// Returns it, or nullptr. Heavy: call on the thread that will use the voice.
// With a store, a voice that started there before is started without its
// trial, and one that starts now is noted there.
Voice* StartFirstVoice(const std::vector<std::unique_ptr<Voice>>& voices, SpeechStore* store = nullptr);

class VoicedSpeech : public SpeechEngine {
 public:
  // Longest Speak waits for the reading of a text that was not prepared: a
  // quick voice's reading still comes inside Speak, a slow one never holds
  // the window up. The speech itself starts whenever it is ready.
  static constexpr std::chrono::milliseconds kReadingWait{50};
  static constexpr std::size_t kCacheSize = 32;

  // Cheap: only the worker thread starts here; the voices are started on it,
  // in order, until one can speak. With a store, speech made in earlier runs
  // is read from it and what is made now is kept there.
  VoicedSpeech(PostToGui post_to_gui, std::vector<std::unique_ptr<Voice>> voices,
               std::shared_ptr<audio::AudioDevice> device = audio::AudioDevice::Shared(),
               std::shared_ptr<SpeechStore> store = nullptr);
  ~VoicedSpeech() override;

  void Prepare(const SpokenText& text) override;
  // Posts then once text is made, or read from the store (made before
  // anything only prepared); at once when it is already.
  void WhenReady(const SpokenText& text, std::function<void()> then) override;
  // Returns once the reading is known (at once for a prepared text) or after
  // kReadingWait; the text sounds as soon as it is made. Any earlier text is cut off.
  void Speak(const SpokenText& text, ReadingHandler on_reading) override;
  void Stop() override;

  // The voice that speaks ("Open JTalk", "espeak-ng"), empty when none could
  // start. Waits for the start.
  std::string VoiceName();

 private:
  enum class State { kWaiting, kRendering, kReady, kFailed };
  struct Entry {
    SpokenText text;
    State state = State::kWaiting;
    Text reading;
    std::shared_ptr<const std::vector<std::uint8_t>> wav;  // null: nothing to play
  };
  struct PlayRequest {
    std::shared_ptr<Entry> entry;
    std::uint64_t turn;
  };
  // A Speak whose reading was not known when it returned.
  struct AwaitedReading {
    std::shared_ptr<Entry> entry;
    ReadingHandler handler;
  };

  // A WhenReady whose text was not made when it returned.
  struct AwaitedMaking {
    std::shared_ptr<Entry> entry;
    std::function<void()> then;
  };

  void Run();
  // Finds or adds the entry for text (most recent first); mutex_ held.
  std::shared_ptr<Entry> EntryFor(const SpokenText& text);
  void Render(std::unique_lock<std::mutex>& lock, const std::shared_ptr<Entry>& entry);
  void Play(const PlayRequest& request);
  // An awaited text (its reading, or its being made) not made yet, or null; mutex_ held.
  std::shared_ptr<Entry> UnmadeAwaited() const;
  // Posts the reading of entry, now made, to whoever awaits it, and tells
  // whoever waits for it to be made; mutex_ held.
  void DeliverReadings(const std::shared_ptr<Entry>& entry);

  std::vector<std::unique_ptr<Voice>> voices_;
  Voice* voice_ = nullptr;  // the one that started; worker thread only
  std::string voice_identity_;  // its Identity(); worker thread only
  std::shared_ptr<SpeechStore> store_;
  std::shared_ptr<audio::AudioDevice> device_;
  PostToGui post_;
  EndNotifier ends_;
  // Cleared first when the engine goes, so readings posted late are dropped.
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);

  std::mutex mutex_;
  std::condition_variable wake_;   // the worker: something to do
  std::condition_variable done_;   // Speak: a text is made, or the voice started
  bool started_ = false;
  std::string voice_name_;
  bool quit_ = false;
  std::optional<PlayRequest> play_;
  std::deque<std::shared_ptr<Entry>> prepare_;
  std::vector<AwaitedReading> awaited_;
  std::vector<AwaitedMaking> awaited_making_;
  std::list<std::shared_ptr<Entry>> recent_;  // the cache, most recent first
  std::map<Text, std::list<std::shared_ptr<Entry>>::iterator> by_key_;

  // Held from the turn check to the start of playback, and by Speak and
  // Stop, so a stopped text can never start sounding afterwards.
  std::mutex play_mutex_;
  // The turn whose sound is on the speech channel. Read by the audio thread.
  std::atomic<std::uint64_t> sounding_turn_{0};

  std::thread worker_;
};

}  // namespace kanae::speech
