// The class as large tiles before a game starts, full screen: the window of
// the class chooser's model (who plays), drawn and fed with the pointer,
// switches and Esc (back to the menu).
#pragma once

#include <QHash>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>

#include "class_chooser.h"
#include "platform/qt/qt_timers.h"

namespace kanae::menu {

class ClassChooserWidget : public QWidget {
 public:
  // chosen: the child's name ("" for なまえなし); cancelled: Esc.
  ClassChooserWidget(const std::vector<Child>& children, const QString& list_folder, const InputSettings& input,
                     QSize screen, std::function<void(const QString&)> chosen, std::function<void()> cancelled);

  const ClassChooser& Model() const { return *chooser_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const QPixmap& Picture(const std::string& path);

  QtTimerFactory timers_;
  std::unique_ptr<ClassChooser> chooser_;
  std::function<void()> cancelled_;
  QHash<QString, QPixmap> pictures_;
};

// Shows the class kept in class_folder ("" for the user's own) full screen,
// with the dwell and switch settings of the lesson folder; nullptr (and
// nothing shown) when the class has no children.
ClassChooserWidget* ShowClassChooser(const QString& class_folder, const QString& lesson,
                                     std::function<void(const QString&)> chosen, std::function<void()> cancelled);

}  // namespace kanae::menu
