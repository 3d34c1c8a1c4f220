#include "kiosk_lock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "lesson.h"

namespace kanae {

namespace {

// The lesson's code of a teacher's key, or 0 for any other key.
int TeacherKey(int qt_key) {
  switch (qt_key) {
    case Qt::Key_Escape: return static_cast<int>(Key::kEscape);
    case Qt::Key_H: return static_cast<int>(Key::kH);
    case Qt::Key_N: return static_cast<int>(Key::kN);
    case Qt::Key_S: return static_cast<int>(Key::kS);
    case Qt::Key_R: return static_cast<int>(Key::kR);
    default: return 0;
  }
}

int QtKey(int key_code) {
  switch (static_cast<Key>(key_code)) {
    case Key::kEscape: return Qt::Key_Escape;
    case Key::kH: return Qt::Key_H;
    case Key::kN: return Qt::Key_N;
    case Key::kS: return Qt::Key_S;
    case Key::kR: return Qt::Key_R;
    default: return 0;
  }
}

QString HintText(int key_code) {
  switch (static_cast<Key>(key_code)) {
    case Key::kEscape: return QStringLiteral("Esc を押し続けると終了します");
    case Key::kH: return QStringLiteral("H を押し続けると設定画面を開きます");
    case Key::kN: return QStringLiteral("N を押し続けると課題選択画面を開きます");
    case Key::kS: return QStringLiteral("S を押し続けると入力方法の設定を開きます");
    case Key::kR: return QStringLiteral("R を押し続けると学習記録を開きます");
    default: break;
  }
  return {};
}

// When the keyboard sent the event, by the window system's clock; -1 when
// it does not say (a synthesised event carries 0).
std::int64_t SentTime(const QKeyEvent& key) {
  return key.timestamp() == 0 ? -1 : static_cast<std::int64_t>(key.timestamp());
}

}  // namespace

// What the teacher sees while holding a key: its action and a bar that fills.
class HoldHint : public QWidget {
 public:
  explicit HoldHint(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
  }
  void Show(const QString& text, double progress) {
    text_ = text;
    progress_ = progress;
    QFont font = this->font();
    font.setPixelSize(std::max(14, parentWidget()->height() / 40));
    setFont(font);
    const int width = fontMetrics().horizontalAdvance(text_) + font.pixelSize() * 2;
    const int height = font.pixelSize() * 3;
    setGeometry((parentWidget()->width() - width) / 2, parentWidget()->height() - height * 2, width, height);
    show();
    raise();
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 200));
    painter.setPen(Qt::white);
    const int bar = height() / 6;
    painter.drawText(rect().adjusted(0, 0, 0, -bar * 2), Qt::AlignCenter, text_);
    const QRect track(bar, height() - bar * 2, width() - bar * 2, bar);
    painter.fillRect(track, QColor(90, 90, 90));
    painter.fillRect(QRect(track.topLeft(), QSize(static_cast<int>(track.width() * progress_), bar)), Qt::white);
  }

 private:
  QString text_;
  double progress_ = 0.0;
};

KioskLock::KioskLock(QWidget* window, Clock clock)
    : QObject(window), window_(window), hint_(new HoldHint(window)), clock_(std::move(clock)) {
  hint_->setObjectName("hold_hint");
  elapsed_.start();
  if (!clock_) clock_ = [this] { return elapsed_.elapsed(); };
  ticks_.setInterval(50);
  connect(&ticks_, &QTimer::timeout, this, [this] { Tick(); });
  window->installEventFilter(this);
}

bool KioskLock::Requested() { return qEnvironmentVariable("KANAE_KIOSK") == QStringLiteral("1"); }

bool KioskLock::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || passing_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      const int code = TeacherKey(key->key());
      if (code == 0) return false;
      hold_.Press(code, clock_(), key->isAutoRepeat(), SentTime(*key));
      if (hold_.Holding() != 0 && !ticks_.isActive()) ticks_.start();
      Tick();
      return true;
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      const int code = TeacherKey(key->key());
      if (code == 0) return false;
      hold_.Release(code, clock_(), key->isAutoRepeat(), SentTime(*key));
      Tick();
      return true;
    }
    case QEvent::Close:
      // A child's Alt+F4 must not end the lesson either; Esc held still does.
      event->ignore();
      return true;
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::Hide: Forget(); return false;
    default: return false;
  }
}

void KioskLock::Tick() {
  const qint64 now = clock_();
  const int action = hold_.Poll(now);
  if (hold_.Holding() != 0) {
    hint_->Show(HintText(hold_.Holding()), hold_.Progress(now));
  } else {
    hint_->hide();
    ticks_.stop();
  }
  if (action == 0) return;
  // The held key reaches the window as an ordinary press.
  QKeyEvent press(QEvent::KeyPress, QtKey(action), Qt::NoModifier);
  passing_ = true;
  QApplication::sendEvent(window_, &press);
  passing_ = false;
}

void KioskLock::Forget() {
  hold_.Cancel();
  hint_->hide();
  ticks_.stop();
}

}  // namespace kanae
