// The two marks of the games answered with letter cards: the × over a wrong
// card and the big ○ over the picture once the whole answer is right.
#pragma once

#include "controls.h"

namespace kanae {

// Styles cross as the red × and circle as the red ○.
void MakeCardMarks(Control& cross, Control& circle);

// Places the big ○ over the picture of a form width by height twips.
void PlaceBigCircle(Control& circle, int width, int height);

}  // namespace kanae
