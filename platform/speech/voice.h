// A synthesiser behind the speech engine: turns a spoken text into its kana
// reading and its sound. Called only on the engine's worker thread.
#pragma once

#include <optional>
#include <string>

#include "platform/speech/synthesis.h"
#include "spoken_text.h"
#include "text.h"

namespace kanae::speech {

struct Utterance {
  Text reading;  // the kana the voice pronounced
  Pcm pcm;       // empty when there is nothing to say
};

class Voice {
 public:
  virtual ~Voice() = default;
  // For notices: "Open JTalk", "espeak-ng".
  virtual std::string Name() const = 0;
  // The costly start (dictionaries, the voice file); false when this voice
  // cannot speak here, with why in *why.
  virtual bool Start(std::string* why) = 0;
  // Nothing when the voice failed on this text (it hung past its time
  // bound, or its program broke); an empty Pcm when there is nothing to say.
  virtual std::optional<Utterance> Render(const SpokenText& text) = 0;
};

}  // namespace kanae::speech
