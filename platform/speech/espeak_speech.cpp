#include "platform/speech/espeak_speech.h"

#include "platform/audio/wav.h"
#include "platform/speech/synthesis.h"

namespace kanae::speech {

using audio::Channel;

EspeakSpeech::EspeakSpeech(PostToGui post_to_gui, std::shared_ptr<audio::AudioDevice> device)
    : device_(std::move(device)), ends_(std::move(post_to_gui), [this] { NotifyFinished(); }) {
  device_->SetEndListener(Channel::kSpeech, [this] { ends_.PostEnd(sounding_turn_); });
  worker_ = std::thread([this] { Run(); });
}

EspeakSpeech::~EspeakSpeech() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  worker_.join();
  device_->SetEndListener(Channel::kSpeech, nullptr);
  // Halting takes the mixer's lock, so a listener call already under way on
  // the audio thread has finished once this returns.
  device_->Stop(Channel::kSpeech);
}

void EspeakSpeech::Speak(const Text& text) {
  std::lock_guard play(play_mutex_);
  const std::uint64_t turn = ends_.NewTurn();
  {
    std::lock_guard lock(mutex_);
    pending_ = Request{text, turn};
  }
  wake_.notify_one();
  // The earlier text stops now rather than when the new one is ready.
  device_->Stop(Channel::kSpeech);
}

void EspeakSpeech::Stop() {
  std::lock_guard play(play_mutex_);
  ends_.NewTurn();
  {
    std::lock_guard lock(mutex_);
    pending_.reset();
  }
  device_->Stop(Channel::kSpeech);
}

void EspeakSpeech::Run() {
  for (;;) {
    Request request;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || pending_.has_value(); });
      if (quit_) break;
      request = std::move(*pending_);
      pending_.reset();
    }
    Voice(request);
  }
  audio::AudioDevice::ReleaseThreadState();
}

void EspeakSpeech::Voice(const Request& request) {
  const std::optional<Pcm> pcm = Synthesize(request.text);
  std::lock_guard play(play_mutex_);
  if (ends_.CurrentTurn() != request.turn) return;  // superseded or stopped meanwhile
  sounding_turn_ = request.turn;
  bool started = false;
  if (pcm && !pcm->samples.empty()) {
    started = device_->PlayWav(Channel::kSpeech, audio::EncodeWav(pcm->samples, pcm->sample_rate)).has_value();
  }
  // Nothing to say, no voice, or no output: the text is over already.
  if (!started) ends_.PostEnd(request.turn);
}

}  // namespace kanae::speech
