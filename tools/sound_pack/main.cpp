// Writes the sound pack: the four cues, the invisible pointer icon and, when a
// speech program is given, one spoken file per letter a game can ask for.
//
// Usage: kanae_sound_pack OUTPUT_FOLDER [SAY_PROGRAM WORK_FOLDER]
// SAY_PROGRAM is called as SAY_PROGRAM --wav FILE TEXT.

#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "cues.h"
#include "kana_tables.h"
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
std::map<Text, std::vector<Text>> LetterFiles() {
  std::map<Text, Text> text_of_file;
  for (const LetterRange& range : kAskableLetters) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      text_of_file.emplace(Text(1, c) + U".wav", SpokenLetter(c));
      text_of_file.emplace(LetterSoundFile(c), SpokenLetter(c));  // first one wins: あ.wav is read from あ
    }
  }
  std::map<Text, std::vector<Text>> files_of_text;
  for (const auto& [file, text] : text_of_file) files_of_text[text].push_back(file);
  return files_of_text;
}

bool Say(const std::string& program, const fs::path& wav, const Text& text) {
  const std::string file = wav.string();
  const std::string words = EncodeUtf8(text);
  const char* argv[] = {program.c_str(), "--wav", file.c_str(), words.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WriteLetters(const fs::path& out, const std::string& say, const fs::path& work) {
  fs::create_directories(work);
  const std::map<Text, std::vector<Text>> files = LetterFiles();
  const std::vector<std::pair<Text, std::vector<Text>>> jobs(files.begin(), files.end());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> ok{true};
  std::mutex report;
  // The speech program starts afresh for every reading; keep every core busy.
  const auto worker = [&] {
    for (std::size_t i = next++; i < jobs.size() && ok; i = next++) {
      const auto& [text, names] = jobs[i];
      const fs::path raw = work / (std::to_string(i) + ".wav");  // plain name for the other program
      std::optional<Samples> speech;
      if (Say(say, raw, text)) speech = ReadWav(raw);
      const Samples tidy = speech ? TidySpeech(*speech) : Samples{};
      for (const Text& name : names) {
        if (tidy.empty() || !WriteWav(out / fs::path(EncodeUtf8(name)), tidy)) {
          std::lock_guard lock(report);
          std::fprintf(stderr, "kanae_sound_pack: cannot make %s (\"%s\")\n", EncodeUtf8(name).c_str(),
                       EncodeUtf8(text).c_str());
          ok = false;
        }
      }
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < std::max(2u, std::thread::hardware_concurrency()); ++t) threads.emplace_back(worker);
  for (std::thread& t : threads) t.join();
  return ok;
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
