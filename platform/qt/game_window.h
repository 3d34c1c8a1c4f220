// The full-screen game window: renders the control model and turns pointer,
// touch and key input into calls of the framework and the game.
#pragma once

#include <QPainter>
#include <QWidget>
#include <functional>

#include "game.h"
#include "lesson.h"
#include "picture_cache.h"

namespace kanae {

class GameWindow : public QWidget {
 public:
  GameWindow(Lesson& lesson, Game& game);

  // Repaints after the model changed outside an input event (timer, speech).
  void Refresh();
  // Paints at once; used before waiting on a cue.
  void PaintNow();
  // Pre-decodes a picture so the next question shows without delay.
  void Prepare(const std::string& utf8_path);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Deliver(PointerAction action, QPointF position, int button);
  void SyncPointer();
  void PrepareNextPictures();
  void PaintMarkers(QPainter& painter);

  Lesson& lesson_;
  Game& game_;
  PictureCache pictures_;
  const Control* pressed_ = nullptr;
  bool pointer_hidden_ = false;
  bool ready_traced_ = false;
};

// The window's pixel position of a twip value.
inline double TwipsToPixels(double twips) { return twips / 15.0; }

}  // namespace kanae
