// Japanese speech: MeCab readings voiced by espeak-ng, played on the shared
// audio device's speech channel. One instance per process (it owns that channel).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/audio/audio_device.h"
#include "platform/speech/end_notifier.h"
#include "platform/speech_engine.h"

namespace kanae::speech {

class EspeakSpeech : public SpeechEngine {
 public:
  // Check SynthesizerAvailable() first (CreateSpeechEngine does); without a
  // voice every text ends at once, silently.
  explicit EspeakSpeech(PostToGui post_to_gui,
                        std::shared_ptr<audio::AudioDevice> device = audio::AudioDevice::Shared());
  ~EspeakSpeech() override;

  // Reading and synthesis happen on the engine's own thread; the text starts
  // sounding a few milliseconds later. Any earlier text is cut off.
  void Speak(const Text& text) override;
  void Stop() override;

 private:
  struct Request {
    Text text;
    std::uint64_t turn;
  };
  void Run();
  void Voice(const Request& request);

  std::shared_ptr<audio::AudioDevice> device_;
  EndNotifier ends_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Request> pending_;
  bool quit_ = false;

  // Held from the turn check to the start of playback, and by Stop, so a
  // stopped text can never start sounding afterwards.
  std::mutex play_mutex_;
  // The turn whose sound is on the speech channel. Read by the audio thread.
  std::atomic<std::uint64_t> sounding_turn_{0};

  std::thread worker_;
};

}  // namespace kanae::speech
