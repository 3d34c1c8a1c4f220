// Numbers as a Japanese teacher reads them aloud, alone and with the counters
// a classroom uses, with their sound changes (いっかい, さんぼん, ろっぴき,
// はっこ, じゅっぷん, ひとつ, ふたり, よにん).
#pragma once

#include <optional>

#include "text.h"

namespace kanae::speech {

// A run of digits (ASCII or full-width) read as a Japanese number in
// hiragana: "300" -> さんびゃく. Runs with a leading zero or of more than 16
// digits are read digit by digit. Anything that is not a digit is dropped.
Text NumberReading(const Text& digits);

// The value of a run of kanji numerals up to 9999 (三, 十二, 二千二十六,
// 二〇二六); nothing when the run is not a number or is larger.
std::optional<int> KanjiNumberValue(TextView numerals);
bool IsKanjiNumeral(char32_t c);

struct CountedReading {
  Text reading;              // hiragana: さんぼん
  std::size_t counter_length = 0;  // characters of the counter that were read
};

// value followed by the start of after: when after begins with a counter
// (本, ほん, ぽん, 匹, ぴき, 人, つ, ...), the reading of both together.
// Nothing when no counter follows or value is outside 1..9999.
std::optional<CountedReading> ReadCount(int value, TextView after);

// Whether the counter at the start of after is written in kanji.
bool CounterIsKanji(TextView after);

}  // namespace kanae::speech
