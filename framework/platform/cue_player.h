// The sound player for cues and letter sounds (.wav files).
#pragma once

#include <filesystem>

namespace kanae {

class CuePlayer {
 public:
  virtual ~CuePlayer() = default;
  // Stops and closes any cue, then opens and plays the file; returns once
  // playing has started. A file that is missing or cannot be played leaves the
  // player not playing.
  virtual void Play(const std::filesystem::path& file) = 0;
  // Stops and closes the cue.
  virtual void Stop() = 0;
  // True exactly while a cue sounds (the playing mode).
  virtual bool IsPlaying() = 0;
  // Returns when no cue is playing. Handles no input and no timer tick
  // meanwhile, uses no core while waiting, and gives up after a bound so a
  // broken device cannot hang the game.
  virtual void WaitForEnd() = 0;
};

}  // namespace kanae
