// What starting a game from the desktop needs, shared by kanae-launch and the
// kanae menu: the six games, the installed data, and the per-user folder the
// games run in (it holds the sound pack and the teacher's "O.txt" and "X.txt").
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kanae::launcher {

struct GameEntry {
  QString program;  // "Oltar"
  QString title;    // "オルタ文字"
  QString letter;   // the letter on its icon
  QString colour;   // the icon's colour, "#e8704a"
  QString comment;  // what the child does
  QString teaches;  // what the game teaches, for the teacher
};

// The six games, in the order the teacher knows them.
const std::vector<GameEntry>& Games();
QStringList GamePrograms();

// The installed data (sounds/, demo_lesson/): share/kanae next to the bin
// folder, unless KANAE_DATA_DIR names another.
QString InstalledDataFolder();

// The per-user folder, filled from the sound pack; files already there are
// kept, so a teacher's edited messages and sounds survive updates. Empty,
// with the folder in error, when it cannot be made.
QString PrepareUserFolder(const QString& data, QString& error);

// The game's program, installed next to this one.
QString GameProgram(const QString& program);

}  // namespace kanae::launcher
