// Speaks nothing and reports the end at once (posted, never inside Speak):
// for KANAE_SPEECH=none, automation and machines without a voice.
#pragma once

#include "platform/speech/end_notifier.h"
#include "platform/speech_engine.h"

namespace kanae::speech {

class NullSpeech : public SpeechEngine {
 public:
  explicit NullSpeech(PostToGui post_to_gui);
  void Speak(const SpokenText& text, ReadingHandler on_reading) override;
  void Stop() override;

 private:
  EndNotifier ends_;
};

}  // namespace kanae::speech
