// When the first question of a start or a restart is heard: `question` (the
// lesson activated, or the teacher back from a dialog) -> the first sample of
// its prompt on the speech channel, with the real voice, the real engine and
// the initial-letter game (goal with Open JTalk: under 150 ms as for later
// questions; from the speech store: under 50 ms). The window is taken to
// come up window_ms after the lesson's start; the teacher stays a second in
// the dialog; or the menu made the lesson's opening prompts while the teacher
// was in it, the game's first start then reads its prompt from the store.
// Run headless with SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "fakes.h"
#include "platform/audio/audio_device.h"
#include "picture_library.h"
#include "platform/speech/background_speech.h"
#include "platform/speech/create_speech_engine.h"
#include "spoken_prompts.h"
#include "platform/speech/speech_store.h"
#include "platform/speech/voiced_speech.h"
#include "questions.h"

namespace kanae {
namespace {

using namespace kanae::testing;
using Clock = std::chrono::steady_clock;

// Names no earlier iteration has used, so nothing is made before its time.
std::vector<std::string> FreshPictures() {
  static const char32_t kKana[] = U"あいうえおかきくけこさしすせそたちつてとなにぬねのまみむめもやゆよらりるれろわ";
  static int serial = 0;
  std::vector<std::string> pictures;
  for (int j = 0; j < 4; ++j) {
    const int n = ++serial;
    const Text name = Text(1, kKana[n % 43]) + Text(1, kKana[(n / 43 + j * 11) % 43]) + Text(1, kKana[(n * 7) % 43]);
    pictures.push_back(ToUtf8(name) + ".jpg");
  }
  return pictures;
}

double SecondsUntilSpeechSounds(audio::AudioDevice& device, Clock::time_point from) {
  while (!device.IsPlaying(audio::Channel::kSpeech) && Clock::now() - from < std::chrono::seconds(10)) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return std::chrono::duration<double>(Clock::now() - from).count();
}

enum class Moment { kStart, kRestart };

// One start of the game on a lesson of pictures: seconds from the question
// (at the start, or back from a dialog) to the first sample of its prompt.
double OneRun(const std::string& engine, const std::vector<std::string>& pictures,
              std::shared_ptr<speech::SpeechStore> store, Moment moment, int window_ms) {
  auto device = audio::AudioDevice::Shared();
  TempFolder folder;
  TempFolder cwd;
  folder.Touch(pictures);
  FakePlatform platform;
  // Posts from the engine are dropped: nothing here waits for them.
  speech::VoicedSpeech voice([](std::function<void()>) {}, speech::VoicesFor(engine), device, std::move(store));
  const Services services{voice, platform.player, platform.timers, platform.shell, platform.rnd, platform.trace};
  Lesson lesson(services, cwd.path());
  initial_letter::InitialLetterGame game{lesson};
  if (!lesson.Start({folder.path().string()}, game)) return -1;
  // The window comes up.
  std::this_thread::sleep_for(std::chrono::milliseconds(window_ms));
  double seconds = 0;
  if (moment == Moment::kStart) {
    const Clock::time_point question = Clock::now();
    lesson.Activate();
    seconds = SecondsUntilSpeechSounds(*device, question);
  } else {
    lesson.Activate();
    SecondsUntilSpeechSounds(*device, Clock::now());
    lesson.OnKey('H');
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Clock::time_point question = Clock::now();
    lesson.LeaveDialog(DialogKind::kSettings);
    seconds = SecondsUntilSpeechSounds(*device, question);
  }
  voice.Stop();
  return seconds;
}

// How the lesson's prompts were there before the start: not at all, said by
// an earlier start, or made ahead by the menu while the teacher was in it.
enum class Before { kNothing, kEarlierStart, kMenu };

void BM_QuestionToFirstAudio(benchmark::State& state, std::string engine, Moment moment, Before before) {
  audio::AudioDevice::Shared()->Open();
  const int window_ms = static_cast<int>(state.range(0));
  // As on a machine where the games have run before: the voice is known to
  // start, but the lesson's prompts are new unless stored is set.
  static TempFolder cache;
  static const auto store = std::make_shared<speech::SpeechStore>(cache / "speech");
  double menu_seconds = 0;
  for (auto _ : state) {
    const std::vector<std::string> pictures = FreshPictures();
    // An earlier start of the same lesson said the same first prompt.
    if (before == Before::kEarlierStart) OneRun(engine, pictures, store, moment, window_ms);
    if (before == Before::kMenu) {
      // The menu's own process, its voice and thread, as the teacher looks at it.
      const Clock::time_point begin = Clock::now();
      speech::BackgroundSpeech ahead(speech::VoicesFor(engine), store);
      std::vector<Text> names;
      for (const std::string& picture : pictures) names.push_back(NameOfPicture(FromUtf8(picture)));
      ahead.MakeAhead([names] { return OpeningPrompts(names, 128); });
      ahead.WaitUntilDone();
      menu_seconds += std::chrono::duration<double>(Clock::now() - begin).count();
    }
    const double seconds = OneRun(engine, pictures, store, moment, window_ms);
    if (seconds < 0) {
      state.SkipWithError("the lesson did not start");
      return;
    }
    state.SetIterationTime(seconds);
  }
  if (before == Before::kMenu) {
    // How long the menu needs to make one picture's opening prompts (at the lowest priority).
    state.counters["menu_s_per_picture"] = menu_seconds / static_cast<double>(state.iterations()) / 4;
  }
}

#define KANAE_FIRST_AUDIO(name, engine, moment, before, window_ms)                        \
  BENCHMARK_CAPTURE(BM_QuestionToFirstAudio, name, std::string(engine), moment, before) \
      ->Arg(window_ms)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond)

// window_ms 0: the window is there at once, the worst case for the start.
KANAE_FIRST_AUDIO(open_jtalk_start_window_at_once, "openjtalk", Moment::kStart, Before::kNothing, 0);
KANAE_FIRST_AUDIO(open_jtalk_start, "openjtalk", Moment::kStart, Before::kNothing, 300);
KANAE_FIRST_AUDIO(open_jtalk_restart_after_dialog, "openjtalk", Moment::kRestart, Before::kNothing, 300);
KANAE_FIRST_AUDIO(open_jtalk_start_from_store, "openjtalk", Moment::kStart, Before::kEarlierStart, 0);
KANAE_FIRST_AUDIO(open_jtalk_first_start_from_the_menu, "openjtalk", Moment::kStart, Before::kMenu, 0);
KANAE_FIRST_AUDIO(espeak_start_window_at_once, "espeak", Moment::kStart, Before::kNothing, 0);

}  // namespace
}  // namespace kanae

BENCHMARK_MAIN();
