// The kiosk lock: the teacher's keys (Esc, H, N, S, R) act only after being
// held down for two seconds, so a child's stray press does nothing. The
// window feeds key presses, releases and clock ticks; this decides.
#pragma once

#include <cstdint>

namespace kanae {

class KeyHold {
 public:
  static constexpr std::int64_t kHoldMilliseconds = 2000;

  // A press of a teacher's key (its code, as the lesson's keys). Repeats that
  // the keyboard sends while the key stays down neither start nor restart a hold.
  void Press(int key_code, std::int64_t now_ms, bool auto_repeat);
  // A release; a release sent by the keyboard's repeat is no release.
  void Release(int key_code, bool auto_repeat);
  // Forgets the held key (the window lost the keyboard, so no release will come).
  void Cancel();
  // The key to act on now, once per hold, or 0.
  int Poll(std::int64_t now_ms);

  // The key being held towards its action, or 0; and how far, from 0 to 1.
  int Holding() const { return fired_ ? 0 : key_; }
  double Progress(std::int64_t now_ms) const;

 private:
  int key_ = 0;
  std::int64_t since_ms_ = 0;
  bool fired_ = false;
};

}  // namespace kanae
