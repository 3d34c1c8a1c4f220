#include "platform/speech/null_speech.h"

namespace kanae::speech {

NullSpeech::NullSpeech(PostToGui post_to_gui) : ends_(std::move(post_to_gui), [this] { NotifyFinished(); }) {}

void NullSpeech::Speak(const Text&) { ends_.PostEnd(ends_.NewTurn()); }

void NullSpeech::Stop() { ends_.NewTurn(); }

}  // namespace kanae::speech
