// Whole-file reading and atomic replacement of the suite's small text files.
//
// Files the games write are decoded by rule: a UTF-8 byte-order mark means
// UTF-8, anything else CP932 (the Japanese Windows code page). Only the
// teacher's own texts are guessed at: a byte-order mark, then strict UTF-8,
// then CP932. Files are written in CP932 with CR LF; a text that CP932 cannot
// hold exactly (a character it lacks, or one it would only approximate, such
// as WAVE DASH read back as FULLWIDTH TILDE) is written as UTF-8 with a
// byte-order mark instead, so that every name reads back as it was written.
//
// Reads are bounded: a file larger than the limit is read up to its last line
// break within the limit (or its last comma, for one long line), and the
// caller is told so.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "text.h"

namespace kanae {

enum class ReadStatus {
  kOk,
  kNotFound,
  kUnreadable,  // exists but could not be opened or read (permissions, I/O)
  kNotText,     // the bytes are not text in the expected encoding
};

enum class Decoding {
  kByRule,    // files the games write: byte-order mark -> UTF-8, else CP932
  kDetected,  // the teacher's own texts: byte-order mark, strict UTF-8, CP932
};

// Enough for any selection, settings or message file a lesson needs.
inline constexpr std::size_t kTextFileLimitBytes = 1 << 20;

struct TextFileContent {
  ReadStatus status = ReadStatus::kNotFound;
  Text text;               // the decoded content when status is kOk
  bool truncated = false;  // the file is larger than the limit; text holds its first lines
  int error = 0;           // the system's error number when status is kUnreadable
};

// Files the games write (kByRule) are not read through a link, and nothing
// but a regular file is read.
TextFileContent ReadTextFile(const std::filesystem::path& path, Decoding decoding = Decoding::kByRule,
                             std::size_t limit_bytes = kTextFileLimitBytes);

// Why a file could not be read, in words for the teacher.
Text ReadFailureReason(int error);

// Splits decoded content into lines at CR LF, LF or a lone CR. A final line
// break does not start another line.
std::vector<Text> SplitLines(TextView content);

// Encodes bytes for a file: CP932 when every character survives the round
// trip exactly, else UTF-8 with a byte-order mark.
std::string EncodeForFile(TextView text);

// Decodes file bytes; nullopt when they are not text under the decoding.
std::optional<Text> DecodeFileBytes(std::string_view bytes, Decoding decoding = Decoding::kByRule);

struct WriteOutcome {
  bool ok = true;
  std::string error;  // what went wrong, for the teacher's message
  bool read_only = false;  // the file is marked read-only and was left as it is
};

// Replaces the file with the given lines, each ended by CR LF, safely against
// whatever others planted in the folder (see ReplaceFileSafely): a failure
// leaves the old file whole, and a file marked read-only is left as it is.
// owner_only: the new file is readable by its owner alone (it names children).
WriteOutcome ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes, bool owner_only = false);
WriteOutcome ReplaceTextFile(const std::filesystem::path& path, const std::vector<Text>& lines,
                             bool owner_only = false);

}  // namespace kanae
