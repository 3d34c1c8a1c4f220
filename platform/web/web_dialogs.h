// The teacher's three dialogs of the page (the game's settings, the task
// selection, the ways of answering): the framework's own dialog models,
// handed to the page as JSON and driven by what the teacher chooses there.
// Every rule and every file written is the models', as on the desktop.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game.h"
#include "lesson.h"
#include "settings_dialog.h"
#include "task_dialog.h"

namespace kanae::web {

// Where a dialog is shown: the page's HTML, or a test's record.
class DialogView {
 public:
  virtual ~DialogView() = default;
  // Shows the dialog described by json, or brings the one shown up to date.
  virtual void Show(const std::string& json) = 0;
  // The dialog shown is gone.
  virtual void Close() = 0;
};

// The page's dialog view: through the page bridge.
class PageDialogView : public DialogView {
 public:
  void Show(const std::string& json) override;
  void Close() override;
};

class WebDialogs {
 public:
  // redraw hands the game's model to the page again (the lesson restarted).
  WebDialogs(Lesson& lesson, Game& game, DialogView& view, std::function<void()> redraw = {});
  ~WebDialogs();

  // The kinds shown as the page's own dialogs (the guide is a page apart).
  static bool Handles(DialogKind kind);

  // The lesson opened the dialog (its key, or the teacher's panel): its model
  // is made on first use, activated from the lesson and shown. A dialog of
  // another kind still shown is left first, as if cancelled: the page shows
  // one dialog at a time.
  void Open(DialogKind kind);
  std::optional<DialogKind> Shown() const { return shown_; }

  // What the teacher does in the dialog shown. Each names the dialog it was
  // meant for; a choice that comes for another (one sent as the dialog
  // closed) or out of range is ignored.
  void Select(DialogKind kind, int frame, int option);  // an option of a settings frame
  void Mark(DialogKind kind, int entry, bool marked);   // a picture of the task selection
  void MarkAll(DialogKind kind, bool marked);           // 全選択 / 全解除
  void Confirm(DialogKind kind);                        // 実行 / 決定
  void Cancel(DialogKind kind);                         // キャンセル, Esc

  // The one WebDialogs of the game being played, for the page's calls; null
  // when no game is played.
  static WebDialogs* Current();

 private:
  SettingsDialog* SettingsModel(DialogKind kind);
  void ShowModel();
  void Leave();

  Lesson& lesson_;
  Game& game_;
  DialogView& view_;
  std::function<void()> redraw_;
  std::unique_ptr<SettingsDialog> settings_;
  std::unique_ptr<SettingsDialog> input_;
  std::unique_ptr<TaskDialog> tasks_;
  std::optional<DialogKind> shown_;
};

// The JSON the page draws a dialog from.
std::string SettingsDialogJson(DialogKind kind, const SettingsDialog& model);
std::string TaskDialogJson(const TaskDialog& model, const Lesson& lesson);

}  // namespace kanae::web
