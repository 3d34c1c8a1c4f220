#include "platform/speech/open_jtalk_voice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/speech/child_process.h"
#include "platform/speech/voice_text.h"

namespace kanae::speech {
namespace {

namespace fs = std::filesystem;

// The file's bytes, or nothing when it is missing or larger than limit.
std::optional<std::string> ReadFile(const fs::path& file, std::size_t limit) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error || size > limit) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// open_jtalk writes 16-bit mono PCM; anything else is taken as a failure.
std::optional<Pcm> ParseWav(const std::string& b) {
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return std::nullopt;
  Pcm pcm;
  bool have_format = false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const std::size_t size = Le(b, at + 4, 4);
    if (at + 8 + size > b.size()) return std::nullopt;
    if (id == "fmt " && size >= 16) {
      if (Le(b, at + 8, 2) != 1 || Le(b, at + 10, 2) != 1 || Le(b, at + 22, 2) != 16) return std::nullopt;
      pcm.sample_rate = static_cast<int>(Le(b, at + 12, 4));
      have_format = true;
    } else if (id == "data" && have_format) {
      pcm.samples.resize(size / 2);
      for (std::size_t i = 0; i < pcm.samples.size(); ++i) {
        pcm.samples[i] = static_cast<std::int16_t>(Le(b, at + 8 + 2 * i, 2));
      }
      return pcm.sample_rate > 0 ? std::optional<Pcm>(std::move(pcm)) : std::nullopt;
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

// open_jtalk reads one line of at most 1023 bytes. Longer texts go in
// several calls, cut after a pause mark (or a space) where there is one.
std::vector<Text> Chunks(const Text& input) {
  constexpr std::size_t kMaxBytes = 900;
  std::vector<Text> chunks;
  Text rest = input;
  while (ToUtf8(rest).size() > kMaxBytes) {
    std::size_t cut = 0;
    std::size_t bytes = 0;
    std::size_t last_pause = 0;
    for (; cut < rest.size(); ++cut) {
      bytes += ToUtf8(TextView(rest).substr(cut, 1)).size();
      if (bytes > kMaxBytes) break;
      if (TextView(U"。、！？ 　").find(rest[cut]) != TextView::npos) last_pause = cut + 1;
    }
    if (last_pause > 0) cut = last_pause;
    chunks.push_back(rest.substr(0, cut));
    rest.erase(0, cut);
  }
  if (!rest.empty()) chunks.push_back(rest);
  return chunks;
}

// open_jtalk frames its speech with about 0.4 s of silence before and 0.6 s
// after: cut to a short margin, so the voice is heard as soon as it starts
// and the end of speech is reported when the words end.
void TrimSilence(Pcm& pcm) {
  constexpr int kThreshold = 300;  // about -40 dBFS
  auto& s = pcm.samples;
  std::size_t first = 0;
  while (first < s.size() && std::abs(s[first]) < kThreshold) ++first;
  if (first == s.size()) return;  // nothing loud: leave it as it is
  std::size_t last = s.size() - 1;
  while (last > first && std::abs(s[last]) < kThreshold) --last;
  const std::size_t rate = static_cast<std::size_t>(pcm.sample_rate);
  const std::size_t begin = first > rate / 50 ? first - rate / 50 : 0;  // 20 ms before
  const std::size_t end = std::min(s.size(), last + 1 + rate * 3 / 20);  // 150 ms after
  s = std::vector<std::int16_t>(s.begin() + static_cast<std::ptrdiff_t>(begin), s.begin() + static_cast<std::ptrdiff_t>(end));
}

// One word of open_jtalk's text analysis: as written and as said.
struct AnalysedWord {
  Text surface;
  Text said;
};

// The words of every "[Text analysis result]" section in analysis.
std::vector<AnalysedWord> AnalysedWords(const std::string& analysis) {
  std::vector<AnalysedWord> words;
  bool in_result = false;
  std::size_t begin = 0;
  while (begin < analysis.size()) {
    std::size_t end = analysis.find('\n', begin);
    if (end == std::string::npos) end = analysis.size();
    const std::string line = analysis.substr(begin, end - begin);
    begin = end + 1;
    if (line == "[Text analysis result]") {
      in_result = true;
      continue;
    }
    if (!in_result) continue;
    if (line.empty()) {
      in_result = false;
      continue;
    }
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == ',') fields.emplace_back();
      else fields.back().push_back(c);
    }
    if (fields.size() < 10) continue;
    // A letter を set apart is said "o"; it keeps its own kana in the reading.
    words.push_back({FromUtf8(fields[0]), fields[0] == "ヲ" ? Text(U"ヲ") : FromUtf8(fields[9])});
  }
  return words;
}

// How a name in kana is written in open_jtalk's input.
Text NameInput(const SpokenPiece& piece, bool katakana) {
  const Text written = VoiceReadyText(piece.text, NumberSpelling::kBeforeKanaCounters);
  return katakana ? ToKatakana(written) : written;
}

bool IsKanaName(const SpokenPiece& piece) { return piece.word && !piece.letter && IsKanaWord(piece.text); }

}  // namespace

OpenJTalkSetup OpenJTalkSetup::FromEnvironment() {
  OpenJTalkSetup setup;
  const char* voice = std::getenv("KANAE_VOICE");
  if (voice != nullptr && *voice != '\0') setup.voice = voice;
  return setup;
}

bool OpenJTalkSetup::LooksUsable(std::string* why) const {
  std::error_code error;
  const auto fail = [&](const std::string& reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  if (access(program.c_str(), X_OK) != 0) return fail(program + " is not installed");
  if (!fs::is_regular_file(dictionary / "sys.dic", error)) return fail("the dictionary " + dictionary.string() + " is missing");
  if (!fs::is_regular_file(voice, error)) return fail("the voice " + voice.string() + " is missing");
  // An HTS voice file starts with its [GLOBAL] section.
  char head[8] = {};
  std::ifstream(voice, std::ios::binary).read(head, sizeof head);
  if (std::string(head, sizeof head) != "[GLOBAL]") return fail("the voice " + voice.string() + " is not an HTS voice");
  return true;
}

OpenJTalkVoice::~OpenJTalkVoice() {
  std::error_code error;
  if (!folder_.empty()) fs::remove_all(folder_, error);
}

std::string OpenJTalkVoice::Identity() const {
  std::string identity = Name() + '\n' + setup_.program + '\n' + setup_.dictionary.string() + '\n' + setup_.voice.string();
  for (const std::filesystem::path& file : {std::filesystem::path(setup_.program), setup_.dictionary / "sys.dic", setup_.voice}) {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) {
      identity += '\n' + std::to_string(info.st_size) + ' ' + std::to_string(info.st_mtim.tv_sec) + '.' +
                  std::to_string(info.st_mtim.tv_nsec);
    }
  }
  // Every option that changes the samples made is part of what a kept clip
  // was made with.
  const auto number = [](double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, written.ptr);
  };
  return identity + "\nspeed " + number(setup_.speed) + "\nvolume " + number(setup_.volume_db) + "\nvoicing " +
         number(setup_.voicing_threshold);
}

bool OpenJTalkVoice::Start(std::string* why) {
  if (!setup_.LooksUsable(why)) return false;
  // A folder of our own (mode 0700), so no one else can swap the files
  // between our writing and open_jtalk's reading.
  std::error_code error;
  std::string pattern = (fs::temp_directory_path(error) / "kanae-speech-XXXXXX").string();
  if (error || mkdtemp(pattern.data()) == nullptr) {
    if (why != nullptr) *why = "no private folder for its files can be made";
    return false;
  }
  folder_ = pattern;
  // A voice file can look right and still be broken: one short word tells.
  if (trial_ && !RenderChunk(U"あ")) {
    if (why != nullptr) *why = "open_jtalk fails with the voice " + setup_.voice.string();
    return false;
  }
  return true;
}

Text OpenJTalkVoice::InputFor(const SpokenText& text, bool katakana_names) {
  Text input;
  for (const SpokenPiece& piece : text.Pieces()) {
    if (piece.letter) {
      const Text names = LetterNames(piece.text);
      if (!names.empty()) input += U"「" + names + U"」";
    } else if (IsKanaName(piece)) {
      input += NameInput(piece, katakana_names);
    } else {
      input += VoiceReadyText(piece.text, NumberSpelling::kBeforeKanaCounters);
    }
  }
  return input;
}

Text OpenJTalkVoice::ReadingFromAnalysis(const std::string& analysis) {
  Text reading;
  for (const AnalysedWord& word : AnalysedWords(analysis)) {
    for (char32_t c : word.said) {
      if (c == U'’' || c == U'\'' || c == U'*') continue;
      if (c == U'、' && !reading.empty() && reading.back() == U'、') continue;
      reading += c;
    }
  }
  // Leading and trailing pauses are no part of what is said.
  while (!reading.empty() && reading.front() == U'、') reading.erase(0, 1);
  while (!reading.empty() && reading.back() == U'、') reading.pop_back();
  return reading;
}

bool OpenJTalkVoice::NamesReadAsSpelled(const SpokenText& text, bool katakana_names, const std::string& analysis) {
  // The analysis as one string of surfaces, with the offset each word starts at.
  const std::vector<AnalysedWord> words = AnalysedWords(analysis);
  Text surfaces;
  std::vector<std::size_t> starts;
  for (const AnalysedWord& word : words) {
    starts.push_back(surfaces.size());
    surfaces += word.surface;
  }
  starts.push_back(surfaces.size());
  const auto word_at = [&](std::size_t offset) -> std::optional<std::size_t> {
    const auto it = std::find(starts.begin(), starts.end(), offset);
    if (it == starts.end()) return std::nullopt;
    return static_cast<std::size_t>(it - starts.begin());
  };

  // Each name is looked for in the order of the text; open_jtalk keeps kana
  // as written, so the n-th place it appears is the n-th time it was written.
  std::size_t from = 0;
  for (const SpokenPiece& piece : text.Pieces()) {
    if (!IsKanaName(piece)) continue;
    const Text name = NameInput(piece, katakana_names);
    if (name.empty()) continue;
    const std::size_t at = surfaces.find(name, from);
    if (at == Text::npos) return false;
    from = at + name.size();
    const std::optional<std::size_t> first = word_at(at);
    const std::optional<std::size_t> end = word_at(from);
    if (!first || !end) return false;  // joined to what comes before or after
    Text said;
    for (std::size_t i = *first; i < *end; ++i) said += words[i].said;
    std::erase_if(said, [](char32_t c) { return c == U'’' || c == U'\'' || c == U'*'; });
    if (AsHeard(said) != AsHeard(name)) return false;
  }
  return true;
}

std::optional<OpenJTalkVoice::Rendered> OpenJTalkVoice::RenderChunk(const Text& input) {
  const fs::path text_file = folder_ / "text.txt";
  const fs::path wav_file = folder_ / "speech.wav";
  const fs::path analysis_file = folder_ / "analysis.txt";
  std::error_code error;
  fs::remove(wav_file, error);
  fs::remove(analysis_file, error);
  {
    std::ofstream out(text_file, std::ios::binary | std::ios::trunc);
    out << ToUtf8(input) << '\n';
    if (!out.flush()) return std::nullopt;
  }
  std::vector<std::string> arguments{"-x", setup_.dictionary.string(), "-m", setup_.voice.string(), "-ow",
                                     wav_file.string(), "-ot", analysis_file.string()};
  // to_chars: a decimal point whatever the locale says.
  const auto decimal = [](double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, written.ptr);
  };
  if (setup_.speed != 1.0) arguments.insert(arguments.end(), {"-r", decimal(setup_.speed)});
  if (setup_.volume_db != 0.0) arguments.insert(arguments.end(), {"-g", decimal(setup_.volume_db)});
  if (setup_.voicing_threshold != 0.5) arguments.insert(arguments.end(), {"-u", decimal(setup_.voicing_threshold)});
  arguments.push_back(text_file.string());
  const RunOutcome outcome = RunProgram(setup_.program, arguments, setup_.bound);
  if (outcome != RunOutcome::kSucceeded) return std::nullopt;
  constexpr std::size_t kLimit = 64 << 20;  // far beyond any sentence
  const std::optional<std::string> wav = ReadFile(wav_file, kLimit);
  std::optional<std::string> analysis = ReadFile(analysis_file, kLimit);
  if (!wav || !analysis) return std::nullopt;
  std::optional<Pcm> pcm = ParseWav(*wav);
  if (!pcm) return std::nullopt;
  return Rendered{Utterance{ReadingFromAnalysis(*analysis), std::move(*pcm)}, std::move(*analysis)};
}

std::optional<OpenJTalkVoice::Rendered> OpenJTalkVoice::RenderInput(const Text& input) {
  Rendered out;
  for (const Text& chunk : Chunks(input)) {
    std::optional<Rendered> part = RenderChunk(chunk);
    if (!part) return std::nullopt;
    Utterance& made = out.utterance;
    if (!made.reading.empty() && !part->utterance.reading.empty()) made.reading += U"、";
    made.reading += part->utterance.reading;
    if (made.pcm.sample_rate == 0) made.pcm.sample_rate = part->utterance.pcm.sample_rate;
    if (part->utterance.pcm.sample_rate == made.pcm.sample_rate) {
      made.pcm.samples.insert(made.pcm.samples.end(), part->utterance.pcm.samples.begin(),
                              part->utterance.pcm.samples.end());
    }
    out.analysis += part->analysis + "\n";
  }
  if (out.utterance.pcm.sample_rate > 0) TrimSilence(out.utterance.pcm);
  return out;
}

std::optional<Utterance> OpenJTalkVoice::Render(const SpokenText& text) {
  const Text input = InputFor(text);
  // Nothing a voice can say: no call at all (open_jtalk fails on an empty line).
  if (input.find_first_not_of(U" 　、。，．,.!?！？「」『』（）()・ー") == Text::npos) return Utterance{};
  std::optional<Rendered> made = RenderInput(input);
  if (!made) return std::nullopt;
  // A name in hiragana keeps the word's own pitch accent, but open_jtalk may
  // take its first kana for a particle (はち as ワチ, へそ as エソ) or join
  // its end to the next word (はこの as は + この). Then it is said again
  // with the names in katakana, which open_jtalk reads as spelled.
  const bool has_kana_name = std::any_of(text.Pieces().begin(), text.Pieces().end(), IsKanaName);
  if (has_kana_name && !NamesReadAsSpelled(text, false, made->analysis)) {
    std::optional<Rendered> katakana = RenderInput(InputFor(text, true));
    if (!katakana) return std::nullopt;
    made = std::move(katakana);
  }
  return std::move(made->utterance);
}

}  // namespace kanae::speech
