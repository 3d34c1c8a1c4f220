#include "model_json.h"

#include <algorithm>
#include <cstdio>

namespace kanae::web {

namespace {

bool Drawn(const Control& c) { return c.visible && c.width > 0 && c.height > 0; }

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// Which drawn control a pointer names: its place in the list, or -1.
int IndexOf(const std::vector<const Control*>& drawn, const Control* control) {
  const auto found = std::find(drawn.begin(), drawn.end(), control);
  return found == drawn.end() ? -1 : static_cast<int>(found - drawn.begin());
}

}  // namespace

std::string CssColour(Colour colour) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return buffer;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string ModelJson(const Form& form, const FrameExtras& extras) {
  std::vector<const Control*> drawn;
  for (const Control& c : form.Controls()) {
    if (Drawn(c)) drawn.push_back(&c);
  }
  // Back to front, as the window paints them.
  std::stable_sort(drawn.begin(), drawn.end(), [](const Control* a, const Control* b) { return a->z < b->z; });

  std::string json = "{\"width\":" + std::to_string(form.width) + ",\"height\":" + std::to_string(form.height) +
                     ",\"back\":" + JsonString(CssColour(form.back_colour)) +
                     ",\"pointerHidden\":" + (form.pointer_hidden ? "true" : "false") + ",\"controls\":[";
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const Control& c = *drawn[i];
    if (i > 0) json += ',';
    json += "{\"name\":" + JsonString(c.name) + ",\"left\":" + Number(c.left) + ",\"top\":" + Number(c.top) +
            ",\"width\":" + Number(c.width) + ",\"height\":" + Number(c.height);
    if (c.kind == ControlKind::kImage) {
      json += ",\"picture\":" + JsonString(c.picture) + "}";
      continue;
    }
    json += ",\"caption\":" + JsonString(ToUtf8(c.caption)) + ",\"points\":" + std::to_string(c.font_points) +
            ",\"fore\":" + JsonString(CssColour(c.fore_colour)) +
            ",\"back\":" + (c.transparent ? std::string("null") : JsonString(CssColour(c.back_colour))) +
            ",\"centred\":" + (c.centred ? "true" : "false") + "}";
  }
  json += "],\"dwell\":" + std::to_string(IndexOf(drawn, form.markers.dwell_target)) +
          ",\"dwellProgress\":" + Number(form.markers.dwell_progress) +
          ",\"scan\":" + std::to_string(IndexOf(drawn, form.markers.scan_target)) + ",\"answers\":[";
  bool first = true;
  for (const Control* answer : extras.answers) {
    const int index = IndexOf(drawn, answer);
    if (index < 0) continue;
    if (!first) json += ',';
    first = false;
    json += std::to_string(index);
  }
  json += "],\"picturesAhead\":[";
  for (std::size_t i = 0; i < extras.pictures_ahead.size(); ++i) {
    if (i > 0) json += ',';
    json += JsonString(extras.pictures_ahead[i]);
  }
  json += std::string("],\"reportFrames\":") + (extras.report_frames ? "true" : "false") + "}";
  return json;
}

}  // namespace kanae::web
