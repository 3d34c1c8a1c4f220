// kanae-report LESSON_FOLDER [OUT.html] [--since DATE]: the learning report of a
// lesson folder as one HTML page, to read in any browser.
#include <QCoreApplication>
#include <QDate>
#include <QStringList>
#include <cstdio>
#include <string>

#include "learning_record.h"
#include "learning_report.h"

namespace {

int Usage() {
  std::fputs(
      "usage: kanae-report LESSON_FOLDER [OUT.html] [--since YYYY-MM-DD]\n"
      "Writes the learning report of the lesson folder (default: 学習記録.html next to the record).\n",
      stderr);
  return 2;
}

std::filesystem::path PathOf(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList positional;
  QString since;
  const QStringList arguments = app.arguments().mid(1);
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "--since" || a.startsWith("--since=")) {
      since = a == "--since" ? (i + 1 < arguments.size() ? arguments[++i] : QString()) : a.mid(8);
      const QDate date = QDate::fromString(since, Qt::ISODate);
      if (!date.isValid()) {
        std::fprintf(stderr, "kanae-report: --since needs a date like 2026-12-01, not \"%s\"\n", qPrintable(since));
        return 2;
      }
      since = date.toString(Qt::ISODate);
    } else if (a == "-h" || a == "--help") {
      Usage();
      return 0;
    } else if (a.startsWith("--")) {
      return Usage();
    } else {
      positional << a;
    }
  }
  if (positional.empty() || positional.size() > 2) return Usage();

  const std::filesystem::path lesson = PathOf(positional[0]);
  std::error_code ec;
  if (!std::filesystem::is_directory(lesson, ec)) {
    std::fprintf(stderr, "kanae-report: no such lesson folder: %s\n", qPrintable(positional[0]));
    return 1;
  }
  const std::filesystem::path page = positional.size() == 2
                                         ? PathOf(positional[1])
                                         : kanae::RecordPlaceFor(lesson).folder / PathOf("学習記録.html");
  const kanae::report::ReportOutcome outcome = kanae::report::WriteLearningReport(lesson, page, since);
  if (!outcome.error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
  if (!outcome.ok) return 1;
  const std::u8string name = page.u8string();
  std::printf("%s\n", reinterpret_cast<const char*>(name.c_str()));
  return 0;
}
