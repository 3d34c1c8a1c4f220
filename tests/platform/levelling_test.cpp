// Levelling every clip to one loudness: peaks limited instead of holding the
// whole clip down, a quiet clip only raised, nothing past the headroom.
#include "platform/audio/levelling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace kanae::audio {
namespace {

constexpr int kRate = 22050;
constexpr double kTarget = -18.0;
constexpr double kCeiling = -3.5;

double Db(double amplitude) { return 20 * std::log10(amplitude); }

double Peak(const std::vector<float>& s) {
  double peak = 0;
  for (float v : s) peak = std::max(peak, double{std::fabs(v)});
  return peak;
}

// seconds of sound, each sample made from its time.
std::vector<float> Make(double seconds, const std::function<double(double)>& at) {
  std::vector<float> s(static_cast<std::size_t>(seconds * kRate));
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<float>(at(static_cast<double>(i) / kRate));
  return s;
}

double Sine(double t, double hz) { return std::sin(2 * std::numbers::pi * hz * t); }

// A vowel-like buzz: a pitch with its harmonics.
double Vowel(double t) {
  double v = 0;
  for (int h = 1; h <= 12; ++h) v += std::sin(2 * std::numbers::pi * 150 * h * t) / h;
  return v / 3;
}

// Syllables of a vowel, every fourth with a short stretch five times as
// loud: a synthetic voice's occasional peaks, which a plain gain stops at.
double PeakySyllables(double t) {
  const double syllable = std::fmod(t, 0.25);
  const bool peak = std::fmod(t, 1.0) < 0.25 && syllable > 0.1 && syllable < 0.115;
  return syllable < 0.2 ? (peak ? 0.5 : 0.1) * Vowel(t) : 0.0;
}

TEST(Levelling, EveryClipReachesTheTargetWithNoSamplePastTheHeadroom) {
  struct Case {
    const char* what;
    std::vector<float> sound;
  };
  const Case cases[] = {
      {"a quiet tone", Make(1.0, [](double t) { return 0.01 * Sine(t, 220); })},
      {"a loud tone", Make(1.0, [](double t) { return 0.95 * Sine(t, 220); })},
      {"occasional peaks, which a plain gain would stop short of the target", Make(2.0, PeakySyllables)},
      {"a loud burst before a quiet vowel, as a voice starts some nasals",
       Make(0.5, [](double t) { return t < 0.03 ? 0.25 * Sine(t, 180) : 0.06 * Sine(t, 180); })},
      {"speech with pauses", Make(2.0, [](double t) { return std::fmod(t, 0.4) < 0.25 ? 0.1 * Vowel(t) : 0.0; })},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.what);
    Level(c.sound, kRate, {.loudness_db = kTarget, .peak_db = kCeiling});
    EXPECT_NEAR(SoundingLoudnessDb(c.sound, kRate), kTarget, 0.2);
    EXPECT_LE(Db(Peak(c.sound)), kCeiling + 1e-4);
  }
}

TEST(Levelling, APlainGainWouldFallShortOfTheTargetOnAPeakyClip) {
  // The premise of the limiter: holding the gain at the peak leaves this
  // clip several dB quiet.
  std::vector<float> peaky = Make(2.0, PeakySyllables);
  Level(peaky, kRate,
        {.loudness_db = kTarget, .peak_db = kCeiling, .most_limiting_db = 0,
         .loudest_part_above_db = std::numeric_limits<double>::infinity()});
  EXPECT_LT(SoundingLoudnessDb(peaky, kRate), kTarget - 2);
  EXPECT_NEAR(Db(Peak(peaky)), kCeiling, 1e-3);
}

TEST(Levelling, AClipWithinTheHeadroomIsOnlyScaled) {
  const std::vector<float> original = Make(0.8, [](double t) { return 0.02 * (Sine(t, 200) + 0.5 * Sine(t, 600)); });
  std::vector<float> levelled = original;
  Level(levelled, kRate, {.loudness_db = kTarget, .peak_db = kCeiling});
  // One gain for every sample: no sound changed in shape.
  const double gain = levelled[100] / original[100];
  EXPECT_GT(gain, 5.0);
  for (std::size_t i = 0; i < original.size(); ++i) {
    ASSERT_NEAR(levelled[i], original[i] * gain, 1e-5) << "sample " << i;
  }
}

TEST(Levelling, MoreLimitingThanAllowedLowersTheWholeClipInstead) {
  // A click over a whisper: reaching the target would take 30 dB off the click.
  std::vector<float> s = Make(0.6, [](double t) { return 0.003 * Sine(t, 300); });
  s[s.size() / 2] = 0.9f;
  Level(s, kRate, {.loudness_db = kTarget, .peak_db = kCeiling, .most_limiting_db = 9});
  EXPECT_NEAR(Db(Peak(s)), kCeiling, 1e-3);
  EXPECT_LT(SoundingLoudnessDb(s, kRate), kTarget - 3);
}

TEST(Levelling, SilenceStaysSilent) {
  std::vector<float> silence(kRate, 0.0f);
  Level(silence, kRate, {.loudness_db = kTarget, .peak_db = kCeiling});
  EXPECT_EQ(Peak(silence), 0.0);
  std::vector<float> empty;
  Level(empty, kRate, {.loudness_db = kTarget, .peak_db = kCeiling});
  EXPECT_TRUE(empty.empty());
}

TEST(LimitPeaks, HoldsEveryPeakAndLeavesTheRestAlone) {
  // A quiet tone with one loud stretch in the middle.
  const std::vector<float> original =
      Make(1.2, [](double t) { return (t >= 0.5 && t < 0.52 ? 0.95 : 0.2) * Sine(t, 250); });
  std::vector<float> limited = original;
  const double ceiling = std::pow(10.0, kCeiling / 20);
  LimitPeaks(limited, kRate, ceiling);
  EXPECT_LE(Peak(limited), ceiling);
  for (std::size_t i = 0; i < original.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    // Before the look-ahead of 5 ms and after the recovery, untouched.
    if (t < 0.494 || t > 1.1) {
      ASSERT_EQ(limited[i], original[i]) << "at " << t << " s";
    }
  }
  // The gain falls before the stretch, not at it: the first loud wave is
  // already held, rather than cut flat.
  const auto at = [&](double t) { return static_cast<std::size_t>(t * kRate); };
  double gain_at_onset = 1;
  for (std::size_t i = at(0.499); i < at(0.5); ++i) {
    if (std::fabs(original[i]) > 0.05) gain_at_onset = std::min(gain_at_onset, double{limited[i] / original[i]});
  }
  EXPECT_LT(gain_at_onset, 0.9);
  // And it changes smoothly: never by more than a few percent from one sample to the next.
  for (std::size_t i = at(0.49); i < at(0.6); ++i) {
    if (std::fabs(original[i]) < 0.05 || std::fabs(original[i + 1]) < 0.05) continue;
    const double step = limited[i + 1] / original[i + 1] - limited[i] / original[i];
    ASSERT_LT(std::fabs(step), 0.05) << "at " << static_cast<double>(i) / kRate << " s";
  }
}

TEST(SoundingLoudness, KWeightingHearsAsAMeterDoes) {
  struct Case {
    const char* what;
    double hz;
    double k_minus_flat_low, k_minus_flat_high;
  };
  // A meter's K filter leaves 1 kHz at +0.7 dB, lifts the top by about 4 dB
  // and takes the low rumble down.
  const Case cases[] = {
      {"1 kHz", 1000, 0.5, 0.9},
      {"a hiss-like 6 kHz", 6000, 3.0, 4.5},
      {"a 30 Hz hum", 30, -20, -3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<float> tone = Make(1.0, [&](double t) { return 0.5 * Sine(t, c.hz); });
    const double difference = SoundingLoudnessDb(tone, kRate, Weighting::kK) - SoundingLoudnessDb(tone, kRate, Weighting::kFlat);
    EXPECT_GE(difference, c.k_minus_flat_low);
    EXPECT_LE(difference, c.k_minus_flat_high);
  }
  // A flat 1 kHz tone at half scale: its mean power is -9 dB.
  EXPECT_NEAR(SoundingLoudnessDb(Make(1.0, [](double t) { return 0.5 * Sine(t, 1000); }), kRate, Weighting::kFlat), -9.03, 0.05);
}

}  // namespace
}  // namespace kanae::audio
