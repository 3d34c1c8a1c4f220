// Synthesised speech levelled as it is made, to the loudness of the sound
// pack's letter files, so a prompt, its letter and the praise after it sound
// equally loud whichever voice made them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio/levelling.h"
#include "platform/speech/synthesis.h"

namespace kanae::speech {

// The letter files' level, measured the same way (the sound pack's own).
inline constexpr double kSpeechLoudnessDbfs = -18.0;
// Headroom kept above the loudest sample: nothing clips on the way out.
inline constexpr double kSpeechPeakDbfs = -3.5;
// audio::SoundingLoudnessDb of 16-bit samples, by the levelling's measure.
double SoundingLoudnessDbfs(const std::vector<std::int16_t>& samples, int sample_rate);

// To kSpeechLoudnessDbfs, with the peaks held under kSpeechPeakDbfs by the
// limiter rather than by a lower gain. Silence stays silence.
void LevelSpeech(Pcm& pcm);

}  // namespace kanae::speech
