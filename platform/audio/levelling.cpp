#include "platform/audio/levelling.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>

namespace kanae::audio {
namespace {

constexpr double kSilenceDb = -200.0;
constexpr double kWindowSeconds = 0.02;
constexpr double kLookAheadSeconds = 0.005;
constexpr double kReleaseSeconds = 0.06;


double DbOfPower(double power) { return power > 0 ? 10 * std::log10(power) : kSilenceDb; }
double GainOfDb(double db) { return std::pow(10.0, db / 20); }

std::size_t WindowLength(int sample_rate) {
  return std::max<std::size_t>(1, static_cast<std::size_t>(std::max(sample_rate, 1) * kWindowSeconds));
}

// Mean square of each 20 ms window, as the samples are.
std::vector<double> FlatWindowPowers(std::span<const float> samples, int sample_rate) {
  const std::size_t window = WindowLength(sample_rate);
  std::vector<double> powers;
  for (std::size_t at = 0; at < samples.size(); at += window) {
    const std::size_t end = std::min(samples.size(), at + window);
    double sum = 0;
    for (std::size_t i = at; i < end; ++i) sum += double{samples[i]} * samples[i];
    powers.push_back(sum / static_cast<double>(end - at));
  }
  return powers;
}

// The same after the meter's K filter (libebur128 keeps the filtered sound
// and reports the mean square of its last window).
std::vector<double> KWindowPowers(std::span<const float> samples, int sample_rate) {
  std::vector<double> powers;
  if (sample_rate <= 0) return powers;
  const std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter(
      ebur128_init(1, static_cast<unsigned long>(sample_rate), EBUR128_MODE_M), [](ebur128_state* m) { ebur128_destroy(&m); });
  if (!meter) return FlatWindowPowers(samples, sample_rate);
  const std::size_t window = WindowLength(sample_rate);
  const auto window_ms = static_cast<unsigned long>(std::lround(kWindowSeconds * 1000));
  for (std::size_t at = 0; at + window <= samples.size(); at += window) {
    double lufs = -HUGE_VAL;
    if (ebur128_add_frames_float(meter.get(), samples.data() + at, window) != EBUR128_SUCCESS ||
        ebur128_loudness_window(meter.get(), window_ms, &lufs) != EBUR128_SUCCESS) {
      return FlatWindowPowers(samples, sample_rate);
    }
    // LUFS is -0.691 + 10 log10(mean square of the filtered sound).
    powers.push_back(std::isfinite(lufs) ? std::pow(10.0, (lufs + 0.691) / 10) : 0.0);
  }
  return powers;
}

double Peak(std::span<const float> samples) {
  double peak = 0;
  for (float v : samples) peak = std::max(peak, double{std::fabs(v)});
  return peak;
}

}  // namespace

double SoundingLoudnessDb(std::span<const float> samples, int sample_rate, Weighting weighting) {
  // Which windows sound is judged on the sound itself; the K filter's own
  // ringing after a sound stops must not count as sound.
  const std::vector<double> flat = FlatWindowPowers(samples, sample_rate);
  const std::vector<double> powers = weighting == Weighting::kK ? KWindowPowers(samples, sample_rate) : flat;
  if (powers.empty()) return kSilenceDb;
  const double loudest = *std::max_element(flat.begin(), flat.end());
  if (loudest <= 0) return kSilenceDb;
  const double gate = loudest * 1e-4;  // 40 dB below, in power
  double sum = 0;
  int counted = 0;
  for (std::size_t i = 0; i < powers.size() && i < flat.size(); ++i) {
    if (flat[i] >= gate) sum += powers[i], ++counted;
  }
  return counted > 0 ? DbOfPower(sum / counted) : kSilenceDb;
}

namespace {

// Scales each sample by no more than allowed[i] lets it, with a gain that
// falls smoothly over look samples ahead of a loud part and recovers over
// about kReleaseSeconds after it.
void ApplyAllowedGain(std::span<float> samples, const std::vector<double>& allowed, int sample_rate) {
  const std::size_t n = samples.size();
  const std::size_t look = std::max<std::size_t>(1, static_cast<std::size_t>(std::max(sample_rate, 1) * kLookAheadSeconds));
  // The least gain allowed within the look-ahead (a sliding minimum), then
  // averaged over the same length: the gain is down before the loud part
  // comes, and at every sample no more than that sample allows, since each
  // average only takes minimums over windows that hold the sample.
  std::vector<double> least(n);
  std::deque<std::size_t> window;  // indices of allowed, values rising
  for (std::size_t j = n; j-- > 0;) {
    while (!window.empty() && allowed[window.back()] >= allowed[j]) window.pop_back();
    window.push_back(j);
    if (window.front() >= j + look) window.pop_front();
    least[j] = allowed[window.front()];
  }
  // The time before the clip counts as needing no gain change.
  double sum = static_cast<double>(look);
  double held = 1.0;
  const double recovery = 1 - std::exp(-1.0 / (kReleaseSeconds * std::max(sample_rate, 1)));
  for (std::size_t i = 0; i < n; ++i) {
    sum += least[i] - (i >= look ? least[i - look] : 1.0);
    const double average = std::min(1.0, sum / static_cast<double>(look));
    // Falls at once with the average, recovers slowly towards it, and is
    // whole again once a thousandth of a dB away.
    held = std::min(average, held + (1.0 - held) * recovery);
    if (held > 1 - 1e-4 && average >= 1.0) held = 1.0;
    // Rounding in the running sum must never let a sample past what it allows.
    samples[i] = static_cast<float>(samples[i] * std::min(held, allowed[i]));
  }
}

// A part far louder than the rest (the burst some voices start a nasal
// with) is brought down to threshold, measured as the power of the 10 ms
// around each sample: it would otherwise set the level of the whole clip.
void TameLoudParts(std::span<float> samples, int sample_rate, double threshold) {
  const std::size_t n = samples.size();
  const std::size_t half = std::max<std::size_t>(1, static_cast<std::size_t>(std::max(sample_rate, 1) * 0.005));
  std::vector<double> prefix(n + 1, 0.0);
  for (std::size_t i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + double{samples[i]} * samples[i];
  std::vector<double> allowed(n, 1.0);
  bool any = false;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t begin = i > half ? i - half : 0, end = std::min(n, i + half + 1);
    const double rms = std::sqrt(std::max(0.0, prefix[end] - prefix[begin]) / static_cast<double>(end - begin));
    if (rms > threshold) allowed[i] = threshold / rms, any = true;
  }
  if (any) ApplyAllowedGain(samples, allowed, sample_rate);
}

}  // namespace

void LimitPeaks(std::span<float> samples, int sample_rate, double ceiling) {
  if (samples.empty() || ceiling <= 0) return;
  std::vector<double> allowed(samples.size());
  bool any = false;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double a = std::fabs(samples[i]);
    allowed[i] = a > ceiling ? ceiling / a : 1.0;
    any = any || a > ceiling;
  }
  if (any) ApplyAllowedGain(samples, allowed, sample_rate);
}

void Level(std::vector<float>& samples, int sample_rate, const LevelTarget& target) {
  const double loudness = SoundingLoudnessDb(samples, sample_rate, target.weighting);
  if (loudness <= kSilenceDb || Peak(samples) <= 0) return;
  const double ceiling = GainOfDb(target.peak_db);
  // Taming and limiting take a little loudness away: the gain is found
  // again on the result, a few times, until it reaches the target.
  double gain_db = target.loudness_db - loudness;
  std::vector<float> levelled;
  for (int round = 0; round < 6; ++round) {
    levelled = samples;
    const auto gain = static_cast<float>(GainOfDb(gain_db));
    for (float& v : levelled) v *= gain;
    if (std::isfinite(target.loudest_part_above_db)) {
      TameLoudParts(levelled, sample_rate, GainOfDb(target.loudness_db + target.loudest_part_above_db));
    }
    // More limiting than allowed: the whole clip goes down instead.
    const double excess = 20 * std::log10(std::max(Peak(levelled), 1e-12)) - target.peak_db - target.most_limiting_db;
    const bool held_down = excess > 0;
    if (held_down) {
      const auto down = static_cast<float>(GainOfDb(-excess));
      for (float& v : levelled) v *= down;
    }
    LimitPeaks(levelled, sample_rate, ceiling);
    const double short_by = target.loudness_db - SoundingLoudnessDb(levelled, sample_rate, target.weighting);
    if (std::fabs(short_by) < 0.05 || (held_down && short_by > 0)) break;
    gain_db += short_by;
  }
  samples = std::move(levelled);
}

}  // namespace kanae::audio
