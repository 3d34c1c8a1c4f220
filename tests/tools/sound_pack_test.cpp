// The generated sound pack: every file a game may open is there and plays.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "kana_tables.h"
#include "letter_set.h"
#include "pcm.h"
#include "platform/audio/levelling.h"
#include "text.h"

namespace kanae {
namespace {

const std::filesystem::path kPack = KANAE_SOUND_PACK_DIR;

const char* const kCues[] = {"ピンポン.wav", "ブー.wav", "ガチャ.wav", "バーン.wav"};

struct Wav {
  int format = 0;
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<std::int16_t> samples;
};

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// Reads the RIFF chunks by hand, so the check does not trust the writer's reader.
std::optional<Wav> ParseWav(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return std::nullopt;
  if (Le(b, 4, 4) + 8 != b.size()) return std::nullopt;
  Wav wav;
  bool have_fmt = false, have_data = false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const std::uint32_t size = Le(b, at + 4, 4);
    if (at + 8 + size > b.size()) return std::nullopt;
    if (id == "fmt " && size >= 16) {
      wav.format = static_cast<int>(Le(b, at + 8, 2));
      wav.channels = static_cast<int>(Le(b, at + 10, 2));
      wav.rate = static_cast<int>(Le(b, at + 12, 4));
      wav.bits = static_cast<int>(Le(b, at + 22, 2));
      have_fmt = true;
    } else if (id == "data") {
      if (size % 2 != 0) return std::nullopt;
      for (std::size_t i = 0; i < size; i += 2) wav.samples.push_back(static_cast<std::int16_t>(Le(b, at + 8 + i, 2)));
      have_data = true;
    }
    at += 8 + size + (size & 1);
  }
  if (!have_fmt || !have_data) return std::nullopt;
  return wav;
}

double Dbfs(double level) { return 20 * std::log10(std::max(level, 1e-9) / 32768.0); }

// Every file the pack must hold, with the longest each may play.
std::vector<std::pair<std::string, double>> ExpectedSounds() {
  std::vector<std::pair<std::string, double>> files;
  for (const char* cue : kCues) files.emplace_back(cue, 2.0);
  if (KANAE_HAVE_SAY) {
    std::set<Text> letters;
    for (const sound_pack::LetterRange& range : sound_pack::kAskableLetters) {
      for (char32_t c = range.first; c <= range.last; ++c) {
        letters.insert(LetterSoundFile(c));     // as most games ask
        letters.insert(Text(1, c) + U".wav");  // as card-picking asks
      }
    }
    for (const Text& letter : letters) files.emplace_back(ToUtf8(letter), 1.5);
  }
  return files;
}

TEST(SoundPack, EverySoundIsCleanPcmAtOneRate) {
  const auto files = ExpectedSounds();
  // Rule spot checks: the pack must follow it where it turns letters around.
  if (KANAE_HAVE_SAY) {
    for (const char* special : {"ア.wav", "あ.wav", "゜.wav", "ー.wav", "０.wav", "ゔ.wav", "ゐ.wav"}) {
      EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const auto& f) { return f.first == special; }))
          << special;
    }
  }
  std::optional<int> common_rate;
  for (const auto& [name, longest] : files) {
    SCOPED_TRACE(name);
    const std::filesystem::path file = kPack / name;
    const std::optional<Wav> wav = ParseWav(file);
    ASSERT_TRUE(wav.has_value()) << "missing or not a WAV file";
    EXPECT_EQ(wav->format, 1);
    EXPECT_EQ(wav->channels, 1);
    EXPECT_EQ(wav->bits, 16);
    if (!common_rate) common_rate = wav->rate;
    EXPECT_EQ(wav->rate, *common_rate);
    ASSERT_GT(wav->rate, 0);
    EXPECT_LT(static_cast<double>(wav->samples.size()) / wav->rate, longest);

    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    EXPECT_NE(SDL_LoadWAV(file.c_str(), &format, &buffer, &length), nullptr) << SDL_GetError();
    SDL_FreeWAV(buffer);

    ASSERT_FALSE(wav->samples.empty());
    double peak = 0, sum = 0;
    for (std::int16_t s : wav->samples) {
      peak = std::max(peak, std::fabs(static_cast<double>(s)));
      sum += static_cast<double>(s) * s;
    }
    EXPECT_LE(Dbfs(peak), -3.0);
    EXPECT_GT(Dbfs(peak), -12.0) << "too quiet";
    EXPECT_GT(Dbfs(std::sqrt(sum / static_cast<double>(wav->samples.size()))), -40.0) << "nearly silent";
    // Faded ends: no click as the sound starts or stops.
    EXPECT_LT(std::abs(wav->samples.front()), 330);
    EXPECT_LT(std::abs(wav->samples.back()), 330);
  }
}

// Walks every letter the six games can ask a sound for, by the games' own
// rules, against the pack: the kana tables distractors are drawn from, every
// kana a name can hold (the word-building game plays each of its letters),
// the digits in both widths and the marks. Nothing is asked for that is not there.
TEST(SoundPack, EveryLetterAGameCanAskForHasItsFile) {
  if (!KANAE_HAVE_SAY) GTEST_SKIP() << "no speech program in this build";
  const KanaTables tables = FillKanaTables();
  Text letters = tables.hiragana + tables.katakana + tables.digits + U"0123456789ー〜～";
  for (char32_t c = U'ぁ'; c <= U'ゖ'; ++c) letters += c;
  for (char32_t c = U'ァ'; c <= U'ヶ'; ++c) letters += c;
  int walked = 0;
  for (char32_t c : letters) {
    const Text letter(1, c);
    SCOPED_TRACE(ToUtf8(letter));
    // As the letter games and the word-building game ask, and as the
    // card-picking game asks for a card's letter as shown.
    for (const Text& file : {LetterSoundFile(c), ShownLetterSoundFile(letter)}) {
      EXPECT_TRUE(std::filesystem::is_regular_file(kPack / ToUtf8(file))) << ToUtf8(file);
      ++walked;
    }
  }
  EXPECT_EQ(LetterSoundFile(U'3'), U"３.wav");
  EXPECT_EQ(ShownLetterSoundFile(U"3"), U"３.wav");
  EXPECT_GT(walked, 2 * (46 + 46 + 10 + 10 + 3));
}

// The cues sound as loud as the letter files around them (within 3 dB of
// their median, by the pack's own measure): no buzzer far louder than the
// message that follows it.
TEST(SoundPack, CuesAreAsLoudAsTheLetters) {
  if (!KANAE_HAVE_SAY) GTEST_SKIP() << "no speech program in this build";
  const auto loudness = [](const std::string& name) {
    const std::optional<sound_pack::Samples> samples = sound_pack::ReadWav(kPack / name);
    return samples ? 20 * std::log10(std::max(sound_pack::SoundingRms(*samples), 1e-9)) : -200.0;
  };
  std::vector<double> letters;
  for (char32_t letter : FillKanaTables().hiragana) letters.push_back(loudness(ToUtf8(LetterSoundFile(letter))));
  std::sort(letters.begin(), letters.end());
  const double median = letters[letters.size() / 2];
  EXPECT_NEAR(median, sound_pack::kSpeechRmsDbfs, 1.0);
  for (const char* cue : kCues) EXPECT_NEAR(loudness(cue), median, 3.0) << cue;
}

std::set<std::string> LetterFiles() {
  std::set<std::string> files;
  for (const sound_pack::LetterRange& range : sound_pack::kAskableLetters) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      files.insert(ToUtf8(LetterSoundFile(c)));
      files.insert(ToUtf8(Text(1, c) + U".wav"));
    }
  }
  return files;
}

// A letter heard alone must last long enough for a child to catch its vowel,
// and no longer than a letter said at a steady pace; levelled to one
// loudness (a peaky letter limited, not left quieter), never clipped.
TEST(SoundPack, EveryLetterFileIsLongEnoughToHear) {
  if (!KANAE_HAVE_SAY) GTEST_SKIP() << "no speech program in this build";
  std::vector<double> voiced_lengths;
  for (const std::string& name : LetterFiles()) {
    SCOPED_TRACE(name);
    const std::optional<Wav> wav = ParseWav(kPack / name);
    ASSERT_TRUE(wav.has_value());
    ASSERT_GT(wav->rate, 0);
    sound_pack::Samples samples;
    for (std::int16_t v : wav->samples) samples.push_back(static_cast<float>(v) / 32768.0f);
    const double seconds = static_cast<double>(samples.size()) / wav->rate;
    const double voiced = sound_pack::VoicedSeconds(samples);
    voiced_lengths.push_back(voiced);
    EXPECT_GE(voiced, 0.25) << "voiced sound too short to hear";
    EXPECT_LE(seconds, 0.9) << "too long for one letter";
    EXPECT_LE(20 * std::log10(std::max(sound_pack::Peak(samples), 1e-9)), sound_pack::kPeakDbfs + 0.1);
    EXPECT_NEAR(audio::SoundingLoudnessDb(samples, wav->rate), sound_pack::kSpeechRmsDbfs, 0.75);
  }
  ASSERT_FALSE(voiced_lengths.empty());
  std::sort(voiced_lengths.begin(), voiced_lengths.end());
  std::printf("voiced ms: min %.0f, median %.0f, max %.0f over %zu letter files\n", 1000 * voiced_lengths.front(),
              1000 * voiced_lengths[voiced_lengths.size() / 2], 1000 * voiced_lengths.back(), voiced_lengths.size());
}

// What the voice made for each letter before the pack levelled it: a
// waveform cut off at full scale is heard as a rasp, whatever gain follows.
TEST(SoundPack, TheVoiceNeverClipsALetter) {
  if (!KANAE_HAVE_SAY) GTEST_SKIP() << "no speech program in this build";
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KANAE_SPOKEN_LETTERS_DIR)) {
    if (entry.path().extension() != ".wav") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::optional<Wav> wav = ParseWav(entry.path());
    ASSERT_TRUE(wav.has_value());
    const int at_full_scale = static_cast<int>(std::count_if(
        wav->samples.begin(), wav->samples.end(), [](std::int16_t v) { return v >= 32767 || v <= -32767; }));
    EXPECT_EQ(at_full_scale, 0) << "samples clipped at full scale";
    ++checked;
  }
  EXPECT_GE(checked, 184 / 2);
}

std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Each letter file says its letter by name, as the voice reported when the
// file was made: は.wav "ha" (not the particle "wa"), へ.wav "he", を.wav "o".
TEST(SoundPack, EveryLetterFileSaysItsLetter) {
  if (!KANAE_HAVE_SAY) GTEST_SKIP() << "no speech program in this build";
  std::map<std::string, std::string> readings;
  std::ifstream list(kPack / sound_pack::kReadingsFile);
  for (std::string line; std::getline(list, line);) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) readings[line.substr(0, tab)] = line.substr(tab + 1);
  }
  for (const sound_pack::LetterRange& range : sound_pack::kAskableLetters) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      for (const Text& file : {Text(1, c) + U".wav", LetterSoundFile(c)}) {
        SCOPED_TRACE(ToUtf8(file));
        const auto found = readings.find(ToUtf8(file));
        ASSERT_NE(found, readings.end());
        EXPECT_FALSE(found->second.empty());
        if (c >= U'０' && c <= U'９') {
          // Digits are said as numbers; 8 is はち, never the particle reading ワチ.
          static const char* const kNumbers[] = {"ゼロ", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュ"};
          EXPECT_EQ(found->second.rfind(kNumbers[c - U'０'], 0), 0u) << found->second;
        }
        if (!sound_pack::SpokenByName(c)) continue;
        Text name = sound_pack::SpokenLetter(c);
        for (char32_t& k : name) k += U'ァ' - U'ぁ';
        EXPECT_EQ(found->second, ToUtf8(name));
      }
    }
  }
  // Letters that share a sound with a particle sound different from it.
  for (const auto& [letter, particle] : {std::pair{"は.wav", "わ.wav"}, std::pair{"へ.wav", "え.wav"}}) {
    EXPECT_NE(FileBytes(kPack / letter), FileBytes(kPack / particle)) << letter;
  }
}

TEST(SoundPack, ClearIconIsAFullyTransparentCursor) {
  const QImage icon(QString::fromStdString((kPack / "Clear.ico").string()), "ICO");
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.size(), QSize(32, 32));
  const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) ASSERT_EQ(qAlpha(argb.pixel(x, y)), 0) << x << "," << y;
  }
}

}  // namespace
}  // namespace kanae
