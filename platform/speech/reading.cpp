#include "platform/speech/reading.h"

#include <mecab.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kanae::speech {
namespace {

std::optional<int> DigitValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'０' && c <= U'９') return static_cast<int>(c - U'０');
  return std::nullopt;
}

constexpr std::array<const char32_t*, 10> kDigits = {U"ぜろ", U"いち", U"に",  U"さん", U"よん",
                                                     U"ご",   U"ろく", U"なな", U"はち", U"きゅう"};

bool EndsWith(const Text& text, TextView tail) {
  return text.size() >= tail.size() && TextView(text).substr(text.size() - tail.size()) == tail;
}

// 1..9999, with the sound changes at the hundreds and thousands.
// big_unit_follows: a 万/億/兆 follows, where 1000 is いっせん, not せん.
Text GroupReading(int value, bool big_unit_follows) {
  static constexpr std::array<const char32_t*, 10> kHundreds = {
      U"", U"ひゃく", U"にひゃく", U"さんびゃく", U"よんひゃく", U"ごひゃく", U"ろっぴゃく", U"ななひゃく", U"はっぴゃく", U"きゅうひゃく"};
  static constexpr std::array<const char32_t*, 10> kThousands = {
      U"", U"せん", U"にせん", U"さんぜん", U"よんせん", U"ごせん", U"ろくせん", U"ななせん", U"はっせん", U"きゅうせん"};
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

namespace {

Text HiraganaToKatakana(Text text) {
  for (char32_t& c : text) {
    if (c >= U'ぁ' && c <= U'ゖ') c += U'ァ' - U'ぁ';
  }
  return text;
}

// Digit runs become their reading. The reading goes in as katakana so MeCab
// takes it as one spoken word: a hiragana はっぴゃく could split into the particle は.
Text ReadNumbers(const Text& text) {
  Text out;
  for (std::size_t i = 0; i < text.size();) {
    if (!DigitValue(text[i])) {
      out += text[i++];
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && DigitValue(text[end])) ++end;
    out += HiraganaToKatakana(NumberReading(text.substr(i, end - i)));
    // A decimal part is read digit by digit: 3.5 さんてんご.
    if (end + 1 < text.size() && (text[end] == U'.' || text[end] == U'．') && DigitValue(text[end + 1])) {
      out += U"テン";
      for (++end; end < text.size() && DigitValue(text[end]); ++end) {
        out += HiraganaToKatakana(kDigits[*DigitValue(text[end])]);
      }
    }
    i = end;
  }
  return out;
}

// MeCab would stop at a NUL and has no use for control characters; line
// breaks and tabs read as a pause between words.
Text Sanitise(const Text& text) {
  Text out;
  for (char32_t c : text) {
    if (c < 0x20 || c == 0x7F) {
      if (!out.empty() && out.back() != U' ') out += U' ';
    } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
      continue;
    } else {
      out += c;
    }
  }
  return out;
}

constexpr char kUtf8Dictionary[] = "/var/lib/mecab/dic/ipadic-utf8";

// The readings are taken as UTF-8: a dictionary in another character set
// (the system default may be the EUC-JP ipadic) would give mojibake.
bool IsUtf8Dictionary(const MeCab::Model& model) {
  const MeCab::DictionaryInfo* info = model.dictionary_info();
  if (info == nullptr || info->charset == nullptr) return false;
  std::string charset(info->charset);
  for (char& c : charset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return charset == "utf-8" || charset == "utf8";
}

MeCab::Model* SharedModel() {
  // The model is thread-safe and costly to load; taggers made from it are cheap.
  static std::unique_ptr<MeCab::Model> model = [] {
    std::unique_ptr<MeCab::Model> m(MeCab::createModel(""));
    if (m && IsUtf8Dictionary(*m)) return m;
    // Copied: the default model's information goes with it.
    const std::string found = !m ? "missing"
                              : m->dictionary_info() != nullptr && m->dictionary_info()->charset != nullptr
                                  ? m->dictionary_info()->charset
                                  : "of unknown character set";
    m.reset(MeCab::createModel((std::string("-d ") + kUtf8Dictionary).c_str()));
    if (m && !IsUtf8Dictionary(*m)) m.reset();
    if (found != "missing" || !m) {
      std::fprintf(stderr, "kanae: the default MeCab dictionary is %s; %s\n", found.c_str(),
                   m ? "using /var/lib/mecab/dic/ipadic-utf8" : "no UTF-8 dictionary, readings are not looked up");
    }
    return m;
  }();
  return model.get();
}

// The 9th feature is the pronunciation; unknown words have fewer features.
std::optional<std::string> Pronunciation(const char* feature) {
  std::vector<std::string> fields(1);
  for (const char* p = feature; *p != '\0'; ++p) {
    if (*p == ',') fields.emplace_back();
    else fields.back().push_back(*p);
  }
  if (fields.size() < 9 || fields[8].empty() || fields[8] == "*") return std::nullopt;
  return fields[8];
}

}  // namespace

Text ReadingOf(const Text& text) {
  const Text prepared = ReadNumbers(Sanitise(text));
  MeCab::Model* model = SharedModel();
  if (model == nullptr) return prepared;
  std::unique_ptr<MeCab::Tagger> tagger(model->createTagger());
  std::unique_ptr<MeCab::Lattice> lattice(model->createLattice());
  if (!tagger || !lattice) return prepared;

  const std::string utf8 = ToUtf8(prepared);
  lattice->set_sentence(utf8.c_str());
  if (!tagger->parse(lattice.get())) return prepared;

  std::string out;
  for (const MeCab::Node* node = lattice->bos_node(); node != nullptr; node = node->next) {
    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
    // MeCab drops spaces; keep one as a short break between words.
    if (node->rlength > node->length && !out.empty()) out += ' ';
    if (auto pronunciation = Pronunciation(node->feature)) {
      out += *pronunciation;
    } else {
      out.append(node->surface, node->length);
    }
  }
  return FromUtf8(out);
}

}  // namespace kanae::speech
