// Text-to-speech as the games use it.
#pragma once

#include <functional>
#include <utility>

#include "../spoken_text.h"
#include "../text.h"

namespace kanae {

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // A hint that text is about to be spoken: the engine may read and
  // synthesise it now, so that a later Speak of it starts at once. Returns at once.
  virtual void Prepare(const SpokenText& text) { (void)text; }
  // Starts speaking and returns the kana reading the voice was given (empty
  // when nothing is voiced). The finished handler runs once per text spoken
  // to its end, on the GUI thread, never before Speak has returned.
  virtual Text Speak(const SpokenText& text) = 0;
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
