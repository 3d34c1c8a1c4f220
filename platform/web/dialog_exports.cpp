// What the page calls in the core from the teacher's dialogs. kind is the
// dialog's DialogKind (0 settings, 1 tasks, 2 input); every call goes through
// the page's one queue, as the game's own calls do, and the game is drawn
// again after it (leaving a dialog restarts the lesson).
#include <emscripten.h>

#include "web_dialogs.h"

namespace {

using kanae::DialogKind;
using kanae::web::WebDialogs;

template <typename Action>
void WithDialogs(Action action) {
  WebDialogs* dialogs = WebDialogs::Current();
  if (dialogs != nullptr) action(*dialogs);
}

DialogKind Kind(int kind) { return static_cast<DialogKind>(kind); }

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void kanae_dialog_select(int kind, int frame, int option) {
  WithDialogs([&](WebDialogs& d) { d.Select(Kind(kind), frame, option); });
}

EMSCRIPTEN_KEEPALIVE void kanae_dialog_mark(int kind, int entry, int marked) {
  WithDialogs([&](WebDialogs& d) { d.Mark(Kind(kind), entry, marked != 0); });
}

EMSCRIPTEN_KEEPALIVE void kanae_dialog_mark_all(int kind, int marked) {
  WithDialogs([&](WebDialogs& d) { d.MarkAll(Kind(kind), marked != 0); });
}

EMSCRIPTEN_KEEPALIVE void kanae_dialog_confirm(int kind) {
  WithDialogs([&](WebDialogs& d) { d.Confirm(Kind(kind)); });
}

EMSCRIPTEN_KEEPALIVE void kanae_dialog_cancel(int kind) {
  WithDialogs([&](WebDialogs& d) { d.Cancel(Kind(kind)); });
}

}  // extern "C"
