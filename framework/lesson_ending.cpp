#include "lesson_ending.h"

#include <algorithm>
#include <string>

namespace kanae {

namespace {

constexpr Colour kCream = 0x00ECF6FB;
constexpr Colour kStampRed = 0x003030D8;
constexpr int kStampsPerRow = 10;

// The font size whose letters fill about share (in tenths) of a box this many twips high.
int PointsFilling(int twips, int tenths) { return std::max(8, twips / 15 * 3 / 4 * tenths / 10); }

}  // namespace

void LessonEnding::AddControls() {
  if (backdrop_ != nullptr) return;
  backdrop_ = &form_.Add("ending", ControlKind::kLabel, kZ);
  backdrop_->back_colour = kCream;
  heading_ = &form_.Add("ending_heading", ControlKind::kLabel, kZ + 1);
  heading_->caption = U"おしまい";
  heading_->transparent = true;
  heading_->centred = true;
  count_ = &form_.Add("ending_count", ControlKind::kLabel, kZ + 1);
  count_->transparent = true;
  count_->centred = true;
  count_->fore_colour = 0x00555555;
}

void LessonEnding::Show(int questions, int right_first_time) {
  AddControls();
  const int width = form_.width;
  const int height = form_.height;
  backdrop_->Place(0, 0, width, height);
  backdrop_->visible = true;

  heading_->Place(0, height / 12, width, height / 5);
  heading_->font_points = PointsFilling(height / 5, 7);
  heading_->visible = true;

  const int shown = std::clamp(right_first_time, 0, kMostStamps);
  while (static_cast<int>(stamps_.size()) < shown) {
    Control& stamp = form_.Add("stamps(" + std::to_string(stamps_.size()) + ")", ControlKind::kLabel, kZ + 1,
                               static_cast<int>(stamps_.size()));
    MakeMark(stamp, U"★");
    stamp.fore_colour = kStampRed;
    stamps_.push_back(&stamp);
  }
  // Rows of ten at most, centred, in the middle of the screen; a stamp's cell
  // is square and shrinks as the rows grow.
  const int columns = std::min(std::max(shown, 1), kStampsPerRow);
  const int rows = (shown + kStampsPerRow - 1) / kStampsPerRow;
  const int area_top = height * 3 / 10;
  const int area_height = height * 5 / 10;
  const int cell = std::min(width * 9 / 10 / columns, rows > 0 ? area_height / rows : area_height);
  const int rows_top = area_top + (area_height - rows * cell) / 2;
  for (int i = 0; i < static_cast<int>(stamps_.size()); ++i) {
    Control& stamp = *stamps_[static_cast<std::size_t>(i)];
    stamp.visible = i < shown;
    if (!stamp.visible) continue;
    const int row = i / kStampsPerRow;
    const int in_row = std::min(shown - row * kStampsPerRow, kStampsPerRow);
    const int row_left = (width - in_row * cell) / 2;
    stamp.Place(row_left + (i % kStampsPerRow) * cell, rows_top + row * cell, cell, cell);
    stamp.font_points = PointsFilling(cell, 8);
  }

  count_->caption = FromUtf8(std::to_string(questions)) + U"問　はじめて正解 " +
                    FromUtf8(std::to_string(right_first_time));
  count_->Place(0, height * 17 / 20, width, height / 10);
  count_->font_points = PointsFilling(height / 10, 5);
  count_->visible = true;
}

}  // namespace kanae
