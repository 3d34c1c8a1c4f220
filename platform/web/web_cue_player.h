// Cues and letter sounds through the page's Web Audio.
#pragma once

#include "platform/cue_player.h"

namespace kanae::web {

class WebCuePlayer : public CuePlayer {
 public:
  void Play(const std::filesystem::path& file) override;
  void Stop() override;
  bool IsPlaying() override;
  // Hands the page's event loop back while the cue sounds (the page holds
  // input back meanwhile), so the page never freezes; bounded as on the desktop.
  void WaitForEnd() override;
};

}  // namespace kanae::web
