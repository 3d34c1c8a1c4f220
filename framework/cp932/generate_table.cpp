// Writes the CP932 table the games read and write Japanese files with, as
// glibc's CP932 converter defines it: every byte and byte pair it decodes,
// and for every character the bytes it encodes to, kept only when they decode
// back to that same character (so a character CP932 can only approximate,
// such as WAVE DASH, has no entry and is never replaced by another).
//
// Runs at build time on the build machine, also when the games are built for
// another platform; usage: generate_table OUTPUT
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kNone = 0xFFFF;

struct Converter {
  iconv_t cd;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd);
  }
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
  // The whole input converted, or the errno that stopped it.
  int Run(std::string input, std::string& output) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[64];
    char* in = input.data();
    std::size_t in_left = input.size();
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &in_left, &out, &out_left);
    if (rc == static_cast<std::size_t>(-1)) return errno;
    out_left = sizeof buffer - out_left;
    char* flush = buffer + out_left;
    std::size_t flush_left = sizeof buffer - out_left;
    iconv(cd, nullptr, nullptr, &flush, &flush_left);
    output.assign(buffer, flush);
    return 0;
  }
};

std::vector<std::uint32_t> Utf32(const std::string& bytes) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    out.push_back(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                  static_cast<unsigned char>(bytes[i + 2]) << 16 |
                  static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 3])) << 24);
  }
  return out;
}

// One character decoded from exactly these bytes, or nothing.
std::optional<std::uint32_t> DecodeOne(Converter& decode, const std::string& bytes, int* error = nullptr) {
  std::string out;
  const int rc = decode.Run(bytes, out);
  if (error) *error = rc;
  if (rc != 0) return std::nullopt;
  const auto chars = Utf32(out);
  if (chars.size() != 1) return std::nullopt;
  return chars[0];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  Converter decode("UTF-32LE", "CP932");
  Converter encode("CP932", "UTF-32LE");
  if (!decode.ok() || !encode.ok()) {
    std::fprintf(stderr, "generate_table: this system's iconv has no CP932 converter\n");
    return 1;
  }

  std::uint32_t single[256];
  bool lead[256] = {};
  for (int b = 0; b < 256; ++b) {
    int error = 0;
    const auto c = DecodeOne(decode, std::string(1, static_cast<char>(b)), &error);
    single[b] = c ? *c : kNone;
    lead[b] = !c && error == EINVAL;  // the first half of a pair
  }
  std::map<int, std::vector<std::uint32_t>> rows;  // lead byte -> 256 trail bytes
  for (int l = 0; l < 256; ++l) {
    if (!lead[l]) continue;
    std::vector<std::uint32_t> row(256, kNone);
    for (int t = 0; t < 256; ++t) {
      const std::string pair{static_cast<char>(l), static_cast<char>(t)};
      if (auto c = DecodeOne(decode, pair)) row[t] = *c;
    }
    rows[l] = row;
  }
  // Encoding: kept only where the bytes decode back to the character itself.
  std::map<std::uint32_t, std::uint32_t> encoded;  // character -> bytes (a pair as lead << 8 | trail)
  for (std::uint32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string in{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF),
                         static_cast<char>(c >> 16 & 0xFF), static_cast<char>(c >> 24)};
    std::string out;
    if (encode.Run(in, out) != 0) continue;
    std::uint32_t back = kNone;
    std::uint32_t bytes = 0;
    if (out.size() == 1) {
      bytes = static_cast<unsigned char>(out[0]);
      back = single[bytes];
    } else if (out.size() == 2) {
      const int l = static_cast<unsigned char>(out[0]);
      const int t = static_cast<unsigned char>(out[1]);
      bytes = static_cast<std::uint32_t>(l << 8 | t);
      if (rows.count(l)) back = rows[l][t];
    }
    if (back == c) encoded[c] = bytes;
  }
  for (const auto& [l, row] : rows) {
    for (std::uint32_t c : row) {
      if (c != kNone && c > 0xFFFF) {
        std::fprintf(stderr, "generate_table: a CP932 character outside the BMP\n");
        return 1;
      }
    }
  }

  const std::string output = argv[1];
  const std::string temporary = output + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "w");
  if (!f) {
    std::perror(temporary.c_str());
    return 1;
  }
  std::fprintf(f, "// Generated at build time from glibc's CP932 converter; do not edit.\n");
  std::fprintf(f, "constexpr std::uint16_t kSingleByte[256] = {");
  for (int b = 0; b < 256; ++b) std::fprintf(f, "%s0x%04X", b == 0 ? "\n  " : b % 12 ? ", " : ",\n  ", single[b]);
  std::fprintf(f, "};\n\n// The row of each lead byte in kPairs, or -1.\nconstexpr std::int16_t kLeadRow[256] = {");
  int row_number = 0;
  for (int b = 0; b < 256; ++b) std::fprintf(f, "%s%d", b == 0 ? "\n  " : b % 16 ? ", " : ",\n  ", lead[b] ? row_number++ : -1);
  std::fprintf(f, "};\n\nconstexpr std::uint16_t kPairs[%d][256] = {", row_number);
  for (const auto& [l, row] : rows) {
    std::fprintf(f, "\n  {  // 0x%02X", l);
    for (int t = 0; t < 256; ++t) std::fprintf(f, "%s0x%04X", t == 0 ? "\n    " : t % 12 ? ", " : ",\n    ", row[t]);
    std::fprintf(f, "},");
  }
  std::fprintf(f, "\n};\n\nstruct EncodedChar {\n  std::uint16_t character;\n  std::uint16_t bytes;  // a pair as lead << 8 | trail\n};\n\n");
  std::fprintf(f, "// Sorted by character.\nconstexpr EncodedChar kEncoded[%zu] = {", encoded.size());
  int n = 0;
  for (const auto& [c, bytes] : encoded) {
    std::fprintf(f, "%s{0x%04X, 0x%04X}", n == 0 ? "\n  " : n % 6 ? ", " : ",\n  ", c, bytes);
    ++n;
  }
  std::fprintf(f, "\n};\n");
  if (std::fclose(f) != 0 || std::rename(temporary.c_str(), output.c_str()) != 0) {
    std::perror(output.c_str());
    return 1;
  }
  return 0;
}
