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
  // Who makes the sound and how (engine, voice file, settings): speech kept
  // from another run is used only when this is the same. Asked once started.
  virtual std::string Identity() const { return Name(); }
  // The costly start (dictionaries, the voice file); false when this voice
  // cannot speak here, with why in *why.
  virtual bool Start(std::string* why) = 0;
  // Called before Start when this very voice (the same Identity) has spoken
  // in an earlier run: a trial rendering that Start would make to prove the
  // voice can be left out.
  virtual void SkipTrial() {}
  // Nothing when the voice failed on this text (it hung past its time
  // bound, or its program broke); an empty Pcm when there is nothing to say.
  virtual std::optional<Utterance> Render(const SpokenText& text) = 0;
};

}  // namespace kanae::speech
