// Figures for the sound and speech services: how fast speech is made and how
// little CPU a blocking cue wait costs. Run headless with SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/audio/sdl_cue_player.h"
#include "platform/audio/wav.h"
#include "platform/speech/reading.h"
#include "platform/speech/synthesis.h"

namespace {

const kanae::Text kSentence = U"よくできました。これが、いぬ、だね。";

void BM_ReadingOf(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kanae::speech::ReadingOf(kSentence));
}
BENCHMARK(BM_ReadingOf)->Unit(benchmark::kMicrosecond);

void BM_SynthesizeSentence(benchmark::State& state) {
  double audio_seconds = 0;
  for (auto _ : state) {
    const auto pcm = kanae::speech::Synthesize(kSentence);
    if (!pcm || pcm->samples.empty()) {
      state.SkipWithError("no voice");
      return;
    }
    audio_seconds = static_cast<double>(pcm->samples.size()) / pcm->sample_rate;
  }
  state.counters["audio_s"] = audio_seconds;
  // Seconds of speech made per second of work.
  state.counters["x_realtime"] =
      benchmark::Counter(audio_seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SynthesizeSentence)->Unit(benchmark::kMillisecond);

double Seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9; }

double ThreadCpu() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return Seconds(t);
}

double ProcessCpu() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return Seconds(t);
}

// Plays a 1 s cue and blocks in WaitForEnd: the waiting thread should use
// next to no CPU; the process total includes SDL's mixing thread.
void BM_CueWaitCpu(benchmark::State& state) {
  const auto file = std::filesystem::temp_directory_path() / "kanae_bench_tone.wav";
  constexpr int kRate = 22050;
  std::vector<std::int16_t> samples(kRate);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(8000 * std::sin(0.125 * static_cast<double>(i)));
  kanae::audio::WriteWavFile(file, samples, kRate);
  kanae::audio::SdlCuePlayer player;
  double wall = 0;
  double thread_cpu = 0;
  double process_cpu = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double thread0 = ThreadCpu();
    const double process0 = ProcessCpu();
    player.Play(file);
    player.WaitForEnd();
    thread_cpu += ThreadCpu() - thread0;
    process_cpu += ProcessCpu() - process0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["wait_s"] = wall / static_cast<double>(state.iterations());
  state.counters["waiting_thread_cpu_pct"] = 100 * thread_cpu / wall;
  state.counters["process_cpu_pct"] = 100 * process_cpu / wall;
  std::filesystem::remove(file);
}
BENCHMARK(BM_CueWaitCpu)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
