#include "learning_report.h"

#include <algorithm>
#include <system_error>

#include "learning_record.h"
#include "record_reader.h"
#include "report_data.h"
#include "report_page.h"
#include "text_file.h"

namespace kanae::report {

namespace {

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

}  // namespace

std::string LessonName(const std::filesystem::path& lesson_folder) {
  std::error_code ec;
  std::filesystem::path folder =
      std::filesystem::absolute(lesson_folder.empty() ? std::filesystem::path(".") : lesson_folder, ec)
          .lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  return Utf8(folder.filename());
}

ReportOutcome WriteLearningReport(const ReportRequest& request) {
  ReportOutcome outcome;
  std::vector<std::filesystem::path> files;
  PageContent content;
  std::vector<std::string> names;
  for (const std::filesystem::path& folder : request.lesson_folders) {
    for (std::filesystem::path& file : RecordFilesFor(folder)) {
      // The same record reached twice (a folder named twice) counts once.
      if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(std::move(file));
    }
    std::string name = LessonName(folder);
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    content.lesson += (content.lesson.empty() ? "" : "・") + name;
    names.push_back(std::move(name));
  }
  // The record is read once, a line at a time, straight into the numbers.
  RecordRead read;
  ChildReportsBuilder children(request.since);
  ReportBuilder whole(request.since);
  StreamRecordFiles(
      files,
      [&](const RecordRow& row) {
        children.Add(row);
        if (!request.child || row.child == *request.child) whole.Add(row);
      },
      read);
  content.since = request.since;
  content.children = children.Finish();
  for (const ChildReport& child : content.children) outcome.children.push_back(child.child);
  if (request.child) {
    std::erase_if(content.children, [&](const ChildReport& child) { return child.child != *request.child; });
    if (content.children.empty()) {
      outcome.error = "この子どもの記録はありません：" + ChildTitle(*request.child);
      return outcome;
    }
    content.one_child = true;
  }
  content.whole = whole.Finish();
  content.whole.skipped_lines = read.skipped_lines;
  content.whole.unreadable = std::move(read.unreadable);
  outcome.answers = content.whole.total.answers;

  const std::string html = ReportPage(content);
  std::error_code ec;
  // A read-only lesson's per-user folder may not exist before its first answer.
  const std::filesystem::path folder = std::filesystem::absolute(request.page, ec).parent_path();
  std::filesystem::create_directories(folder, ec);
  const WriteOutcome written = ReplaceFileBytes(request.page, html, true);
  if (!written.ok) {
    outcome.error = "学習記録のページを書き込めませんでした。\n" + Utf8(request.page) + "\n" + written.error;
    return outcome;
  }
  outcome.ok = true;
  for (const std::string& name : read.unreadable_files) outcome.error += "読めなかった記録：" + name + "\n";
  return outcome;
}

ReportOutcome WriteLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page,
                                  const std::string& since) {
  return WriteLearningReport(ReportRequest{{lesson_folder}, page, since, std::nullopt});
}

}  // namespace kanae::report
