// Praise ("O.txt") and retry ("X.txt") messages, shared by every game started
// from the same current directory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "random_source.h"
#include "text.h"
#include "text_file.h"

namespace kanae {

inline constexpr char32_t kDefaultPraise[] = U"よくできました";
inline constexpr char32_t kDefaultRetry[] = U"もういちど、やりなおしだよ";

enum class MessagesLoad {
  kRead,
  kCreated,    // no file: created with the default text
  kUnreadable  // the file exists but could not be read: the default is used, the file is kept
};

// More texts than any lesson could use; the rest of a larger file is left out.
inline constexpr std::size_t kMessagesLimit = 10000;

struct MessagesOutcome {
  MessagesLoad load = MessagesLoad::kRead;
  WriteOutcome write;      // the creation of a missing file
  int read_error = 0;      // the system's error number when kUnreadable
  bool truncated = false;  // only the first part of the file was used (its size or its number of texts)
};

// Every non-empty text field of the file, up to kMessagesLimit, composed (NFC)
// as they are spoken. The file's encoding is detected (a teacher's editor may
// save UTF-8 or CP932). A missing file is created with the default text; when
// that fails, when the file cannot be read or when it holds no text, the
// default text is used for this run and the teacher's file is left as it is.
MessagesOutcome LoadMessages(const std::filesystem::path& file, TextView default_text, std::vector<Text>& messages);

// Entry Int(Rnd * count); an empty list gives an empty text.
Text DrawMessage(const std::vector<Text>& messages, RandomSource& rnd);

}  // namespace kanae
