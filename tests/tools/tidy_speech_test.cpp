// Tidying of the speech engine's letters: trimmed, evened, faded.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

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

}  // namespace
}  // namespace kanae::sound_pack
