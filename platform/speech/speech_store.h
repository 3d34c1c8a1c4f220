// Speech kept on disk between runs: a phrase a voice has made once (its
// reading and its sound, already levelled) is read back instead of being
// made again, so a lesson's prompts and praise heard before cost a file read
// rather than a run of the synthesiser. An entry is found by the voice (its
// engine, voice file and settings), the text with its letter and word marks,
// and the version of our own reading and levelling. Only ever a speed-up: a
// folder that is not ours, a full disk or a damaged entry means synthesis as
// before. Safe to use from several threads and processes at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "owned_cache_folder.h"
#include "text.h"

namespace kanae::speech {

struct KeptSpeech {
  Text reading;                // the kana the voice pronounced
  std::vector<std::uint8_t> wav;  // the levelled sound as a WAV file; empty: nothing to say
  bool operator==(const KeptSpeech&) const = default;
};

class SpeechStore {
 public:
  // Hundreds of phrases: many lessons' prompts and praise.
  static constexpr std::uintmax_t kDefaultBudgetBytes = 64u << 20;
  // A single entry larger than this is not ours: a long message is a few seconds.
  static constexpr std::uintmax_t kLargestEntryBytes = 16u << 20;

  // In $XDG_CACHE_HOME/kanae/speech (by default ~/.cache/kanae/speech).
  static std::shared_ptr<SpeechStore> ForUser();

  // The folder is made 0700 where missing; one that is a link, belongs to
  // someone else or can be written by others is not used (one line on
  // stderr), and the store then keeps nothing.
  explicit SpeechStore(std::filesystem::path folder, std::uintmax_t budget_bytes = kDefaultBudgetBytes);

  // voice: who made it and how (Voice::Identity); key: the text with its marks.
  std::optional<KeptSpeech> Load(const std::string& voice, const Text& key) const;
  // Past the budget, the least recently used entries go.
  void Save(const std::string& voice, const Text& key, const KeptSpeech& speech);

 private:
  OwnedCacheFolder folder_;
};

}  // namespace kanae::speech
