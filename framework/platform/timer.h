// A timer of the game window: ticks on the GUI thread every interval while enabled.
#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace kanae {

class Timer {
 public:
  virtual ~Timer() = default;
  // Enabling an enabled timer changes nothing; enabling a disabled one starts a new interval.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  // A new interval takes effect from now.
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;

  void SetTickHandler(std::function<void()> handler) { tick_ = std::move(handler); }

 protected:
  void Fire() {
    if (tick_) tick_();
  }

 private:
  std::function<void()> tick_;
};

class TimerFactory {
 public:
  virtual ~TimerFactory() = default;
  // A new timer, disabled, with the given interval.
  virtual std::unique_ptr<Timer> CreateTimer(int interval_milliseconds) = 0;
};

}  // namespace kanae
