#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "headless.h"
#include "platform/audio/sdl_cue_player.h"
#include "platform/audio/wav.h"

namespace kanae::audio {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// Generous upper slack: the dummy driver works in ~23 ms blocks and the
// machine may be busy; an early end is the fault that matters most.
constexpr Ms kEarly = 60ms;
constexpr Ms kLate = 400ms;

class CuePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kanae_cue_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // A 440 Hz tone of the given length at 22.05 kHz, as the sound packs use.
  std::filesystem::path Tone(const std::string& name, Ms length) {
    constexpr int kRate = 22050;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(kRate * length.count() / 1000));
    for (std::size_t i = 0; i < samples.size(); ++i) {
      samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / kRate));
    }
    const auto file = dir_ / name;
    EXPECT_TRUE(WriteWavFile(file, samples, kRate));
    return file;
  }

  static Ms Since(Clock::time_point start) { return std::chrono::duration_cast<Ms>(Clock::now() - start); }

  std::filesystem::path dir_;
  SdlCuePlayer player_;
};

TEST_F(CuePlayerTest, WaitForEndReturnsWhenTheCueHasSoundedItsLength) {
  const Ms length = 500ms;
  const auto cue = Tone("tone.wav", length);
  const auto start = Clock::now();
  player_.Play(cue);
  EXPECT_TRUE(player_.IsPlaying());
  player_.WaitForEnd();
  const Ms waited = Since(start);
  EXPECT_FALSE(player_.IsPlaying());
  EXPECT_GE(waited, length - kEarly);
  EXPECT_LE(waited, length + kLate);
}

TEST_F(CuePlayerTest, IsPlayingTurnsFalseByItselfAtTheEnd) {
  const Ms length = 300ms;
  const auto cue = Tone("tone.wav", length);
  const auto start = Clock::now();
  player_.Play(cue);
  while (player_.IsPlaying() && Since(start) < 5s) std::this_thread::sleep_for(5ms);
  const Ms sounded = Since(start);
  EXPECT_GE(sounded, length - kEarly);
  EXPECT_LE(sounded, length + kLate);
}

TEST_F(CuePlayerTest, WaitedCuesFollowOneAnotherWithoutOverlap) {
  const Ms first = 300ms;
  const Ms second = 200ms;
  const auto a = Tone("a.wav", first);
  const auto b = Tone("b.wav", second);
  const auto start = Clock::now();
  player_.Play(a);
  player_.WaitForEnd();
  const Ms first_end = Since(start);
  EXPECT_FALSE(player_.IsPlaying());
  player_.Play(b);
  EXPECT_TRUE(player_.IsPlaying());
  player_.WaitForEnd();
  EXPECT_GE(first_end, first - kEarly);
  EXPECT_GE(Since(start), first + second - kEarly);
}

TEST_F(CuePlayerTest, PlayCutsOffTheEarlierCue) {
  const Ms short_length = 200ms;
  const auto long_cue = Tone("long.wav", 3000ms);
  const auto short_cue = Tone("short.wav", short_length);
  player_.Play(long_cue);
  std::this_thread::sleep_for(50ms);
  const auto start = Clock::now();
  player_.Play(short_cue);
  player_.WaitForEnd();
  EXPECT_FALSE(player_.IsPlaying());
  EXPECT_LE(Since(start), short_length + kLate);
}

TEST_F(CuePlayerTest, StopEndsTheCueAtOnce) {
  player_.Play(Tone("tone.wav", 2000ms));
  ASSERT_TRUE(player_.IsPlaying());
  player_.Stop();
  EXPECT_FALSE(player_.IsPlaying());
  const auto start = Clock::now();
  player_.WaitForEnd();
  EXPECT_LE(Since(start), 20ms);
}

TEST_F(CuePlayerTest, UnplayableFilesAreSilentAndCostNoWait) {
  std::ofstream(dir_ / "text.wav") << "not a wave file";
  std::ofstream(dir_ / "empty.wav");
  {
    // A header that promises data that is not there.
    const auto image = EncodeWav(std::vector<std::int16_t>(1000), 22050);
    std::ofstream(dir_ / "truncated.wav", std::ios::binary).write(reinterpret_cast<const char*>(image.data()), 44);
  }
  std::filesystem::create_directory(dir_ / "folder.wav");
  for (const char* name : {"missing.wav", "text.wav", "empty.wav", "truncated.wav", "folder.wav"}) {
    SCOPED_TRACE(name);
    // An earlier cue is stopped even when the new file cannot play.
    player_.Play(Tone("before.wav", 2000ms));
    player_.Play(dir_ / name);
    EXPECT_FALSE(player_.IsPlaying());
    const auto start = Clock::now();
    player_.WaitForEnd();
    EXPECT_LE(Since(start), 20ms);
  }
}

}  // namespace
}  // namespace kanae::audio
