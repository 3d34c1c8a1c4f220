// The learning report as one self-contained HTML page: styles and charts
// (inline SVG) inside, nothing fetched, no script.
#pragma once

#include <QString>

#include "report_data.h"

namespace kanae::report {

// lesson: the lesson folder's name; since: the period's first day or empty.
QString ReportPage(const ReportData& data, const QString& lesson, const QString& since);

}  // namespace kanae::report
