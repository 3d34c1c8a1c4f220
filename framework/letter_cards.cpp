#include "letter_cards.h"

namespace kanae {

void MakeCardMarks(Control& cross, Control& circle) {
  MakeMark(cross, U"×");
  MakeMark(circle, U"○");
}

void PlaceBigCircle(Control& circle, int width, int height) {
  circle.Place(Int(width * 3.0 / 10), Int(height * 23.0 / 100), Int(width / 2.0), Int(height / 2.0));
  circle.font_points = Int(width / 50.0);
}

double CardLeft(double cell, int slot_count, int slot) {
  return cell * (slot_count + 2) / (slot_count + 1) * slot + cell / (slot_count + 1);
}

}  // namespace kanae
