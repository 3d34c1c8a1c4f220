// CP932, the Japanese Windows code page, by one table of our own (generated
// at build time from glibc's converter), so that every build reads and
// writes the same bytes: ～ － ① 髙 纊 round-trip, and a character CP932
// cannot hold exactly is refused, never replaced.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text.h"

namespace kanae {

// nullopt at the first byte or pair that CP932 does not define (or a pair cut
// short at the end).
std::optional<Text> DecodeCp932(std::string_view bytes);

// nullopt when a character has no CP932 form that reads back as itself.
std::optional<std::string> EncodeCp932(TextView text);

}  // namespace kanae
