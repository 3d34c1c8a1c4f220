#include "trace.h"

#include <cstdlib>
#include <utility>

namespace kanae {

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();

// Control characters inside details would break the one-line format (a tab
// splits a field, a line break or NUL ends the line): they are written as
// escapes. Everything else, backslashes included, is written as it is.
std::string Clean(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      out.push_back(c);
      continue;
    }
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\0': out += "\\0"; break;
      default:
        out += "\\x";
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0xF]);
    }
  }
  return out;
}

}  // namespace

Trace& Trace::FromEnvironment() {
  static Trace trace(std::getenv("KANAE_TRACE") != nullptr ? std::getenv("KANAE_TRACE") : "");
  return trace;
}

Trace::Trace(const std::string& file) {
  if (!file.empty()) file_ = std::fopen(file.c_str(), "a");
}

Trace::Trace(LineSink sink) : sink_(std::move(sink)) {}

Trace::~Trace() {
  if (file_ != nullptr) std::fclose(file_);
}

void Trace::Write(std::string_view event, std::initializer_list<std::string_view> details) {
  if (file_ == nullptr && !sink_) return;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kProcessStart);
  std::string line = std::to_string(ms.count()) + "\t" + Clean(event);
  for (std::string_view detail : details) line += "\t" + Clean(detail);
  if (sink_) {
    sink_(line);
    return;
  }
  line += "\n";
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

void Trace::Event(std::string_view event) { Write(event, {}); }

void Trace::Event(std::string_view event, std::string_view detail) { Write(event, {detail}); }

void Trace::Event(std::string_view event, std::string_view detail1, std::string_view detail2) {
  Write(event, {detail1, detail2});
}

}  // namespace kanae
