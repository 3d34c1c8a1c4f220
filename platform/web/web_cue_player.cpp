#include "web_cue_player.h"

#include <emscripten.h>

#include <algorithm>

#include "page_bridge.h"

namespace kanae::web {

namespace {

// A cue longer than this is not waited for to its end: a page that lost its
// audio must not hold the child's game.
constexpr double kLongestWaitMs = 10000;

}  // namespace

void WebCuePlayer::Play(const std::filesystem::path& file) {
  // The page knows the pack by file name; the current folder is the pack.
  page::PlayCue(file.filename().string());
}

void WebCuePlayer::Stop() { page::StopCue(); }

bool WebCuePlayer::IsPlaying() { return page::CueRemainingMs() > 0; }

void WebCuePlayer::WaitForEnd() {
  double remaining = page::CueRemainingMs();
  if (remaining <= 0) return;
  const double started = emscripten_get_now();
  page::WaitBegins();
  while (remaining > 0) {
    const double waited = emscripten_get_now() - started;
    if (waited >= kLongestWaitMs) break;
    // One sleep to the expected end, then a look whether it came.
    emscripten_sleep(static_cast<unsigned>(std::clamp(remaining, 1.0, kLongestWaitMs - waited)));
    remaining = page::CueRemainingMs();
  }
  page::WaitEnds();
}

}  // namespace kanae::web
