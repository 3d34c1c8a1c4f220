// A text to be spoken, in pieces: plain words, letters that are to be read by
// their own name, and words (a picture's name) to be read as written. Only the
// game that composes a sentence knows that the は of "はなの、は、は、どれかな"
// is a letter and the next one a particle, or that はちの begins with the name
// はち and not with a particle, so it marks them while composing, and the
// voice honours the marks.
#pragma once

#include <utility>
#include <vector>

#include "text.h"

namespace kanae {

struct SpokenPiece {
  Text text;
  bool letter = false;  // read letter by letter, each by its name (は as ハ, へ as ヘ)
  bool word = false;    // one word, read as its kana spell it (はち as ハチ, never ワチ)
  bool operator==(const SpokenPiece&) const = default;
};

class SpokenText {
 public:
  SpokenText() = default;
  // Plain text converts implicitly, so sentences compose as texts do.
  SpokenText(Text plain) { Append({std::move(plain), false}); }
  SpokenText(const char32_t* plain) : SpokenText(Text(plain)) {}

  SpokenText& operator+=(const SpokenText& other) {
    for (const SpokenPiece& piece : other.pieces_) Append(piece);
    return *this;
  }

  // The text as written, marks dropped: what the trace and the screen show.
  Text Plain() const {
    Text out;
    for (const SpokenPiece& piece : pieces_) out += piece.text;
    return out;
  }
  const std::vector<SpokenPiece>& Pieces() const { return pieces_; }
  bool empty() const { return pieces_.empty(); }

  bool operator==(const SpokenText&) const = default;

 private:
  friend SpokenText Letter(Text letter);
  friend SpokenText Word(Text word);
  // Adjacent plain pieces merge, so equal sentences compare equal however
  // they were put together. Empty pieces are dropped.
  void Append(SpokenPiece piece) {
    if (piece.text.empty()) return;
    const auto plain = [](const SpokenPiece& p) { return !p.letter && !p.word; };
    if (!pieces_.empty() && plain(pieces_.back()) && plain(piece)) {
      pieces_.back().text += piece.text;
    } else {
      pieces_.push_back(std::move(piece));
    }
  }

  std::vector<SpokenPiece> pieces_;
};

inline SpokenText operator+(SpokenText a, const SpokenText& b) { return a += b; }

// A letter (or a few) to be read by name: Letter(Left(name, 1)).
inline SpokenText Letter(Text letter) {
  SpokenText out;
  out.Append({std::move(letter), true});
  return out;
}

// A word said as written: a picture's name. A name in kana is read as its
// kana spell it; a name with kanji keeps the voice's own reading.
inline SpokenText Word(Text word) {
  SpokenText out;
  out.Append({std::move(word), false, true});
  return out;
}

}  // namespace kanae
