// The kiosk lock: the teacher's keys (Esc, H, N, S, R) act only after being
// held down for two seconds, so a child's stray press does nothing. The
// window feeds key presses, releases and clock ticks; this decides.
//
// A key held down under X's auto-repeat arrives as a stream of release and
// press pairs, each pair sent at the same moment, and the window system does
// not reliably mark them as repeats. A release therefore ends a hold unless a
// press of the same key, sent at once, follows it: the pair is the key
// staying down, and the hold goes on where it was.
#pragma once

#include <cstdint>

namespace kanae {

class KeyHold {
 public:
  static constexpr std::int64_t kHoldMilliseconds = 2000;
  // A press this soon after the release of the same key, by the time the
  // keyboard sent them, is the keyboard's repeat. Repeats come as one pair
  // with the same time; no hand lets go and presses again this quickly.
  static constexpr std::int64_t kRepeatGapMilliseconds = 30;

  // now_ms is the clock the hold is measured by; sent_ms the time the
  // keyboard sent the event (negative when unknown: now_ms stands in).
  // auto_repeat: the window system marked the press as a repeat.
  void Press(int key_code, std::int64_t now_ms, bool auto_repeat, std::int64_t sent_ms = -1);
  void Release(int key_code, std::int64_t now_ms, bool auto_repeat, std::int64_t sent_ms = -1);
  // Forgets the held key (the window lost the keyboard, so no release will come).
  void Cancel();
  // The key to act on now, once per hold, or 0.
  int Poll(std::int64_t now_ms);

  // The key being held towards its action, or 0; and how far, from 0 to 1.
  int Holding() const { return fired_ || released_ ? 0 : key_; }
  double Progress(std::int64_t now_ms) const;

 private:
  int key_ = 0;
  std::int64_t since_ms_ = 0;
  bool fired_ = false;
  // The held key was released; a press sent at once takes the hold up again.
  bool released_ = false;
  std::int64_t released_sent_ms_ = 0;
};

}  // namespace kanae
