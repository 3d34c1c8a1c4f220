#include "speech_started_on_worker.h"

#include <utility>

namespace kanae {

SpeechStartedOnWorker::SpeechStartedOnWorker(Factory make_engine, PostToGui post_to_gui)
    : handover_(std::make_shared<Handover>()) {
  handover_->owner = this;
  starter_ = std::thread([handover = handover_, make_engine = std::move(make_engine), post = std::move(post_to_gui)] {
    std::unique_ptr<SpeechEngine> engine = make_engine();
    {
      std::lock_guard lock(handover->mutex);
      handover->engine = std::move(engine);
    }
    post([handover] {
      if (handover->owner != nullptr) handover->owner->TakeEngine();
    });
  });
}

SpeechStartedOnWorker::~SpeechStartedOnWorker() {
  if (starter_.joinable()) starter_.join();
  handover_->owner = nullptr;
  std::lock_guard lock(handover_->mutex);
  handover_->engine.reset();
}

void SpeechStartedOnWorker::TakeEngine() {
  {
    std::lock_guard lock(handover_->mutex);
    engine_ = std::move(handover_->engine);
  }
  if (!engine_) return;
  engine_->SetFinishedHandler([this] { NotifyFinished(); });
  if (waiting_) {
    engine_->Speak(*waiting_);
    waiting_.reset();
  }
}

void SpeechStartedOnWorker::Speak(const Text& text) {
  if (engine_) {
    engine_->Speak(text);
  } else {
    waiting_ = text;  // a newer text replaces one not yet begun, as speaking it would
  }
}

void SpeechStartedOnWorker::Stop() {
  waiting_.reset();
  if (engine_) engine_->Stop();
}

}  // namespace kanae
