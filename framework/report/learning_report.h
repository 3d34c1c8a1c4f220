// The learning report of one or more lesson folders, from their records to
// an HTML page.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kanae::report {

struct ReportRequest {
  std::vector<std::filesystem::path> lesson_folders;
  std::filesystem::path page;
  std::string since;                 // yyyy-MM-dd or empty
  std::optional<std::string> child;  // one child's page ("" for the answers with no name)
};

struct ReportOutcome {
  bool ok = false;
  std::string error;  // for the teacher, in Japanese
  int answers = 0;
  std::vector<std::string> children;  // the children in the record, in the page's order
};

// The page is replaced whole or not at all, readable by its owner only.
ReportOutcome WriteLearningReport(const ReportRequest& request);
// The report of one lesson folder, as the games' R key shows it.
ReportOutcome WriteLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page,
                                  const std::string& since);

// The folder's name as the teacher knows it: "/lessons/どうぶつ/" -> どうぶつ.
std::string LessonName(const std::filesystem::path& lesson_folder);

}  // namespace kanae::report
