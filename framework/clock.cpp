#include "clock.h"

#include <chrono>
#include <ctime>

namespace kanae {

std::int64_t SystemClock::SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string SystemClock::LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  // strftime gives +0900; ISO 8601 extended form wants +09:00.
  const std::string_view stamp(text);
  if (stamp.size() < 5) return std::string(stamp);
  return std::string(stamp.substr(0, stamp.size() - 2)) + ":" + std::string(stamp.substr(stamp.size() - 2));
}

}  // namespace kanae
