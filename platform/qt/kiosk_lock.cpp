#include "kiosk_lock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "accepted_keys.h"
#include "lesson.h"

namespace kanae {

namespace {

// The lesson's code of a teacher's key, or 0 for any other key.
int TeacherKey(int qt_key) {
  const AcceptedKey* key = AcceptedKeyFor(qt_key);
  return key != nullptr && key->teacher ? static_cast<int>(key->key) : 0;
}

const AcceptedKey* Entry(int key_code) {
  for (const AcceptedKey& key : AcceptedKeys()) {
    if (static_cast<int>(key.key) == key_code) return &key;
  }
  return nullptr;
}

int QtKey(int key_code) {
  const AcceptedKey* key = Entry(key_code);
  return key != nullptr ? key->qt_key : 0;
}

QString HintText(int key_code) {
  const AcceptedKey* key = Entry(key_code);
  return key != nullptr ? QString::fromUtf8(key->held_hint) : QString();
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
