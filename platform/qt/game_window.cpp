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

// A picture that cannot be shown: a plain frame with a question mark, so the
// teacher sees that something is missing rather than an empty screen.
void DrawPlaceholder(QPainter& painter, const QRectF& area) {
  painter.fillRect(area, Qt::white);
  const qreal frame = std::max<qreal>(2.0, std::min(area.width(), area.height()) / 60.0);
  painter.setPen(QPen(QColor(96, 96, 96), frame));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area.adjusted(frame / 2, frame / 2, -frame / 2, -frame / 2));
  QFont font = LabelFont(10);
  font.setPixelSize(std::max(1, static_cast<int>(std::min(area.width(), area.height()) / 2)));
  painter.setFont(font);
  painter.drawText(area, Qt::AlignCenter, QStringLiteral("？"));
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
  // Focus coming back from another program keeps the pass in progress; the
  // lesson restarts only at start-up and on leaving a dialog.
  if (event->type() == QEvent::WindowActivate) lesson_.OnWindowActivated();
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
      if (image.isNull()) {
        DrawPlaceholder(painter, area);
      } else {
        painter.drawImage(area, image);
      }
      continue;
    }
    if (!c->transparent) painter.fillRect(area, ToQColor(c->back_colour));
    if (c->caption.empty()) continue;
    painter.setFont(LabelFont(c->font_points));
    painter.setPen(ToQColor(c->fore_colour));
    const int align = c->centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignTop);
    painter.drawText(area, align | Qt::TextWrapAnywhere, ToQString(c->caption));
  }
  PaintMarkers(painter);
  painter.end();

  if (!ready_traced_ && lesson_.HasShownQuestion()) {
    ready_traced_ = true;
    lesson_.Platform().trace.Event("ready");
    PrepareNextPictures();
  }
}

void GameWindow::PaintMarkers(QPainter& painter) {
  const AnswerMarkers& markers = lesson_.form.markers;
  // Thick, and in a colour no game draws with, so the offered answer stands
  // out on every background.
  const QColor marker_colour(255, 215, 0);
  if (markers.scan_target != nullptr && markers.scan_target->visible) {
    const QRectF area = PixelRect(*markers.scan_target);
    const double thickness = std::max(6.0, std::min(area.width(), area.height()) / 12);
    painter.setPen(QPen(marker_colour, thickness));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(thickness / 2, thickness / 2, -thickness / 2, -thickness / 2));
  }
  if (markers.dwell_target != nullptr && markers.dwell_target->visible) {
    // A ring around the answer that fills clockwise from the top as the
    // pointer rests; drawn over the answer, the layout stays as it is.
    const QRectF area = PixelRect(*markers.dwell_target);
    const double side = std::min(area.width(), area.height()) * 0.9;
    const double thickness = std::max(8.0, side / 8);
    const QRectF ring(area.center().x() - side / 2 + thickness / 2, area.center().y() - side / 2 + thickness / 2,
                      side - thickness, side - thickness);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 140), thickness + 4));
    painter.drawEllipse(ring);
    painter.setPen(QPen(marker_colour, thickness, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(ring, 90 * 16, -static_cast<int>(markers.dwell_progress * 360 * 16));
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
  pointer.x = position.x() * 15.0;
  pointer.y = position.y() * 15.0;
  pointer.control = lesson_.form.HitTest(pointer.x, pointer.y);
  lesson_.OnPointer(pointer);
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
    case Qt::Key_S: lesson_.OnKey(static_cast<int>(Key::kS)); break;
    case Qt::Key_Space: lesson_.OnKey(static_cast<int>(Key::kSpace)); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: lesson_.OnKey(static_cast<int>(Key::kEnter)); break;
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
