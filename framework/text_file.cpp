#include "text_file.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kanae {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Runs iconv over the whole input; nullopt when a character cannot be converted.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string output(input.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  std::size_t used = 0;
  bool ok = true;
  while (in_left > 0) {
    char* out = output.data() + used;
    std::size_t out_left = output.size() - used;
    const std::size_t rc = iconv(cd, &in, &in_left, &out, &out_left);
    used = output.size() - out_left;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      output.resize(output.size() * 2);
      continue;
    }
    ok = false;  // EILSEQ or EINVAL: not representable or truncated input
    break;
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  output.resize(used);
  return output;
}

bool HasNonAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Unicode forms that CP932 maps differently from JIS; teachers type both.
char32_t ToCp932Form(char32_t c) {
  switch (c) {
    case U'\u301C': return U'\uFF5E';  // WAVE DASH -> FULLWIDTH TILDE
    case U'\u2212': return U'\uFF0D';  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case U'\u2016': return U'\u2225';  // DOUBLE VERTICAL LINE -> PARALLEL TO
    case U'\u2014': return U'\u2015';  // EM DASH -> HORIZONTAL BAR
    case U'\u00A2': return U'\uFFE0';  // CENT SIGN
    case U'\u00A3': return U'\uFFE1';  // POUND SIGN
    case U'\u00AC': return U'\uFFE2';  // NOT SIGN
    default: return c;
  }
}

}  // namespace

std::optional<Text> DecodeFileBytes(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return DecodeUtf8(bytes.substr(kUtf8Bom.size()));
  if (!HasNonAscii(bytes)) return DecodeUtf8(bytes);
  if (auto utf8 = DecodeUtf8(bytes)) return utf8;
  auto converted = Convert("UTF-8", "CP932", bytes);
  if (!converted) return std::nullopt;
  return DecodeUtf8(*converted);
}

std::string EncodeForFile(TextView text) {
  Text normalised(text);
  for (char32_t& c : normalised) c = ToCp932Form(c);
  const std::string utf8 = EncodeUtf8(normalised);
  if (!HasNonAscii(utf8)) return utf8;
  if (auto cp932 = Convert("CP932", "UTF-8", utf8)) return *cp932;
  return std::string(kUtf8Bom) + EncodeUtf8(text);
}

TextFileContent ReadTextFile(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) return {ReadStatus::kNotFound, {}};
  if (!std::filesystem::is_regular_file(status)) return {ReadStatus::kUnreadable, {}};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {ReadStatus::kUnreadable, {}};
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return {ReadStatus::kUnreadable, {}};
  auto text = DecodeFileBytes(bytes);
  if (!text) return {ReadStatus::kNotText, {}};
  return {ReadStatus::kOk, std::move(*text)};
}

std::vector<Text> SplitLines(TextView content) {
  std::vector<Text> lines;
  Text current;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char32_t c = content[i];
    if (c == U'\r' || c == U'\n') {
      lines.push_back(std::move(current));
      current.clear();
      if (c == U'\r' && i + 1 < content.size() && content[i + 1] == U'\n') ++i;
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

WriteOutcome ReplaceTextFile(const std::filesystem::path& path, const std::vector<Text>& lines) {
  Text content;
  for (const Text& line : lines) {
    content += line;
    content += U"\r\n";
  }
  const std::string bytes = EncodeForFile(content);

  static std::mt19937 names{std::random_device{}()};
  std::filesystem::path temp = path;
  temp += ".tmp" + std::to_string(names() % 1000000);

  std::FILE* file = std::fopen(temp.string().c_str(), "wb");
  if (file == nullptr) return {false, std::strerror(errno)};
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int saved_errno = written ? 0 : errno;
  if (written && std::fflush(file) != 0) written = false, saved_errno = errno;
#ifdef _WIN32
  if (written && _commit(_fileno(file)) != 0) written = false, saved_errno = errno;
#else
  if (written && fsync(fileno(file)) != 0) written = false, saved_errno = errno;
#endif
  if (std::fclose(file) != 0 && written) written = false, saved_errno = errno;
  std::error_code ec;
  if (!written) {
    std::filesystem::remove(temp, ec);
    return {false, std::strerror(saved_errno != 0 ? saved_errno : EIO)};
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return {false, ec.message()};
  }
  return {};
}

}  // namespace kanae
