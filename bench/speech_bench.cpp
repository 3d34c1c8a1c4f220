// How soon speech starts and how fast each voice works: request -> first
// audio sample (the speech channel playing) for Open JTalk and espeak-ng,
// for a text made on request and for one prepared ahead (cached), and the
// real-time factor of each voice (seconds of work per second of speech).
// With the speech store: the first prompt of a start played from what an
// earlier run kept (goal: under 50 ms), and the CPU time of the voice's
// child processes over two starts of the same lesson (goal: none in the
// second). Run headless with SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/speech/create_speech_engine.h"
#include "platform/speech/speech_store.h"
#include "platform/speech/voiced_speech.h"

namespace {

using namespace kanae;
using namespace kanae::speech;
using Clock = std::chrono::steady_clock;

// A praise as the games say it, different at every call so nothing is cached.
SpokenText Praise(int i) {
  std::u32string count;
  for (char c : std::to_string(i % 9000 + 1)) count.push_back(static_cast<char32_t>(c));
  return Text(U"よくできました。これが、") + count + U"ぴきの、" + Letter(U"へ") + U"、だね。";
}

const char* VoiceNameOf(const std::string& engine) { return engine == "espeak" ? "espeak-ng" : "Open JTalk"; }

// Speaks text and waits for the speech channel to start playing.
double SecondsToFirstSample(VoicedSpeech& speech, audio::AudioDevice& device, const SpokenText& text) {
  const auto start = Clock::now();
  speech.Speak(text, {});
  while (!device.IsPlaying(audio::Channel::kSpeech) && Clock::now() - start < std::chrono::seconds(10)) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  speech.Stop();
  return seconds;
}

void BM_FirstSample(benchmark::State& state, std::string engine, bool prepared) {
  auto device = audio::AudioDevice::Shared();
  device->Open();
  VoicedSpeech speech([](std::function<void()>) {}, VoicesFor(engine), device);
  if (speech.VoiceName() != VoiceNameOf(engine)) {
    state.SkipWithError((engine + " cannot speak here").c_str());
    return;
  }
  static int serial = 0;
  for (auto _ : state) {
    const SpokenText text = Praise(++serial);
    if (prepared) {
      // As the lesson does: the praise is prepared while the cues play.
      state.PauseTiming();
      speech.Prepare(text);
      std::this_thread::sleep_for(std::chrono::milliseconds(engine == "espeak" ? 500 : 2500));
      state.ResumeTiming();
    }
    state.SetIterationTime(SecondsToFirstSample(speech, *device, text));
  }
}
BENCHMARK_CAPTURE(BM_FirstSample, open_jtalk_on_request, std::string("openjtalk"), false)
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstSample, open_jtalk_prepared, std::string("openjtalk"), true)
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstSample, espeak_on_request, std::string("espeak"), false)
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstSample, espeak_prepared, std::string("espeak"), true)
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RealTimeFactor(benchmark::State& state, std::string engine) {
  const auto voices = VoicesFor(engine);
  Voice* voice = StartFirstVoice(voices);
  if (voice == nullptr || voice->Name() != VoiceNameOf(engine)) {
    state.SkipWithError((engine + " cannot speak here").c_str());
    return;
  }
  static int serial = 5000;
  double work = 0;
  double audio = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto made = voice->Render(Praise(++serial));
    work += std::chrono::duration<double>(Clock::now() - start).count();
    if (!made || made->pcm.sample_rate <= 0) {
      state.SkipWithError("the voice failed");
      return;
    }
    audio += static_cast<double>(made->pcm.samples.size()) / made->pcm.sample_rate;
  }
  state.counters["audio_s"] = audio / static_cast<double>(state.iterations());
  state.counters["real_time_factor"] = work / audio;
}
// A store of its own, gone at the end.
class ScratchStore {
 public:
  ScratchStore() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kanae-speech-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    store_ = std::make_shared<SpeechStore>(folder_ / "speech");
  }
  ~ScratchStore() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  const std::shared_ptr<SpeechStore>& store() const { return store_; }

 private:
  std::filesystem::path folder_;
  std::shared_ptr<SpeechStore> store_;
};

// The prompts and praise of a short lesson, as the initial-letter game says them.
std::vector<SpokenText> LessonPhrases() {
  std::vector<SpokenText> phrases;
  for (const char32_t* word : {U"はち", U"いぬ", U"へび", U"うさぎ", U"ねこ", U"はなまる"}) {
    const Text name = word;
    phrases.push_back(Word(name) + U"の、" + Letter(name.substr(0, 1)) + U"、は、どれかな");
    phrases.push_back(U"よくできました。これが、" + Word(name) + U"、だね。");
  }
  return phrases;
}

double ChildrenCpuSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The first prompt of a start, kept by an earlier run: Speak -> first sample
// on an engine just started (as when the window has come up).
void BM_FirstPromptFromStore(benchmark::State& state, std::string engine) {
  auto device = audio::AudioDevice::Shared();
  device->Open();
  ScratchStore scratch;
  const SpokenText prompt = LessonPhrases().front();
  {
    VoicedSpeech earlier([](std::function<void()>) {}, VoicesFor(engine), device, scratch.store());
    if (earlier.VoiceName() != VoiceNameOf(engine)) {
      state.SkipWithError((engine + " cannot speak here").c_str());
      return;
    }
    SecondsToFirstSample(earlier, *device, prompt);
  }
  for (auto _ : state) {
    state.PauseTiming();
    VoicedSpeech speech([](std::function<void()>) {}, VoicesFor(engine), device, scratch.store());
    speech.VoiceName();
    state.ResumeTiming();
    state.SetIterationTime(SecondsToFirstSample(speech, *device, prompt));
  }
}
BENCHMARK_CAPTURE(BM_FirstPromptFromStore, open_jtalk, std::string("openjtalk"))
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstPromptFromStore, espeak, std::string("espeak"))
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Two starts of the same lesson, each saying its prompts and praise once:
// the CPU time of the voice's child processes in each.
void BM_TwoPassesChildrenCpu(benchmark::State& state) {
  auto device = audio::AudioDevice::Shared();
  device->Open();
  const std::vector<SpokenText> phrases = LessonPhrases();
  for (auto _ : state) {
    ScratchStore scratch;
    double passes[2] = {0, 0};
    for (double& pass : passes) {
      const double before = ChildrenCpuSeconds();
      VoicedSpeech speech([](std::function<void()>) {}, VoicesFor("openjtalk"), device, scratch.store());
      if (speech.VoiceName() != "Open JTalk") {
        state.SkipWithError("Open JTalk cannot speak here");
        return;
      }
      for (const SpokenText& phrase : phrases) SecondsToFirstSample(speech, *device, phrase);
      pass = ChildrenCpuSeconds() - before;
    }
    state.counters["phrases"] = static_cast<double>(phrases.size());
    state.counters["first_pass_children_cpu_s"] = passes[0];
    state.counters["second_pass_children_cpu_s"] = passes[1];
  }
}
BENCHMARK(BM_TwoPassesChildrenCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_RealTimeFactor, open_jtalk, std::string("openjtalk"))->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RealTimeFactor, espeak, std::string("espeak"))->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
