// The teacher's dialogs are laid out in twips for an 11-pixel font; on a
// larger screen every size is multiplied so that the text stays readable
// (16 pixels on a 1080-line screen) while the layout keeps its proportions.
#pragma once

#include <QFont>
#include <QRect>

#include "settings_dialog.h"

namespace kanae {

class DialogScale {
 public:
  // The scale for a screen of this many logical pixels in height.
  explicit DialogScale(int screen_height);
  // The scale for the screen the application shows its windows on.
  static DialogScale ForPrimaryScreen();

  double Factor() const { return factor_; }
  int FontPixels() const;
  int Pixels(int twips) const;
  QRect Rect(const TwipRect& twips) const;
  // The font with its size set for this scale.
  QFont Font(QFont font) const;

  static constexpr int kBaseFontPixels = 11;

 private:
  double factor_;
};

}  // namespace kanae
