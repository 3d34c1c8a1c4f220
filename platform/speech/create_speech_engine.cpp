#include "platform/speech/create_speech_engine.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/speech/espeak_speech.h"
#include "platform/speech/null_speech.h"
#include "platform/speech/synthesis.h"

namespace kanae::speech {

std::unique_ptr<SpeechEngine> CreateSpeechEngine(PostToGui post_to_gui) {
  const char* env = std::getenv("KANAE_SPEECH");
  const std::string_view choice = env != nullptr ? env : "";
  if (choice == "none") return std::make_unique<NullSpeech>(std::move(post_to_gui));
  if (!choice.empty() && choice != "espeak") {
    std::fprintf(stderr, "kanae: KANAE_SPEECH=%s is not known (espeak or none); using espeak\n", env);
  }
  if (!SynthesizerAvailable()) {
    std::fprintf(stderr, "kanae: the espeak-ng Japanese voice cannot start; speaking nothing\n");
    return std::make_unique<NullSpeech>(std::move(post_to_gui));
  }
  return std::make_unique<EspeakSpeech>(std::move(post_to_gui));
}

}  // namespace kanae::speech
