// How soon speech starts and how fast each voice works: request -> first
// audio sample (the speech channel playing) for Open JTalk and espeak-ng,
// for a text made on request and for one prepared ahead (cached), and the
// real-time factor of each voice (seconds of work per second of speech).
// Run headless with SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/audio/audio_device.h"
#include "platform/speech/create_speech_engine.h"
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
BENCHMARK_CAPTURE(BM_RealTimeFactor, open_jtalk, std::string("openjtalk"))->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RealTimeFactor, espeak, std::string("espeak"))->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
