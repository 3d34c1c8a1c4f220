// What the page calls in the core. The page hands every call in through one
// queue (page/js/core.js), never while the core waits for a cue or a message,
// and after each the model is drawn again.
#include <emscripten.h>

#include <memory>

#include "page_bridge.h"
#include "web_game.h"

namespace {

std::unique_ptr<kanae::web::WebGame> game;

void Drawn() {
  if (game != nullptr) game->Push();
}

}  // namespace

extern "C" {

// Starts program on the lesson folder (a path in the page's file system);
// the page hears gameEnded when it cannot be played.
EMSCRIPTEN_KEEPALIVE void kanae_open(const char* program, const char* lesson_folder, int traced) {
  game = kanae::web::WebGame::Make(program, traced != 0);
  if (game == nullptr || !game->Start(lesson_folder)) kanae::web::page::GameEnded();
}

// The game is over and the page has left it: every file is written by now.
EMSCRIPTEN_KEEPALIVE void kanae_close() { game.reset(); }

EMSCRIPTEN_KEEPALIVE void kanae_pointer(int what, double x, double y, int button) {
  if (game == nullptr) return;
  game->OnPointer(static_cast<kanae::web::PagePointer>(what), x, y, button);
  Drawn();
}

EMSCRIPTEN_KEEPALIVE void kanae_key(int key_code) {
  if (game == nullptr) return;
  game->OnKey(key_code);
  Drawn();
}

EMSCRIPTEN_KEEPALIVE void kanae_tick(int timer_id) {
  if (game == nullptr) return;
  game->OnTick(timer_id);
  Drawn();
}

EMSCRIPTEN_KEEPALIVE void kanae_speech_end(int id) {
  if (game == nullptr) return;
  game->OnSpeechEnd(id);
  Drawn();
}

EMSCRIPTEN_KEEPALIVE void kanae_frame(int all_pictures) {
  if (game == nullptr) return;
  // Only a changed model is drawn again: a frame reported for every frame
  // drawn would never end.
  if (game->OnFrame(all_pictures != 0)) Drawn();
}

// kind: 0 settings, 1 tasks, 2 input, 3 guide (as DialogKind).
EMSCRIPTEN_KEEPALIVE void kanae_leave_dialog(int kind) {
  if (game == nullptr) return;
  game->LeaveDialog(static_cast<kanae::DialogKind>(kind));
  Drawn();
}

EMSCRIPTEN_KEEPALIVE void kanae_leave_report() {
  if (game == nullptr) return;
  game->LeaveReport();
  Drawn();
}

}  // extern "C"
