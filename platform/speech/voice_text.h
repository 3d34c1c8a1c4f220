// Turns a spoken text into what a voice is given: pieces a voice would
// misread are spelled out in kana first (numbers with their counters, letters
// by name, long-vowel tildes), and what no voice can read is dropped.
#pragma once

#include "spoken_text.h"
#include "text.h"

namespace kanae::speech {

// Which numbers are spelled out before the voice sees them.
enum class NumberSpelling {
  // Every number, alone or with its counter: for a voice whose own analysis
  // does not know the counters' sound changes (MeCab with espeak-ng).
  kAll,
  // Only a number before a counter written in kana (6ぴき, 8こ) and kanji
  // numerals before kana counters: Open JTalk reads the rest right itself.
  kBeforeKanaCounters,
};

// One plain piece made ready for a voice. Control characters become a space,
// characters no voice can read (emoji, pictographs, unknown symbols) are
// dropped, 〜 and ～ after a kana lengthen its vowel (ー), and numbers are
// spelled out in katakana as the spelling asks.
Text VoiceReadyText(TextView plain, NumberSpelling spelling);

// The katakana name of each letter: は -> ハ, へ -> ヘ, を -> ヲ (said "o");
// katakana stays itself. The long-vowel mark is named ノバスボウ and the wave
// dash 〜 ナミセン, as classrooms name them; other symbols are left out;
// a digit (3 or ３) is said by its name, サン; a kanji is read as written.
Text LetterNames(TextView letters);

// True when a word is written in kana alone (with long-vowel marks and
// tildes): it can be said exactly as spelled. A word with a kanji, a digit or
// a Latin letter is left to the voice's own reading.
bool IsKanaWord(TextView word);

// Kana as heard, to compare a spelling with a pronunciation: katakana, を
// as オ, ぢ and づ as ジ and ズ, and a vowel that lengthens the one before it
// (おう, えい, ああ) as ー.
Text AsHeard(const Text& kana);

// Hiragana to katakana; everything else unchanged.
Text ToKatakana(Text text);

}  // namespace kanae::speech
