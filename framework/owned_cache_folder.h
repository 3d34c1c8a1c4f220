// A folder of the user's cache that is ours alone, holding entries kept
// between runs within a size budget. Anyone who can write the folder could
// plant entries (a picture that shows something else, speech that says
// something else) or links the prune would follow, so a folder that is a
// link, belongs to someone else or can be written by others is not used (one
// line on stderr), and everything it holds is only ever a speed-up.
// Entries are opened without following links, written whole under a
// temporary name and renamed, and pruned least recently used first. Safe to
// use from several threads and processes at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace kanae {

class OwnedCacheFolder {
 public:
  // $XDG_CACHE_HOME/kanae/<name> (by default ~/.cache/kanae/<name>); nothing
  // when neither gives an absolute path.
  static std::optional<std::filesystem::path> ForUser(std::string_view name);

  // what names the cache in the stderr line ("the picture store"); only
  // files ending in entry_suffix are entries (and ever pruned).
  OwnedCacheFolder(std::filesystem::path folder, std::string what, std::string entry_suffix,
                   std::uintmax_t budget_bytes);
  ~OwnedCacheFolder();
  OwnedCacheFolder(const OwnedCacheFolder&) = delete;
  OwnedCacheFolder& operator=(const OwnedCacheFolder&) = delete;

  // Made 0700 at each level where missing, then opened and checked once;
  // false when it is not used.
  bool Usable() const { return Folder() >= 0; }

  // The entry name (no folder), opened for reading when it is a regular
  // file; -1 otherwise. The caller closes it.
  int OpenEntry(const std::string& name) const;
  // Marks the entry open on fd as just used, so the prune keeps it longer.
  static void MarkUsed(int fd);
  // The whole entry, when it is a regular file of at most most_bytes;
  // marked used.
  std::optional<std::string> ReadEntry(const std::string& name, std::uintmax_t most_bytes) const;

  // Writes the entry name whole: write fills a new temporary file, which
  // is renamed over the name when it returns true (a link there is
  // replaced, never written through). Past the budget, now and then, the
  // least recently used entries go.
  bool WriteEntry(const std::string& name, const std::function<bool(int fd)>& write);
  bool WriteEntry(const std::string& name, std::string_view bytes);

  // Down to three quarters of the budget when past it.
  void Prune();

 private:
  int Folder() const;

  std::filesystem::path folder_;
  std::string what_;
  std::string entry_suffix_;
  std::uintmax_t budget_bytes_;
  std::atomic<int> writes_{0};
  mutable std::once_flag folder_checked_;
  mutable int folder_fd_ = -1;
};

// Writes or reads exactly size bytes, through interruptions; false on
// failure or an early end.
bool WriteExactly(int fd, const void* from, std::size_t size);
bool ReadExactly(int fd, void* into, std::size_t size);

}  // namespace kanae
