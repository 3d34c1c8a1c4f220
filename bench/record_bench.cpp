// What the learning record adds to an answer, and how long the report takes
// for a large record.
#include <benchmark/benchmark.h>

#include <fstream>

#include "fakes.h"
#include "learning_record.h"
#include "learning_report.h"

namespace kanae {
namespace {

using namespace kanae::testing;

RecordEntry SampleEntry(int i) {
  static const char32_t* const kLetters[] = {U"さ", U"ち", U"ぬ", U"め", U"わ", U"れ", U"ね", U"シ", U"ツ", U"ソ", U"ン"};
  RecordEntry e;
  e.date_time = "2026-12-" + std::string(i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1) + "T09:30:00+09:00";
  e.game = U"オルタ文字";
  e.picture = std::u32string(kLetters[i % 11]) + U"かな" + FromUtf8(std::to_string(i % 40)) + U".jpg";
  e.asked = kLetters[i % 11];
  e.chosen = kLetters[(i * 7) % 11];
  e.right = e.asked == e.chosen;
  e.seconds = 1.0 + (i % 50) / 10.0;
  e.attempt = 1 + i % 3;
  e.distractors = 2;
  return e;
}

// The cost on the GUI thread: one formatted line, one write(); the sync runs behind.
void BM_AppendOneAnswer(benchmark::State& state) {
  TempFolder folder;
  LearningRecord record;
  record.Open(folder.path());
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(record.Append(SampleEntry(i++)));
  record.WaitUntilDurable();
}
BENCHMARK(BM_AppendOneAnswer)->Unit(benchmark::kMicrosecond);

// The same line waited for until it is on the disk: what an answer would cost
// if the game synced it itself.
void BM_AppendOneAnswerAndSync(benchmark::State& state) {
  TempFolder folder;
  LearningRecord record;
  record.Open(folder.path());
  int i = 0;
  for (auto _ : state) {
    record.Append(SampleEntry(i++));
    record.WaitUntilDurable();
  }
}
BENCHMARK(BM_AppendOneAnswerAndSync)->Unit(benchmark::kMillisecond)->Iterations(200);

// Start-up with a record file at its size limit: it is read once to find a
// torn last line.
void BM_OpenAFullRecordFile(benchmark::State& state) {
  TempFolder folder;
  {
    std::ofstream out(RecordFileName(folder.path(), 1), std::ios::binary);
    out << "\xEF\xBB\xBF";
    std::uintmax_t size = 0;
    for (int i = 0; size < kRecordFileLimit - 200; ++i) {
      const std::string line = FormatRecordLine(SampleEntry(i));
      out << line;
      size += line.size();
    }
  }
  for (auto _ : state) {
    LearningRecord record;
    benchmark::DoNotOptimize(record.Open(folder.path()));
  }
}
BENCHMARK(BM_OpenAFullRecordFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReportFor100000Answers(benchmark::State& state) {
  TempFolder folder;
  {
    LearningRecord record;
    record.Open(folder.path());
    for (int i = 0; i < 100000; ++i) record.Append(SampleEntry(i));
    record.WaitUntilDurable();
  }
  for (auto _ : state) {
    const auto outcome = report::WriteLearningReport(folder.path(), folder / "report.html", std::string());
    if (outcome.answers != 100000) state.SkipWithError("not every answer was read");
  }
}
BENCHMARK(BM_ReportFor100000Answers)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
