// The key lock's hold for the page: the same rule as the desktop's (a
// teacher's key acts only after two seconds held down), for the one keyboard
// of the page. The page calls these directly, not through its queue of calls
// into the game: they touch nothing but the hold, so a key held while the game
// waits for a cue still counts and its hint still fills.
#include <emscripten.h>

#include <cstdint>

#include "key_hold.h"

namespace {

kanae::KeyHold hold;

// The page's clock is in fractional milliseconds.
std::int64_t Milliseconds(double ms) { return static_cast<std::int64_t>(ms); }

}  // namespace

extern "C" {

// sent_ms: when the keyboard sent the event (the event's time stamp), on the
// same clock as now_ms; repeat: the browser marked it as the key's repeat.
EMSCRIPTEN_KEEPALIVE void kanae_hold_press(int key_code, double now_ms, int repeat, double sent_ms) {
  hold.Press(key_code, Milliseconds(now_ms), repeat != 0, Milliseconds(sent_ms));
}

EMSCRIPTEN_KEEPALIVE void kanae_hold_release(int key_code, double now_ms, int repeat, double sent_ms) {
  hold.Release(key_code, Milliseconds(now_ms), repeat != 0, Milliseconds(sent_ms));
}

// The page lost the keyboard: no release will come.
EMSCRIPTEN_KEEPALIVE void kanae_hold_cancel() { hold.Cancel(); }

// The key to act on now (once per hold), or 0.
EMSCRIPTEN_KEEPALIVE int kanae_hold_poll(double now_ms) { return hold.Poll(Milliseconds(now_ms)); }

// The key being held towards its action, or 0.
EMSCRIPTEN_KEEPALIVE int kanae_hold_holding() { return hold.Holding(); }

// How far the held key is towards its action, from 0 to 1.
EMSCRIPTEN_KEEPALIVE double kanae_hold_progress(double now_ms) { return hold.Progress(Milliseconds(now_ms)); }

}  // extern "C"
