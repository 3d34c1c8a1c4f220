#include "controls.h"

#include <cmath>

namespace kanae {

int Int(double x) { return static_cast<int>(std::floor(x)); }

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
