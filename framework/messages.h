// Praise ("O.txt") and retry ("X.txt") messages, shared by every game started
// from the same current directory.
#pragma once

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

struct MessagesOutcome {
  MessagesLoad load = MessagesLoad::kRead;
  WriteOutcome write;  // the creation of a missing file
};

// Every non-empty text field of the file, however many there are. A missing
// file is created with the default text; when that fails, or when the file
// cannot be read, the default text is used for this run and the teacher's file
// is left as it is.
MessagesOutcome LoadMessages(const std::filesystem::path& file, TextView default_text, std::vector<Text>& messages);

// Entry Int(Rnd * count); an empty list gives an empty text.
Text DrawMessage(const std::vector<Text>& messages, RandomSource& rnd);

}  // namespace kanae
