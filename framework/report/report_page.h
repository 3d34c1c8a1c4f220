// The learning report as one self-contained HTML page: styles and charts
// (inline SVG) inside, nothing fetched, no script. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "report_data.h"

namespace kanae::report {

struct PageContent {
  std::string lesson;  // the lesson folders' names
  std::string since;   // the period's first day, or empty
  ReportData whole;    // every answer of the period
  // A section each, on a page of its own when printed; a chooser of them at the top.
  std::vector<ChildReport> children;
  // One child's page: no overview and no chooser.
  bool one_child = false;
};

std::string ReportPage(const PageContent& content);

// "2026-12-10" as the teacher reads it: 12月10日(木), with the year when asked.
std::string DayLabel(const std::string& day, bool with_year = false);

// The name a child's section carries: the name, or なまえなし.
std::string ChildTitle(const std::string& child);

}  // namespace kanae::report
