// One game played in the page: the lesson, its game and the page's services,
// and the window's side of input (presses, clicks, the first frame).
#pragma once

#include <memory>
#include <string>

#include "game.h"
#include "lesson.h"
#include "random_source.h"
#include "trace.h"
#include "web_cue_player.h"
#include "web_dialogs.h"
#include "web_shell.h"
#include "web_speech.h"
#include "web_timers.h"

namespace kanae::web {

enum class PagePointer { kDown = 0, kMove = 1, kUp = 2 };

class WebGame {
 public:
  // program: Oltar, Pemble, Suvan, Dabrel, Quoma or Vintal; null when unknown.
  static std::unique_ptr<WebGame> Make(const std::string& program, bool traced);

  // The start-up steps; false when the game is not to be played (the
  // teacher has been told why).
  bool Start(const std::string& lesson_folder);
  // x and y in CSS pixels of the game's canvas; button 1 left, 2 right, 4 middle.
  void OnPointer(PagePointer what, double x, double y, int button);
  void OnKey(int key_code);
  void OnTick(int timer_id) { timers_.Tick(timer_id); }
  void OnSpeechEnd(int id) { speech_.Ended(id); }
  // A frame of the model is on screen, with every picture or not yet.
  // True when the lesson changed the model in answer (its first question).
  bool OnFrame(bool all_pictures);
  void LeaveDialog(DialogKind kind) { lesson_.LeaveDialog(kind); }
  void LeaveReport() { lesson_.LeaveReport(); }
  // Hands the model to the page to draw.
  void Push();

 private:
  explicit WebGame(bool traced);
  void Deliver(PointerAction action, double x, double y, int button);

  WebTimerFactory timers_;
  WebCuePlayer player_;
  WebSpeech speech_;
  WebShell shell_;
  ClockRandomSource rnd_;
  Trace trace_;
  Lesson lesson_;
  std::unique_ptr<Game> game_;  // after the lesson: it goes first
  PageDialogView dialog_view_;
  std::unique_ptr<WebDialogs> dialogs_;  // after the game: it goes first
  const Control* pressed_ = nullptr;
  bool activated_ = false;
  bool ready_traced_ = false;
};

}  // namespace kanae::web
