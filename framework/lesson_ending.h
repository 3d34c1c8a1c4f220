// The calm ending of a lesson of a set length: the game's controls are
// covered by a plain screen that says おしまい and shows one stamp for every
// question answered right at the first attempt.
#pragma once

#include <vector>

#include "controls.h"

namespace kanae {

class LessonEnding {
 public:
  // More stamps than this would be too small to see; the count beside them says the rest.
  static constexpr int kMostStamps = 50;
  // Far in front of every game's controls.
  static constexpr int kZ = 1000;

  explicit LessonEnding(Form& form) : form_(form) {}

  // Covers the form and lays out the ending for its current size.
  void Show(int questions, int right_first_time);
  bool Shown() const { return backdrop_ != nullptr && backdrop_->visible; }
  // The stamps on screen, in reading order.
  const std::vector<Control*>& Stamps() const { return stamps_; }
  const Control* Heading() const { return heading_; }
  const Control* Count() const { return count_; }

 private:
  void AddControls();

  Form& form_;
  Control* backdrop_ = nullptr;
  Control* heading_ = nullptr;
  Control* count_ = nullptr;
  std::vector<Control*> stamps_;
};

}  // namespace kanae
