#include "web_report.h"

#include <string>

#include "learning_report.h"
#include "page_bridge.h"
#include "text.h"

namespace kanae::web {

void ShowReportInPage(Lesson& lesson, const std::filesystem::path& lesson_folder,
                      const std::filesystem::path& page_file) {
  const report::ReportOutcome outcome = report::WriteLearningReport(lesson_folder, page_file, std::string());
  if (!outcome.ok) {
    lesson.TellTeacher(FromUtf8(outcome.error));
    lesson.LeaveReport();
    return;
  }
  page::ShowReport(PathToUtf8(page_file));
}

}  // namespace kanae::web
