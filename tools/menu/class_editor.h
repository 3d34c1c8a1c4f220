// The teacher's editor of the class list: add, rename, reorder and remove
// children, give each a picture or a colour, and choose where the list is
// kept (the user's own folder, or a folder such as a school share).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <vector>

#include "class_list.h"

namespace kanae::menu {

class ClassEditor : public QDialog {
 public:
  // Asks for a picture file or a folder; empty when cancelled. Tests answer
  // without a dialog.
  using Ask = std::function<QString(const QString& start)>;
  using AskColour = std::function<std::optional<std::uint32_t>()>;

  // folder: where the list is kept ("" for the user's own folder).
  ClassEditor(const QString& folder, QWidget* parent);
  void SetAskers(Ask picture, Ask folder, AskColour colour);

  // The folder chosen to keep the list in ("" for the user's own).
  const QString& Folder() const { return folder_; }
  const std::vector<Child>& Children() const { return children_; }
  // Writes the list; false (and the teacher told) when it could not be.
  bool Save();

 private:
  void Load();
  void Refill(int select);
  void Add();
  void Rename();
  void Remove();
  void Move(int by);
  void ChoosePicture();
  void ChooseColour();
  void ChooseFolder(bool own);
  int Current() const;
  void Tell(const QString& text);

  QString folder_;
  std::vector<Child> children_;
  ClassListLoad load_ = ClassListLoad::kMissing;
  QListWidget* list_;
  QLineEdit* name_;
  QLabel* place_;
  QLabel* notice_;
  QPushButton* save_;
  Ask ask_picture_;
  Ask ask_folder_;
  AskColour ask_colour_;
};

}  // namespace kanae::menu
