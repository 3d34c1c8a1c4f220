#include "game_window.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <vector>

namespace kanae {

namespace {

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QString ToQString(const Text& text) { return QString::fromStdU32String(text); }

QFont LabelFont(int points) {
  QFont font;
  font.setFamilies({"IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "VL Gothic", "sans-serif"});
  font.setBold(true);
  // A point is 4/3 of a logical pixel at 96 dpi.
  font.setPixelSize(std::max(1, static_cast<int>(points * 4.0 / 3.0 + 0.5)));
  return font;
}

QRectF PixelRect(const Control& c) {
  return QRectF(TwipsToPixels(c.left), TwipsToPixels(c.top), TwipsToPixels(c.width), TwipsToPixels(c.height));
}

// 1 left, 2 right, 4 middle; other buttons (back, forward) are 0 and answer nothing.
int ButtonNumber(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

}  // namespace

GameWindow::GameWindow(Lesson& lesson, Game& game)
    : lesson_(lesson), game_(game), pictures_(QSize(lesson.form.width / 15, lesson.form.height / 15)) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_AcceptTouchEvents, false);  // taps arrive as synthesised mouse events
  setFocusPolicy(Qt::StrongFocus);
  setWindowTitle(ToQString(game.Info().title));
}

void GameWindow::Refresh() {
  SyncPointer();
  update();
}

void GameWindow::PaintNow() {
  SyncPointer();
  repaint();
}

void GameWindow::Prepare(const std::string& utf8_path) { pictures_.Get(utf8_path); }

bool GameWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    lesson_.Activate();
    Refresh();
  }
  return QWidget::event(event);
}

void GameWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(lesson_.form.back_colour));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);

  std::vector<const Control*> order;
  for (const Control& c : lesson_.form.Controls()) {
    if (c.visible && c.width > 0 && c.height > 0) order.push_back(&c);
  }
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->z < b->z; });

  for (const Control* c : order) {
    const QRectF area = PixelRect(*c);
    if (c->kind == ControlKind::kImage) {
      if (c->picture.empty()) continue;
      const QImage& image = pictures_.Get(c->picture);
      if (!image.isNull()) painter.drawImage(area, image);
      continue;
    }
    if (!c->transparent) painter.fillRect(area, ToQColor(c->back_colour));
    if (c->caption.empty()) continue;
    painter.setFont(LabelFont(c->font_points));
    painter.setPen(ToQColor(c->fore_colour));
    const int align = c->centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignTop);
    painter.drawText(area, align | Qt::TextWrapAnywhere, ToQString(c->caption));
  }
  painter.end();

  if (!ready_traced_ && lesson_.HasShownQuestion()) {
    ready_traced_ = true;
    lesson_.Platform().trace.Event("ready");
    PrepareNextPictures();
  }
}

void GameWindow::PrepareNextPictures() {
  const auto& tasks = lesson_.state.TaskPictures;
  if (tasks.empty()) return;
  const int next = (lesson_.fields.QuestionIndex + 1) % static_cast<int>(tasks.size());
  Prepare(PathToUtf8(lesson_.PicturePath(tasks[next])));
}

void GameWindow::Deliver(PointerAction action, QPointF position, int button) {
  PointerEvent pointer;
  pointer.action = action;
  pointer.button = button;
  pointer.control = lesson_.form.HitTest(position.x() * 15.0, position.y() * 15.0);
  game_.OnPointer(pointer);
}

void GameWindow::mousePressEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  // A finger landing on a control has not moved onto it first; in touch mode
  // the landing itself must answer.
  Deliver(PointerAction::kMove, at, 0);
  pressed_ = lesson_.form.HitTest(at.x() * 15.0, at.y() * 15.0);
  Deliver(PointerAction::kPress, at, ButtonNumber(event->button()));
  Refresh();
}

void GameWindow::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  const Control* released = lesson_.form.HitTest(at.x() * 15.0, at.y() * 15.0);
  if (event->button() == Qt::LeftButton && released != nullptr && released == pressed_) {
    Deliver(PointerAction::kClick, at, 1);
  }
  pressed_ = nullptr;
  Refresh();
  PrepareNextPictures();
}

void GameWindow::mouseMoveEvent(QMouseEvent* event) {
  Deliver(PointerAction::kMove, event->position(), 0);
  Refresh();
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape: lesson_.OnKey(static_cast<int>(Key::kEscape)); break;
    case Qt::Key_H: lesson_.OnKey(static_cast<int>(Key::kH)); break;
    case Qt::Key_N: lesson_.OnKey(static_cast<int>(Key::kN)); break;
    case Qt::Key_R: lesson_.OnKey(static_cast<int>(Key::kR)); break;
    default: QWidget::keyPressEvent(event); return;
  }
  Refresh();
}

void GameWindow::SyncPointer() {
  if (lesson_.form.pointer_hidden == pointer_hidden_) return;
  pointer_hidden_ = lesson_.form.pointer_hidden;
  if (!pointer_hidden_) {
    unsetCursor();
    return;
  }
  // The teacher's "Clear.ico" when it is there; hidden all the same when not.
  const QPixmap icon(QString::fromStdString(PathToUtf8(lesson_.CurrentFolderFile(U"Clear.ico"))));
  setCursor(icon.isNull() ? QCursor(Qt::BlankCursor) : QCursor(icon));
}

}  // namespace kanae
