// The class: the children a teacher keeps in the menu, each with a name in
// any script and, so that a child who cannot read finds themself, a picture
// or a colour. Kept as one small text file, one child a line:
//   name<TAB>#RRGGBB      a colour
//   name<TAB>FILE         a picture (absolute, or relative to the list's folder)
//   name                  neither
// Read by the rules of the games' own files (a byte-order mark means UTF-8,
// else CP932), bounded, and replaced atomically.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "text.h"
#include "text_file.h"

namespace kanae {

inline constexpr char kClassListName[] = "クラス.txt";
// A class is never this large; a longer file is a wrong file.
inline constexpr std::size_t kMostChildren = 200;
inline constexpr std::size_t kLongestChildName = 40;

struct Child {
  Text name;
  std::string picture;            // UTF-8 path as written in the file, or empty
  std::optional<std::uint32_t> colour;  // 0xRRGGBB
};

enum class ClassListLoad {
  kRead,        // read as it stands
  kMissing,     // no file yet: an empty class
  kRepaired,    // read, but some lines were left out (see skipped)
  kUnreadable,  // could not be read at all (permissions, I/O, not text): never written over
};

struct ClassList {
  std::vector<Child> children;
  ClassListLoad load = ClassListLoad::kMissing;
  int skipped = 0;  // lines left out: empty, a name too long, a name twice, beyond the limit
  std::string error;  // for kUnreadable
};

// The list's file in folder: the teacher's own (a school share) or, when
// folder is empty, $XDG_DATA_HOME/kanae (by default ~/.local/share/kanae).
std::filesystem::path ClassListFile(const std::filesystem::path& folder = {});
// The per-user folder of Kanae's own files.
std::filesystem::path UserDataFolder();

ClassList LoadClassList(const std::filesystem::path& file);
// The list as the file holds it.
std::string FormatClassList(const std::vector<Child>& children);
ClassList ParseClassList(TextView content);

// Writes the list in place of the file, readable by its owner only. When the
// file that was read had lines left out, its old content is first kept beside
// it ("クラス.txt.bak"), so nothing a teacher wrote by hand is lost.
WriteOutcome SaveClassList(const std::filesystem::path& file, const std::vector<Child>& children,
                           ClassListLoad how_it_was_read);

// A name as the teacher typed it, made fit to keep: line breaks and tabs
// become spaces, other control characters go, spaces at either end go, and
// it is cut at kLongestChildName characters.
Text CleanChildName(TextView name);

// The child named by KANAE_CHILD for the learning record, cleaned as above;
// empty when it is not set.
Text ChildFromEnvironment();

// "#3a9d5d" -> 0x3A9D5D; nullopt for anything else.
std::optional<std::uint32_t> ParseColour(std::string_view text);
std::string FormatColour(std::uint32_t colour);

}  // namespace kanae
