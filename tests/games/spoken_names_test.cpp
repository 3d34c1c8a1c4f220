// Every picture's name is said as it is written, by both voices, in every
// game: a lesson of common picture words that start with は, へ or を (which
// a voice left to itself reads as the particles ワ, エ, オ) and ordinary
// words is played through, and the reading each voice was given is taken
// from the game's own trace.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <type_traits>

#include "game_fixture.h"
#include "platform/speech/espeak_voice.h"
#include "platform/speech/open_jtalk_voice.h"
#include "six_games.h"
#include "trace.h"

namespace kanae {
namespace {

using namespace kanae::testing;

struct Name {
  const char32_t* written;
  const char* open_jtalk;  // the name's reading by Open JTalk
  const char* espeak;      // by espeak-ng; nullptr: as Open JTalk
};

// Open JTalk says some long vowels as ー (へい as ヘー); our espeak-ng
// readings keep the kana as written.
const Name kNames[] = {
    {U"はち", "ハチ", nullptr},           {U"はと", "ハト", nullptr},
    {U"はは", "ハハ", nullptr},           {U"はみがき", "ハミガキ", nullptr},
    {U"はなまる", "ハナマル", nullptr},   {U"はくさい", "ハクサイ", nullptr},
    {U"はな", "ハナ", nullptr},           {U"はし", "ハシ", nullptr},
    {U"はさみ", "ハサミ", nullptr},       {U"はしご", "ハシゴ", nullptr},
    {U"はっぱ", "ハッパ", nullptr},       {U"はこ", "ハコ", nullptr},
    {U"はけ", "ハケ", nullptr},           {U"はなび", "ハナビ", nullptr},
    {U"はがき", "ハガキ", nullptr},       {U"はんこ", "ハンコ", nullptr},
    {U"はまぐり", "ハマグリ", nullptr},   {U"はくちょう", "ハクチョー", "ハクチョウ"},
    {U"はぶらし", "ハブラシ", nullptr},   {U"はんかち", "ハンカチ", nullptr},
    {U"はたけ", "ハタケ", nullptr},       {U"はりねずみ", "ハリネズミ", nullptr},
    {U"はむすたー", "ハムスター", nullptr}, {U"はーもにか", "ハーモニカ", nullptr},
    {U"はんばーがー", "ハンバーガー", nullptr}, {U"はっぴ", "ハッピ", nullptr},
    {U"はらまき", "ハラマキ", nullptr},   {U"へび", "ヘビ", nullptr},
    {U"へや", "ヘヤ", nullptr},           {U"へい", "ヘー", "ヘイ"},
    {U"へそ", "ヘソ", nullptr},           {U"へちま", "ヘチマ", nullptr},
    {U"へら", "ヘラ", nullptr},           {U"へりこぷたー", "ヘリコプター", nullptr},
    {U"へるめっと", "ヘルメット", nullptr}, {U"へいたい", "ヘイタイ", nullptr},
    {U"をとめ", "ヲトメ", nullptr},
    // Ordinary words, in kana and in kanji (read by the voice's dictionary).
    {U"いぬ", "イヌ", nullptr},           {U"ねこ", "ネコ", nullptr},
    {U"りんご", "リンゴ", nullptr},       {U"とけい", "トケイ", nullptr},
    {U"せんせい", "センセイ", nullptr},   {U"ぼうし", "ボウシ", nullptr},
    {U"こうえん", "コーエン", "コウエン"}, {U"おとうさん", "オトーサン", "オトウサン"},
    {U"さかな", "サカナ", nullptr},       {U"うさぎ", "ウサギ", nullptr},
    {U"犬", "イヌ", nullptr},
    // A name that starts with a half-width digit: its letter is ３, said サン.
    {U"3びきのこぶた", "サンビキノコブタ", nullptr},
};

std::vector<std::string> Pictures() {
  std::vector<std::string> pictures;
  for (const Name& name : kNames) pictures.push_back(ToUtf8(Text(name.written)) + ".jpg");
  return pictures;
}

// The fields of each "speak" line of a trace file: the text and its reading.
std::vector<std::pair<std::string, std::string>> SpokenLines(const std::filesystem::path& file) {
  std::vector<std::pair<std::string, std::string>> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == '\t') fields.emplace_back();
      else fields.back().push_back(c);
    }
    if (fields.size() == 4 && fields[1] == "speak") lines.emplace_back(fields[2], fields[3]);
  }
  return lines;
}

enum class Engine { kOpenJTalk, kEspeak };

template <typename T>
class SpokenNames : public GameFixture<typename T::GameT> {
 protected:
  // Plays every picture of the lesson once, answering rightly, with the
  // voice giving the readings; then checks the name in each spoken text.
  void PlayThrough(speech::Voice& voice, Engine engine) {
    const auto started = std::chrono::steady_clock::now();
    const std::filesystem::path trace_file = this->cwd.path() / "trace.txt";
    Trace trace(trace_file.string());
    this->trace = &trace;
    this->platform.speech.reader = [&voice](const SpokenText& text) {
      const std::optional<speech::Utterance> made = voice.Render(text);
      return made ? made->reading : Text(U"(failed)");
    };
    this->Start(Pictures(), T::kSettings, {});
    const int questions = this->lesson->state.TaskCount();
    for (int question = 0; question < questions; ++question) {
      this->Finish();  // the prompt has been said
      AnswerRightly();
      for (int ticks = 0; ticks < 20 && this->lesson->Mode() != LessonMode::kAsking; ++ticks) {
        this->Finish();
        this->platform.player.playing = false;
        for (Timer* timer : T::FeedbackTimers(*this->game)) static_cast<ManualTimer*>(timer)->Tick();
      }
    }
    this->lesson.reset();  // flushes the trace

    std::map<Text, const Name*> by_name;
    for (const Name& name : kNames) by_name[name.written] = &name;
    const auto& said = this->platform.speech.said;
    const auto lines = SpokenLines(trace_file);
    ASSERT_EQ(lines.size(), said.size());
    std::set<Text> heard;
    for (std::size_t i = 0; i < said.size(); ++i) {
      ASSERT_EQ(lines[i].first, ToUtf8(said[i].Plain()));
      for (const SpokenPiece& piece : said[i].Pieces()) {
        if (!piece.word) continue;
        SCOPED_TRACE(lines[i].first);
        ASSERT_TRUE(by_name.count(piece.text));
        const Name& name = *by_name[piece.text];
        const std::string expected = engine == Engine::kEspeak && name.espeak != nullptr ? name.espeak : name.open_jtalk;
        EXPECT_NE(lines[i].second.find(expected), std::string::npos) << "reading: " << lines[i].second;
        if (piece.text == U"3びきのこぶた" && said[i].Plain().find(U"、3、") != Text::npos) {
          EXPECT_NE(lines[i].second.find("サンビキノコブタノ、サン、"), std::string::npos) << "reading: " << lines[i].second;
        }
        heard.insert(piece.text);
      }
    }
    EXPECT_EQ(heard.size(), std::size(kNames));
    // The 3 of 3びき plays the pack's ３.wav; no letter file is asked for by a half-width digit.
    for (const Text& file : this->platform.player.Played()) EXPECT_FALSE(file[0] >= U'0' && file[0] <= U'9') << ToUtf8(file);
    std::printf("%s, %zu texts: %.1f s\n", engine == Engine::kEspeak ? "espeak-ng" : "Open JTalk", said.size(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  }

  void AnswerRightly() {
    if constexpr (std::is_same_v<T, WordBuilding>) {
      // The card at the place of the next letter holds it.
      for (int tries = 0; tries < 12 && !this->game->AnswerControls().empty(); ++tries) {
        this->platform.player.playing = false;
        this->Click(this->game->cards[this->game->answer_progress]);
      }
    } else {
      this->Click(T::RightAnswer(*this->game));
    }
  }
};

TYPED_TEST_SUITE(SpokenNames, SixGames);

TYPED_TEST(SpokenNames, EspeakSaysEveryNameAsWritten) {
  speech::EspeakVoice voice;
  std::string why;
  if (!voice.Start(&why)) GTEST_SKIP() << why;
  this->PlayThrough(voice, Engine::kEspeak);
}

// Open JTalk costs about a third of a second a text, so it plays only the
// initial-letter game (the name before の and a letter, and in the praise),
// and fast: the speaking rate changes the sound, never the reading.
using SpokenNamesInTheInitialLetterGame = SpokenNames<InitialLetter>;
TEST_F(SpokenNamesInTheInitialLetterGame, OpenJTalkSaysEveryNameAsWritten) {
  speech::OpenJTalkSetup setup;
  setup.speed = 3.0;
  speech::OpenJTalkVoice voice{setup};
  std::string why;
  if (!voice.Start(&why)) GTEST_SKIP() << why;
  PlayThrough(voice, Engine::kOpenJTalk);
}

}  // namespace
}  // namespace kanae
