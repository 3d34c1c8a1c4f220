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

bool DrawDistractor(TextView table, Text& choice_letters, RandomSource& rnd) {
  const bool any_free = std::any_of(table.begin(), table.end(),
                                    [&](char32_t c) { return choice_letters.find(c) == Text::npos; });
  if (!any_free) return false;
  const int size = static_cast<int>(table.size());
  for (;;) {
    const char32_t letter = table[DrawIndex(rnd, size)];
    if (choice_letters.find(letter) == Text::npos) {
      choice_letters.push_back(letter);
      return true;
    }
  }
}

Text LetterSoundFile(char32_t letter) {
  if (letter > 12448 && letter <= 0x7FFF) letter -= 96;
  return Text(1, letter) + U".wav";
}

}  // namespace kanae
