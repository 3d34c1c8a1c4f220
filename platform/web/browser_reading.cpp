#include "browser_reading.h"

#include "kana_tables.h"
#include "platform/speech/voice_text.h"

namespace kanae::web {

using speech::NumberSpelling;

Text BrowserReading(const SpokenText& text) {
  Text reading;
  for (const SpokenPiece& piece : text.Pieces()) {
    if (piece.letter) {
      reading += speech::LetterNames(piece.text);
    } else if (piece.word && speech::IsKanaWord(piece.text)) {
      reading += speech::ToKatakana(speech::VoiceReadyText(piece.text, NumberSpelling::kAll));
    } else {
      // Browser voices read numbers with their counters; kana counters
      // (6ぴき) are spelled out, as for Open JTalk.
      reading += speech::VoiceReadyText(piece.text, NumberSpelling::kBeforeKanaCounters);
    }
  }
  return reading;
}

std::string LetterFiles(const SpokenText& text) {
  std::string files;
  for (const SpokenPiece& piece : text.Pieces()) {
    if (!piece.letter) continue;
    for (char32_t c : piece.text) {
      if (!files.empty()) files += '\n';
      files += ToUtf8(ShownLetterSoundFile(Text(1, c)));
    }
  }
  return files;
}

}  // namespace kanae::web
