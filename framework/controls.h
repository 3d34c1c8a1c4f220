// The control model of the game window: plain records that the game logic sets
// and the window renders. Positions and sizes are in twips (1/15 of a logical
// pixel at 96 dpi); some positions are fractional where the games keep them so.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "text.h"

namespace kanae {

// Colours as &H00BBGGRR values.
using Colour = std::uint32_t;
inline constexpr Colour kRed = 0x000000FF;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kTeal = 0x00808000;
inline constexpr Colour kDarkBlue = 0x00800000;
inline constexpr Colour kLightBlue = 0x00FF8080;
inline constexpr Colour kSilver = 0x00C0C0C0;

enum class ControlKind { kLabel, kImage };

struct Control {
  std::string name;  // its role, e.g. "cards(3)", for debugging
  ControlKind kind = ControlKind::kLabel;
  int index = 0;  // index within its control array (0 for a single control)
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  bool visible = false;
  int z = 0;  // larger is in front

  // Labels.
  Text caption;
  int font_points = 9;
  Colour fore_colour = kBlack;
  Colour back_colour = kWhite;
  bool transparent = false;
  // Text starts at the top left, so a row of letters lines up with its cells;
  // single marks and letters may be centred instead.
  bool centred = false;

  // Images: the file shown, stretched to the control's rectangle.
  std::string picture;

  void Place(double new_left, double new_top, double new_width, double new_height) {
    left = new_left;
    top = new_top;
    width = new_width;
    height = new_height;
  }
  bool Contains(double x, double y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};

// Styles a label as the red ○ or × drawn over an answer: transparent, its
// sign centred on the box it covers.
void MakeMark(Control& label, Text caption = {});

// Shows a mark at no size, so it is seen the moment a wrong answer places it
// over the answer, with nothing else to switch on.
void ArmMark(Control& mark);

// Int as the games write it: the largest integer not above x.
int Int(double x);

// A letter's font, held to its label's height (a point is 20 twips): on a
// wide screen a width-based size outgrows the label and the letter is cut (a
// cut う reads as つ, a cut バ loses its marks). On a 4:3 screen the size
// stands as given.
int FontHeldToHeight(int points, double label_height);

// Holds a control that a layout places partly off the window (a mark over an
// answer at the screen's edge) to the part that lies on it.
void HoldInsideWindow(Control& control, double window_width, double window_height);

// Drawn over the game by the window, never part of a game's layout: the ring
// that fills while the pointer rests on an answer, and the switch scanning's
// frame around the offered answer. Each follows its control wherever it moves.
struct AnswerMarkers {
  const Control* dwell_target = nullptr;
  double dwell_progress = 0;  // 0 to 1
  const Control* scan_target = nullptr;
};

class Form {
 public:
  Colour back_colour = kTeal;
  bool pointer_hidden = false;
  AnswerMarkers markers;
  int width = 0;   // twips
  int height = 0;  // twips

  // Adds a control; the reference stays valid for the life of the form.
  Control& Add(std::string name, ControlKind kind, int z, int index = 0);
  const std::deque<Control>& Controls() const { return controls_; }
  // The front-most visible control with a size under the point, or nullptr.
  const Control* HitTest(double x, double y) const;

 private:
  std::deque<Control> controls_;
};

}  // namespace kanae
