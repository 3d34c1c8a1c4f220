#include "platform/speech/espeak_voice.h"

#include "platform/speech/reading.h"

namespace kanae::speech {

std::string EspeakVoice::Identity() const { return Name() + ' ' + SynthesizerIdentity(); }

bool EspeakVoice::Start(std::string* why) {
  if (SynthesizerAvailable()) return true;
  if (why != nullptr) *why = "the espeak-ng Japanese voice cannot start";
  return false;
}

std::optional<Utterance> EspeakVoice::Render(const SpokenText& text) {
  Utterance out;
  out.reading = ReadingOf(text);
  std::optional<Pcm> pcm = SynthesizeReading(out.reading);
  if (!pcm) return std::nullopt;
  out.pcm = std::move(*pcm);
  return out;
}

}  // namespace kanae::speech
