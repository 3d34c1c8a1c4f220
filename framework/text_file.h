// Whole-file reading and atomic replacement of the suite's small text files.
//
// Files are read as UTF-8 when they carry a UTF-8 byte-order mark, or when
// they are valid UTF-8 holding non-ASCII text; otherwise as CP932 (the
// Japanese Windows code page). Files are written in CP932 with CR LF; a text
// that CP932 cannot hold is written as UTF-8 with a byte-order mark instead,
// so that nothing the teacher typed or named is lost.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "text.h"

namespace kanae {

enum class ReadStatus {
  kOk,
  kNotFound,
  kUnreadable,  // exists but could not be opened or read (permissions, I/O)
  kNotText,     // the bytes are neither valid UTF-8 nor valid CP932
};

struct TextFileContent {
  ReadStatus status = ReadStatus::kNotFound;
  Text text;  // the decoded content when status is kOk
};

TextFileContent ReadTextFile(const std::filesystem::path& path);

// Splits decoded content into lines at CR LF, LF or a lone CR. A final line
// break does not start another line.
std::vector<Text> SplitLines(TextView content);

// Encodes bytes for a file: CP932 when every character fits, else UTF-8 with a
// byte-order mark. Characters whose usual Unicode form differs from the one
// CP932 maps (WAVE DASH, MINUS SIGN, ...) are first changed to the CP932 form.
std::string EncodeForFile(TextView text);

// Decodes file bytes by the reading rule above; nullopt when neither fits.
std::optional<Text> DecodeFileBytes(std::string_view bytes);

struct WriteOutcome {
  bool ok = true;
  std::string error;  // what went wrong, for the teacher's message
};

// Replaces the file with the given lines, each ended by CR LF. The new content
// is written to a temporary file in the same folder, flushed to disk and then
// renamed over the old file, so a failure leaves the old file whole.
WriteOutcome ReplaceTextFile(const std::filesystem::path& path, const std::vector<Text>& lines);

}  // namespace kanae
