#include "platform/speech/speech_store.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace kanae::speech {

namespace {

// Changed whenever readings, voices' settings or the levelling change in a
// way that makes earlier clips sound different from what is made now.
constexpr std::string_view kVersion = "kanae-speech-2";

// An entry: the magic, a checksum of the rest, then three fields, each its
// length (4 bytes) and its bytes: the whole key (so a collision of names or
// an entry put under another's name is never taken), the reading in UTF-8
// and the WAV file.
constexpr std::array<char, 8> kMagic = {'K', 'A', 'N', 'A', 'E', 'S', 'P', '1'};
constexpr std::size_t kHeaderBytes = sizeof kMagic + sizeof(std::uint64_t);

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ull) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string FullKey(const std::string& voice, const Text& key) {
  std::string full(kVersion);
  full += '\0';
  full += voice;
  full += '\0';
  full += ToUtf8(key);
  return full;
}

// Two independent 64-bit hashes: a name clash is vanishingly rare, and the
// stored key catches it anyway.
std::string EntryName(const std::string& full_key) {
  char name[40];
  std::snprintf(name, sizeof name, "%016llx%016llx", static_cast<unsigned long long>(Fnv1a(full_key)),
                static_cast<unsigned long long>(Fnv1a(full_key, 0x84222325cbf29ce4ull)));
  return std::string(name) + ".speech";
}

void PutField(std::string& out, std::string_view field) {
  const auto size = static_cast<std::uint32_t>(field.size());
  out.append(reinterpret_cast<const char*>(&size), sizeof size);
  out.append(field);
}

// The next field of bytes, or nothing when it runs past the end.
std::optional<std::string_view> TakeField(std::string_view& bytes) {
  std::uint32_t size = 0;
  if (bytes.size() < sizeof size) return std::nullopt;
  std::memcpy(&size, bytes.data(), sizeof size);
  bytes.remove_prefix(sizeof size);
  if (bytes.size() < size) return std::nullopt;
  const std::string_view field = bytes.substr(0, size);
  bytes.remove_prefix(size);
  return field;
}

}  // namespace

std::shared_ptr<SpeechStore> SpeechStore::ForUser() {
  const std::optional<std::filesystem::path> folder = OwnedCacheFolder::ForUser("speech");
  if (!folder) return nullptr;
  return std::make_shared<SpeechStore>(*folder);
}

SpeechStore::SpeechStore(std::filesystem::path folder, std::uintmax_t budget_bytes)
    : folder_(std::move(folder), "the speech store", ".speech", budget_bytes) {}

std::optional<KeptSpeech> SpeechStore::Load(const std::string& voice, const Text& key) const {
  const std::string full_key = FullKey(voice, key);
  const std::optional<std::string> entry = folder_.ReadEntry(EntryName(full_key), kLargestEntryBytes);
  if (!entry || entry->size() < kHeaderBytes || std::memcmp(entry->data(), kMagic.data(), kMagic.size()) != 0) {
    return std::nullopt;
  }
  std::uint64_t checksum = 0;
  std::memcpy(&checksum, entry->data() + kMagic.size(), sizeof checksum);
  std::string_view rest = std::string_view(*entry).substr(kHeaderBytes);
  if (Fnv1a(rest) != checksum) return std::nullopt;
  const std::optional<std::string_view> stored_key = TakeField(rest);
  const std::optional<std::string_view> reading = TakeField(rest);
  const std::optional<std::string_view> wav = TakeField(rest);
  if (!stored_key || !reading || !wav || !rest.empty() || *stored_key != full_key) return std::nullopt;
  KeptSpeech kept;
  kept.reading = FromUtf8(*reading);
  kept.wav.assign(wav->begin(), wav->end());
  return kept;
}

void SpeechStore::Save(const std::string& voice, const Text& key, const KeptSpeech& speech) {
  if (!folder_.Usable()) return;
  const std::string full_key = FullKey(voice, key);
  std::string rest;
  PutField(rest, full_key);
  PutField(rest, ToUtf8(speech.reading));
  PutField(rest, std::string_view(reinterpret_cast<const char*>(speech.wav.data()), speech.wav.size()));
  if (kHeaderBytes + rest.size() > kLargestEntryBytes) return;
  std::string entry(kMagic.data(), kMagic.size());
  const std::uint64_t checksum = Fnv1a(rest);
  entry.append(reinterpret_cast<const char*>(&checksum), sizeof checksum);
  entry += rest;
  folder_.WriteEntry(EntryName(full_key), entry);
}

}  // namespace kanae::speech
