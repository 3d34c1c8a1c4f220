// The teacher's chooser of a lesson folder: Qt's own folder dialog, in
// Japanese, with type as large as the menu's, showing the pictures inside
// each folder, and read-only, so nothing in it can delete, rename or move a
// teacher's files or make new folders.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace kanae::launcher {

// The dialog, not yet shown (tests look inside it).
QFileDialog* MakeLessonFolderDialog(QWidget* parent, const QString& start);

// Asks for a folder, starting at start; empty when cancelled.
QString ChooseLessonFolder(QWidget* parent, const QString& start);

}  // namespace kanae::launcher
