#include "platform/speech/end_notifier.h"

namespace kanae::speech {

EndNotifier::EndNotifier(PostToGui post, std::function<void()> notify)
    : post_(std::move(post)), state_(std::make_shared<State>()) {
  state_->notify = std::move(notify);
}

EndNotifier::~EndNotifier() { state_->alive = false; }

std::uint64_t EndNotifier::NewTurn() { return ++state_->turn; }

std::uint64_t EndNotifier::CurrentTurn() const { return state_->turn; }

void EndNotifier::PostEnd(std::uint64_t turn) const {
  if (!post_) return;
  post_([state = state_, turn] {
    // Once per turn, even if an end were posted twice.
    if (state->alive && state->turn == turn && state->delivered.exchange(turn) != turn) state->notify();
  });
}

}  // namespace kanae::speech
