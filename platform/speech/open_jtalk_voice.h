// Open JTalk: the open_jtalk program with the NAIST dictionary and an HTS
// voice, run once per text as a child process (Debian ships no library).
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/speech/voice.h"

namespace kanae::speech {

struct OpenJTalkSetup {
  std::string program = "/usr/bin/open_jtalk";
  std::filesystem::path dictionary = "/var/lib/mecab/dic/open-jtalk/naist-jdic";
  std::filesystem::path voice = "/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice";
  // One call takes about 0.1 s for a prompt; a program that has not
  // answered after this is taken to hang and is ended.
  std::chrono::milliseconds bound{4000};
  // Speaking rate (open_jtalk -r): 1 is the voice's own; below 1 is slower.
  double speed = 1.0;
  // Volume (open_jtalk -g) in dB. At the voice's own volume some vowels
  // (the u of う and ふ, the o of ほ and も, the a of ま) peak past full scale
  // and come out clipped; below it they fit, and levelling restores loudness.
  double volume_db = -6.0;
  // Voiced/unvoiced threshold (open_jtalk -u): the voice's own 0.5 whispers
  // many a vowel, as speech does (the a of さ, the i of ひ); lower voices them.
  double voicing_threshold = 0.5;

  // The installed program, dictionary and voice, with KANAE_VOICE as the voice when set.
  static OpenJTalkSetup FromEnvironment();
  // All three are there and the voice file looks like an HTS voice; if not, why.
  bool LooksUsable(std::string* why) const;
};

class OpenJTalkVoice : public Voice {
 public:
  explicit OpenJTalkVoice(OpenJTalkSetup setup) : setup_(std::move(setup)) {}
  ~OpenJTalkVoice() override;
  std::string Name() const override { return "Open JTalk"; }
  // The program, dictionary and voice file (with its size and time, so a
  // replaced voice counts as another) and the speed.
  std::string Identity() const override;
  // Checks the files and makes the private folder the texts pass through.
  bool Start(std::string* why) override;
  void SkipTrial() override { trial_ = false; }
  std::optional<Utterance> Render(const SpokenText& text) override;

  // What open_jtalk is given for text: Open JTalk's own analysis reads most
  // of it right; letters are set in 「」 so it takes them as a word of their
  // own (a lone へ would read as the particle エ). Names in kana are given
  // as written (in hiragana Open JTalk keeps the word's own pitch accent),
  // or in katakana when katakana_names is set (then no kana of the name can
  // be taken for a particle or joined to the word after it).
  static Text InputFor(const SpokenText& text, bool katakana_names = false);
  // The pronunciation column of open_jtalk's "[Text analysis result]",
  // accent marks dropped and runs of pauses made one.
  static Text ReadingFromAnalysis(const std::string& analysis);
  // Whether each name in kana of text was read as spelled in this analysis
  // of InputFor(text, katakana_names): a whole word or words of its own,
  // pronounced as its kana (long vowels as the voice says them: へい as ヘー).
  static bool NamesReadAsSpelled(const SpokenText& text, bool katakana_names, const std::string& analysis);

 private:
  struct Rendered {
    Utterance utterance;
    std::string analysis;  // the analyses of every call, one after another
  };
  std::optional<Rendered> RenderInput(const Text& input);
  std::optional<Rendered> RenderChunk(const Text& input);

  OpenJTalkSetup setup_;
  std::filesystem::path folder_;
  bool trial_ = true;
};

}  // namespace kanae::speech
