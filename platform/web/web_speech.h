// Speech through the browser's own voice (the Web Speech API), given our
// reading; where the device has no Japanese voice, the letters' own sounds.
#pragma once

#include "platform/speech_engine.h"

namespace kanae::web {

class WebSpeech : public SpeechEngine {
 public:
  void Speak(const SpokenText& text, ReadingHandler on_reading) override;
  void Stop() override;
  // The page heard utterance id to its end (or gave up on it).
  void Ended(int id);

 private:
  int speaking_ = 0;  // the utterance whose end counts; 0 when none
  int next_id_ = 1;
};

}  // namespace kanae::web
