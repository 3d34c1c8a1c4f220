// Chooses the speech engine: KANAE_SPEECH=openjtalk|espeak|none, by default
// Open JTalk, then espeak-ng, then silence; KANAE_VOICE=FILE.htsvoice picks
// another HTS voice for Open JTalk.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/speech/end_notifier.h"
#include "platform/speech/voice.h"
#include "platform/speech_engine.h"

namespace kanae::speech {

// The voices to try, in order, for an engine name (as KANAE_SPEECH takes it;
// empty for the default). "none" gives no voice at all. An unknown name is
// reported on stderr and taken as the default. Cheap: nothing starts here.
// every_vowel_voiced: no vowel whispered, as a letter said alone to a child
// needs (Open JTalk devoices vowels as fluent speech does; espeak-ng does not).
std::vector<std::unique_ptr<Voice>> VoicesFor(std::string_view engine, bool every_vowel_voiced = false);

// The engine named by KANAE_SPEECH. Each voice that cannot start is passed
// over with one line on stderr (on the engine's thread), so the games always run.
std::unique_ptr<SpeechEngine> CreateSpeechEngine(PostToGui post_to_gui);

}  // namespace kanae::speech
