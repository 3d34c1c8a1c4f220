// What the browser's voice is given for a spoken text: a browser voice
// cannot be told which は is a letter, so the marked pieces go to it already
// spelled as they are to sound, in katakana.
#pragma once

#include <string>

#include "spoken_text.h"
#include "text.h"

namespace kanae::web {

// Letters by their names (は as ハ), a kana name as its katakana (はち as
// ハチ, never read as a particle), the rest made ready as for any voice.
Text BrowserReading(const SpokenText& text);

// The pack's sound files of the letters in the text, one per line, in order
// as a card shows them ("は.wav\nア.wav"): what is heard where no Japanese voice exists.
std::string LetterFiles(const SpokenText& text);

}  // namespace kanae::web
