#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cp932.h"
#include "safe_file.h"

namespace kanae {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HasNonAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Reads at most limit + 1 bytes, so that a larger file is noticed without
// reading it all.
TextFileContent ReadBounded(const std::filesystem::path& path, std::size_t limit, bool follow_links, std::string& bytes) {
  // A pipe under the file's name must not hang the start; it is refused like
  // any other file that is not a regular one. Files the games write are not
  // read through a link someone planted in a shared lesson folder; the
  // teacher's own texts may be links of the teacher's making.
  int fd = -1;
  if (follow_links) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      const int error = errno;
      if (error == ENOENT || error == ENOTDIR) return {ReadStatus::kNotFound, {}, false, 0};
      return {ReadStatus::kUnreadable, {}, false, error};
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
      ::close(fd);
      return {ReadStatus::kUnreadable, {}, false, S_ISDIR(info.st_mode) ? kFolderRefused : kNotRegularRefused};
    }
  } else {
    const OpenedFile opened = OpenRegularFile(path, O_RDONLY);
    if (opened.fd < 0) {
      if (opened.error == ENOENT || opened.error == ENOTDIR) return {ReadStatus::kNotFound, {}, false, 0};
      return {ReadStatus::kUnreadable, {}, false, opened.error};
    }
    fd = opened.fd;
  }
  struct stat info {};
  ::fstat(fd, &info);
  // Room for the file as it stands (it may still grow while it is read).
  const std::size_t wanted = limit + 1;
  const auto size = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
  bytes.resize(std::min(wanted, size + 1));
  std::size_t used = 0;
  while (true) {
    if (used == bytes.size()) {
      if (bytes.size() == wanted) break;
      bytes.resize(std::min(wanted, bytes.size() * 2));
    }
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return {ReadStatus::kUnreadable, {}, false, error};
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(used);
  return {ReadStatus::kOk, {}, false, 0};
}

}  // namespace

std::optional<Text> DecodeFileBytes(std::string_view bytes, Decoding decoding) {
  if (bytes.starts_with(kUtf8Bom)) return DecodeUtf8(bytes.substr(kUtf8Bom.size()));
  if (decoding == Decoding::kDetected) {
    if (auto utf8 = DecodeUtf8(bytes)) return utf8;
  }
  return DecodeCp932(bytes);
}

std::string EncodeForFile(TextView text) {
  const std::string utf8 = EncodeUtf8(text);
  if (!HasNonAscii(utf8)) return utf8;
  // The table has no entry for a character CP932 would only approximate
  // (WAVE DASH would come back as FULLWIDTH TILDE), so what it encodes reads
  // back unchanged.
  if (auto cp932 = EncodeCp932(text)) return *cp932;
  return std::string(kUtf8Bom) + utf8;
}

TextFileContent ReadTextFile(const std::filesystem::path& path, Decoding decoding, std::size_t limit_bytes) {
  std::string bytes;
  TextFileContent content = ReadBounded(path, limit_bytes, decoding == Decoding::kDetected, bytes);
  if (content.status != ReadStatus::kOk) return content;
  if (bytes.size() > limit_bytes) {
    // Keep whole lines, or whole fields of one long line. Neither a line
    // break nor a comma byte occurs inside a CP932 or UTF-8 character, so the
    // cut cannot split one.
    content.truncated = true;
    const std::string_view kept(bytes.data(), limit_bytes);
    std::size_t cut = kept.rfind('\n');
    if (cut == std::string_view::npos) cut = kept.rfind(',');
    bytes.resize(cut == std::string_view::npos ? 0 : cut + 1);
  }
  auto text = DecodeFileBytes(bytes, decoding);
  if (!text) return {ReadStatus::kNotText, {}, content.truncated, 0};
  content.text = std::move(*text);
  return content;
}

Text ReadFailureReason(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return U"読み込む権限がありません。";
    case EISDIR:
      return U"同じ名前のフォルダがあります。";
    case EIO:
      return U"読み込み中に装置のエラーが起きました。";
    case kLinkRefused:
    case kNotRegularRefused:
      return RefusalReason(error);
    default:
      return U"読み込めませんでした（" + FromUtf8(std::strerror(error)) + U"）。";
  }
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

WriteOutcome ReplaceTextFile(const std::filesystem::path& path, const std::vector<Text>& lines, bool owner_only) {
  Text content;
  for (const Text& line : lines) {
    content += line;
    content += U"\r\n";
  }
  return ReplaceFileBytes(path, EncodeForFile(content), owner_only);
}

WriteOutcome ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes, bool owner_only) {
  ReplaceOutcome replaced = ReplaceFileSafely(path, bytes, owner_only);
  return {replaced.ok, std::move(replaced.error), replaced.read_only};
}

}  // namespace kanae
