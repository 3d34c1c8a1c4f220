// Writes the sound pack: the four cues, the invisible pointer icon and, when a
// speech program is given, one spoken file per letter a game can ask for.
//
// Usage: kanae_sound_pack OUTPUT_FOLDER [SAY_PROGRAM WORK_FOLDER]
// SAY_PROGRAM is called as SAY_PROGRAM --voiced [--letter] --wav FILE TEXT and
// SAY_PROGRAM --voiced [--letter] --reading TEXT.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cues.h"
#include "kana_tables.h"
#include "lengthen.h"
#include "letter_set.h"
#include "pcm.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace kanae;
using namespace kanae::sound_pack;

// A 32x32 icon whose every pixel is transparent: setting it as the pointer
// hides the pointer where a game wants it gone.
bool WriteClearIcon(const fs::path& file) {
  constexpr std::uint32_t kSide = 32;
  constexpr std::uint32_t kColourBytes = kSide * kSide * 4;  // BGRA, alpha 0
  constexpr std::uint32_t kMaskBytes = kSide * 4;            // 1 bit a pixel, rows padded to 32 bits
  constexpr std::uint32_t kImageBytes = 40 + kColourBytes + kMaskBytes;
  std::string ico;
  const auto put = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) ico.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  put(0, 2), put(1, 2), put(1, 2);                          // icon directory: type icon, one image
  put(kSide, 1), put(kSide, 1), put(0, 1), put(0, 1);       // 32x32, no palette
  put(1, 2), put(32, 2), put(kImageBytes, 4), put(22, 4);   // planes, bits, size, offset
  put(40, 4), put(kSide, 4), put(kSide * 2, 4);             // bitmap header; height counts the mask
  put(1, 2), put(32, 2), put(0, 4), put(kColourBytes + kMaskBytes, 4);
  put(0, 4), put(0, 4), put(0, 4), put(0, 4);
  ico.append(kColourBytes, '\0');
  ico.append(kMaskBytes, '\xFF');  // mask set: transparent for readers that ignore alpha
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
  out.close();
  return !out.fail();
}

// Text to speak -> the files it makes. Each letter gives its own name
// (card-picking plays the letter as shown) and the name the framework's rule
// turns it into; letters that sound alike share one reading.
struct Spoken {
  Text text;
  bool by_name = false;
  auto operator<=>(const Spoken&) const = default;
};

std::map<Spoken, std::vector<Text>> LetterFiles() {
  std::map<Text, Spoken> text_of_file;
  for (const LetterRange& range : kAskableLetters) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      const Spoken spoken{SpokenLetter(c), SpokenByName(c)};
      text_of_file.emplace(Text(1, c) + U".wav", spoken);
      text_of_file.emplace(LetterSoundFile(c), spoken);  // first one wins: あ.wav is read from あ
    }
  }
  std::map<Spoken, std::vector<Text>> files_of_text;
  for (const auto& [file, spoken] : text_of_file) files_of_text[spoken].push_back(file);
  return files_of_text;
}

// Runs the speech program with arguments; its standard output goes to
// output_file when one is given.
bool Run(const std::string& program, const std::vector<std::string>& arguments, const fs::path& output_file = {}) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  const std::string output = output_file.string();
  if (!output.empty()) posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const bool spawned = posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&files);
  if (!spawned) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Speaks text into wav and returns the reading the voice gave for it. A
// plain letter is marked as a letter, so は says "ha" and not the particle "wa".
std::optional<std::string> Say(const std::string& program, const fs::path& wav, const Text& text, bool by_name,
                               const fs::path& reading_file) {
  const std::string words = EncodeUtf8(text);
  // Said alone, a letter's vowel is voiced whole, never whispered.
  std::vector<std::string> flags{"--voiced"};
  if (by_name) flags.push_back("--letter");
  std::vector<std::string> say_wav = flags, say_reading = flags;
  say_wav.insert(say_wav.end(), {"--wav", wav.string(), words});
  say_reading.insert(say_reading.end(), {"--reading", words});
  if (!Run(program, say_wav) || !Run(program, say_reading, reading_file)) return std::nullopt;
  std::ifstream in(reading_file);
  std::string reading;
  std::getline(in, reading);
  return reading;
}

bool WriteLetters(const fs::path& out, const std::string& say, const fs::path& work) {
  fs::create_directories(work);
  const std::map<Spoken, std::vector<Text>> files = LetterFiles();
  const std::vector<std::pair<Spoken, std::vector<Text>>> jobs(files.begin(), files.end());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> ok{true};
  std::mutex report;
  std::map<Text, std::string> readings;  // file -> reading, under report
  // The speech program starts afresh for every reading; keep every core busy.
  const auto worker = [&] {
    for (std::size_t i = next++; i < jobs.size() && ok; i = next++) {
      const auto& [spoken, names] = jobs[i];
      const fs::path raw = work / (std::to_string(i) + ".wav");  // plain name for the other program
      const fs::path reading_file = work / (std::to_string(i) + ".txt");
      std::optional<Samples> speech;
      const std::optional<std::string> reading = Say(say, raw, spoken.text, spoken.by_name, reading_file);
      if (reading) speech = ReadWav(raw);
      const Samples tidy = speech ? TidySpeech(LengthenVowel(*speech, kLetterVoicedSeconds)) : Samples{};
      std::lock_guard lock(report);
      for (const Text& name : names) {
        if (tidy.empty() || !WriteWav(out / fs::path(EncodeUtf8(name)), tidy)) {
          std::fprintf(stderr, "kanae_sound_pack: cannot make %s (\"%s\")\n", EncodeUtf8(name).c_str(),
                       EncodeUtf8(spoken.text).c_str());
          ok = false;
        } else {
          readings[name] = *reading;
        }
      }
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < std::max(2u, std::thread::hardware_concurrency()); ++t) threads.emplace_back(worker);
  for (std::thread& t : threads) t.join();
  // What each file says, for the pack's test (and a curious teacher).
  std::ofstream list(out / kReadingsFile, std::ios::binary | std::ios::trunc);
  for (const auto& [name, reading] : readings) list << EncodeUtf8(name) << '\t' << reading << '\n';
  list.close();
  return ok && !list.fail();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: kanae_sound_pack OUTPUT_FOLDER [SAY_PROGRAM WORK_FOLDER]\n");
    return 2;
  }
  const fs::path out = argv[1];
  std::error_code error;
  fs::create_directories(out, error);
  for (const Cue& cue : MakeCues()) {
    if (!WriteWav(out / fs::path(cue.file), cue.sound)) {
      std::fprintf(stderr, "kanae_sound_pack: cannot write %s\n", cue.file.c_str());
      return 1;
    }
  }
  if (!WriteClearIcon(out / "Clear.ico")) {
    std::fprintf(stderr, "kanae_sound_pack: cannot write Clear.ico\n");
    return 1;
  }
  if (argc == 2) {
    std::printf("kanae_sound_pack: no speech program in this build, letter sounds skipped\n");
    return 0;
  }
  return WriteLetters(out, argv[2], argv[3]) ? 0 : 1;
}
