// A phrase as it is played: its reading and its levelled sound, read from the
// speech store when an earlier run made it, else made by the voice and kept
// there. Shared by the engine that speaks and by speech made ahead, so both
// find each other's phrases.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/speech/speech_store.h"
#include "platform/speech/voice.h"
#include "spoken_text.h"

namespace kanae::speech {

// The store's key for a text: the text with its letter and word marks.
Text StoreKeyOf(const SpokenText& text);

struct MadePhrase {
  Text reading;
  std::shared_ptr<const std::vector<std::uint8_t>> wav;  // null: nothing to play
};

// From the store when kept there for this voice, else rendered by voice,
// levelled and kept. Nothing when there is no voice or it failed on text.
// identity: voice->Identity(); store may be null.
std::optional<MadePhrase> LoadOrMakePhrase(Voice* voice, const std::string& identity, SpeechStore* store,
                                           const SpokenText& text);

}  // namespace kanae::speech
