// The four game cues, synthesised: nothing recorded, nothing downloaded.
#pragma once

#include <string>
#include <vector>

#include "pcm.h"

namespace kanae::sound_pack {

struct Cue {
  std::string file;  // UTF-8 file name as the games open it
  Samples sound;     // finished: faded, as loud as the letters, the peak at most kPeakDbfs
};

// ピンポン (right answer), ブー (wrong answer), ガチャ (a card snaps into place),
// バーン (a letter is caught).
std::vector<Cue> MakeCues();

}  // namespace kanae::sound_pack
