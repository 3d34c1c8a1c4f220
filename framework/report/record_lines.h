// Splits a byte stream into lines, fed in pieces of any size: CR LF, LF and a
// lone CR each end a line, as spreadsheets on every system write them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kanae::report {

struct PhysicalLine {
  std::string_view bytes;   // without the line end
  std::string_view ending;  // "\r\n", "\n", "\r", or empty for a last line without one
  int number = 0;           // from 1
  bool overlong = false;    // longer than kLongestLine; bytes holds its start only
};

inline constexpr std::size_t kLongestLine = 64 * 1024;

class LineSplitter {
 public:
  template <typename OnLine>
  void Feed(std::string_view chunk, OnLine on_line) {
    std::size_t at = 0;
    if (cr_pending_ && !chunk.empty()) {
      cr_pending_ = false;
      if (chunk[0] == '\n') {
        Emit(on_line, "\r\n");
        at = 1;
      } else {
        Emit(on_line, "\r");
      }
    }
    while (at < chunk.size()) {
      const std::size_t end = chunk.find_first_of("\r\n", at);
      if (end == std::string_view::npos) {
        Append(chunk.substr(at));
        return;
      }
      Append(chunk.substr(at, end - at));
      if (chunk[end] == '\n') {
        Emit(on_line, "\n");
        at = end + 1;
      } else if (end + 1 == chunk.size()) {
        cr_pending_ = true;  // the LF that may follow is in the next piece
        return;
      } else if (chunk[end + 1] == '\n') {
        Emit(on_line, "\r\n");
        at = end + 2;
      } else {
        Emit(on_line, "\r");
        at = end + 1;
      }
    }
  }

  template <typename OnLine>
  void End(OnLine on_line) {
    if (cr_pending_) {
      cr_pending_ = false;
      Emit(on_line, "\r");
    } else if (!line_.empty() || overlong_) {
      Emit(on_line, "");
    }
  }

 private:
  void Append(std::string_view bytes) {
    if (line_.size() + bytes.size() > kLongestLine) {
      overlong_ = true;
      bytes = bytes.substr(0, kLongestLine - line_.size());
    }
    line_ += bytes;
  }
  template <typename OnLine>
  void Emit(OnLine& on_line, std::string_view ending) {
    on_line(PhysicalLine{line_, ending, ++number_, overlong_});
    line_.clear();
    overlong_ = false;
  }

  std::string line_;
  bool cr_pending_ = false;
  bool overlong_ = false;
  int number_ = 0;
};

}  // namespace kanae::report
