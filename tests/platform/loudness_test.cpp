// Speech is levelled as it is made: to the letter files' loudness, never
// clipped, pauses not counted, silence left silent.
#include "platform/speech/loudness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/speech/open_jtalk_voice.h"

namespace kanae::speech {
namespace {

constexpr int kRate = 22050;

// A 220 Hz tone at the given peak level, with optional silent gaps.
Pcm Tone(double peak_dbfs, double seconds, bool gaps = false) {
  Pcm pcm{kRate, {}};
  const double amplitude = 32767.0 * std::pow(10.0, peak_dbfs / 20);
  for (int i = 0; i < static_cast<int>(seconds * kRate); ++i) {
    const bool silent = gaps && (i / (kRate / 5)) % 2 == 1;  // 0.2 s on, 0.2 s off
    pcm.samples.push_back(silent ? 0 : static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * 220 * i / kRate))));
  }
  return pcm;
}

int Peak(const Pcm& pcm) {
  int peak = 0;
  for (std::int16_t s : pcm.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

TEST(Loudness, SpeechIsBroughtToTheLetterFilesLevelWithoutClipping) {
  struct Case {
    const char* name;
    Pcm pcm;
  };
  // A sine's RMS lies 3 dB below its peak.
  const Case cases[] = {
      {"a quiet voice is raised", Tone(-40, 1.0)},
      {"a loud voice is lowered", Tone(-0.5, 1.0)},
      {"pauses between words do not count", Tone(-30, 2.0, true)},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.name);
    LevelSpeech(c.pcm);
    EXPECT_NEAR(SoundingLoudnessDbfs(c.pcm.samples, kRate), kSpeechLoudnessDbfs, 0.2);
    EXPECT_LE(20 * std::log10(Peak(c.pcm) / 32768.0), kSpeechPeakDbfs + 0.01);
  }
  // Gaps of silence leave the measure as for the tone alone.
  EXPECT_NEAR(SoundingLoudnessDbfs(Tone(-10, 2.0, true).samples, kRate), SoundingLoudnessDbfs(Tone(-10, 2.0).samples, kRate), 0.2);
}

TEST(Loudness, APeakyVoiceIsHeldUnderTheHeadroom) {
  // Short loud clicks on a quiet bed: raising it to the level would clip.
  Pcm pcm = Tone(-50, 1.0);
  for (std::size_t i = 0; i < pcm.samples.size(); i += kRate / 10) pcm.samples[i] = 30000;
  LevelSpeech(pcm);
  EXPECT_NEAR(20 * std::log10(Peak(pcm) / 32768.0), kSpeechPeakDbfs, 0.1);
  EXPECT_LT(SoundingLoudnessDbfs(pcm.samples, kRate), kSpeechLoudnessDbfs);
}

TEST(Loudness, SilenceStaysSilent) {
  Pcm silence{kRate, std::vector<std::int16_t>(kRate, 0)};
  LevelSpeech(silence);
  EXPECT_EQ(Peak(silence), 0);
  Pcm empty{kRate, {}};
  LevelSpeech(empty);
  EXPECT_TRUE(empty.samples.empty());
}

// Open JTalk's prompts differ by several dB among themselves as it makes them;
// levelled, two prompts lie within a fraction of a dB of the letter level.
TEST(Loudness, OpenJTalkPromptsAreLevelledToOneLoudness) {
  OpenJTalkSetup fast;
  fast.speed = 2.0;
  OpenJTalkVoice voice{fast};
  std::string why;
  if (!voice.Start(&why)) GTEST_SKIP() << why;
  for (const SpokenText& text : {Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな",
                                 SpokenText(U"ざんねん。もういちど、やってみよう")}) {
    std::optional<Utterance> made = voice.Render(text);
    ASSERT_TRUE(made.has_value());
    LevelSpeech(made->pcm);
    EXPECT_NEAR(SoundingLoudnessDbfs(made->pcm.samples, made->pcm.sample_rate), kSpeechLoudnessDbfs, 2.0)
        << ToUtf8(text.Plain());
    EXPECT_LE(20 * std::log10(Peak(made->pcm) / 32768.0), kSpeechPeakDbfs + 0.01);
  }
}

}  // namespace
}  // namespace kanae::speech
