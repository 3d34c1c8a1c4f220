#include "controls.h"

#include <algorithm>
#include <cmath>

namespace kanae {

int Int(double x) { return static_cast<int>(std::floor(x)); }

int FontHeldToHeight(int points, double label_height) { return std::min(points, Int(label_height / 20)); }

void HoldInsideWindow(Control& control, double window_width, double window_height) {
  const double left = std::max(0.0, control.left);
  const double top = std::max(0.0, control.top);
  const double right = std::min(window_width, control.left + control.width);
  const double bottom = std::min(window_height, control.top + control.height);
  control.Place(left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
}

void MakeMark(Control& label, Text caption) {
  if (!caption.empty()) label.caption = std::move(caption);
  label.fore_colour = kRed;
  label.transparent = true;
  label.centred = true;
}

void ArmMark(Control& mark) {
  mark.Place(0, 0, 0, 0);
  mark.visible = true;
}

Control& Form::Add(std::string name, ControlKind kind, int z, int index) {
  Control& control = controls_.emplace_back();
  control.name = std::move(name);
  control.kind = kind;
  control.z = z;
  control.index = index;
  return control;
}

const Control* Form::HitTest(double x, double y) const {
  const Control* hit = nullptr;
  for (const Control& control : controls_) {
    if (!control.visible || control.width <= 0 || control.height <= 0 || !control.Contains(x, y)) continue;
    if (hit == nullptr || control.z >= hit->z) hit = &control;
  }
  return hit;
}

}  // namespace kanae
