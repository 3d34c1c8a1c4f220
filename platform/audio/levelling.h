// One loudness for every clip the child hears: a measure of how loud a clip
// sounds, and a levelling that brings it to a target loudness without
// clipping. Mono samples, full scale 1.
#pragma once

#include <span>
#include <vector>

namespace kanae::audio {

enum class Weighting {
  kFlat,  // plain power
  kK,     // the ear's weighting of broadcast loudness meters (ITU-R BS.1770)
};

// The measure clips are levelled by: K-weighted, as loudness meters hear it
// (for speech within a few tenths of a dB of the flat measure; it counts a
// low hum for less and a hiss for more).
inline constexpr Weighting kLevellingWeighting = Weighting::kK;

// Mean power, in dB relative to full scale, over the 20 ms windows that sound
// (within 40 dB of the loudest), so pauses between words do not lower it.
// Very low (-200) for silence.
double SoundingLoudnessDb(std::span<const float> samples, int sample_rate, Weighting weighting = kLevellingWeighting);

struct LevelTarget {
  double loudness_db;  // by SoundingLoudnessDb
  double peak_db;      // no sample above this after levelling
  // Most the limiter may take off a peak. A clip that would need more (a
  // click over a whisper) is levelled lower instead: squeezing it harder
  // would be heard as pumping.
  double most_limiting_db = 9.0;
  // A short part louder than the target by more than this is brought down
  // (speech's loudest syllables stand a few dB above its mean; a part far
  // above is a fault of the voice). Infinity leaves loud parts alone, as a
  // cue's attack is its character.
  double loudest_part_above_db = 7.0;
  Weighting weighting = kLevellingWeighting;
};

// Gain to the target loudness; a peak that would pass the ceiling is held
// down by a look-ahead limiter, so the clip still reaches the target instead
// of stopping at its loudest sample, and a short part far louder than the
// rest (loudest_part_above_db over 10 ms) is brought down the same smooth
// way, so it does not hold the whole clip down. A clip with neither only
// gets the gain. Silence stays silence.
void Level(std::vector<float>& samples, int sample_rate, const LevelTarget& target);

// The limiter alone: no sample above ceiling (full scale 1) afterwards. The
// gain falls smoothly over 5 ms before a peak and recovers over about 60 ms
// after it; samples far from any peak are left as they are.
void LimitPeaks(std::span<float> samples, int sample_rate, double ceiling);

}  // namespace kanae::audio
