#include "hold_to_act.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kanae::menu {

namespace {

// The hold's own key code: the button is held as a key would be.
constexpr int kButton = 1;

}  // namespace

// A bar along the foot of the held button that fills in two seconds.
class HoldBar : public QWidget {
 public:
  explicit HoldBar(QWidget* button) : QWidget(button) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName("hold_bar");
    hide();
  }
  void Show(double progress) {
    progress_ = progress;
    const int height = std::max(6, parentWidget()->height() / 6);
    setGeometry(0, parentWidget()->height() - height, parentWidget()->width(), height);
    show();
    raise();
    update();
  }
  double Progress() const { return progress_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(90, 90, 90));
    painter.fillRect(QRect(0, 0, static_cast<int>(width() * progress_), height()), QColor(0, 120, 215));
  }

 private:
  double progress_ = 0.0;
};

HoldToAct::HoldToAct(QAbstractButton* button, std::function<bool()> locked)
    : QObject(button), button_(button), locked_(std::move(locked)), bar_(new HoldBar(button)) {
  elapsed_.start();
  clock_ = [this] { return elapsed_.elapsed(); };
  ticks_.setInterval(50);
  connect(&ticks_, &QTimer::timeout, this, [this] { Tick(); });
  button->installEventFilter(this);
}

bool HoldToAct::eventFilter(QObject* watched, QEvent* event) {
  if (watched != button_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (!locked_()) return false;
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        hold_.Press(kButton, clock_(), false);
        ticks_.start();
        Tick();
      }
      return true;  // the button itself never sees the press, so a click does nothing
    case QEvent::MouseButtonRelease:
      if (!locked_()) return false;
      Forget();
      return true;
    case QEvent::MouseMove:
      return locked_();
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // Space or Enter would press the button from the keyboard at once.
      if (!locked_()) return false;
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Select: return true;
        default: return false;
      }
    case QEvent::Hide:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate: Forget(); return false;
    default: return false;
  }
}

void HoldToAct::Tick() {
  const qint64 now = clock_();
  const bool act = hold_.Poll(now) != 0;
  if (hold_.Holding() != 0) {
    bar_->Show(hold_.Progress(now));
  } else {
    bar_->hide();
    ticks_.stop();
  }
  if (act) {
    Forget();
    button_->click();
  }
}

void HoldToAct::Forget() {
  hold_.Cancel();
  bar_->hide();
  ticks_.stop();
}

LockedClose::LockedClose(QWidget* window, std::function<bool()> locked)
    : QObject(window), window_(window), locked_(std::move(locked)) {
  window->installEventFilter(this);
}

bool LockedClose::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::Close) return false;
  if (std::exchange(allowed_, false) || !locked_()) return false;
  event->ignore();
  return true;
}

}  // namespace kanae::menu
