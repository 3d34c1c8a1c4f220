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
// hold yet, each free letter equally likely. Returns false and appends nothing
// when every letter of the table is taken already.
bool DrawDistractor(TextView table, Text& choice_letters, RandomSource& rnd);

// The sound file of a letter: the letter followed by ".wav". A letter whose
// code lies above U+30A0 (and in the positive 16-bit range) uses the letter 96
// codes lower, so a katakana letter plays its hiragana's file (ア plays あ.wav).
Text LetterSoundFile(char32_t letter);

}  // namespace kanae
