// The learning report of one lesson folder, from its record to an HTML page.
#pragma once

#include <QString>
#include <filesystem>

namespace kanae::report {

struct ReportOutcome {
  bool ok = false;
  QString error;  // for the teacher, in Japanese
  int answers = 0;
};

// since: yyyy-MM-dd or empty. The page is replaced whole or not at all.
ReportOutcome WriteLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page,
                                  const QString& since);

}  // namespace kanae::report
