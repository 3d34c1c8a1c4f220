// Under the key lock, a button of the menu acts only when held down for two
// seconds, as the games' teacher keys do: a child's click or tap does
// nothing. A bar along the button's foot shows how long is left. Without the
// lock the button behaves as any other.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "key_hold.h"

class QAbstractButton;

namespace kanae::menu {

class HoldBar;

class HoldToAct : public QObject {
 public:
  using Clock = std::function<qint64()>;  // milliseconds, steadily rising

  // locked: whether the lock is on now. When a hold completes, the button
  // is clicked (its own clicked handlers run, a check box toggles).
  HoldToAct(QAbstractButton* button, std::function<bool()> locked);

  // Tests measure the hold by their own clock.
  void UseClock(Clock clock) { clock_ = std::move(clock); }
  // Looks at the hold now (the ticks do this every 50 ms).
  void Tick();
  bool Holding() const { return hold_.Holding() != 0; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Forget();

  QAbstractButton* button_;
  std::function<bool()> locked_;
  HoldBar* bar_;
  KeyHold hold_;
  QElapsedTimer elapsed_;
  Clock clock_;
  QTimer ticks_;
};

// Under the lock, the window's close (Alt+F4, the window manager's ×) is
// refused; the menu's own held 終了 lets one close through.
class LockedClose : public QObject {
 public:
  LockedClose(QWidget* window, std::function<bool()> locked);
  // The next close is the teacher's: let it through.
  void AllowOnce() { allowed_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<bool()> locked_;
  bool allowed_ = false;
};

}  // namespace kanae::menu
