// Time as the learning record needs it: a steady count for response times and
// the local wall-clock time for the record's date column.
#pragma once

#include <cstdint>
#include <string>

namespace kanae {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a clock that never jumps; only differences matter.
  virtual std::int64_t SteadyMilliseconds() = 0;
  // Local date and time in ISO 8601 with the UTC offset, 2026-12-10T09:15:02+09:00.
  virtual std::string LocalDateTime() = 0;
};

class SystemClock : public Clock {
 public:
  std::int64_t SteadyMilliseconds() override;
  std::string LocalDateTime() override;
};

}  // namespace kanae
