#include "key_hold.h"

#include <algorithm>

namespace kanae {

void KeyHold::Press(int key_code, std::int64_t now_ms, bool auto_repeat, std::int64_t sent_ms) {
  if (sent_ms < 0) sent_ms = now_ms;
  if (key_code == key_) {
    if (released_) {
      // The second half of a repeat pair: the key never went up, and the
      // hold goes on from where it was.
      if (sent_ms - released_sent_ms_ <= kRepeatGapMilliseconds) {
        released_ = false;
        return;
      }
      if (auto_repeat) return;
      // Let go and pressed again: a new hold, which may act again.
      released_ = false;
      since_ms_ = now_ms;
      fired_ = false;
      return;
    }
    // Still down (no release came between): a repeat, whatever its mark.
    return;
  }
  // A repeat of a key whose press we never saw starts nothing.
  if (auto_repeat) return;
  key_ = key_code;
  since_ms_ = now_ms;
  fired_ = false;
  released_ = false;
}

void KeyHold::Release(int key_code, std::int64_t now_ms, bool auto_repeat, std::int64_t sent_ms) {
  if (key_code != key_) return;
  // A release the window system marks as a repeat is one; an unmarked one
  // ends the hold unless its press follows.
  if (auto_repeat) return;
  released_ = true;
  released_sent_ms_ = sent_ms < 0 ? now_ms : sent_ms;
}

void KeyHold::Cancel() {
  key_ = 0;
  fired_ = false;
  released_ = false;
}

int KeyHold::Poll(std::int64_t now_ms) {
  if (key_ == 0 || released_ || fired_ || now_ms - since_ms_ < kHoldMilliseconds) return 0;
  fired_ = true;  // the key acts once; it must be let go before it can act again
  return key_;
}

double KeyHold::Progress(std::int64_t now_ms) const {
  if (Holding() == 0) return 0.0;
  return std::clamp(static_cast<double>(now_ms - since_ms_) / kHoldMilliseconds, 0.0, 1.0);
}

}  // namespace kanae
