// espeak-ng's Japanese voice, rendering kana into memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text.h"

namespace kanae::speech {

struct Pcm {
  int sample_rate = 0;
  std::vector<std::int16_t> samples;  // mono
};

// True when espeak-ng and its "ja" voice can be started (starts them once).
bool SynthesizerAvailable();

// espeak-ng's version and our settings of it, for telling clips made by
// another version apart.
std::string SynthesizerIdentity();

// Renders an already prepared reading (see ReadingOf). Nothing when the voice
// cannot start; an empty Pcm when there is nothing to say. espeak-ng keeps
// process-wide state, so calls from any thread are serialised here.
std::optional<Pcm> SynthesizeReading(const Text& reading);

// ReadingOf, then SynthesizeReading.
std::optional<Pcm> Synthesize(const Text& text);

}  // namespace kanae::speech
