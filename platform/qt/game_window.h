// The full-screen game window: renders the control model and turns pointer,
// touch and key input into calls of the framework and the game.
#pragma once

#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

#include "game.h"
#include "lesson.h"
#include "picture_cache.h"

namespace kanae {

class GameWindow : public QWidget {
 public:
  // With a store, pictures shown in an earlier run need no decoding.
  GameWindow(Lesson& lesson, Game& game, std::shared_ptr<ShownPictureStore> store = nullptr);

  // Repaints what changed in the model since the last refresh (nothing when
  // nothing visible changed) and asks for the pictures needed next. Called
  // after input, timer ticks and speech events. Something drawn outside the
  // control model (a dwell ring round the pointer) repaints only its own
  // rectangle with update(rect).
  void Refresh();
  // Paints at once; used before waiting on a cue.
  void PaintNow();
  // Whether the last frame held every picture it shows (a late one is drawn
  // the moment it has been decoded).
  bool ShowsAllPictures() const { return shows_all_pictures_; }
  // Runs then once, after the window's first frame has been handed to the
  // window system: what is said there is never heard before the window is seen.
  void WhenFirstShown(std::function<void()> then) { first_shown_ = std::move(then); }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Deliver(PointerAction action, QPointF position, int button);
  void SyncPointer();
  void PaintMarkers(QPainter& painter);
  // The window area whose look changed since the last call.
  QRegion TakeChanges();
  void RequestPictures();
  void OnPictureArrived(const std::string& utf8_path, QSize size);
  QSize ShownSize(const Control& image) const;

  Lesson& lesson_;
  Game& game_;
  PictureCache pictures_;
  std::vector<Control> drawn_;  // the model as last refreshed
  Colour drawn_back_colour_ = 0;
  AnswerMarkers drawn_markers_;
  QRegion drawn_marker_area_;
  const Control* pressed_ = nullptr;
  bool pointer_hidden_ = false;
  bool shows_all_pictures_ = false;
  bool ready_traced_ = false;
  std::function<void()> first_shown_;
  int requested_for_question_ = -1;
};

// The window's pixel position of a twip value.
inline double TwipsToPixels(double twips) { return twips / 15.0; }

}  // namespace kanae
