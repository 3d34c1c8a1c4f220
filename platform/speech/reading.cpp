#include "platform/speech/reading.h"

#include "platform/speech/voice_text.h"

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

// Stands in for a letter or a kana name while MeCab reads the sentence: a
// symbol it takes as a word of its own, so the particle after it is still a
// particle. VoiceReadyText drops it from the text itself, so each one is ours.
constexpr char32_t kLetterMark = U'〓';

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

Text ReadingOf(const SpokenText& text) {
  Text prepared;
  std::vector<Text> letters;  // what each mark stands for, in turn
  for (const SpokenPiece& piece : text.Pieces()) {
    if (piece.letter) {
      letters.push_back(LetterNames(piece.text));
      if (!letters.back().empty()) prepared += kLetterMark;
      else letters.pop_back();
    } else if (piece.word && IsKanaWord(piece.text)) {
      // A name in kana is said as spelled: MeCab would take the は of はち
      // or the へ of へりこぷたー for a particle. It stands in the sentence
      // as a mark, so the particles after it are still read as particles.
      letters.push_back(ToKatakana(VoiceReadyText(piece.text, NumberSpelling::kAll)));
      prepared += kLetterMark;
    } else {
      prepared += VoiceReadyText(piece.text, NumberSpelling::kAll);
    }
  }
  std::size_t next_letter = 0;
  const auto put_letters = [&](const Text& surface) {
    Text out;
    for (char32_t c : surface) {
      if (c == kLetterMark && next_letter < letters.size()) out += letters[next_letter++];
      else if (c != kLetterMark) out += c;
    }
    return out;
  };

  MeCab::Model* model = SharedModel();
  std::unique_ptr<MeCab::Tagger> tagger(model != nullptr ? model->createTagger() : nullptr);
  std::unique_ptr<MeCab::Lattice> lattice(model != nullptr ? model->createLattice() : nullptr);
  if (!tagger || !lattice) return put_letters(prepared);

  const std::string utf8 = ToUtf8(prepared);
  lattice->set_sentence(utf8.c_str());
  if (!tagger->parse(lattice.get())) return put_letters(prepared);

  Text out;
  for (const MeCab::Node* node = lattice->bos_node(); node != nullptr; node = node->next) {
    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
    // MeCab drops spaces; keep one as a short break between words.
    if (node->rlength > node->length && !out.empty()) out += U' ';
    const Text surface = FromUtf8(std::string(node->surface, node->length));
    if (surface.find(kLetterMark) != Text::npos) {
      out += put_letters(surface);
    } else if (auto pronunciation = Pronunciation(node->feature)) {
      out += FromUtf8(*pronunciation);
    } else {
      out += surface;
    }
  }
  return out;
}

Text ReadingOf(const Text& text) { return ReadingOf(SpokenText(text)); }

}  // namespace kanae::speech
