// Text as the games see it: one element per character, so "the first 10
// characters" and "character j" mean what a teacher would count.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kanae {

using Text = std::u32string;
using TextView = std::u32string_view;

// UTF-8 <-> Text. Decoding fails on malformed input rather than guessing.
std::optional<Text> DecodeUtf8(std::string_view bytes);
std::string EncodeUtf8(TextView text);

// For literals and for logging: malformed input becomes U+FFFD.
Text FromUtf8(std::string_view bytes);
std::string ToUtf8(TextView text);

// The first n characters of text (all of it when shorter).
Text Left(TextView text, std::size_t n);

// The character at index i as a one-character text, or empty when out of range.
Text CharAt(TextView text, std::size_t i);

}  // namespace kanae
