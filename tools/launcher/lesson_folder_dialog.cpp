#include "lesson_folder_dialog.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>

namespace kanae::launcher {

QFileDialog* MakeLessonFolderDialog(QWidget* parent, const QString& start) {
  auto* dialog = new QFileDialog(parent, QStringLiteral("レッスンのフォルダを選んでください"), start);
  dialog->setObjectName("lesson_folder_dialog");
  // Qt's own dialog, not the desktop's: only it can be made read-only, and
  // it follows the program's Japanese translation and font.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::ReadOnly);
  dialog->setFileMode(QFileDialog::Directory);
  // The pictures stay listed (greyed, not choosable), so the teacher sees
  // which folder holds a lesson before choosing it.
  dialog->setNameFilter(QStringLiteral("レッスンの絵 (*.jpg *.gif *.bmp *.JPG *.GIF *.BMP)"));
  dialog->setLabelText(QFileDialog::Accept, QStringLiteral("このフォルダを使う"));
  dialog->setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
  dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("場所："));
  dialog->setLabelText(QFileDialog::FileName, QStringLiteral("フォルダ："));
  dialog->setLabelText(QFileDialog::FileType, QStringLiteral("表示："));
  dialog->setViewMode(QFileDialog::List);

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize room = screen != nullptr ? screen->availableGeometry().size() : QSize(1024, 768);
  QFont font = dialog->font();
  font.setPixelSize(std::max(16, room.height() / 45));
  dialog->setFont(font);
  dialog->resize(room * 0.8);
  return dialog;
}

QString ChooseLessonFolder(QWidget* parent, const QString& start) {
  QFileDialog* dialog = MakeLessonFolderDialog(parent, start);
  QString chosen;
  if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) chosen = dialog->selectedFiles().first();
  delete dialog;
  return chosen;
}

}  // namespace kanae::launcher
