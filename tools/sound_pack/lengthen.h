// Letters said alone are over in a blink (え has about 20 ms of vowel): the
// pack holds each letter's vowel longer, so a child hears it.
#pragma once

#include "pcm.h"

namespace kanae::sound_pack {

// What each letter's vowel is held to: a little over the quarter second a
// child needs, so measuring after levelling and fading still finds it.
inline constexpr double kLetterVoicedSeconds = 0.3;

// The letter with its last vowel held, pitch and timbre kept, until its
// voiced sound lasts voiced_seconds: only the vowel's steady part is
// stretched, so the consonant before it stays as crisp as the voice made it
// and the vowel still fades as it did. Speech that is long enough already,
// or has no vowel, comes back unchanged.
Samples LengthenVowel(const Samples& s, double voiced_seconds);

}  // namespace kanae::sound_pack
