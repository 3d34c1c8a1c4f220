#include "key_hold.h"

#include <algorithm>

namespace kanae {

void KeyHold::Press(int key_code, std::int64_t now_ms, bool auto_repeat) {
  // The keyboard's repeats neither start nor restart a hold: a hold begins
  // with the key going down.
  if (auto_repeat || (key_code == key_ && !fired_)) return;
  key_ = key_code;
  since_ms_ = now_ms;
  fired_ = false;
}

void KeyHold::Release(int key_code, bool auto_repeat) {
  if (auto_repeat || key_code != key_) return;
  Cancel();
}

void KeyHold::Cancel() {
  key_ = 0;
  fired_ = false;
}

int KeyHold::Poll(std::int64_t now_ms) {
  if (key_ == 0 || fired_ || now_ms - since_ms_ < kHoldMilliseconds) return 0;
  fired_ = true;  // the key acts once; it must be let go before it can act again
  return key_;
}

double KeyHold::Progress(std::int64_t now_ms) const {
  if (Holding() == 0) return 0.0;
  return std::clamp(static_cast<double>(now_ms - since_ms_) / kHoldMilliseconds, 0.0, 1.0);
}

}  // namespace kanae
