// What the lesson framework needs from the window system around the game window.
#pragma once

#include <filesystem>

#include "../text.h"

namespace kanae {

// kGuide: the teacher's guide, read over the paused lesson.
enum class DialogKind { kSettings, kTasks, kInput, kGuide };

struct ScreenSize {
  int width_twips = 0;
  int height_twips = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The size of the screen the game window fills, in twips.
  virtual ScreenSize Screen() const = 0;
  // A modal message to the teacher: OK button, exclamation icon.
  virtual void ShowMessage(const Text& caption, const Text& text) = 0;
  // A note to the teacher that needs no click and never stops the lesson: a
  // banner over the game window that goes by itself.
  virtual void ShowBanner(const Text& /*text*/) {}
  // Paints what the model shows now; called before waiting on a cue.
  virtual void Repaint() = 0;
  // Shows the dialog (created on first use), modeless, over the game window.
  virtual void OpenDialog(DialogKind kind) = 0;
  // Writes the learning report of the lesson folder to page and opens it in
  // the default browser, or tells the teacher where it is when none starts.
  virtual void ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) = 0;
  // Ends the program at once.
  virtual void Quit() = 0;
};

}  // namespace kanae
