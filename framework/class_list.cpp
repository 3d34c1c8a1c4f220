#include "class_list.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "text_normalisation.h"

namespace kanae {

namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\u3000'; }

}  // namespace

std::filesystem::path UserDataFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::filesystem::path(xdg) / "kanae";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / ".local" / "share" / "kanae";
}

std::filesystem::path ClassListFile(const std::filesystem::path& folder) {
  return (folder.empty() ? UserDataFolder() : folder) / PathOf(kClassListName);
}

namespace {

// CleanChildName before the cut.
Text TidyName(TextView name) {
  Text clean;
  for (const char32_t c : name) {
    if (c == U'\t' || c == U'\r' || c == U'\n') {
      clean += U' ';
    } else if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c != 0xFEFF) {
      clean += c;
    }
  }
  clean = ToNfc(clean);
  std::size_t first = 0;
  while (first < clean.size() && IsSpace(clean[first])) ++first;
  std::size_t end = clean.size();
  while (end > first && IsSpace(clean[end - 1])) --end;
  return clean.substr(first, end - first);
}

}  // namespace

Text CleanChildName(TextView name) { return Left(TidyName(name), kLongestChildName); }

Text ChildFromEnvironment() {
  const char* value = std::getenv("KANAE_CHILD");
  if (value == nullptr) return {};
  // Bounded before decoding: an environment variable can be very long.
  return CleanChildName(FromUtf8(std::string_view(value, strnlen(value, 4 * kLongestChildName + 4))));
}

std::optional<std::uint32_t> ParseColour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  std::uint32_t colour = 0;
  for (const char c : text.substr(1)) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    colour = colour * 16 + static_cast<std::uint32_t>(digit);
  }
  return colour;
}

std::string FormatColour(std::uint32_t colour) {
  static const char kHex[] = "0123456789abcdef";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += kHex[(colour >> shift) & 0xF];
  return text;
}

ClassList ParseClassList(TextView content) {
  ClassList list;
  list.load = ClassListLoad::kRead;
  std::set<Text> names;
  for (const Text& line : SplitLines(content)) {
    const std::size_t tab = line.find(U'\t');
    const TextView written_name = TextView(line).substr(0, tab);
    const Text name = TidyName(written_name);
    // A name cut to fit could be another child's name: such a line is left out, not shortened.
    const bool too_long = name.size() > kLongestChildName;
    if (name.empty() || too_long || names.count(name) > 0 || list.children.size() >= kMostChildren) {
      // A blank line between children is no fault of the file.
      if (!line.empty()) ++list.skipped;
      continue;
    }
    Child child;
    child.name = name;
    if (tab != Text::npos) {
      Text look = line.substr(tab + 1);
      while (!look.empty() && IsSpace(look.back())) look.pop_back();
      const std::string utf8 = ToUtf8(look);
      if (auto colour = ParseColour(utf8)) {
        child.colour = colour;
      } else if (!utf8.empty() && utf8.find('\t') == std::string::npos) {
        child.picture = utf8;
      }
    }
    names.insert(name);
    list.children.push_back(std::move(child));
  }
  if (list.skipped > 0) list.load = ClassListLoad::kRepaired;
  return list;
}

ClassList LoadClassList(const std::filesystem::path& file) {
  const TextFileContent content = ReadTextFile(file, Decoding::kDetected);
  ClassList list;
  switch (content.status) {
    case ReadStatus::kNotFound:
      list.load = ClassListLoad::kMissing;
      return list;
    case ReadStatus::kUnreadable:
      list.load = ClassListLoad::kUnreadable;
      list.error = ToUtf8(ReadFailureReason(content.error));
      return list;
    case ReadStatus::kNotText:
      list.load = ClassListLoad::kUnreadable;
      list.error = "文字のファイルではありません";
      return list;
    case ReadStatus::kOk:
      break;
  }
  list = ParseClassList(content.text);
  if (content.truncated) {
    ++list.skipped;
    list.load = ClassListLoad::kRepaired;
  }
  return list;
}

std::string FormatClassList(const std::vector<Child>& children) {
  std::string text;
  for (const Child& child : children) {
    text += ToUtf8(child.name);
    if (child.colour) {
      text += '\t' + FormatColour(*child.colour);
    } else if (!child.picture.empty()) {
      text += '\t' + child.picture;
    }
    text += "\r\n";
  }
  return text;
}

WriteOutcome SaveClassList(const std::filesystem::path& file, const std::vector<Child>& children,
                           ClassListLoad how_it_was_read) {
  if (how_it_was_read == ClassListLoad::kUnreadable) {
    return {false, "クラスの名簿が読めなかったので、上書きしませんでした"};
  }
  std::error_code ec;
  if (how_it_was_read == ClassListLoad::kRepaired) {
    // The bytes as they were, the part beyond the size limit included.
    std::filesystem::path backup = file;
    backup += ".bak";
    std::filesystem::copy_file(file, backup, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return {false, "元の名簿を残せませんでした: " + ec.message()};
  }
  std::filesystem::create_directories(file.parent_path(), ec);
  std::vector<Text> lines;
  for (const Child& child : children) {
    Text line = CleanChildName(child.name);
    if (line.empty()) continue;
    if (child.colour) {
      line += U'\t' + FromUtf8(FormatColour(*child.colour));
    } else if (!child.picture.empty()) {
      line += U'\t' + FromUtf8(child.picture);
    }
    lines.push_back(std::move(line));
    if (lines.size() >= kMostChildren) break;
  }
  return ReplaceTextFile(file, lines, true);
}

}  // namespace kanae
