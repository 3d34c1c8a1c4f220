// What each voice pronounces for the phrases the games and teachers write:
// one table, read by both voices.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/speech/counted_numbers.h"
#include "platform/speech/create_speech_engine.h"
#include "platform/speech/espeak_voice.h"
#include "platform/speech/open_jtalk_voice.h"
#include "platform/speech/voice_text.h"
#include "platform/speech/voiced_speech.h"

namespace kanae::speech {
namespace {

using namespace std::chrono_literals;

struct Phrase {
  SpokenText text;
  const char* open_jtalk;
  const char* espeak;  // nullptr: as Open JTalk
};

// The prompts and praises as the letter games compose them.
SpokenText Prompt(const Text& name) { return name + U"の、" + Letter(Left(name, 1)) + U"、は、どれかな"; }
SpokenText Praise(const Text& name) {
  return Text(U"よくできました。これが、") + name + U"の、" + Letter(Left(name, 1)) + U"、だね。";
}

const Phrase kPhrases[] = {
    // Letters by name; the particle は after them stays ワ.
    {Prompt(U"はな"), "ハナノ、ハ、ワ、ドレカナ", nullptr},
    {Prompt(U"へび"), "ヘビノ、ヘ、ワ、ドレカナ", nullptr},
    {Prompt(U"をの"), "ヲノノ、ヲ、ワ、ドレカナ", nullptr},
    {Prompt(U"ハンバーガー"), "ハンバーガーノ、ハ、ワ、ドレカナ", nullptr},
    {Praise(U"へび"), "ヨクデキマシタ、コレガ、ヘビノ、ヘ、ダネ", "ヨクデキマシタ。コレガ、ヘビノ、ヘ、ダネ。"},
    {Praise(U"はな"), "ヨクデキマシタ、コレガ、ハナノ、ハ、ダネ", "ヨクデキマシタ。コレガ、ハナノ、ハ、ダネ。"},
    {Text(U"はなは、どれかな"), "ハナワ、ドレカナ", nullptr},
    {Text(U"この名前は、どれかな"), "コノナマエワ、ドレカナ", nullptr},
    // Counters, in kanji and in kana, with their sound changes.
    {Text(U"あと一回"), "アトイッカイ", nullptr},
    {Text(U"かさが3本"), "カサガサンボン", nullptr},
    {Text(U"みかんが１つ"), "ミカンガヒトツ", nullptr},
    {Text(U"2人とも"), "フタリトモ", nullptr},
    {Text(U"4人"), "ヨニン", nullptr},
    {Text(U"6ぴき"), "ロッピキ", nullptr},
    {Text(U"いぬが3びき"), "イヌガサンビキ", nullptr},
    {Text(U"300ぴき"), "サンビャッピキ", nullptr},
    {Text(U"8こ"), "ハッコ", nullptr},
    {Text(U"十二こ"), "ジューニコ", "ジュウニコ"},
    {Text(U"10ぷん"), "ジュップン", nullptr},
    {Text(U"3ばい"), "サンバイ", nullptr},
    {Text(U"三本"), "サンボン", nullptr},
    {Text(U"1000本"), "センボン", nullptr},
    {Text(U"7時"), "シチジ", nullptr},
    {Text(U"九つ"), "ココノツ", nullptr},
    {Text(U"100てん"), "ヒャクテン", nullptr},
    {Text(U"100点"), "ヒャクテン", nullptr},
    {Text(U"ぜんぶで300さつ"), "ゼンブデサンビャクサツ", nullptr},
    // Numbers alone.
    {Text(U"2026"), "ニセンニジューロク", "ニセンニジュウロク"},
    {Text(U"３.５"), "サンテンゴ", nullptr},
    {Text(U"三千五百"), "サンゼンゴヒャク", nullptr},
    // 〜 and ～ lengthen the last vowel.
    {Text(U"やったね〜"), "ヤッタネー", nullptr},
    {Text(U"すごいね～"), "スゴイネー", nullptr},
    {Text(U"ラーメン〜"), "ラーメン", nullptr},
    // Kanji a teacher writes.
    {Text(U"上手だね"), "ジョーズダネ", nullptr},
    {Text(U"元気に"), "ゲンキニ", nullptr},
    {Text(U"一緒に"), "イッショニ", nullptr},
    {Text(U"学校へ行く"), "ガッコーエイク", nullptr},
    // What no voice can read is left out.
    {Text(U"🍎りんご"), "リンゴ", nullptr},
    {Text(U"📚☆★♪→"), "", nullptr},
};

void ExpectReadings(Voice& voice, bool open_jtalk) {
  for (const Phrase& phrase : kPhrases) {
    SCOPED_TRACE(ToUtf8(phrase.text.Plain()));
    const std::optional<Utterance> made = voice.Render(phrase.text);
    ASSERT_TRUE(made.has_value());
    const char* expected = open_jtalk || phrase.espeak == nullptr ? phrase.open_jtalk : phrase.espeak;
    EXPECT_EQ(ToUtf8(made->reading), expected);
    EXPECT_EQ(made->pcm.samples.empty(), std::string(expected).empty());
  }
}

TEST(VoiceReading, OpenJTalkReadsEachPhraseAsATeacherWould) {
  OpenJTalkVoice voice{OpenJTalkSetup{}};
  std::string why;
  if (!voice.Start(&why)) GTEST_SKIP() << why;
  ExpectReadings(voice, true);
}

TEST(VoiceReading, EspeakReadsEachPhraseAsATeacherWould) {
  EspeakVoice voice;
  std::string why;
  if (!voice.Start(&why)) GTEST_SKIP() << why;
  ExpectReadings(voice, false);
}

// Our counter table reads each count as Open JTalk reads it with the kanji
// counter, so a count sounds the same however the teacher wrote it (100点,
// 100てん). One call of open_jtalk per counter: the counts in one sentence.
TEST(VoiceReading, TheCounterTableAgreesWithOpenJTalk) {
  OpenJTalkSetup fast;  // the rate changes the sound, never the reading
  fast.speed = 3.0;
  OpenJTalkVoice voice{fast};
  std::string why;
  if (!voice.Start(&why)) GTEST_SKIP() << why;
  const int values[] = {1, 3, 4, 6, 8, 10, 100, 300, 600, 800, 1000, 3000, 8000};
  for (const char32_t* counter : {U"本", U"匹", U"回", U"階", U"個", U"点", U"問", U"枚", U"番", U"歳", U"冊",
                                  U"台", U"羽", U"頭", U"分", U"円", U"杯", U"足", U"時", U"人", U"日"}) {
    Text sentence;
    Text ours;
    for (int value : values) {
      if (!sentence.empty()) sentence += U"、", ours += U"、";
      sentence += FromUtf8(std::to_string(value)) + counter;
      const std::optional<CountedReading> counted = ReadCount(value, counter);
      ASSERT_TRUE(counted.has_value());
      ours += ToKatakana(counted->reading);
    }
    SCOPED_TRACE(ToUtf8(sentence));
    const std::optional<Utterance> made = voice.Render(sentence);
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(ToUtf8(AsHeard(made->reading)), ToUtf8(AsHeard(ours)));
  }
}

// A stand-in for open_jtalk that answers the start-up check and then hangs.
class HangingOpenJTalk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OpenJTalkSetup{}.LooksUsable(nullptr)) GTEST_SKIP() << "Open JTalk is not installed";
    program_ = std::filesystem::temp_directory_path() / ("kanae-hanging-jtalk-" + std::to_string(getpid()));
    std::ofstream(program_) << "#!/bin/sh\n"
                               "for a; do last=$a; done\n"
                               "if [ \"$(cat \"$last\")\" = \"あ\" ]; then exec /usr/bin/open_jtalk \"$@\"; fi\n"
                               "exec sleep 30\n";
    std::filesystem::permissions(program_, std::filesystem::perms::owner_all);
  }
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove(program_, error);
  }
  OpenJTalkSetup Setup() const {
    OpenJTalkSetup setup;
    setup.program = program_.string();
    setup.bound = 2s;  // room for the real start-up check on a busy machine
    return setup;
  }
  std::filesystem::path program_;
};

TEST_F(HangingOpenJTalk, AVoiceThatDoesNotAnswerInTimeEndsTheSpeech) {
  std::vector<std::unique_ptr<Voice>> voices;
  voices.push_back(std::make_unique<OpenJTalkVoice>(Setup()));
  std::vector<std::function<void()>> posted;
  std::mutex mutex;
  VoicedSpeech engine(
      [&](std::function<void()> f) {
        std::lock_guard lock(mutex);
        posted.push_back(std::move(f));
      },
      std::move(voices));
  int ends = 0;
  engine.SetFinishedHandler([&] { ++ends; });
  ASSERT_EQ(engine.VoiceName(), "Open JTalk");

  const auto start = std::chrono::steady_clock::now();
  std::vector<Text> readings;
  engine.Speak(Text(U"いぬ"), [&](const Text& reading) { readings.push_back(reading); });
  for (int i = 0; i < 500 && (ends == 0 || readings.empty()); ++i) {
    std::vector<std::function<void()>> batch;
    {
      std::lock_guard lock(mutex);
      batch.swap(posted);
    }
    for (auto& f : batch) f();
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(readings, std::vector<Text>{U""});  // no reading: the voice was ended
  // Well before the stand-in's own 30 s: the bound ended it.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST(VoiceChoice, AMissingOrBrokenVoiceFileFallsBackToEspeak) {
  EspeakVoice espeak;
  if (!espeak.Start(nullptr)) GTEST_SKIP() << "espeak-ng's ja voice is not installed";
  const auto broken = std::filesystem::temp_directory_path() / ("kanae-broken-" + std::to_string(getpid()) + ".htsvoice");
  std::ofstream(broken) << "not a voice";
  const char* saved = std::getenv("KANAE_VOICE");
  const std::string restore = saved != nullptr ? saved : "";
  for (const std::string& voice_file : {broken.string(), std::string("/nonexistent/voice.htsvoice")}) {
    setenv("KANAE_VOICE", voice_file.c_str(), 1);
    const auto voices = VoicesFor("openjtalk");
    Voice* started = StartFirstVoice(voices);
    ASSERT_NE(started, nullptr) << voice_file;
    EXPECT_EQ(started->Name(), "espeak-ng") << voice_file;
  }
  if (saved != nullptr) setenv("KANAE_VOICE", restore.c_str(), 1);
  else unsetenv("KANAE_VOICE");
  std::filesystem::remove(broken);
}

}  // namespace
}  // namespace kanae::speech
