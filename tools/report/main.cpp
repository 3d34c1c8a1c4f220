// kanae-report LESSON_FOLDER... [OUT.html] [--since DATE] [--child NAME]: the
// learning report of one or more lesson folders as one HTML page, to read in
// any browser.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "learning_record.h"
#include "learning_report.h"

namespace {

int Usage(std::FILE* to) {
  std::fputs(
      "usage: kanae-report LESSON_FOLDER... [OUT.html] [--since YYYY-MM-DD] [--child NAME]\n"
      "Writes the learning report of the lesson folders, a section per child (default page: 学習記録.html\n"
      "next to the first folder's record). --child writes one child's page; several folders are combined.\n",
      to);
  return to == stdout ? 0 : 2;
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// "2026-12-01" when text is that date, else empty.
std::string IsoDate(const std::string& text) {
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%u-%u%c", &y, &m, &d, &rest) != 3) return {};
  const std::chrono::year_month_day date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
  if (!date.ok() || y < 1000 || y > 9999) return {};
  char iso[16];
  std::snprintf(iso, sizeof iso, "%04d-%02u-%02u", y, m, d);
  return iso;
}

}  // namespace

int main(int argc, char** argv) {
  kanae::report::ReportRequest request;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&](const char* option) -> std::string {
      const std::size_t n = std::strlen(option);
      if (a.size() > n && a.compare(0, n, option) == 0 && a[n] == '=') return a.substr(n + 1);
      return i + 1 < argc ? argv[++i] : std::string();
    };
    if (a == "--since" || a.rfind("--since=", 0) == 0) {
      const std::string since = value("--since");
      request.since = IsoDate(since);
      if (request.since.empty()) {
        std::fprintf(stderr, "kanae-report: --since needs a date like 2026-12-01, not \"%s\"\n", since.c_str());
        return 2;
      }
    } else if (a == "--child" || a.rfind("--child=", 0) == 0) {
      request.child = value("--child");
    } else if (a == "-h" || a == "--help") {
      return Usage(stdout);
    } else if (a.rfind("--", 0) == 0) {
      return Usage(stderr);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.empty()) return Usage(stderr);
  std::error_code ec;
  for (std::size_t i = 0; i < positional.size(); ++i) {
    const std::filesystem::path path = PathOf(positional[i]);
    if (std::filesystem::is_directory(path, ec)) {
      request.lesson_folders.push_back(path);
    } else if (i + 1 == positional.size() && i > 0) {
      request.page = path;  // the last name, when it is not a folder, is the page to write
    } else {
      std::fprintf(stderr, "kanae-report: no such lesson folder: %s\n", positional[i].c_str());
      return 1;
    }
  }
  if (request.page.empty()) {
    request.page = kanae::RecordPlaceFor(request.lesson_folders.front()).folder / PathOf("学習記録.html");
  }
  const kanae::report::ReportOutcome outcome = kanae::report::WriteLearningReport(request);
  if (!outcome.error.empty()) std::fprintf(stderr, "%s\n", outcome.error.c_str());
  if (!outcome.ok) return 1;
  const std::u8string name = request.page.u8string();
  std::printf("%s\n", reinterpret_cast<const char*>(name.c_str()));
  return 0;
}
