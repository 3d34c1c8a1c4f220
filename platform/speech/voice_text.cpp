#include "platform/speech/voice_text.h"

#include "platform/speech/counted_numbers.h"

namespace kanae::speech {
namespace {

bool IsDigit(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'０' && c <= U'９'); }
bool IsHiragana(char32_t c) { return c >= U'ぁ' && c <= U'ゖ'; }
bool IsKatakana(char32_t c) { return (c >= U'ァ' && c <= U'ヺ') || c == U'ー'; }
bool IsKana(char32_t c) { return IsHiragana(c) || IsKatakana(c); }
bool IsKanji(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) ||
         c == U'々' || c == U'〆';
}

// Characters a voice can say or that shape the reading (pauses, quotes).
// Everything else (emoji, pictographs, arrows, box drawing, private use) is
// left out: the voices would either skip it or spell out a symbol's name.
bool IsSpeakable(char32_t c) {
  if (IsKana(c) || IsKanji(c) || IsDigit(c) || IsKanjiNumeral(c)) return true;
  if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) return true;
  if ((c >= U'ａ' && c <= U'ｚ') || (c >= U'Ａ' && c <= U'Ｚ')) return true;
  if (c >= 0xFF66 && c <= 0xFF9F) return true;  // half-width katakana
  return TextView(U" 　、。，．,.!?！？「」『』（）()・ー〜～").find(c) != TextView::npos;
}

bool IsNumberStart(TextView text, std::size_t i) { return IsDigit(text[i]); }

// Reads the digit run at i (with a decimal part) and a counter after it.
// Returns the katakana and moves i past what it read; nothing when the
// spelling leaves this number to the voice.
std::optional<Text> SpellDigits(TextView text, std::size_t& i, NumberSpelling spelling) {
  std::size_t end = i;
  while (end < text.size() && IsDigit(text[end])) ++end;
  const Text digits(text.substr(i, end - i));
  const TextView after = text.substr(end);
  // A decimal part is read digit by digit: 3.5 さんてんご.
  const bool decimal = end + 1 < text.size() && (text[end] == U'.' || text[end] == U'．') && IsDigit(text[end + 1]);
  if (!decimal && digits.size() <= 4 && digits.front() != U'0' && digits.front() != U'０') {
    int value = 0;
    for (char32_t c : digits) value = value * 10 + static_cast<int>(c >= U'０' ? c - U'０' : c - U'0');
    if (auto counted = ReadCount(value, after)) {
      if (spelling == NumberSpelling::kBeforeKanaCounters && CounterIsKanji(after)) return std::nullopt;
      i = end + counted->counter_length;
      return ToKatakana(counted->reading);
    }
  }
  if (spelling == NumberSpelling::kBeforeKanaCounters) return std::nullopt;
  Text out = ToKatakana(NumberReading(digits));
  if (decimal) {
    out += U"テン";
    for (++end; end < text.size() && IsDigit(text[end]); ++end) out += ToKatakana(NumberReading(Text(1, text[end])));
  }
  i = end;
  return out;
}

// Kanji numerals are read only where they plainly count: before a counter,
// or standing alone. Inside words (一緒, 三日月, 一生) they belong to the
// word, and 十分 (enough) is no ten minutes.
std::optional<Text> SpellKanjiNumber(TextView text, std::size_t& i, NumberSpelling spelling) {
  if (i > 0 && IsKanji(text[i - 1]) && !IsKanjiNumeral(text[i - 1])) return std::nullopt;
  std::size_t end = i;
  while (end < text.size() && IsKanjiNumeral(text[end])) ++end;
  const TextView numerals = text.substr(i, end - i);
  const std::optional<int> value = KanjiNumberValue(numerals);
  if (!value || numerals == U"〇") return std::nullopt;
  const TextView after = text.substr(end);
  if (auto counted = ReadCount(*value, after)) {
    const std::size_t next = end + counted->counter_length;
    const bool inside_word = next < text.size() && IsKanji(text[next]);
    const bool kanji_counter = CounterIsKanji(after);
    if (inside_word || (numerals == U"十" && after.substr(0, 1) == U"分")) return std::nullopt;
    if (spelling == NumberSpelling::kBeforeKanaCounters && kanji_counter) return std::nullopt;
    i = next;
    return ToKatakana(counted->reading);
  }
  if (spelling == NumberSpelling::kBeforeKanaCounters) return std::nullopt;
  if (end < text.size() && IsKanji(text[end])) return std::nullopt;
  Text digits;
  for (char c : std::to_string(*value)) digits.push_back(static_cast<char32_t>(c));
  i = end;
  return ToKatakana(NumberReading(digits));
}

}  // namespace

namespace {

// The vowel a katakana ends on, or 0 (ン, ッ, symbols).
char VowelOf(char32_t c) {
  static const struct {
    char vowel;
    TextView kana;
  } kRows[] = {{'a', U"アカガサザタダナハバパマヤラワァャヮ"},
               {'i', U"イキギシジチヂニヒビピミリィ"},
               {'u', U"ウクグスズツヅヌフブプムユルゥュヴ"},
               {'e', U"エケゲセゼテデネヘベペメレェ"},
               {'o', U"オコゴソゾトドノホボポモヨロヲォョ"}};
  for (const auto& row : kRows) {
    if (row.kana.find(c) != TextView::npos) return row.vowel;
  }
  return 0;
}

}  // namespace

Text AsHeard(const Text& kana) {
  Text out;
  char vowel = 0;
  for (char32_t c : ToKatakana(kana)) {
    if (c == U'ヲ') c = U'オ';
    else if (c == U'ヂ') c = U'ジ';
    else if (c == U'ヅ') c = U'ズ';
    const char own = VowelOf(c);
    const bool bare_vowel = TextView(U"アイウエオ").find(c) != TextView::npos;
    if (bare_vowel && vowel != 0 && (own == vowel || (c == U'ウ' && vowel == 'o') || (c == U'イ' && vowel == 'e'))) {
      out += U'ー';
      continue;  // the vowel stays the one lengthened
    }
    out += c;
    if (c != U'ー') vowel = own;
  }
  return out;
}

bool IsKanaWord(TextView word) {
  bool kana = false;
  for (char32_t c : word) {
    if (IsKana(c) && c != U'ー') kana = true;
    else if (c != U'ー' && c != U'〜' && c != U'～') return false;
  }
  return kana;
}

Text ToKatakana(Text text) {
  for (char32_t& c : text) {
    if (c >= U'ぁ' && c <= U'ゖ') c += U'ァ' - U'ぁ';
  }
  return text;
}

Text VoiceReadyText(TextView plain, NumberSpelling spelling) {
  Text out;
  for (std::size_t i = 0; i < plain.size();) {
    const char32_t c = plain[i];
    if (c < 0x20 || c == 0x7F) {
      if (!out.empty() && out.back() != U' ') out += U' ';
      ++i;
      continue;
    }
    if (!IsSpeakable(c)) {
      ++i;
      continue;
    }
    if (c == U'〜' || c == U'～') {
      // A vowel to lengthen: not after ん, っ or a long vowel already.
      const bool has_vowel = !out.empty() && IsKana(out.back()) && TextView(U"んンっッー").find(out.back()) == TextView::npos;
      if (has_vowel) out += U'ー';
      else if (out.empty() || !IsKana(out.back())) out += U'、';  // between words: a pause, never a symbol's name
      ++i;
      continue;
    }
    if (IsNumberStart(plain, i)) {
      if (auto spelt = SpellDigits(plain, i, spelling)) {
        out += *spelt;
        continue;
      }
      while (i < plain.size() && IsDigit(plain[i])) out += plain[i++];
      continue;
    }
    if (IsKanjiNumeral(c)) {
      if (auto spelt = SpellKanjiNumber(plain, i, spelling)) {
        out += *spelt;
        continue;
      }
      while (i < plain.size() && IsKanjiNumeral(plain[i])) out += plain[i++];
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

Text LetterNames(TextView letters) {
  Text out;
  for (char32_t c : letters) {
    // The marks have no sound of their own: they are named as classrooms
    // name them, as in the sound pack.
    if (c == U'ー') {
      out += U"ノバスボウ";
      continue;
    }
    if (c == U'〜' || c == U'～') {
      out += U"ナミセン";
      continue;
    }
    if (IsKana(c)) out += ToKatakana(Text(1, c));
    // A digit, half-width or full-width, is the same letter: 3 and ３ say サン.
    else if (IsDigit(c)) out += ToKatakana(NumberReading(Text(1, c)));
    else if (IsSpeakable(c) && c > 0x7F) out += c;  // a kanji is read as written
  }
  return out;
}

}  // namespace kanae::speech
