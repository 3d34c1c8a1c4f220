// What the espeak-ng voice pronounces for a text: kana as spoken.
#pragma once

#include "platform/speech/counted_numbers.h"
#include "spoken_text.h"
#include "text.h"

namespace kanae::speech {

// The kana reading of text, as the espeak-ng voice will pronounce it:
// numbers are read with their counters, letters marked as letters by their
// names, MeCab's pronunciation replaces words it knows (kanji read as kana,
// the particle は as ワ, へ as エ), words it does not know keep their
// spelling, and the pauses 、 。 stay in place. Mostly katakana.
Text ReadingOf(const SpokenText& text);
Text ReadingOf(const Text& text);

}  // namespace kanae::speech
