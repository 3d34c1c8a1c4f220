#include "web_timers.h"

#include "page_bridge.h"

namespace kanae::web {

class WebTimer : public Timer {
 public:
  WebTimer(WebTimerFactory& factory, int id, int interval) : factory_(&factory), id_(id), interval_(interval) {
    factory.timers_[id] = this;
  }
  ~WebTimer() override {
    if (enabled_) page::StopTimer(id_);
    if (factory_ != nullptr) factory_->timers_.erase(id_);
  }

  void SetEnabled(bool enabled) override {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) {
      page::StartTimer(id_, interval_);
    } else {
      page::StopTimer(id_);
    }
  }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int milliseconds) override {
    interval_ = milliseconds;
    if (enabled_) page::StartTimer(id_, interval_);  // the page restarts it: a new interval from now
  }
  int Interval() const override { return interval_; }

  void Tick() {
    if (enabled_) Fire();
  }
  void Forget() { factory_ = nullptr; }

 private:
  WebTimerFactory* factory_;
  int id_;
  int interval_;
  bool enabled_ = false;
};

WebTimerFactory::~WebTimerFactory() {
  for (auto& [id, timer] : timers_) timer->Forget();
}

std::unique_ptr<Timer> WebTimerFactory::CreateTimer(int interval_milliseconds) {
  return std::make_unique<WebTimer>(*this, next_id_++, interval_milliseconds);
}

void WebTimerFactory::Tick(int id) {
  const auto found = timers_.find(id);
  if (found != timers_.end()) found->second->Tick();
}

}  // namespace kanae::web
