// Tidying of the speech engine's letters: trimmed, evened, faded, their vowel held.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "lengthen.h"
#include "pcm.h"

namespace kanae::sound_pack {
namespace {

struct Burst {
  double start;      // seconds
  double length;     // seconds
  double amplitude;  // full scale 1
};

Samples Render(double total, const std::vector<Burst>& bursts) {
  Samples s(static_cast<std::size_t>(total * kSampleRate), 0.0f);
  for (const Burst& b : bursts) {
    const auto first = static_cast<std::size_t>(b.start * kSampleRate);
    const auto count = static_cast<std::size_t>(b.length * kSampleRate);
    for (std::size_t i = 0; i < count; ++i) {
      s[first + i] = static_cast<float>(b.amplitude * std::sin(2 * std::numbers::pi * 300 * i / kSampleRate));
    }
  }
  return s;
}

TEST(TidySpeech, TrimsSilenceAndEvensLoudness) {
  struct Case {
    const char* what;
    double total;
    std::vector<Burst> bursts;
  };
  const Case cases[] = {
      {"quiet, long lead-in", 1.0, {{0.5, 0.3, 0.02}}},
      {"loud, long tail", 1.2, {{0.05, 0.25, 0.9}}},
      {"pause inside the word", 1.0, {{0.2, 0.15, 0.3}, {0.45, 0.15, 0.3}}},
      {"soft ending kept", 1.0, {{0.1, 0.3, 0.5}, {0.4, 0.1, 0.02}}},
  };
  const double margin = 0.05;  // trimming keeps a little before and after
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Samples tidy = TidySpeech(Render(c.total, c.bursts));
    const double spoken = c.bursts.back().start + c.bursts.back().length - c.bursts.front().start;
    const double seconds = static_cast<double>(tidy.size()) / kSampleRate;
    EXPECT_GE(seconds, spoken);
    EXPECT_LE(seconds, spoken + 2 * margin);
    EXPECT_NEAR(20 * std::log10(SoundingRms(tidy)), kSpeechRmsDbfs, 1.0);
    EXPECT_LE(20 * std::log10(Peak(tidy)), kPeakDbfs + 1e-6);
    ASSERT_FALSE(tidy.empty());
    EXPECT_LT(std::fabs(tidy.front()), 1e-3);
    EXPECT_LT(std::fabs(tidy.back()), 1e-3);
  }
}

TEST(TidySpeech, HoldsThePeakWhenEvenLoudnessWouldClip) {
  // A spike over a quiet bed: raising it to speech loudness would clip.
  Samples s = Render(0.6, {{0.1, 0.4, 0.01}});
  s[static_cast<std::size_t>(0.3 * kSampleRate)] = 0.9f;
  const Samples tidy = TidySpeech(s);
  EXPECT_NEAR(20 * std::log10(Peak(tidy)), kPeakDbfs, 1e-3);
  EXPECT_LT(20 * std::log10(SoundingRms(tidy)), kSpeechRmsDbfs);
}

TEST(TidySpeech, SilenceGivesNothing) {
  EXPECT_TRUE(TidySpeech(Samples(kSampleRate, 0.0f)).empty());
  EXPECT_TRUE(TidySpeech({}).empty());
}

// A vowel-like buzz: a pitch with its harmonics.
Samples Buzz(double seconds, double pitch, double amplitude) {
  Samples s(static_cast<std::size_t>(seconds * kSampleRate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    double v = 0;
    for (int h = 1; h <= 12; ++h) v += std::sin(2 * std::numbers::pi * pitch * h * static_cast<double>(i) / kSampleRate) / h;
    s[i] = static_cast<float>(amplitude * v / 3);
  }
  return s;
}

// A hiss, as of s or sh: white noise from a fixed seed.
Samples Hiss(double seconds, double amplitude) {
  Samples s(static_cast<std::size_t>(seconds * kSampleRate));
  std::uint32_t state = 12345;
  for (float& v : s) {
    state = state * 1664525u + 1013904223u;
    v = static_cast<float>(amplitude * (static_cast<double>(state >> 8) / (1 << 24) * 2 - 1));
  }
  return s;
}

Samples Join(const std::vector<Samples>& parts) {
  Samples all;
  for (const Samples& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The voicing measure counts a voice's pitch and not noise: a vowel-like
// buzz counts for its length, a hiss (s, sh) and silence count for nothing.
TEST(VoicedSeconds, CountsPitchNotNoise) {
  const auto buzz = Buzz;
  const auto hiss = Hiss;
  const auto join = Join;
  struct Case {
    const char* what;
    Samples sound;
    double voiced_low, voiced_high;
  };
  const Case cases[] = {
      {"a low voice's vowel", buzz(0.3, 110, 0.5), 0.27, 0.31},
      {"a child's pitch", buzz(0.2, 300, 0.5), 0.17, 0.21},
      {"hiss", hiss(0.4, 0.5), 0.0, 0.02},
      {"silence", Samples(kSampleRate / 2, 0.0f), 0.0, 0.0},
      {"hiss then vowel, as in さ", join({hiss(0.15, 0.2), buzz(0.1, 120, 0.5), Samples(kSampleRate / 5, 0.0f)}), 0.08, 0.12},
      {"a far quieter hum after the vowel is not counted", join({buzz(0.1, 120, 0.5), buzz(0.2, 120, 0.005)}), 0.08, 0.12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const double voiced = VoicedSeconds(c.sound);
    EXPECT_GE(voiced, c.voiced_low);
    EXPECT_LE(voiced, c.voiced_high);
  }
}

// Where the first voiced step starts, in seconds.
double VoiceOnset(const Samples& s) {
  const std::vector<bool> voiced = VoicedSteps(s);
  const auto first = std::find(voiced.begin(), voiced.end(), true);
  return static_cast<double>(first - voiced.begin()) * kVoicingStepSeconds;
}

TEST(LengthenVowel, HoldsTheVowelAndLeavesTheConsonant) {
  // さ as the voice says it alone: a hiss, then a vowel too short to catch.
  const Samples sa = Join({Hiss(0.12, 0.1), Buzz(0.06, 120, 0.5), Samples(kSampleRate / 10, 0.0f)});
  const Samples held = LengthenVowel(sa, 0.3);
  EXPECT_GE(VoicedSeconds(held), 0.28);
  EXPECT_LE(static_cast<double>(held.size()) / kSampleRate, static_cast<double>(sa.size()) / kSampleRate + 0.4);
  // The hiss keeps its length: the vowel starts where it did.
  EXPECT_NEAR(VoiceOnset(held), VoiceOnset(sa), 0.021);
  // No overshoot: the held vowel is no louder than the voice made it.
  EXPECT_LE(Peak(held), 0.6);

  // Long enough already, or nothing to hold: unchanged.
  const Samples long_vowel = Join({Hiss(0.05, 0.1), Buzz(0.35, 120, 0.5)});
  EXPECT_EQ(LengthenVowel(long_vowel, 0.3), long_vowel);
  const Samples hiss = Hiss(0.3, 0.3);
  EXPECT_EQ(LengthenVowel(hiss, 0.3), hiss);
}

}  // namespace
}  // namespace kanae::sound_pack
