// What the speech engine pronounces for a text: kana as spoken.
#pragma once

#include "text.h"

namespace kanae::speech {

// The kana reading of text, as the voice will pronounce it: digit runs become
// Japanese numbers, MeCab's pronunciation replaces words it knows (kanji read
// as kana, the particle は as ワ, へ as エ), words it does not know keep their
// spelling, and the pauses 、 。 stay in place. Mostly katakana.
Text ReadingOf(const Text& text);

// A run of digits (ASCII or full-width) read as a Japanese number in
// hiragana: "300" -> さんびゃく. Runs with a leading zero or of more than 16
// digits are read digit by digit. Anything that is not a digit is dropped.
Text NumberReading(const Text& digits);

}  // namespace kanae::speech
