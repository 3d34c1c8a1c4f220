// kanae-say: the speech engine from the command line.
//   kanae-say --reading TEXT     prints the kana reading the voice pronounces
//   kanae-say --wav FILE TEXT    writes the speech to FILE (16-bit PCM mono)
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/wav.h"
#include "platform/speech/reading.h"
#include "platform/speech/synthesis.h"

namespace {

int Usage() {
  std::fputs(
      "usage: kanae-say --reading TEXT\n"
      "       kanae-say --wav FILE TEXT\n"
      "  --reading  print on one line the kana reading the voice pronounces for TEXT\n"
      "  --wav      write TEXT spoken by the voice to FILE (16-bit PCM mono WAV)\n"
      "TEXT is UTF-8; several arguments are joined by single spaces.\n",
      stderr);
  return 2;
}

std::string Join(const std::vector<std::string>& words) {
  std::string out;
  for (const auto& word : words) {
    if (!out.empty()) out += ' ';
    out += word;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string_view mode = args[0];

  if (mode == "--reading" && args.size() >= 2) {
    const kanae::Text reading = kanae::speech::ReadingOf(kanae::FromUtf8(Join({args.begin() + 1, args.end()})));
    std::printf("%s\n", kanae::ToUtf8(reading).c_str());
    return 0;
  }
  if (mode == "--wav" && args.size() >= 3 && !args[1].empty()) {
    const auto pcm = kanae::speech::Synthesize(kanae::FromUtf8(Join({args.begin() + 2, args.end()})));
    if (!pcm) {
      std::fputs("kanae-say: the espeak-ng Japanese voice cannot start\n", stderr);
      return 1;
    }
    if (!kanae::audio::WriteWavFile(args[1], pcm->samples, pcm->sample_rate)) {
      std::fprintf(stderr, "kanae-say: cannot write %s\n", args[1].c_str());
      return 1;
    }
    return 0;
  }
  return Usage();
}
