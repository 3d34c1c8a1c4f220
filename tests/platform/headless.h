// Tests of the real services must run with no sound card: unless the caller
// chose a driver, use SDL's dummy one, which keeps real time.
#pragma once

#include <cstdlib>

namespace kanae::testing {

inline const bool kHeadlessAudio = [] {
  setenv("SDL_AUDIODRIVER", "dummy", /*overwrite=*/0);
  return true;
}();

}  // namespace kanae::testing
