// What the games answered with a shuffled row of letter cards share: the ×
// over a wrong card, the big ○ over the picture once the whole answer is
// right, and where each card of the row stands.
#pragma once

#include "controls.h"

namespace kanae {

// Styles cross as the red × and circle as the red ○.
void MakeCardMarks(Control& cross, Control& circle);

// Places the big ○ over the picture of a form width by height twips.
void PlaceBigCircle(Control& circle, int width, int height);

// The left edge of the card in slot of a row of slot_count slots, each cell
// twips wide, spread over the form's width with equal gaps.
double CardLeft(double cell, int slot_count, int slot);

}  // namespace kanae
