// MeCab readings voiced by espeak-ng's Japanese voice: the fallback voice.
#pragma once

#include "platform/speech/voice.h"

namespace kanae::speech {

class EspeakVoice : public Voice {
 public:
  std::string Name() const override { return "espeak-ng"; }
  std::string Identity() const override;
  bool Start(std::string* why) override;
  std::optional<Utterance> Render(const SpokenText& text) override;
};

}  // namespace kanae::speech
