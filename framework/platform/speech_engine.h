// Text-to-speech as the games use it.
#pragma once

#include <functional>
#include <utility>

#include "../spoken_text.h"
#include "../text.h"

namespace kanae {

// Receives the kana reading a voice was given for a text (empty when nothing
// is voiced).
using ReadingHandler = std::function<void(const Text& reading)>;

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // A hint that text is about to be spoken: the engine may read and
  // synthesise it now, so that a later Speak of it starts at once. Returns at once.
  virtual void Prepare(const SpokenText& text) { (void)text; }
  // Runs then once a Speak of text would start at once (it is made, or read
  // from where it was kept, or known to give nothing), having it prepared if
  // it was not: inside the call when that is so already, otherwise later on
  // the GUI thread, never once the engine is gone. A voice that hangs may
  // never run it: whoever waits bounds the wait. An engine that speaks at
  // once whatever it is given is always ready.
  virtual void WhenReady(const SpokenText& text, std::function<void()> then) {
    (void)text;
    then();
  }
  // Starts speaking; any earlier text is cut off. Returns at once, or after a
  // wait too short to be seen. on_reading runs once with the text's reading:
  // inside Speak when it is known by then (always, for a prepared text),
  // otherwise later on the GUI thread, even if the text was stopped or cut off
  // meanwhile (but not once the engine is gone). The finished handler runs
  // once per text spoken to its end, on the GUI thread, never before Speak
  // has returned.
  virtual void Speak(const SpokenText& text, ReadingHandler on_reading) = 0;
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
