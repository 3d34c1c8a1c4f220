// What every game supplies to the lesson framework.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls.h"
#include "platform/timer.h"
#include "settings_dialog.h"
#include "settings_file.h"
#include "spoken_text.h"
#include "text.h"

namespace kanae {

struct GameInfo {
  std::string program;        // "Oltar"
  Text title;                 // message box caption, "オルタ文字"
  std::string settings_file;  // "Oltar.txt"
  int fewest_pictures = 1;    // fewer pictures in the folder end the program
  int fewest_tasks = 1;       // a smaller selection plays every picture instead
  bool reads_retry_messages = true;
  bool has_letter_tables = false;
  // The task selection needs four different first characters, not four pictures.
  bool selection_needs_four_initials = false;
};

// Pointer input as the game window reports it: a click (or a tap), the pointer
// moving over a control (or a finger landing on it), or a mouse button
// pressed. kChoose is an answer chosen another way (the pointer resting on it,
// or a switch), which counts whatever the click-or-touch setting.
enum class PointerAction { kClick, kMove, kPress, kChoose };

struct PointerEvent {
  PointerAction action = PointerAction::kClick;
  const Control* control = nullptr;  // nullptr: the window's background
  int button = 1;                    // 1 left, 2 right, 4 middle
  double x = 0;                      // where, in twips
  double y = 0;
};

// The click-or-touch rule: with touch_mode a move answers, without it a click.
inline bool MatchesTouchMode(PointerAction action, std::int16_t touch_mode) {
  if (action == PointerAction::kChoose) return true;
  return touch_mode != 0 ? action == PointerAction::kMove : action == PointerAction::kClick;
}

class Game {
 public:
  virtual ~Game() = default;
  virtual const GameInfo& Info() const = 0;
  // The game's settings in file order, pointing at the variables that hold them.
  virtual SettingsList Settings() = 0;
  // Fixed sizes and positions of the game's controls, once the window fills the screen.
  virtual void Layout() = 0;
  // Clears the screen and sets up and starts the question for question_index.
  virtual void NextQuestion() = 0;
  // The option frames, captions and positions of the settings dialog.
  virtual SettingsDialogLayout SettingsDialog() = 0;
  // Pointer input on the game window, handed on by the lesson only while a
  // question is open.
  virtual void OnPointer(const PointerEvent& event) = 0;
  // The controls that answer the open question now (what dwell and switch
  // scanning offer); empty when nothing can be answered.
  virtual std::vector<const Control*> AnswerControls() const = 0;
  // True when the right mouse button answers, so it cannot ask for the
  // question again.
  virtual bool UsesRightButton() const { return false; }

  // What the game says to ask for task question_index, and its praise after
  // a right answer built around message. The lesson has the voice prepare
  // them ahead (the next prompt while the feedback ends, the praise while
  // the cues play), so speech starts as soon as it is asked for. Empty: the
  // game does not tell, and its speech is made when it is spoken.
  virtual SpokenText PromptFor(int question_index) {
    (void)question_index;
    return {};
  }
  virtual SpokenText PraiseFor(const Text& message, int question_index) {
    (void)message, (void)question_index;
    return {};
  }
};

}  // namespace kanae
