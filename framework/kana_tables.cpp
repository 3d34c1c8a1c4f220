#include "kana_tables.h"

#include <algorithm>

namespace kanae {

KanaTables FillKanaTables() {
  return {
      U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん",
      U"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン",
      U"０１２３４５６７８９",
  };
}

TextView DistractorTable(const KanaTables& tables, int kind, bool offers_digits) {
  switch (kind) {
    case 0: return tables.hiragana;
    case 1: return tables.katakana;
    case 2: return offers_digits ? TextView(tables.digits) : TextView();
    default: return {};
  }
}

char32_t AsLetter(char32_t c) { return c >= U'0' && c <= U'9' ? c - U'0' + U'０' : c; }

bool DrawDistractor(TextView table, Text& choice_letters, RandomSource& rnd) {
  const auto free = [&](char32_t letter) {
    return std::none_of(choice_letters.begin(), choice_letters.end(),
                        [&](char32_t held) { return AsLetter(held) == AsLetter(letter); });
  };
  if (std::none_of(table.begin(), table.end(), free)) return false;
  const int size = static_cast<int>(table.size());
  for (;;) {
    const char32_t letter = table[DrawIndex(rnd, size)];
    if (free(letter)) {
      choice_letters.push_back(letter);
      return true;
    }
  }
}

Text LetterSoundFile(char32_t letter) {
  letter = AsLetter(letter);
  if (letter > 12448 && letter <= 0x7FFF) letter -= 96;
  return Text(1, letter) + U".wav";
}

Text ShownLetterSoundFile(const Text& shown) {
  Text file;
  for (char32_t c : shown) file += AsLetter(c);
  return file + U".wav";
}

}  // namespace kanae
