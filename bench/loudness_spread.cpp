// The loudness of a lesson's clips as the child hears them: the letter files
// and cues of the sound pack, and Open JTalk's prompts, praise and retry
// messages before and after levelling, by three measures (flat power of the
// 20 ms windows that sound, the same K-weighted, and EBU R128 integrated
// loudness). Prints each clip and the spread against the letters, and the
// spread of every letter file of the pack among themselves.
//
// Usage: loudness_spread [SOUND_PACK_FOLDER]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <ebur128.h>

#include "platform/audio/levelling.h"
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

// One clip by three measures: the levelling's own (flat power of the windows
// that sound), the same K-weighted, and a broadcast meter's integrated
// loudness (EBU R128 through libebur128; none for a clip under 0.4 s).
struct Measures {
  double flat, k, integrated, momentary;  // momentary: the loudest 0.4 s
};

Measures Measure(const Pcm& pcm) {
  std::vector<float> samples(pcm.samples.size());
  std::transform(pcm.samples.begin(), pcm.samples.end(), samples.begin(), [](std::int16_t v) { return v / 32768.0f; });
  Measures m{audio::SoundingLoudnessDb(samples, pcm.sample_rate, audio::Weighting::kFlat),
             audio::SoundingLoudnessDb(samples, pcm.sample_rate, audio::Weighting::kK), -HUGE_VAL, -HUGE_VAL};
  if (ebur128_state* meter = ebur128_init(1, static_cast<unsigned long>(pcm.sample_rate), EBUR128_MODE_I)) {
    // Fed 10 ms at a time for the loudest momentary value.
    const std::size_t step = static_cast<std::size_t>(pcm.sample_rate) / 100;
    for (std::size_t at = 0; at < samples.size(); at += step) {
      const std::size_t n = std::min(step, samples.size() - at);
      double momentary = -HUGE_VAL;
      if (ebur128_add_frames_float(meter, samples.data() + at, n) == EBUR128_SUCCESS &&
          ebur128_loudness_momentary(meter, &momentary) == EBUR128_SUCCESS) {
        m.momentary = std::max(m.momentary, momentary);
      }
    }
    if (ebur128_loudness_global(meter, &m.integrated) != EBUR128_SUCCESS) m.integrated = -HUGE_VAL;
    ebur128_destroy(&meter);
  }
  return m;
}

int Peak(const Pcm& pcm) {
  int peak = 0;
  for (std::int16_t v : pcm.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

struct Row {
  std::string kind, name;
  Measures level;
  int peak;
};

const char* const kCues[] = {"ピンポン.wav", "ブー.wav", "ガチャ.wav", "バーン.wav"};

bool IsCue(const std::string& file) {
  return std::any_of(std::begin(kCues), std::end(kCues), [&](const char* cue) { return file == cue; });
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path pack = argc > 1 ? argv[1] : "sound_pack";
  const Text names[] = {U"はち", U"へび", U"いぬ", U"ねこ", U"りんご", U"さかな"};
  std::vector<Row> rows;
  for (const Text& name : names) {
    const std::string file = ToUtf8(Text(1, name[0])) + ".wav";
    if (auto pcm = ReadPackWav(pack / file)) rows.push_back({"letter", file, Measure(*pcm), Peak(*pcm)});
  }
  for (const char* cue : kCues) {
    if (auto pcm = ReadPackWav(pack / cue)) rows.push_back({"cue", cue, Measure(*pcm), Peak(*pcm)});
  }
  // Every letter file of the pack, for their spread among themselves.
  std::vector<Row> all_letters;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(pack, error)) {
    const std::string file = entry.path().filename().string();
    if (entry.path().extension() != ".wav" || IsCue(file)) continue;
    if (auto pcm = ReadPackWav(entry.path())) all_letters.push_back({"pack letter", file, Measure(*pcm), Peak(*pcm)});
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
        rows.push_back({"speech as made", ToUtf8(text.Plain()), Measure(made->pcm), Peak(made->pcm)});
        // As it was levelled before the limiter: a gain that stops at the peak.
        std::vector<float> samples(made->pcm.samples.size());
        std::transform(made->pcm.samples.begin(), made->pcm.samples.end(), samples.begin(), [](std::int16_t v) { return v / 32768.0f; });
        audio::Level(samples, made->pcm.sample_rate,
                     {.loudness_db = kSpeechLoudnessDbfs, .peak_db = kSpeechPeakDbfs, .most_limiting_db = 0});
        Pcm gain_only{made->pcm.sample_rate, {}};
        for (float v : samples) gain_only.samples.push_back(static_cast<std::int16_t>(std::trunc(v * 32768.0)));
        rows.push_back({"speech gain only", ToUtf8(text.Plain()), Measure(gain_only), Peak(gain_only)});
        LevelSpeech(made->pcm);
        rows.push_back({"speech levelled", ToUtf8(text.Plain()), Measure(made->pcm), Peak(made->pcm)});
      }
    }
  }
  Measures letters{0, 0, 0, 0};
  int letter_count = 0, integrated_count = 0;
  for (const Row& row : rows) {
    if (row.kind != "letter") continue;
    letters.flat += row.level.flat, letters.k += row.level.k, letters.momentary += row.level.momentary, ++letter_count;
    if (std::isfinite(row.level.integrated)) letters.integrated += row.level.integrated, ++integrated_count;
  }
  if (letter_count == 0) {
    std::fprintf(stderr, "no letter files in %s\n", pack.c_str());
    return 1;
  }
  letters.flat /= letter_count, letters.k /= letter_count, letters.momentary /= letter_count;
  letters.integrated = integrated_count > 0 ? letters.integrated / integrated_count : -HUGE_VAL;
  std::printf("letter files average: flat %.1f dBFS, K-weighted %.1f dB, integrated %.1f LUFS, loudest momentary %.1f LUFS\n",
              letters.flat, letters.k, letters.integrated, letters.momentary);
  std::printf("  (each clip: dB from the letters by the flat / K-weighted / integrated / momentary measure, peak dBFS)\n");
  const auto from_letters = [&](const Measures& m) {
    return Measures{m.flat - letters.flat, m.k - letters.k, m.integrated - letters.integrated, m.momentary - letters.momentary};
  };
  const auto peak_dbfs = [](int peak) { return peak > 0 ? 20 * std::log10(peak / 32768.0) : -200.0; };
  for (const char* kind : {"letter", "cue", "speech as made", "speech gain only", "speech levelled"}) {
    Measures low{1e9, 1e9, 1e9, 1e9}, high{-1e9, -1e9, -1e9, -1e9};
    double loudest_peak = -200;
    for (const Row& row : rows) {
      if (row.kind != kind) continue;
      const Measures d = from_letters(row.level);
      char integrated[16] = "  short";
      if (std::isfinite(d.integrated)) std::snprintf(integrated, sizeof integrated, "%+6.1f", d.integrated);
      std::printf("  %-16s %+6.1f %+6.1f %s %+6.1f  peak %+5.1f  %s\n", kind, d.flat, d.k, integrated, d.momentary,
                  peak_dbfs(row.peak), row.name.c_str());
      low.momentary = std::min(low.momentary, d.momentary), high.momentary = std::max(high.momentary, d.momentary);
      low.flat = std::min(low.flat, d.flat), high.flat = std::max(high.flat, d.flat);
      low.k = std::min(low.k, d.k), high.k = std::max(high.k, d.k);
      if (std::isfinite(d.integrated)) low.integrated = std::min(low.integrated, d.integrated), high.integrated = std::max(high.integrated, d.integrated);
      loudest_peak = std::max(loudest_peak, peak_dbfs(row.peak));
    }
    if (low.flat <= high.flat) {
      std::printf("%s: flat %+.1f to %+.1f dB, K-weighted %+.1f to %+.1f dB", kind, low.flat, high.flat, low.k, high.k);
      if (low.integrated <= high.integrated) std::printf(", integrated %+.1f to %+.1f LU", low.integrated, high.integrated);
      std::printf(", loudest momentary %+.1f to %+.1f LU", low.momentary, high.momentary);
      std::printf(" from the letters; loudest peak %.1f dBFS\n", loudest_peak);
    }
  }
  if (!all_letters.empty()) {
    const auto [flat_low, flat_high] = std::minmax_element(all_letters.begin(), all_letters.end(),
                                                           [](const Row& a, const Row& b) { return a.level.flat < b.level.flat; });
    const auto [k_low, k_high] = std::minmax_element(all_letters.begin(), all_letters.end(),
                                                     [](const Row& a, const Row& b) { return a.level.k < b.level.k; });
    const auto loudest = std::max_element(all_letters.begin(), all_letters.end(),
                                          [](const Row& a, const Row& b) { return a.peak < b.peak; });
    std::printf("all %zu letter files: flat %.1f (%s) to %.1f (%s) dBFS, K-weighted %.1f (%s) to %.1f (%s) dB; "
                "loudest peak %.1f dBFS (%s)\n",
                all_letters.size(), flat_low->level.flat, flat_low->name.c_str(), flat_high->level.flat,
                flat_high->name.c_str(), k_low->level.k, k_low->name.c_str(), k_high->level.k, k_high->name.c_str(),
                peak_dbfs(loudest->peak), loudest->name.c_str());
  }
  return 0;
}
