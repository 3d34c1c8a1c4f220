#include "class_chooser_widget.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

namespace kanae::menu {

namespace {

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QRectF PixelRect(const Control& c) { return QRectF(c.left / 15.0, c.top / 15.0, c.width / 15.0, c.height / 15.0); }

std::filesystem::path PathOf(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

QString QtPath(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), static_cast<qsizetype>(u8.size()));
}

}  // namespace

ClassChooserWidget* ShowClassChooser(const QString& class_folder, const QString& lesson,
                                     std::function<void(const QString&)> chosen, std::function<void()> cancelled) {
  const std::filesystem::path list_file = ClassListFile(PathOf(class_folder));
  const std::vector<Child> children = LoadClassList(list_file).children;
  if (children.empty()) return nullptr;
  InputSettings input;
  ReadInputSettings(PathOf(lesson) / std::filesystem::path(u8"入力.txt"), input);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  auto* chooser = new ClassChooserWidget(children, QtPath(list_file.parent_path()), input, area.size(),
                                         std::move(chosen), std::move(cancelled));
  chooser->setGeometry(area);
  chooser->showFullScreen();
  chooser->activateWindow();
  chooser->setFocus();
  return chooser;
}

ClassChooserWidget::ClassChooserWidget(const std::vector<Child>& children, const QString& list_folder,
                                       const InputSettings& input, QSize screen,
                                       std::function<void(const QString&)> chosen, std::function<void()> cancelled)
    : timers_([this] { update(); }), cancelled_(std::move(cancelled)) {
  setObjectName("class_chooser");
  setWindowTitle(QStringLiteral("だれが　あそぶ？"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  chooser_ = std::make_unique<ClassChooser>(
      children, PathOf(list_folder), screen.width() * 15, screen.height() * 15, input, timers_,
      [chosen = std::move(chosen)](const Text& child) { chosen(QString::fromStdU32String(child)); });
}

const QPixmap& ClassChooserWidget::Picture(const std::string& path) {
  const QString name = QString::fromStdString(path);
  auto it = pictures_.find(name);
  if (it == pictures_.end()) it = pictures_.insert(name, QPixmap(name));
  return it.value();
}

void ClassChooserWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const Form& form = chooser_->form();
  painter.fillRect(rect(), ToQColor(form.back_colour));
  std::vector<const Control*> controls;
  for (const Control& c : form.Controls()) {
    if (c.visible && c.width > 0 && c.height > 0) controls.push_back(&c);
  }
  std::stable_sort(controls.begin(), controls.end(), [](const Control* a, const Control* b) { return a->z < b->z; });
  for (const Control* c : controls) {
    const QRectF area = PixelRect(*c);
    const qreal radius = std::min(area.width(), area.height()) / 10;
    if (c->kind == ControlKind::kImage) {
      const QPixmap& picture = Picture(c->picture);
      QPainterPath clip;
      clip.addRoundedRect(area, radius, radius);
      painter.save();
      painter.setClipPath(clip);
      painter.fillRect(area, Qt::white);
      if (!picture.isNull()) {
        const QPixmap shown = picture.scaled(area.size().toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawPixmap(QPointF(area.center().x() - shown.width() / 2.0, area.center().y() - shown.height() / 2.0),
                           shown);
      } else {
        painter.setPen(QColor(96, 96, 96));
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("？"));
      }
      painter.restore();
      continue;
    }
    if (!c->transparent) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(ToQColor(c->back_colour));
      painter.drawRoundedRect(area, radius, radius);
    }
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(c->font_points * 4.0 / 3.0 + 0.5)));
    painter.setFont(font);
    painter.setPen(ToQColor(c->fore_colour));
    painter.drawText(area, (c->centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop) | Qt::TextWordWrap,
                     QString::fromStdU32String(c->caption));
  }
  // The dwell ring and the scanning frame, as in the games.
  const AnswerMarkers& markers = form.markers;
  if (markers.scan_target != nullptr) {
    const QRectF area = PixelRect(*markers.scan_target);
    const qreal frame = std::max<qreal>(6, area.width() / 24);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x22, 0x22, 0x22), frame + 4));
    painter.drawRect(area.adjusted(-frame, -frame, frame, frame));
    painter.setPen(QPen(QColor(0xff, 0xc0, 0x00), frame));
    painter.drawRect(area.adjusted(-frame, -frame, frame, frame));
  }
  if (markers.dwell_target != nullptr) {
    const QRectF area = PixelRect(*markers.dwell_target);
    const qreal side = std::min(area.width(), area.height()) / 3;
    const QRectF ring(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), side / 6));
    painter.drawEllipse(ring);
    painter.setPen(QPen(QColor(0x3d, 0x5f, 0xc4), side / 8));
    painter.drawArc(ring, 90 * 16, -static_cast<int>(markers.dwell_progress * 360 * 16));
  }
}

void ClassChooserWidget::mouseMoveEvent(QMouseEvent* event) {
  chooser_->OnMove(event->position().x() * 15, event->position().y() * 15);
  update();
}

void ClassChooserWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  chooser_->OnClick(event->position().x() * 15, event->position().y() * 15);
}

void ClassChooserWidget::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      if (cancelled_) cancelled_();
      return;
    case Qt::Key_Space:
      chooser_->OnSwitch(false);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      chooser_->OnSwitch(true);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  update();
}

}  // namespace kanae::menu
