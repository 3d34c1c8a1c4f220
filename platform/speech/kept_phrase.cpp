#include "platform/speech/kept_phrase.h"

#include "platform/audio/wav.h"
#include "platform/speech/loudness.h"

namespace kanae::speech {

Text StoreKeyOf(const SpokenText& text) {
  // Noncharacters around a letter or a word: no game ever says them.
  Text key;
  for (const SpokenPiece& piece : text.Pieces()) {
    if (piece.letter) key += U'\uFDD0' + piece.text + U'\uFDD1';
    else if (piece.word) key += U'\uFDD2' + piece.text + U'\uFDD3';
    else key += piece.text;
  }
  return key;
}

std::optional<MadePhrase> LoadOrMakePhrase(Voice* voice, const std::string& identity, SpeechStore* store,
                                           const SpokenText& text) {
  if (voice == nullptr) return std::nullopt;
  const Text key = StoreKeyOf(text);
  if (store != nullptr) {
    if (std::optional<KeptSpeech> kept = store->Load(identity, key)) {
      MadePhrase phrase{std::move(kept->reading), nullptr};
      if (!kept->wav.empty()) phrase.wav = std::make_shared<const std::vector<std::uint8_t>>(std::move(kept->wav));
      return phrase;
    }
  }
  std::optional<Utterance> made = voice->Render(text);
  if (!made) return std::nullopt;
  MadePhrase phrase{std::move(made->reading), nullptr};
  if (!made->pcm.samples.empty() && made->pcm.sample_rate > 0) {
    // As loud as the letter files, whichever voice made it.
    LevelSpeech(made->pcm);
    phrase.wav = std::make_shared<const std::vector<std::uint8_t>>(audio::EncodeWav(made->pcm.samples, made->pcm.sample_rate));
  }
  // Kept levelled, so the next start plays it as it is.
  if (store != nullptr) store->Save(identity, key, {phrase.reading, phrase.wav ? *phrase.wav : std::vector<std::uint8_t>()});
  return phrase;
}

}  // namespace kanae::speech
