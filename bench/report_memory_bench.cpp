// The report on a large record: a year of a class's answers (1.6 million by
// default, spread over the record's numbered files) read and summed up, with
// the process's peak memory printed at the end (goal: under 200 MB).
//   report_memory_bench [answers] [folder to keep the record in]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fakes.h"
#include "learning_record.h"
#include "learning_report.h"

namespace kanae {
namespace {

RecordEntry SampleEntry(long i, long answers) {
  static const char32_t* const kLetters[] = {U"さ", U"ち", U"ぬ", U"め", U"わ", U"れ", U"ね", U"シ", U"ツ", U"ソ", U"ン"};
  static const char32_t* const kGames[] = {U"オルタ文字", U"ペンブル", U"スヴァン選び", U"ダブレル作り"};
  // 300 school days of 2026, in time order, a few seconds between answers.
  const long per_day = answers / 300 + 1;
  const long day = i / per_day;
  const long second = 8 * 3600 + (i % per_day) * 5 % (10 * 3600);
  char date_time[64];
  std::snprintf(date_time, sizeof date_time, "2026-%02ld-%02ldT%02ld:%02ld:%02ld+09:00", day / 28 + 1, day % 28 + 1,
                second / 3600, second / 60 % 60, second % 60);
  RecordEntry e;
  e.date_time = date_time;
  e.game = kGames[(i / 500) % 4];
  e.picture = std::u32string(kLetters[i % 11]) + U"かな" + FromUtf8(std::to_string(i % 40)) + U".jpg";
  e.asked = kLetters[i % 11];
  e.chosen = kLetters[(i * 7) % 11];
  e.right = e.asked == e.chosen;
  e.seconds = 1.0 + (i % 50) / 10.0;
  e.attempt = 1 + static_cast<int>(i % 3);
  e.distractors = 2;
  e.child = U"じどう" + FromUtf8(std::to_string(i % 25));
  return e;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  using namespace kanae;
  const long answers = argc > 1 ? std::atol(argv[1]) : 1600000;
  testing::TempFolder temp;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : temp.path();
  std::filesystem::create_directories(folder);
  int number = 1;
  std::uintmax_t size = 0;
  std::ofstream out;
  for (long i = 0; i < answers; ++i) {
    if (!out.is_open() || size > kRecordFileLimit) {
      out.close();
      out.open(RecordFileName(folder, number++), std::ios::binary | std::ios::trunc);
      out << "\xEF\xBB\xBF";
      size = 3;
    }
    const std::string line = FormatRecordLine(SampleEntry(i, answers));
    out << line;
    size += line.size();
  }
  out.close();
  const long after_writing = PeakKilobytes();

  const auto start = std::chrono::steady_clock::now();
  const report::ReportOutcome outcome = report::WriteLearningReport(folder, folder / "report.html", std::string());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("answers written %ld in %d files, read %d, %s\n", answers, number - 1, outcome.answers,
              outcome.ok ? "page written" : outcome.error.c_str());
  std::printf("report: %.1f s, peak RSS %.1f MB (%.1f MB before the report)\n", seconds, PeakKilobytes() / 1024.0,
              after_writing / 1024.0);
  return outcome.ok && outcome.answers == answers ? 0 : 1;
}
