// The page around the game: messages, banners, the teacher's overlays and
// the end of a game.
#pragma once

#include <functional>

#include "lesson.h"
#include "platform/shell.h"

namespace kanae::web {

class WebShell : public Shell {
 public:
  explicit WebShell(std::function<void()> repaint) : repaint_(std::move(repaint)) {}
  ScreenSize Screen() const override;
  // Waits, with the page's event loop running, until the teacher has read it.
  void ShowMessage(const Text& caption, const Text& text) override;
  void ShowBanner(const Text& text) override;
  void Repaint() override { repaint_(); }
  void OpenDialog(DialogKind kind) override;
  void ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) override;
  void Quit() override;
  // The lesson whose report R shows.
  void Attach(Lesson& lesson) { lesson_ = &lesson; }

 private:
  std::function<void()> repaint_;
  Lesson* lesson_ = nullptr;
};

// The overlay's name for a dialog kind, and back.
const char* DialogName(DialogKind kind);

}  // namespace kanae::web
