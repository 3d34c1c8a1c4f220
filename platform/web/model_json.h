// The control model as the page's renderer reads it: JSON, positions in
// twips, colours as CSS colours, only the controls that are drawn.
#pragma once

#include <string>
#include <vector>

#include "controls.h"

namespace kanae::web {

struct FrameExtras {
  // Pictures the next question will show, decoded ahead at the image
  // controls' sizes.
  std::vector<std::string> pictures_ahead;
  // The core wants to hear when a frame is on screen (the first one, and
  // until the first question is seen with all its pictures).
  bool report_frames = false;
  // Where the answers are, in the order dwell and scanning offer them (the
  // automation's way to find them).
  std::vector<const Control*> answers;
};

std::string ModelJson(const Form& form, const FrameExtras& extras);

// "#rrggbb" of a &H00BBGGRR colour.
std::string CssColour(Colour colour);

// s as a JSON string, quotes included.
std::string JsonString(const std::string& s);

}  // namespace kanae::web
