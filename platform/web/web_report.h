// The learning report in the page: written into the page's file system where
// the desktop writes it, then shown by the page.
#pragma once

#include <filesystem>

#include "lesson.h"

namespace kanae::web {

// The page calls kanae_leave_report when the teacher goes back to the game;
// when the report cannot be written, the teacher is told why and the lesson
// goes on at once.
void ShowReportInPage(Lesson& lesson, const std::filesystem::path& lesson_folder,
                      const std::filesystem::path& page_file);

}  // namespace kanae::web
