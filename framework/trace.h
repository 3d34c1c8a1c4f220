// The event trace for tests and benchmarks outside the program (KANAE_TRACE=FILE):
// one UTF-8 line per event, fields separated by tabs: milliseconds since the
// process started, the event, its details.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kanae {

class Trace {
 public:
  // Traces to the file named by KANAE_TRACE, or nowhere when it is unset.
  static Trace& FromEnvironment();

  explicit Trace(const std::string& file);
  // Traces each line (without its line end) to sink: a page's console.
  using LineSink = std::function<void(const std::string& line)>;
  explicit Trace(LineSink sink);
  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  void Event(std::string_view event);
  void Event(std::string_view event, std::string_view detail);
  void Event(std::string_view event, std::string_view detail1, std::string_view detail2);

 private:
  void Write(std::string_view event, std::initializer_list<std::string_view> details);

  std::FILE* file_ = nullptr;
  LineSink sink_;
};

}  // namespace kanae
