#include "qt_timers.h"

namespace kanae {

QtTimer::QtTimer(int interval, std::function<void()> after_tick) {
  timer_.setInterval(interval);
  QObject::connect(&timer_, &QTimer::timeout, [this, after_tick = std::move(after_tick)] {
    Fire();
    if (after_tick) after_tick();
  });
}

void QtTimer::SetEnabled(bool enabled) {
  if (enabled && !timer_.isActive()) {
    timer_.start();
  } else if (!enabled) {
    timer_.stop();
  }
}

void QtTimer::SetInterval(int milliseconds) {
  const bool active = timer_.isActive();
  timer_.setInterval(milliseconds);
  if (active) timer_.start();
}

}  // namespace kanae
