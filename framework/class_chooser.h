// Who plays: the class shown as large tiles before a game starts, one per
// child (their picture, or their colour, with the name under it) and one for
// playing with no name. A touch chooses; so does resting the pointer on a
// tile (dwell) or a switch (scanning), as in the games. Free of any window
// system: the window draws the form and hands in pointer moves, clicks and
// keys.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "class_list.h"
#include "controls.h"
#include "input_assist.h"
#include "platform/timer.h"

namespace kanae {

class ClassChooser {
 public:
  inline static const Text kNoName = U"なまえなし";

  // chosen: the child's name, or empty for なまえなし.
  using Chosen = std::function<void(const Text& child)>;

  // width, height: the screen in twips; picture_folder: where relative
  // picture names of the list are found.
  ClassChooser(const std::vector<Child>& children, const std::filesystem::path& picture_folder, int width, int height,
               const InputSettings& input, TimerFactory& timers, Chosen chosen);

  const Form& form() const { return form_; }
  // The tile of each child in the list's order, then なまえなし's.
  const std::vector<Control*>& Tiles() const { return tiles_; }
  const std::vector<Control*>& Names() const { return names_; }

  void OnClick(double x, double y);
  void OnMove(double x, double y);
  // Space or Enter, as in the games.
  void OnSwitch(bool enter);

 private:
  void Layout(int width, int height);
  const Control* TileAt(double x, double y) const;
  void Choose(const Control* tile);

  Form form_;
  Control* heading_ = nullptr;
  std::vector<Control*> tiles_;
  std::vector<Control*> names_;
  std::vector<Text> children_;
  InputAssist assist_;
  Chosen chosen_;
  bool done_ = false;
};

}  // namespace kanae
