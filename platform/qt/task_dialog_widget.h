// The task selection dialog window: every picture of the folder as a
// thumbnail with its word, in a grid that scrolls; a click or Space marks.
#pragma once

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "task_dialog.h"

namespace kanae {

class ThumbnailLoader;

class TaskDialogWidget : public QDialog {
 public:
  using PicturePath = std::function<std::filesystem::path(const Text& file_name)>;
  // on_decide runs 決定 and returns true when the dialog is done; on_leave
  // shows the game window; picture_path gives a picture's file.
  TaskDialogWidget(TaskDialog& model, PicturePath picture_path, std::function<bool()> on_decide,
                   std::function<void()> on_leave, QWidget* parent);
  ~TaskDialogWidget() override;

  void show_model();
  // Activates the model and shows the dialog over the game window.
  void Open();
  // Blocks until every thumbnail asked for so far has been decoded and shown.
  void WaitForThumbnails();
  // How many thumbnails are still being decoded.
  int ThumbnailsPending() const;
  // How many pictures show their thumbnail (or the mark of an unreadable one).
  int ThumbnailsShown() const { return thumbnails_shown_; }
  // Whether every picture in sight shows its thumbnail.
  bool ThumbnailsInSightShown() const;
  // Asks for the thumbnails in sight first, then those a page either way;
  // those far out of sight go back to the placeholder. Runs by itself after
  // the dialog opens, scrolls or changes size.
  void RequestThumbnailsInSight();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowThumbnail(const QString& path, const QImage& image);
  void ShowLoading();

  TaskDialog& model_;
  PicturePath picture_path_;
  QListWidget* list_;
  QPushButton* decide_;
  QPushButton* cancel_;
  QLabel* count_;  // what is marked and what the game needs
  QLabel* loading_;  // shown while thumbnails are being decoded
  QIcon loading_icon_;
  QTimer in_sight_timer_;  // one look at what is in sight after a scroll, a resize or a refill
  QSize thumbnail_size_;
  ThumbnailLoader* thumbnails_;
  QHash<QString, QListWidgetItem*> items_by_path_;
  int thumbnails_shown_ = 0;
};

}  // namespace kanae
