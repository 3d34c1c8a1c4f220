#include "platform/speech/counted_numbers.h"

#include <array>
#include <string>

namespace kanae::speech {
namespace {

std::optional<int> DigitValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'０' && c <= U'９') return static_cast<int>(c - U'０');
  return std::nullopt;
}

constexpr std::array<const char32_t*, 10> kDigits = {U"ぜろ", U"いち", U"に",  U"さん", U"よん",
                                                     U"ご",   U"ろく", U"なな", U"はち", U"きゅう"};
constexpr std::array<const char32_t*, 10> kHundreds = {
    U"", U"ひゃく", U"にひゃく", U"さんびゃく", U"よんひゃく", U"ごひゃく", U"ろっぴゃく", U"ななひゃく", U"はっぴゃく", U"きゅうひゃく"};
constexpr std::array<const char32_t*, 10> kThousands = {
    U"", U"せん", U"にせん", U"さんぜん", U"よんせん", U"ごせん", U"ろくせん", U"ななせん", U"はっせん", U"きゅうせん"};

bool EndsWith(const Text& text, TextView tail) {
  return text.size() >= tail.size() && TextView(text).substr(text.size() - tail.size()) == tail;
}

// 1..9999, with the sound changes at the hundreds and thousands.
// big_unit_follows: a 万/億/兆 follows, where 1000 is いっせん, not せん.
Text GroupReading(int value, bool big_unit_follows) {
  Text out;
  const int thousands = value / 1000;
  const int hundreds = value / 100 % 10;
  const int tens = value / 10 % 10;
  const int ones = value % 10;
  if (thousands == 1 && big_unit_follows && value == 1000) {
    out += U"いっせん";
  } else {
    out += kThousands[thousands];
  }
  out += kHundreds[hundreds];
  if (tens > 0) {
    if (tens > 1) out += kDigits[tens];
    out += U"じゅう";
  }
  if (ones > 0) out += kDigits[ones];
  return out;
}

// How a counter sounds after each kind of number ending. ones[d]: after a
// last digit d (1..9) with the digit itself (いっぽん); ten: after a number
// ending in ten (じゅっぽん); hundred: what replaces the く of a number
// ending in hundred (ひゃ + っぽん); thousand: after a number ending in
// thousand (せん + ぼん). Where readings differ among speakers, the table
// follows Open JTalk's, so a count sounds the same whichever way it is
// written (100点 and 100てん both ひゃくてん).
struct Counter {
  std::array<const char32_t*, 4> spellings;  // the kanji first; kana where teachers write it so
  std::array<const char32_t*, 10> ones;
  const char32_t* ten;
  const char32_t* hundred;
  const char32_t* thousand;
};

// clang-format off
const Counter kCounters[] = {
  {{U"本", U"ほん", U"ぽん", U"ぼん"}, {U"", U"いっぽん", U"にほん", U"さんぼん", U"よんほん", U"ごほん", U"ろっぽん", U"ななほん", U"はっぽん", U"きゅうほん"}, U"じゅっぽん", U"っぽん", U"ぼん"},
  {{U"匹", U"ひき", U"ぴき", U"びき"}, {U"", U"いっぴき", U"にひき", U"さんびき", U"よんひき", U"ごひき", U"ろっぴき", U"ななひき", U"はっぴき", U"きゅうひき"}, U"じゅっぴき", U"っぴき", U"びき"},
  {{U"回", U"かい", nullptr, nullptr}, {U"", U"いっかい", U"にかい", U"さんかい", U"よんかい", U"ごかい", U"ろっかい", U"ななかい", U"はっかい", U"きゅうかい"}, U"じゅっかい", U"っかい", U"かい"},
  {{U"階", U"がい", nullptr, nullptr}, {U"", U"いっかい", U"にかい", U"さんがい", U"よんかい", U"ごかい", U"ろっかい", U"ななかい", U"はっかい", U"きゅうかい"}, U"じゅっかい", U"っかい", U"かい"},
  {{U"個", U"こ", nullptr, nullptr}, {U"", U"いっこ", U"にこ", U"さんこ", U"よんこ", U"ごこ", U"ろっこ", U"ななこ", U"はっこ", U"きゅうこ"}, U"じゅっこ", U"っこ", U"こ"},
  {{U"点", U"てん", nullptr, nullptr}, {U"", U"いってん", U"にてん", U"さんてん", U"よんてん", U"ごてん", U"ろくてん", U"ななてん", U"はってん", U"きゅうてん"}, U"じゅってん", U"くてん", U"てん"},
  {{U"問", U"もん", nullptr, nullptr}, {U"", U"いちもん", U"にもん", U"さんもん", U"よんもん", U"ごもん", U"ろくもん", U"ななもん", U"はちもん", U"きゅうもん"}, U"じゅうもん", U"くもん", U"もん"},
  {{U"枚", U"まい", nullptr, nullptr}, {U"", U"いちまい", U"にまい", U"さんまい", U"よんまい", U"ごまい", U"ろくまい", U"ななまい", U"はちまい", U"きゅうまい"}, U"じゅうまい", U"くまい", U"まい"},
  {{U"番", U"ばん", nullptr, nullptr}, {U"", U"いちばん", U"にばん", U"さんばん", U"よんばん", U"ごばん", U"ろくばん", U"ななばん", U"はちばん", U"きゅうばん"}, U"じゅうばん", U"くばん", U"ばん"},
  {{U"歳", U"才", U"さい", nullptr}, {U"", U"いっさい", U"にさい", U"さんさい", U"よんさい", U"ごさい", U"ろくさい", U"ななさい", U"はっさい", U"きゅうさい"}, U"じゅっさい", U"くさい", U"さい"},
  {{U"冊", U"さつ", nullptr, nullptr}, {U"", U"いっさつ", U"にさつ", U"さんさつ", U"よんさつ", U"ごさつ", U"ろくさつ", U"ななさつ", U"はっさつ", U"きゅうさつ"}, U"じゅっさつ", U"くさつ", U"さつ"},
  {{U"台", U"だい", nullptr, nullptr}, {U"", U"いちだい", U"にだい", U"さんだい", U"よんだい", U"ごだい", U"ろくだい", U"ななだい", U"はちだい", U"きゅうだい"}, U"じゅうだい", U"くだい", U"だい"},
  {{U"羽", U"わ", nullptr, nullptr}, {U"", U"いちわ", U"にわ", U"さんわ", U"よんわ", U"ごわ", U"ろくわ", U"ななわ", U"はちわ", U"きゅうわ"}, U"じゅうわ", U"くわ", U"わ"},
  {{U"頭", U"とう", nullptr, nullptr}, {U"", U"いっとう", U"にとう", U"さんとう", U"よんとう", U"ごとう", U"ろくとう", U"ななとう", U"はっとう", U"きゅうとう"}, U"じゅっとう", U"くとう", U"とう"},
  {{U"分", U"ふん", U"ぷん", nullptr}, {U"", U"いっぷん", U"にふん", U"さんぷん", U"よんぷん", U"ごふん", U"ろっぷん", U"ななふん", U"はっぷん", U"きゅうふん"}, U"じゅっぷん", U"っぷん", U"ぷん"},
  {{U"円", U"えん", nullptr, nullptr}, {U"", U"いちえん", U"にえん", U"さんえん", U"よえん", U"ごえん", U"ろくえん", U"ななえん", U"はちえん", U"きゅうえん"}, U"じゅうえん", U"くえん", U"えん"},
  {{U"杯", U"はい", U"ぱい", U"ばい"}, {U"", U"いっぱい", U"にはい", U"さんばい", U"よんはい", U"ごはい", U"ろっぱい", U"ななはい", U"はっぱい", U"きゅうはい"}, U"じゅっぱい", U"っぱい", U"ばい"},
  {{U"足", U"そく", U"ぞく", nullptr}, {U"", U"いっそく", U"にそく", U"さんぞく", U"よんそく", U"ごそく", U"ろくそく", U"ななそく", U"はっそく", U"きゅうそく"}, U"じゅっそく", U"くそく", U"ぞく"},
  {{U"時", U"じ", nullptr, nullptr}, {U"", U"いちじ", U"にじ", U"さんじ", U"よじ", U"ごじ", U"ろくじ", U"しちじ", U"はちじ", U"くじ"}, U"じゅうじ", U"くじ", U"じ"},
  {{U"人", U"にん", nullptr, nullptr}, {U"", U"いちにん", U"ににん", U"さんにん", U"よにん", U"ごにん", U"ろくにん", U"ななにん", U"はちにん", U"きゅうにん"}, U"じゅうにん", U"くにん", U"にん"},
  {{U"日", U"にち", nullptr, nullptr}, {U"", U"いちにち", U"ににち", U"さんにち", U"よっか", U"ごにち", U"ろくにち", U"ななにち", U"はちにち", U"くにち"}, U"じゅうにち", U"くにち", U"にち"},
  {{U"つ", nullptr, nullptr, nullptr}, {U"", U"いち", U"に", U"さん", U"よん", U"ご", U"ろく", U"なな", U"はち", U"きゅう"}, U"じゅう", U"く", U""},
};
// clang-format on

// Whole numbers with a reading of their own.
struct Special {
  const char32_t* counter;
  int value;
  const char32_t* reading;
};
constexpr Special kSpecials[] = {
    {U"人", 1, U"ひとり"},   {U"人", 2, U"ふたり"},   {U"日", 1, U"いちにち"}, {U"日", 2, U"ふつか"},
    {U"日", 3, U"みっか"},   {U"日", 5, U"いつか"},   {U"日", 6, U"むいか"},   {U"日", 7, U"なのか"},
    {U"日", 8, U"ようか"},   {U"日", 9, U"ここのか"}, {U"日", 10, U"とおか"},  {U"日", 20, U"はつか"},
    {U"歳", 20, U"はたち"},  {U"つ", 1, U"ひとつ"},   {U"つ", 2, U"ふたつ"},   {U"つ", 3, U"みっつ"},
    {U"つ", 4, U"よっつ"},   {U"つ", 5, U"いつつ"},   {U"つ", 6, U"むっつ"},   {U"つ", 7, U"ななつ"},
    {U"つ", 8, U"やっつ"},   {U"つ", 9, U"ここのつ"}, {U"つ", 10, U"とお"},
};

// The counter at the start of after, and how many characters it takes.
const Counter* FindCounter(TextView after, std::size_t& length) {
  const Counter* best = nullptr;
  length = 0;
  for (const Counter& counter : kCounters) {
    for (const char32_t* spelling : counter.spellings) {
      if (spelling == nullptr) continue;
      const TextView s(spelling);
      if (after.substr(0, s.size()) == s && s.size() > length) {
        best = &counter;
        length = s.size();
      }
    }
  }
  return best;
}

}  // namespace

Text NumberReading(const Text& digits) {
  std::string ascii;
  for (char32_t c : digits) {
    if (auto d = DigitValue(c)) ascii.push_back(static_cast<char>('0' + *d));
  }
  if (ascii.empty()) return {};
  if (ascii == "0") return kDigits[0];
  if (ascii.size() > 16 || ascii.front() == '0') {
    Text out;
    for (char c : ascii) out += kDigits[c - '0'];
    return out;
  }
  static constexpr std::array<const char32_t*, 4> kUnits = {U"", U"まん", U"おく", U"ちょう"};
  Text out;
  const int groups = static_cast<int>((ascii.size() + 3) / 4);
  std::size_t begin = 0;
  for (int g = groups - 1; g >= 0; --g) {
    const std::size_t length = ascii.size() - begin - static_cast<std::size_t>(g) * 4;
    const int value = std::stoi(ascii.substr(begin, length));
    begin += length;
    if (value == 0) continue;
    Text group = GroupReading(value, g > 0);
    if (g == 3) {
      // 一兆 いっちょう, 八兆 はっちょう, 十兆 じゅっちょう.
      if (EndsWith(group, U"いち")) group.replace(group.size() - 2, 2, U"いっ");
      else if (EndsWith(group, U"はち")) group.replace(group.size() - 2, 2, U"はっ");
      else if (EndsWith(group, U"じゅう")) group.replace(group.size() - 3, 3, U"じゅっ");
    }
    out += group;
    out += kUnits[g];
  }
  return out;
}

bool IsKanjiNumeral(char32_t c) { return TextView(U"〇一二三四五六七八九十百千").find(c) != TextView::npos; }

std::optional<int> KanjiNumberValue(TextView numerals) {
  static constexpr TextView kDigitKanji = U"〇一二三四五六七八九";
  if (numerals.empty()) return std::nullopt;
  // Written digit by digit (二〇二六): no unit signs at all.
  if (numerals.find_first_of(U"十百千") == TextView::npos) {
    if (numerals.size() > 4) return std::nullopt;
    int value = 0;
    for (char32_t c : numerals) {
      const std::size_t d = kDigitKanji.find(c);
      if (d == TextView::npos) return std::nullopt;
      value = value * 10 + static_cast<int>(d);
    }
    return value;
  }
  int value = 0;
  int digit = -1;      // a digit waiting for its unit
  int last_unit = 10000;
  for (char32_t c : numerals) {
    const std::size_t d = kDigitKanji.find(c);
    if (d != TextView::npos) {
      if (digit >= 0 || d == 0) return std::nullopt;  // two digits in a row, or 〇 among units
      digit = static_cast<int>(d);
      continue;
    }
    const int unit = c == U'十' ? 10 : c == U'百' ? 100 : 1000;
    if (unit >= last_unit) return std::nullopt;  // 十百, 百千: not a number
    value += (digit < 0 ? 1 : digit) * unit;
    digit = -1;
    last_unit = unit;
  }
  if (digit >= 0) value += digit;
  return value;
}

bool CounterIsKanji(TextView after) {
  std::size_t length = 0;
  return FindCounter(after, length) != nullptr && (after[0] < U'ぁ' || after[0] > U'ゖ');
}

std::optional<CountedReading> ReadCount(int value, TextView after) {
  if (value < 1 || value > 9999) return std::nullopt;
  std::size_t length = 0;
  const Counter* counter = FindCounter(after, length);
  if (counter == nullptr) return std::nullopt;
  const TextView name = counter->spellings[0];
  for (const Special& special : kSpecials) {
    if (special.value == value && name == special.counter) return CountedReading{special.reading, length};
  }
  // Past ten, things are counted in plain numbers: じゅういち, not じゅういちつ.
  if (name == U"つ" && value > 10) return CountedReading{GroupReading(value, false), length};

  const int ones = value % 10;
  const int tens = value / 10 % 10;
  const int hundreds = value / 100 % 10;
  const int thousands = value / 1000;
  const auto reading_of = [](int n) { return n == 0 ? Text() : GroupReading(n, false); };
  Text out;
  if (ones != 0) {
    out = reading_of(value - ones) + counter->ones[ones];
  } else if (tens != 0) {
    out = reading_of(value - tens * 10) + (tens > 1 ? kDigits[tens] : U"") + counter->ten;
  } else if (hundreds != 0) {
    Text stem = kHundreds[hundreds];
    stem.pop_back();  // the final く gives way to the counter's own ending
    out = reading_of(value - hundreds * 100) + stem + counter->hundred;
  } else {
    out = Text(kThousands[thousands]) + counter->thousand;
  }
  // 14日 and 24日 keep よっか; other days past ten use にち.
  if (name == U"日" && value > 10 && ones != 4 && ones != 0) out = reading_of(value) + U"にち";
  return CountedReading{out, length};
}

}  // namespace kanae::speech
