#include "game_window.h"

#include "accepted_keys.h"

#include <utility>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <vector>

namespace kanae {

namespace {

// Small screens still keep a handful of pictures.
constexpr std::size_t kMinimumPictureBudget = 8u << 20;

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

int TextFlags(const Control& c) {
  return (c.centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignTop)) | Qt::TextWrapAnywhere;
}

bool Drawn(const Control& c) { return c.visible && c.width > 0 && c.height > 0; }

// Whether two states of a control look the same on screen.
bool SameLook(const Control& a, const Control& b) {
  if (!Drawn(a) && !Drawn(b)) return true;
  return Drawn(a) == Drawn(b) && a.kind == b.kind && a.left == b.left && a.top == b.top && a.width == b.width &&
         a.height == b.height && a.z == b.z && a.caption == b.caption && a.font_points == b.font_points &&
         a.fore_colour == b.fore_colour && a.back_colour == b.back_colour && a.transparent == b.transparent &&
         a.centred == b.centred && a.picture == b.picture;
}

// Where a control's drawing can reach: its rectangle and, for a caption
// larger than its label, the text running over the edge.
QRect DrawnArea(const Control& c) {
  if (!Drawn(c)) return {};
  const QRectF area = PixelRect(c);
  QRectF reach = area;
  if (c.kind == ControlKind::kLabel && !c.caption.empty()) {
    reach |= QFontMetricsF(LabelFont(c.font_points)).boundingRect(area, TextFlags(c), ToQString(c.caption));
  }
  return reach.toAlignedRect().adjusted(-2, -2, 2, 2);
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

// Room for twice the screen in pictures at their shown size: the question on
// screen, the next one and a few recent ones.
std::size_t PictureBudget(const Form& form) {
  const std::size_t screen_bytes = static_cast<std::size_t>(std::max(0, form.width / 15)) *
                                   static_cast<std::size_t>(std::max(0, form.height / 15)) * 4;
  return std::max(kMinimumPictureBudget, 2 * screen_bytes);
}

}  // namespace

GameWindow::GameWindow(Lesson& lesson, Game& game, std::shared_ptr<ShownPictureStore> store)
    : lesson_(lesson),
      game_(game),
      pictures_(
          PictureBudget(lesson.form), [this](const std::string& path, QSize size) { OnPictureArrived(path, size); },
          std::move(store)) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_AcceptTouchEvents, false);  // taps arrive as synthesised mouse events
  setFocusPolicy(Qt::StrongFocus);
  setWindowTitle(ToQString(game.Info().title));
}

void GameWindow::Refresh() {
  SyncPointer();
  const QRegion changed = TakeChanges();
  if (!changed.isEmpty()) update(changed);
  if (!changed.isEmpty() || lesson_.fields.question_index != requested_for_question_) RequestPictures();
}

void GameWindow::PaintNow() {
  SyncPointer();
  TakeChanges();
  repaint();
  RequestPictures();
}

QRegion GameWindow::TakeChanges() {
  const auto& controls = lesson_.form.Controls();
  QRegion changed;
  if (lesson_.form.back_colour != drawn_back_colour_) {
    drawn_back_colour_ = lesson_.form.back_colour;
    changed = rect();
  }
  if (drawn_.size() < controls.size()) drawn_.resize(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (SameLook(drawn_[i], controls[i])) continue;
    changed += DrawnArea(drawn_[i]);
    changed += DrawnArea(controls[i]);
    drawn_[i] = controls[i];
  }
  // The dwell ring and the scanning frame lie inside their answer's area:
  // a change repaints only there (the ring fills many times a second).
  const AnswerMarkers& markers = lesson_.form.markers;
  if (markers.dwell_target != drawn_markers_.dwell_target ||
      markers.dwell_progress != drawn_markers_.dwell_progress ||
      markers.scan_target != drawn_markers_.scan_target) {
    changed += drawn_marker_area_;
    drawn_marker_area_ = QRegion();
    for (const Control* target : {markers.dwell_target, markers.scan_target}) {
      if (target != nullptr) drawn_marker_area_ += DrawnArea(*target);
    }
    changed += drawn_marker_area_;
    drawn_markers_ = markers;
  }
  return changed;
}

QSize GameWindow::ShownSize(const Control& image) const {
  const double ratio = devicePixelRatioF();
  return QSize(std::max(1, qRound(TwipsToPixels(image.width) * ratio)),
               std::max(1, qRound(TwipsToPixels(image.height) * ratio)));
}

void GameWindow::RequestPictures() {
  requested_for_question_ = lesson_.fields.question_index;
  // What is on screen first, then what the next question will show: the task
  // after this one and, for a retry (or a right answer already counted), this
  // one, at every size an image control has now.
  std::vector<QSize> sizes;
  for (const Control& c : lesson_.form.Controls()) {
    if (c.kind != ControlKind::kImage || c.width <= 0 || c.height <= 0) continue;
    const QSize size = ShownSize(c);
    if (c.visible && !c.picture.empty()) pictures_.Request(c.picture, size, true);
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
  }
  // Until the first question is on screen, its pictures have the cores to themselves.
  if (!ready_traced_) return;
  const auto& tasks = lesson_.state.task_pictures;
  const int count = static_cast<int>(tasks.size());
  if (count == 0) return;
  const int question = std::clamp(lesson_.fields.question_index, 0, count - 1);
  for (int ahead : {0, 1}) {
    const std::string path = PathToUtf8(lesson_.PicturePath(tasks[(question + ahead) % count]));
    for (QSize size : sizes) pictures_.Request(path, size, false);
  }
}

void GameWindow::OnPictureArrived(const std::string& utf8_path, QSize size) {
  for (const Control& c : lesson_.form.Controls()) {
    if (c.kind == ControlKind::kImage && Drawn(c) && c.picture == utf8_path && ShownSize(c) == size) {
      update(DrawnArea(c));
    }
  }
}

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
    if (Drawn(c)) order.push_back(&c);
  }
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->z < b->z; });

  bool all_pictures = true;
  for (const Control* c : order) {
    const QRectF area = PixelRect(*c);
    if (c->kind == ControlKind::kImage) {
      if (c->picture.empty()) continue;
      // Only what has been decoded; a late picture repaints its own rectangle
      // when it arrives.
      const QSize size = ShownSize(*c);
      const QImage* image = pictures_.Find(c->picture, size);
      if (image == nullptr) {
        all_pictures = false;
        pictures_.Request(c->picture, size, true);
      } else if (image->isNull()) {
        DrawPlaceholder(painter, area);
      } else {
        painter.drawImage(area, *image);
      }
      continue;
    }
    if (!c->transparent) painter.fillRect(area, ToQColor(c->back_colour));
    if (c->caption.empty()) continue;
    painter.setFont(LabelFont(c->font_points));
    painter.setPen(ToQColor(c->fore_colour));
    painter.drawText(area, TextFlags(*c), ToQString(c->caption));
  }
  PaintMarkers(painter);
  painter.end();
  shows_all_pictures_ = all_pictures;

  if (first_shown_) QMetaObject::invokeMethod(this, std::exchange(first_shown_, {}), Qt::QueuedConnection);
  if (!ready_traced_ && lesson_.HasShownQuestion() && all_pictures) {
    ready_traced_ = true;
    // Posted, so it is written once this frame has been handed to the window
    // system, and nothing else runs in between.
    QMetaObject::invokeMethod(
        this,
        [this] {
          lesson_.Platform().trace.Event("ready");
          RequestPictures();
        },
        Qt::QueuedConnection);
  }
}

void GameWindow::PaintMarkers(QPainter& painter) {
  const AnswerMarkers& markers = lesson_.form.markers;
  // Thick, in a colour no game draws with, and edged in black on both sides:
  // the gold alone is lost on a yellow picture, the black alone on a dark one.
  const QColor marker_colour(255, 215, 0);
  const QColor outline_colour(0, 0, 0);
  if (markers.scan_target != nullptr && markers.scan_target->visible) {
    const QRectF area = PixelRect(*markers.scan_target);
    const double thickness = std::max(6.0, std::min(area.width(), area.height()) / 12);
    const double edge = std::max(2.0, thickness / 4);
    // The outline is drawn first and the gold over its middle, all inside the answer.
    const double outer = thickness + 2 * edge;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(outline_colour, outer, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(area.adjusted(outer / 2, outer / 2, -outer / 2, -outer / 2));
    painter.setPen(QPen(marker_colour, thickness, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(area.adjusted(outer / 2, outer / 2, -outer / 2, -outer / 2));
  }
  if (markers.dwell_target != nullptr && markers.dwell_target->visible) {
    // A ring around the answer that fills clockwise from the top as the
    // pointer rests; drawn over the answer, the layout stays as it is. Its
    // black track shows where it will fill and edges the gold as it does.
    const QRectF area = PixelRect(*markers.dwell_target);
    const double side = std::min(area.width(), area.height()) * 0.9;
    const double thickness = std::max(8.0, side / 8);
    const double edge = std::max(2.0, thickness / 4);
    const double inset = thickness / 2 + edge;
    const QRectF ring(area.center().x() - side / 2 + inset, area.center().y() - side / 2 + inset, side - 2 * inset,
                      side - 2 * inset);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(outline_colour, thickness + 2 * edge));
    painter.drawEllipse(ring);
    painter.setPen(QPen(marker_colour, thickness, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(ring, 90 * 16, -static_cast<int>(markers.dwell_progress * 360 * 16));
  }
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
}

void GameWindow::mouseMoveEvent(QMouseEvent* event) {
  Deliver(PointerAction::kMove, event->position(), 0);
  Refresh();
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
  const AcceptedKey* key = AcceptedKeyFor(event->key());
  if (key == nullptr) {
    QWidget::keyPressEvent(event);
    return;
  }
  lesson_.OnKey(static_cast<int>(key->key));
  Refresh();
}

void GameWindow::closeEvent(QCloseEvent* event) {
  // Closed from outside (the title bar's ×, Alt+F4): the lesson ends as with
  // Esc, every answer on disk and the exit traced.
  lesson_.OnKey(static_cast<int>(Key::kEscape));
  event->accept();
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
