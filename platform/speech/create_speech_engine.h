// Chooses the speech engine: KANAE_SPEECH=espeak (the default) or none.
#pragma once

#include <memory>

#include "platform/speech/end_notifier.h"
#include "platform/speech_engine.h"

namespace kanae::speech {

// When the real voice cannot start, says so in one line on stderr and returns
// the silent engine, so the games still run.
std::unique_ptr<SpeechEngine> CreateSpeechEngine(PostToGui post_to_gui);

}  // namespace kanae::speech
