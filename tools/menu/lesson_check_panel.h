// The lesson check in the menu, for the teacher before a child plays: how
// many pictures each game can use, and what was left out and why, in plain
// Japanese. Shown each time a lesson folder is chosen, never over a game.
#pragma once

#include <QFrame>
#include <QStringList>

#include "lesson_check.h"

class QLabel;
class QListWidget;

namespace kanae::menu {

class LessonCheckPanel : public QFrame {
 public:
  // sound_folder holds the letters' sound files; guess reads a word that is
  // not kana (empty: no suggestion).
  LessonCheckPanel(QString sound_folder, ReadingGuess guess, QWidget* parent);

  // Checks the folder and shows the result.
  void Check(const QString& folder);
  // What the panel says: the games' line and each note, as shown.
  QString GamesLine() const;
  QStringList Notes() const;

 private:
  QString sound_folder_;
  ReadingGuess guess_;
  QLabel* games_;
  QListWidget* notes_;
};

}  // namespace kanae::menu
