// The seconds field read as a number the same way on every standard library.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "decimal_field.h"

namespace kanae::report {
namespace {

std::optional<double> Read(bool (*parse)(std::string_view, double&), const std::string& text) {
  double value = -12345;
  if (!parse(text, value)) return std::nullopt;
  return value;
}

bool Same(const std::optional<double>& a, const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  if (std::isnan(*a) || std::isnan(*b)) return std::isnan(*a) && std::isnan(*b);
  return *a == *b && std::signbit(*a) == std::signbit(*b);
}

const struct {
  std::string text;
  std::optional<double> value;
} kFields[] = {
    {"2.000", 2.0},        {"0.5", 0.5},      {".5", 0.5},         {"5.", 5.0},       {"-1.25", -1.25},
    {"1e3", 1000.0},       {"1E-2", 0.01},    {"007", 7.0},        {"-0", -0.0},      {"inf", INFINITY},
    {"-Infinity", -INFINITY}, {"", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt},
    {"+1", std::nullopt},  {"0x10", std::nullopt}, {"-0X1p3", std::nullopt}, {"1e", std::nullopt},
    {"e1", std::nullopt},  {".", std::nullopt}, {"-", std::nullopt}, {"--1", std::nullopt},
    {"1,5", std::nullopt}, {"infin", std::nullopt}, {"1e400", std::nullopt}, {"-1e400", std::nullopt},
    {"1e-400", std::nullopt}, {"4e-320", 4e-320},
    {"秒", std::nullopt},
};

TEST(DecimalField, ReadsTheWholeFieldAsFromCharsDoes) {
  for (const auto& field : kFields) {
    EXPECT_TRUE(Same(Read(ParseDecimalField, field.text), field.value)) << "field: \"" << field.text << "\"";
  }
  for (const std::string nan : {"nan", "NaN", "-nan", "nan(123abc)"}) {
    const std::optional<double> value = Read(ParseDecimalField, nan);
    EXPECT_TRUE(value && std::isnan(*value)) << nan;
  }
}

TEST(DecimalField, TheStrtodReadingAgreesWithTheTableAndWithFromChars) {
  for (const auto& field : kFields) {
    EXPECT_TRUE(Same(Read(ParseDecimalFieldByStrtod, field.text), field.value)) << "field: \"" << field.text << "\"";
  }
  // Fields of the characters a number's reading turns on.
  const std::string alphabet = "0123456789.eE-+ xXinfatyINF()_";
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> length(0, 10);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  int differences = 0;
  for (int i = 0; i < 200000 && differences < 5; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
    // Mostly digits, so that many fields are numbers.
    if (i % 2 == 0) {
      for (char& c : text) {
        if (c == '_' || c == ' ' || c == 'x' || c == 'X') c = '0' + static_cast<char>(i % 10);
      }
    }
    const auto from_chars = Read(ParseDecimalField, text);
    const auto strtod = Read(ParseDecimalFieldByStrtod, text);
    if (!Same(from_chars, strtod)) {
      ++differences;
      ADD_FAILURE() << "field: \"" << text << "\" from_chars " << (from_chars ? std::to_string(*from_chars) : "none")
                    << ", strtod " << (strtod ? std::to_string(*strtod) : "none");
    }
  }
}

}  // namespace
}  // namespace kanae::report
