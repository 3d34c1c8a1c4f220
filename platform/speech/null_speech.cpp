#include "platform/speech/null_speech.h"

namespace kanae::speech {

NullSpeech::NullSpeech(PostToGui post_to_gui) : ends_(std::move(post_to_gui), [this] { NotifyFinished(); }) {}

Text NullSpeech::Speak(const SpokenText&) {
  ends_.PostEnd(ends_.NewTurn());
  return {};  // nothing was given to a voice
}

void NullSpeech::Stop() { ends_.NewTurn(); }

}  // namespace kanae::speech
