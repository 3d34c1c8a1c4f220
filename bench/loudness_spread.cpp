// The loudness of a lesson's clips as the child hears them: the letter files
// and cues of the sound pack, and Open JTalk's prompts, praise and retry
// messages before and after levelling, by one measure (RMS of the 20 ms
// windows that sound). Prints each clip and the spread against the letters.
//
// Usage: loudness_spread [SOUND_PACK_FOLDER]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/speech/loudness.h"
#include "platform/speech/open_jtalk_voice.h"

namespace {

using namespace kanae;
using namespace kanae::speech;

// 16-bit mono PCM WAV, as the pack writes it; nothing for anything else.
std::optional<Pcm> ReadPackWav(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto le = [&](std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
  };
  if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0) return std::nullopt;
  Pcm pcm;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const std::size_t size = le(at + 4, 4);
    if (at + 8 + size > b.size()) return std::nullopt;
    if (id == "fmt ") pcm.sample_rate = static_cast<int>(le(at + 12, 4));
    if (id == "data") {
      for (std::size_t i = 0; i + 1 < size; i += 2) pcm.samples.push_back(static_cast<std::int16_t>(le(at + 8 + i, 2)));
      return pcm;
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

struct Row {
  std::string kind, name;
  double dbfs;
};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path pack = argc > 1 ? argv[1] : "sound_pack";
  const Text names[] = {U"はち", U"へび", U"いぬ", U"ねこ", U"りんご", U"さかな"};
  std::vector<Row> rows;
  for (const Text& name : names) {
    const std::string file = ToUtf8(Text(1, name[0])) + ".wav";
    if (auto pcm = ReadPackWav(pack / file)) rows.push_back({"letter", file, SoundingLoudnessDbfs(pcm->samples, pcm->sample_rate)});
  }
  for (const char* cue : {"ピンポン.wav", "ブー.wav", "ガチャ.wav", "バーン.wav"}) {
    if (auto pcm = ReadPackWav(pack / cue)) rows.push_back({"cue", cue, SoundingLoudnessDbfs(pcm->samples, pcm->sample_rate)});
  }
  OpenJTalkVoice voice{OpenJTalkSetup::FromEnvironment()};
  std::string why;
  if (!voice.Start(&why)) std::fprintf(stderr, "Open JTalk: %s; no speech measured\n", why.c_str());
  else {
    for (const Text& name : names) {
      for (const SpokenText& text : {Word(name) + U"の、" + Letter(Text(1, name[0])) + U"、は、どれかな",
                                     SpokenText(U"よくできました。これが、") + Word(name) + U"、だね。",
                                     SpokenText(U"ざんねん")}) {
        std::optional<Utterance> made = voice.Render(text);
        if (!made) continue;
        rows.push_back({"speech as made", ToUtf8(text.Plain()), SoundingLoudnessDbfs(made->pcm.samples, made->pcm.sample_rate)});
        LevelSpeech(made->pcm);
        rows.push_back({"speech levelled", ToUtf8(text.Plain()), SoundingLoudnessDbfs(made->pcm.samples, made->pcm.sample_rate)});
      }
    }
  }
  double letters = 0;
  int letter_count = 0;
  for (const Row& row : rows) {
    if (row.kind == "letter") letters += row.dbfs, ++letter_count;
  }
  if (letter_count == 0) {
    std::fprintf(stderr, "no letter files in %s\n", pack.c_str());
    return 1;
  }
  letters /= letter_count;
  std::printf("letter files average %.1f dBFS\n", letters);
  for (const char* kind : {"letter", "cue", "speech as made", "speech levelled"}) {
    double low = 1e9, high = -1e9;
    for (const Row& row : rows) {
      if (row.kind != kind) continue;
      std::printf("  %-16s %+6.1f dB  %s\n", kind, row.dbfs - letters, row.name.c_str());
      low = std::min(low, row.dbfs - letters), high = std::max(high, row.dbfs - letters);
    }
    if (low <= high) std::printf("%s: %+.1f to %+.1f dB from the letters\n", kind, low, high);
  }
  return 0;
}
