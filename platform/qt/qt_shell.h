// The window system around the lesson: message boxes, the two dialogs, the
// game window's repaint and the end of the program.
#pragma once

#include <QString>
#include <memory>

#include "game.h"
#include "lesson.h"
#include "platform/shell.h"
#include "settings_dialog.h"
#include "task_dialog.h"

namespace kanae {

class GameWindow;
class GuideWindow;
class ReportReturn;
class SettingsDialogWidget;
class TaskDialogWidget;

class QtShell : public Shell {
 public:
  QtShell();
  ~QtShell() override;

  // Connects the shell to the running lesson once the game window exists.
  void Attach(Lesson& lesson, Game& game, GameWindow& window);

  ScreenSize Screen() const override;
  void ShowMessage(const Text& caption, const Text& text) override;
  void Repaint() override;
  void OpenDialog(DialogKind kind) override;
  void ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) override;
  void Quit() override;
  void ShowBanner(const Text& text) override;
  // The program that opens the report in the browser ("xdg-open").
  void UseBrowserOpener(QString opener) { browser_opener_ = std::move(opener); }
  // The program runs for one dialog only: leaving it ends the program.
  void EndWithDialog() { ends_with_dialog_ = true; }

 private:
  void ReturnToGame(DialogKind from);
  void ShowPendingBanner();

  Lesson* lesson_ = nullptr;
  Game* game_ = nullptr;
  GameWindow* window_ = nullptr;
  std::unique_ptr<SettingsDialog> settings_model_;
  std::unique_ptr<TaskDialog> task_model_;
  SettingsDialogWidget* settings_dialog_ = nullptr;
  std::unique_ptr<SettingsDialog> input_model_;
  SettingsDialogWidget* input_dialog_ = nullptr;
  TaskDialogWidget* task_dialog_ = nullptr;
  GuideWindow* guide_ = nullptr;
  QString browser_opener_ = QStringLiteral("xdg-open");
  Text banner_;  // said before the window was there
  ReportReturn* report_return_ = nullptr;
  bool ends_with_dialog_ = false;
};

}  // namespace kanae
