#include "platform/speech/null_speech.h"

namespace kanae::speech {

NullSpeech::NullSpeech(PostToGui post_to_gui) : ends_(std::move(post_to_gui), [this] { NotifyFinished(); }) {}

void NullSpeech::Speak(const SpokenText&, ReadingHandler on_reading) {
  ends_.PostEnd(ends_.NewTurn());
  if (on_reading) on_reading(Text());  // nothing was given to a voice
}

void NullSpeech::Stop() { ends_.NewTurn(); }

}  // namespace kanae::speech
