// The letters whose sound a game can ask for, and what the speech engine says
// for each. Shared by the sound pack and its test, which derive the file names
// from the framework's own rule (LetterSoundFile) over these ranges.
#pragma once

#include "text.h"

namespace kanae::sound_pack {

struct LetterRange {
  char32_t first;
  char32_t last;
};

// Every letter that can start or occur in a picture name, the long-vowel mark
// and the digits. ヷ-ヺ are left out: their converted names land on unassigned
// codes and the combining voicing marks, which no one types in a file name.
inline constexpr LetterRange kAskableLetters[] = {
    {U'ぁ', U'ゖ'},  // hiragana: plain, voiced, semi-voiced, small, ゔ, ゐ ゑ, ゕ ゖ
    {U'ァ', U'ヶ'},  // katakana alike
    {U'ー', U'ー'},  // long-vowel mark
    {U'〜', U'〜'},  // wave dash, which lengthens a vowel as ー does (a word-building card)
    {U'～', U'～'},  // its full-width tilde twin
    {U'０', U'９'},  // full-width digits (a half-width digit plays its full-width letter's file)
};

// What to speak for a letter. A plain letter is read as itself, a katakana
// letter as its hiragana (the same sound, so both files come from one reading).
// A small letter is named the way teachers name it ("ちいさい や"), since alone
// it would sound like its big letter. The long-vowel mark has no sound of its
// own, so it is named too, as classrooms call it ("のばすぼう"), and so is the
// wave dash 〜 ("なみせん"). Digits are read
// as numbers.
// Whether SpokenLetter(letter) is the letter itself, to be read by its name
// (は as "ha", not the particle "wa"); the rest are ordinary words.
inline bool SpokenByName(char32_t letter) {
  return letter != U'ー' && letter != U'〜' && letter != U'～' && !(letter >= U'０' && letter <= U'９') && Text(U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ").find(letter) == Text::npos;
}

// The name of the file listing, for each letter file, the kana reading the
// voice gave when the file was made.
inline constexpr char kReadingsFile[] = "letter_readings.tsv";

inline Text SpokenLetter(char32_t letter) {
  static constexpr char32_t kSmall[] = U"ぁぃぅぇぉっゃゅょゎゕゖ";
  static constexpr char32_t kBig[] = U"あいうえおつやゆよわかけ";
  if (letter == U'ー') return U"のばすぼう";
  if (letter == U'〜' || letter == U'～') return U"なみせん";
  // The digit itself: the voice reads it as a number (spelt out, はち would
  // be taken for the particle は).
  if (letter >= U'０' && letter <= U'９') return Text(1, letter);
  if (letter >= U'ァ' && letter <= U'ヶ') letter -= U'ァ' - U'ぁ';
  for (std::size_t i = 0; kSmall[i] != 0; ++i) {
    if (kSmall[i] == letter) return Text(U"ちいさい") + kBig[i];
  }
  return Text(1, letter);
}

}  // namespace kanae::sound_pack
