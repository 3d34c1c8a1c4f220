// The kiosk lock on the game window (KANAE_KIOSK=1): the teacher's keys reach the
// window only after being held for two seconds, while a small hint at the
// bottom of the screen shows how long is left. Other keys pass unchanged.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "key_hold.h"

namespace kanae {

class HoldHint;

class KioskLock : public QObject {
 public:
  using Clock = std::function<qint64()>;  // milliseconds, steadily rising
  // Watches the window's keys; the window owns the lock. Without a clock,
  // the time since the lock was made.
  explicit KioskLock(QWidget* window, Clock clock = {});

  // Whether the games were started with the lock (KANAE_KIOSK=1).
  static bool Requested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tick();
  void Forget();

  QWidget* window_;
  HoldHint* hint_;
  KeyHold hold_;
  QElapsedTimer elapsed_;
  Clock clock_;
  QTimer ticks_;
  bool passing_ = false;  // the held key's press, let through to the window
};

}  // namespace kanae
