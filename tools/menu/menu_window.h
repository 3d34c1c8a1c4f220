// The teacher's one way in: a full-screen menu with the six games as large
// picture buttons, the lesson folder they play, and the kiosk lock. A chosen
// game runs on the folder; when it ends, the menu comes back.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "class_chooser_widget.h"
#include "game_runner.h"
#include "key_hold.h"

namespace kanae::menu {

class LockedClose;
class LessonCheckPanel;
class LessonSpeechAhead;

class MenuWindow : public QWidget {
 public:
  // Asks the teacher for a folder, starting at the one given; empty when cancelled.
  using FolderChooser = std::function<QString(const QString& start)>;

  // data: the installed data (sounds/, demo_lesson/); kiosk: the lock's
  // starting state (kanae --kiosk).
  MenuWindow(GameRunner& runner, QString data, bool kiosk, FolderChooser choose_folder);

  // Under the lock, 終了 acts only when held this long, as the games' keys do.
  static constexpr int kQuitHoldMilliseconds = static_cast<int>(KeyHold::kHoldMilliseconds);

  QString Lesson() const { return lesson_; }
  bool Kiosk() const { return kiosk_->isChecked(); }
  // Runs the game (its program name, "Oltar") on the lesson folder; with a
  // class, after the child who plays has been chosen.
  void Start(const QString& program);
  // Opens one of the game's dialogs ("settings", "tasks", "input") on the
  // lesson folder without playing it; the menu comes back when it is closed.
  void OpenDialog(const QString& program, const QString& dialog);
  // かなえの使い方, over the menu.
  void ShowGuide();
  // The class chooser while it is shown, else nullptr.
  ClassChooserWidget* Chooser() const { return chooser_; }
  // The folder the class list is kept in ("" for the user's own).
  const QString& ClassFolder() const { return class_folder_; }
  // Opens the teacher's editor of the class list.
  void EditClass();
  // Where messages to the teacher go instead of a message box.
  void SetMessenger(std::function<void(const QString&)> tell) { tell_ = std::move(tell); }
  // Has the shown lesson's opening prompts made ahead (now, and whenever the
  // lesson changes), held while a game runs. ahead outlives the menu; null: none.
  void PrepareSpeechWith(LessonSpeechAhead* ahead);

 private:
  void SetLesson(const QString& folder);
  void Launch(const QString& program, const QString& child, const QString& dialog = QString());
  // The lesson as the teacher knows it: 「デモのレッスン」 or its folder.
  void ShowLesson();
  void Tell(const QString& text);

  GameRunner& runner_;
  QString data_;
  FolderChooser choose_folder_;
  QString lesson_;
  QLabel* lesson_label_;
  QCheckBox* kiosk_;
  QPushButton* quit_;
  LockedClose* close_guard_;
  LessonCheckPanel* check_;
  std::function<void(const QString&)> tell_;
  bool running_ = false;
  QString class_folder_;
  ClassChooserWidget* chooser_ = nullptr;
  QPushButton* class_button_ = nullptr;
  QDialog* guide_ = nullptr;
  LessonSpeechAhead* speech_ahead_ = nullptr;
};

}  // namespace kanae::menu
