#include "platform/speech/loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kanae::speech {
namespace {

constexpr double kFullScale = 32768.0;
constexpr double kSilenceDbfs = -200.0;

double ToDbfs(double level) { return level > 0 ? 20 * std::log10(level / kFullScale) : kSilenceDbfs; }

}  // namespace

double SoundingLoudnessDbfs(const std::vector<std::int16_t>& samples, int sample_rate) {
  const std::size_t window = std::max<std::size_t>(1, static_cast<std::size_t>(std::max(sample_rate, 1)) / 50);
  std::vector<double> powers;  // mean square of each window
  for (std::size_t at = 0; at < samples.size(); at += window) {
    const std::size_t end = std::min(samples.size(), at + window);
    double sum = 0;
    for (std::size_t i = at; i < end; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    powers.push_back(sum / static_cast<double>(end - at));
  }
  if (powers.empty()) return kSilenceDbfs;
  const double loudest = *std::max_element(powers.begin(), powers.end());
  if (loudest <= 0) return kSilenceDbfs;
  const double gate = loudest * 1e-4;  // 40 dB below, in power
  double sum = 0;
  int counted = 0;
  for (double p : powers) {
    if (p >= gate) sum += p, ++counted;
  }
  return ToDbfs(std::sqrt(sum / counted));
}

void LevelSpeech(Pcm& pcm) {
  const double loudness = SoundingLoudnessDbfs(pcm.samples, pcm.sample_rate);
  if (loudness <= kSilenceDbfs) return;
  int peak = 0;
  for (std::int16_t s : pcm.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  const double gain_db = std::min(kSpeechLoudnessDbfs - loudness, kSpeechPeakDbfs - ToDbfs(peak));
  const double gain = std::pow(10.0, gain_db / 20);
  for (std::int16_t& s : pcm.samples) {
    s = static_cast<std::int16_t>(std::clamp(std::lround(s * gain), -32768L, 32767L));
  }
}

}  // namespace kanae::speech
