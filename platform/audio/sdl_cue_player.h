// Plays cue and letter-sound .wav files on the shared audio device.
#pragma once

#include <chrono>
#include <memory>

#include "platform/audio/audio_device.h"
#include "platform/cue_player.h"

namespace kanae::audio {

class SdlCuePlayer : public CuePlayer {
 public:
  explicit SdlCuePlayer(std::shared_ptr<AudioDevice> device = AudioDevice::Shared());
  ~SdlCuePlayer() override;

  void Play(const std::filesystem::path& file) override;
  void Stop() override;
  bool IsPlaying() override;
  // Waits for the cue's end, at most its remaining length plus a margin and
  // never longer than kLongestWait; a cue still sounding then is stopped.
  void WaitForEnd() override;

  static constexpr std::chrono::milliseconds kEndMargin{1000};
  static constexpr std::chrono::milliseconds kLongestWait{10000};

 private:
  std::shared_ptr<AudioDevice> device_;
  AudioDevice::Clock::time_point expected_end_{};
};

}  // namespace kanae::audio
