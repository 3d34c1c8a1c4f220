// Synthesised speech levelled as it is made, to the loudness of the sound
// pack's letter files, so a prompt, its letter and the praise after it sound
// equally loud whichever voice made them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/speech/synthesis.h"

namespace kanae::speech {

// The letter files' level, measured the same way (the sound pack's own).
inline constexpr double kSpeechLoudnessDbfs = -18.0;
// Headroom kept above the loudest sample: nothing clips on the way out.
inline constexpr double kSpeechPeakDbfs = -3.5;

// Root mean square, in dBFS, over the 20 ms windows that sound (within 40 dB
// of the loudest window), so pauses between words do not lower the measure.
// -inf dB (a very low number) for silence.
double SoundingLoudnessDbfs(const std::vector<std::int16_t>& samples, int sample_rate);

// Gain to kSpeechLoudnessDbfs, held down so the peak stays at or below
// kSpeechPeakDbfs. Silence stays silence.
void LevelSpeech(Pcm& pcm);

}  // namespace kanae::speech
