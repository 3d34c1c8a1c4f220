#include "platform/speech/create_speech_engine.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/speech/espeak_voice.h"
#include "platform/speech/null_speech.h"
#include "platform/speech/open_jtalk_voice.h"
#include "platform/speech/voiced_speech.h"

namespace kanae::speech {

std::vector<std::unique_ptr<Voice>> VoicesFor(std::string_view engine, bool every_vowel_voiced) {
  std::vector<std::unique_ptr<Voice>> voices;
  if (engine == "none") return voices;
  if (!engine.empty() && engine != "openjtalk" && engine != "espeak") {
    std::fprintf(stderr, "kanae: the speech engine \"%s\" is not known (openjtalk, espeak or none); using the default\n",
                 std::string(engine).c_str());
  }
  if (engine != "espeak") {
    OpenJTalkSetup setup = OpenJTalkSetup::FromEnvironment();
    if (every_vowel_voiced) setup.voicing_threshold = 0.3;  // voices the vowel, leaves s, h and k as they are
    voices.push_back(std::make_unique<OpenJTalkVoice>(std::move(setup)));
  }
  voices.push_back(std::make_unique<EspeakVoice>());
  return voices;
}

std::unique_ptr<SpeechEngine> CreateSpeechEngine(PostToGui post_to_gui) {
  const char* env = std::getenv("KANAE_SPEECH");
  const std::string_view choice = env != nullptr ? env : "";
  if (choice == "none") return std::make_unique<NullSpeech>(std::move(post_to_gui));
  return std::make_unique<VoicedSpeech>(std::move(post_to_gui), VoicesFor(choice), audio::AudioDevice::Shared(),
                                        SpeechStore::ForUser());
}

}  // namespace kanae::speech
