#include "web_shell.h"

#include <emscripten.h>

#include "page_bridge.h"
#include "web_dialogs.h"
#include "web_report.h"

namespace kanae::web {

const char* DialogName(DialogKind kind) {
  switch (kind) {
    case DialogKind::kSettings: return "settings";
    case DialogKind::kTasks: return "tasks";
    case DialogKind::kInput: return "input";
    case DialogKind::kGuide: return "guide";
  }
  return "settings";
}

ScreenSize WebShell::Screen() const {
  // A CSS pixel is the layout's logical pixel: 15 twips.
  return {static_cast<int>(page::ScreenWidth() * 15), static_cast<int>(page::ScreenHeight() * 15)};
}

void WebShell::ShowMessage(const Text& caption, const Text& text) {
  page::ShowMessage(ToUtf8(caption), ToUtf8(text));
  // As a message box does, the game goes on only after OK; the page's event
  // loop runs meanwhile (its input held back), so the page stays alive.
  page::WaitBegins();
  while (page::MessageOpen()) emscripten_sleep(50);
  page::WaitEnds();
}

void WebShell::ShowBanner(const Text& text) { page::ShowBanner(ToUtf8(text)); }

void WebShell::OpenDialog(DialogKind kind) {
  WebDialogs* dialogs = WebDialogs::Current();
  if (dialogs != nullptr && WebDialogs::Handles(kind)) dialogs->Open(kind);
  else page::ShowTeacherPanel(DialogName(kind));
}

void WebShell::ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) {
  if (lesson_ != nullptr) ShowReportInPage(*lesson_, lesson_folder, page);
}

void WebShell::Quit() { page::GameEnded(); }

}  // namespace kanae::web
