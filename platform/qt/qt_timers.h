// Game window timers on QTimer, ticking on the GUI thread.
#pragma once

#include <QTimer>
#include <functional>
#include <memory>

#include "platform/timer.h"

namespace kanae {

class QtTimer : public Timer {
 public:
  QtTimer(int interval, std::function<void()> after_tick);
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }
  void SetInterval(int milliseconds) override;
  int Interval() const override { return timer_.interval(); }

 private:
  QTimer timer_;
};

class QtTimerFactory : public TimerFactory {
 public:
  // after_tick runs after every tick's handler (the window repaints then).
  explicit QtTimerFactory(std::function<void()> after_tick) : after_tick_(std::move(after_tick)) {}
  std::unique_ptr<Timer> CreateTimer(int interval_milliseconds) override {
    return std::make_unique<QtTimer>(interval_milliseconds, after_tick_);
  }
  void SetAfterTick(std::function<void()> after_tick) { after_tick_ = std::move(after_tick); }

 private:
  std::function<void()> after_tick_;
};

}  // namespace kanae
