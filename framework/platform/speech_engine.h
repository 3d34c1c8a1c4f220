// Text-to-speech as the games use it.
#pragma once

#include <functional>
#include <utility>

#include "../text.h"

namespace kanae {

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // Starts speaking and returns at once. The finished handler runs once per
  // text spoken to its end, on the GUI thread, never before Speak has returned.
  virtual void Speak(const Text& text) = 0;
  // Ends any speech at once. Whether the finished handler then runs is not fixed.
  virtual void Stop() = 0;

  void SetFinishedHandler(std::function<void()> handler) { finished_ = std::move(handler); }

 protected:
  void NotifyFinished() {
    if (finished_) finished_();
  }

 private:
  std::function<void()> finished_;
};

}  // namespace kanae
