// The settings dialog window, laid out in twips from the game's option frames.
#pragma once

#include <QDialog>
#include <QRadioButton>
#include <functional>
#include <vector>

#include "settings_dialog.h"

namespace kanae {

class SettingsDialogWidget : public QDialog {
 public:
  // on_execute runs 実行 (apply, save, report); on_leave shows the game window.
  SettingsDialogWidget(SettingsDialog& model, std::function<void()> on_execute, std::function<void()> on_leave,
                       QWidget* parent);

  // Sets the buttons from the model (after its activation).
  void show_model();
  // Activates the model and shows the dialog over the game window.
  void Open();

 private:
  SettingsDialog& model_;
  std::vector<std::vector<QRadioButton*>> buttons_;
};

}  // namespace kanae
