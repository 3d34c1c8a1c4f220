// kanae-say: the speech engine from the command line.
//   kanae-say [--engine NAME] [--letter|--name] --reading TEXT   prints the kana reading the voice pronounces
//   kanae-say [--engine NAME] [--letter|--name] --wav FILE TEXT  writes the speech to FILE (16-bit PCM mono)
//   --voiced before the mode says every vowel voiced, none whispered.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/wav.h"
#include "platform/speech/create_speech_engine.h"
#include "platform/speech/voiced_speech.h"

namespace {

int Usage() {
  std::fputs(
      "usage: kanae-say [--engine NAME] [--letter|--name] --reading TEXT\n"
      "       kanae-say [--engine NAME] [--letter|--name] --wav FILE TEXT\n"
      "  --reading  print on one line the kana reading the voice pronounces for TEXT\n"
      "  --wav      write TEXT spoken by the voice to FILE (16-bit PCM mono WAV)\n"
      "  --engine   openjtalk, espeak or none (default: KANAE_SPEECH, else Open JTalk,\n"
      "             falling back to espeak-ng); KANAE_VOICE=FILE.htsvoice picks the voice\n"
      "  --letter   TEXT is letters, each read by its name (は as ハ, を as ヲ, 3 as サン)\n"
      "  --name     TEXT is a picture's name, read as written (はち as ハチ, never ワチ)\n"
      "  --voiced   every vowel voiced, none whispered (a letter said alone, clearly)\n"
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
  std::vector<std::string> args(argv + 1, argv + argc);
  const char* env = std::getenv("KANAE_SPEECH");
  std::string engine = env != nullptr ? env : "";
  bool letter = false;
  bool name = false;
  bool voiced = false;
  while (!args.empty()) {
    if (args[0] == "--engine" && args.size() >= 2) {
      engine = args[1];
      args.erase(args.begin(), args.begin() + 2);
    } else if (args[0] == "--letter") {
      letter = true;
      args.erase(args.begin());
    } else if (args[0] == "--voiced") {
      voiced = true;
      args.erase(args.begin());
    } else if (args[0] == "--name") {
      name = true;
      args.erase(args.begin());
    } else {
      break;
    }
  }
  if (args.empty()) return Usage();
  const std::string_view mode = args[0];
  const bool reading = mode == "--reading" && args.size() >= 2;
  const bool wav = mode == "--wav" && args.size() >= 3 && !args[1].empty();
  if (!reading && !wav) return Usage();

  const kanae::Text plain = kanae::FromUtf8(Join({args.begin() + (reading ? 1 : 2), args.end()}));
  const kanae::SpokenText text = letter ? kanae::Letter(plain) : name ? kanae::Word(plain) : kanae::SpokenText(plain);
  const auto voices = kanae::speech::VoicesFor(engine, voiced);
  kanae::speech::Voice* voice = kanae::speech::StartFirstVoice(voices);
  if (reading) {
    // No voice: nothing is pronounced, so the reading is empty.
    const auto made = voice != nullptr ? voice->Render(text) : std::nullopt;
    std::printf("%s\n", made ? kanae::ToUtf8(made->reading).c_str() : "");
    return voice == nullptr || made ? 0 : 1;
  }
  if (voice == nullptr) return 1;
  const auto made = voice->Render(text);
  if (!made) {
    std::fprintf(stderr, "kanae-say: %s did not speak the text\n", voice->Name().c_str());
    return 1;
  }
  if (!kanae::audio::WriteWavFile(args[1], made->pcm.samples, made->pcm.sample_rate > 0 ? made->pcm.sample_rate : 22050)) {
    std::fprintf(stderr, "kanae-say: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}
