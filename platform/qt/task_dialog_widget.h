// The task selection dialog window.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <functional>

#include "task_dialog.h"

namespace kanae {

class TaskDialogWidget : public QDialog {
 public:
  // on_decide runs 決定 and returns true when the dialog is done; on_leave
  // shows the game window.
  TaskDialogWidget(TaskDialog& model, std::function<bool()> on_decide, std::function<void()> on_leave,
                   QWidget* parent);

  void ShowModel();
  // Activates the model and shows the dialog over the game window.
  void Open();

 private:
  TaskDialog& model_;
  QListWidget* list_;
};

}  // namespace kanae
