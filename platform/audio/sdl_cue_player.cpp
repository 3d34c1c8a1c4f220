#include "platform/audio/sdl_cue_player.h"

#include <algorithm>

namespace kanae::audio {

SdlCuePlayer::SdlCuePlayer(std::shared_ptr<AudioDevice> device) : device_(std::move(device)) {}

SdlCuePlayer::~SdlCuePlayer() { Stop(); }

void SdlCuePlayer::Play(const std::filesystem::path& file) {
  const auto length = device_->PlayFile(Channel::kCue, file);
  expected_end_ = AudioDevice::Clock::now() + length.value_or(AudioDevice::Clock::duration::zero());
}

void SdlCuePlayer::Stop() { device_->Stop(Channel::kCue); }

bool SdlCuePlayer::IsPlaying() { return device_->IsPlaying(Channel::kCue); }

void SdlCuePlayer::WaitForEnd() {
  if (!device_->IsPlaying(Channel::kCue)) return;
  const auto now = AudioDevice::Clock::now();
  const auto deadline = std::min(std::max(expected_end_, now) + kEndMargin, now + kLongestWait);
  device_->WaitForEnd(Channel::kCue, deadline);
}

}  // namespace kanae::audio
