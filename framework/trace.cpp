#include "trace.h"

#include <cstdlib>

namespace kanae {

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();

// Tabs and line breaks inside details would break the one-line format.
std::string Clean(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
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

Trace::~Trace() {
  if (file_ != nullptr) std::fclose(file_);
}

void Trace::Write(std::string_view event, std::initializer_list<std::string_view> details) {
  if (file_ == nullptr) return;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kProcessStart);
  std::string line = std::to_string(ms.count()) + "\t" + Clean(event);
  for (std::string_view detail : details) line += "\t" + Clean(detail);
  line += "\n";
  std::fputs(line.c_str(), file_);
  std::fflush(file_);
}

void Trace::Event(std::string_view event) { Write(event, {}); }

void Trace::Event(std::string_view event, std::string_view detail) { Write(event, {detail}); }

void Trace::Event(std::string_view event, std::string_view detail1, std::string_view detail2) {
  Write(event, {detail1, detail2});
}

}  // namespace kanae
