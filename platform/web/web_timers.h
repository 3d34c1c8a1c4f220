// The game window's timers, ticking through the page's event loop.
#pragma once

#include <memory>
#include <unordered_map>

#include "platform/timer.h"

namespace kanae::web {

class WebTimer;

class WebTimerFactory : public TimerFactory {
 public:
  ~WebTimerFactory() override;
  std::unique_ptr<Timer> CreateTimer(int interval_milliseconds) override;
  // A tick of timer id came from the page; a timer stopped or gone since
  // its tick was queued ignores it.
  void Tick(int id);

 private:
  friend class WebTimer;
  std::unordered_map<int, WebTimer*> timers_;
  int next_id_ = 1;
};

}  // namespace kanae::web
