#include "learning_report.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "learning_record.h"
#include "record_reader.h"
#include "report_data.h"
#include "report_page.h"

namespace kanae::report {

namespace {

QString QtPath(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), static_cast<qsizetype>(u8.size()));
}

QString LessonName(const std::filesystem::path& lesson_folder) {
  const QString absolute = QDir(QtPath(lesson_folder.empty() ? std::filesystem::path(".") : lesson_folder))
                               .absolutePath();
  return QDir(absolute).dirName();
}

}  // namespace

ReportOutcome WriteLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page,
                                  const QString& since) {
  ReportOutcome outcome;
  const RecordRead read = ReadRecordFiles(RecordFilesFor(lesson_folder));
  ReportData data = Summarize(read.rows, since);
  data.skipped_lines = read.skipped_lines;
  outcome.answers = data.total.answers;

  const QByteArray html = ReportPage(data, LessonName(lesson_folder), since).toUtf8();
  // A read-only lesson's per-user folder may not exist before its first answer.
  QDir().mkpath(QFileInfo(QtPath(page)).absolutePath());
  QSaveFile file(QtPath(page));
  if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size() || !file.commit()) {
    outcome.error = "学習記録のページを書き込めませんでした。\n" + QtPath(page) + "\n" + file.errorString();
    return outcome;
  }
  outcome.ok = true;
  for (const std::string& name : read.unreadable_files) {
    outcome.error += "読めなかった記録：" + QString::fromStdString(name) + "\n";
  }
  return outcome;
}

}  // namespace kanae::report
