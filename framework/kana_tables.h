// The letter tables from which distractor letters are drawn, and the rule that
// names a letter's sound file.
#pragma once

#include "random_source.h"
#include "text.h"

namespace kanae {

struct KanaTables {
  Text hiragana;
  Text katakana;
  Text digits;
};

// The 46 plain letters of each script in gojuon order, and the ten full-width digits.
KanaTables FillKanaTables();

// The table distractors of a kind are drawn from: 0 hiragana, 1 katakana and,
// where the game offers them, 2 full-width digits. Any other kind (a hand-edited
// setting) draws nothing.
TextView DistractorTable(const KanaTables& tables, int kind, bool offers_digits);

// Appends to choice_letters one letter of table that choice_letters does not
// hold yet (a half-width digit holds its full-width letter), each free letter
// equally likely. Returns false and appends nothing
// when every letter of the table is taken already.
bool DrawDistractor(TextView table, Text& choice_letters, RandomSource& rnd);

// The letter a character stands for where letter files, distractor tables
// and the voice are concerned: a half-width digit is its full-width letter
// (the 3 of 3びき is ３); every other character is itself.
char32_t AsLetter(char32_t c);

// The sound file of a letter: the letter (AsLetter) followed by ".wav". A letter whose
// code lies above U+30A0 (and in the positive 16-bit range) uses the letter 96
// codes lower, so a katakana letter plays its hiragana's file (ア plays あ.wav).
Text LetterSoundFile(char32_t letter);

// The sound file of a letter played as it is shown (a katakana card plays
// ア.wav, which the sound pack holds beside あ.wav); a half-width digit still
// plays its full-width letter's file.
Text ShownLetterSoundFile(const Text& shown);

}  // namespace kanae
