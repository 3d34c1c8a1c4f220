// Opening and replacing files in folders that other people can write.
//
// Lesson folders live on shared drives: anyone who can write the folder can
// plant a link, a pipe or a device under the name of a file the games write.
// A file is therefore opened without following a link and used only when it
// is a regular file; a pipe is never waited on. A replacement is a new file in
// the same folder renamed over the name, so a link there is replaced, never
// written through.
#pragma once

#include <sys/types.h>

#include <cerrno>

#include <filesystem>
#include <string>
#include <string_view>

#include "text.h"

namespace kanae {

// The error numbers of a refusal: a link under the name, a folder, or
// something else that is not a regular file (a pipe, a device, a socket).
// open() itself never gives the last one for a path.
inline constexpr int kLinkRefused = ELOOP;
inline constexpr int kFolderRefused = EISDIR;
inline constexpr int kNotRegularRefused = EMEDIUMTYPE;

struct OpenedFile {
  int fd = -1;
  int error = 0;  // errno, or one of the refusals above, when fd < 0
};

// Opens path with flags (O_RDONLY, O_RDWR | O_APPEND | O_CREAT, ...) without
// following a link and without waiting on a pipe, and keeps it open only when
// it is a regular file. The descriptor is blocking again once checked.
OpenedFile OpenRegularFile(const std::filesystem::path& path, int flags, mode_t mode = 0600);

// True for the error numbers of a refusal.
bool IsRefusal(int error);

// Why a file was not used, in words for the teacher.
Text RefusalReason(int error);

struct ReplaceOutcome {
  bool ok = true;
  bool read_only = false;  // the file is marked read-only and was left as it is
  std::string error;       // what went wrong, in Japanese, for the teacher
};

// Replaces the file at path with bytes: a new file under a temporary name of
// our own in the same folder, flushed, then renamed over the name and the
// folder flushed, so that a failure leaves the old file whole. A file marked
// read-only is left as it is. Temporary files of our own naming older than a
// minute, left by a program ended while writing, are removed first.
// owner_only: the new file is readable by its owner alone.
ReplaceOutcome ReplaceFileSafely(const std::filesystem::path& path, std::string_view bytes, bool owner_only);

// Whether name is one of our temporary names: "<any>.kanae-tmp-<letters>",
// or the older "<target>.tmp<digits>" beside target.
bool IsTemporaryName(std::string_view name, std::string_view target);

}  // namespace kanae
