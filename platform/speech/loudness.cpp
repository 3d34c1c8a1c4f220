#include "platform/speech/loudness.h"

#include <algorithm>
#include <cmath>

namespace kanae::speech {
namespace {

constexpr double kFullScale = 32768.0;

std::vector<float> ToFloat(const std::vector<std::int16_t>& samples) {
  std::vector<float> out(samples.size());
  std::transform(samples.begin(), samples.end(), out.begin(), [](std::int16_t s) { return static_cast<float>(s / kFullScale); });
  return out;
}

}  // namespace

double SoundingLoudnessDbfs(const std::vector<std::int16_t>& samples, int sample_rate) {
  return audio::SoundingLoudnessDb(ToFloat(samples), sample_rate);
}

void LevelSpeech(Pcm& pcm) {
  std::vector<float> samples = ToFloat(pcm.samples);
  audio::Level(samples, pcm.sample_rate, {.loudness_db = kSpeechLoudnessDbfs, .peak_db = kSpeechPeakDbfs});
  // Rounded down in size, so the limiter's ceiling holds in 16 bits too.
  std::transform(samples.begin(), samples.end(), pcm.samples.begin(), [](float v) {
    return static_cast<std::int16_t>(std::clamp(std::trunc(v * kFullScale), -32768.0, 32767.0));
  });
}

}  // namespace kanae::speech
