#include "picture_library.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "records.h"
#include "text_normalisation.h"

namespace kanae {

bool IsPictureExtension(TextView name) {
  const auto dot = name.rfind(U'.');
  if (dot == TextView::npos) return false;
  Text ext(name.substr(dot + 1));
  for (char32_t& c : ext) {
    if (c >= U'A' && c <= U'Z') c += 32;
  }
  return ext == U"jpg" || ext == U"gif" || ext == U"bmp";
}

std::vector<Text> ListPictureFiles(const std::filesystem::path& folder) { return ListPictureFolder(folder).pictures; }

PictureListing ListPictureFolder(const std::filesystem::path& folder) {
  PictureListing listing;
  std::error_code ec;
  // The error_code forms throughout: a folder that fails halfway must not
  // throw out of the program.
  std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code entry_ec;
    if (!it->is_regular_file(entry_ec)) continue;
    const auto u8 = it->path().filename().u8string();
    auto name = DecodeUtf8(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
    if (!name || name->starts_with(U"._") || !IsPictureExtension(*name)) continue;
    listing.pictures.push_back(std::move(*name));
  }
  if (ec) {
    listing.complete = false;
    listing.error = ec.message();
  }
  std::sort(listing.pictures.begin(), listing.pictures.end());
  return listing;
}

std::optional<std::vector<Text>> ParseTaskSelection(TextView content, const std::vector<Text>& pictures) {
  std::vector<Text> selected;
  FieldReader reader(content);
  std::size_t record = 0;
  while (!reader.OnlyBlanksLeft()) {
    const auto name = reader.Next();
    const auto flag_field = reader.Next();
    const auto flag = flag_field ? ParseBoolean(*flag_field) : std::nullopt;
    if (!name || !flag || record >= pictures.size() || name->value != pictures[record]) return std::nullopt;
    if (*flag != kFalse) selected.push_back(name->value);
    ++record;
  }
  return selected;
}

namespace {

// The records of a selection file, whatever pictures they name; nullopt when
// the content is not records of a name and a flag.
std::optional<std::vector<std::pair<Text, bool>>> ParseSelectionRecords(TextView content) {
  std::vector<std::pair<Text, bool>> records;
  FieldReader reader(content);
  while (!reader.OnlyBlanksLeft()) {
    const auto name = reader.Next();
    const auto flag_field = reader.Next();
    const auto flag = flag_field ? ParseBoolean(*flag_field) : std::nullopt;
    if (!name || !flag) return std::nullopt;
    records.emplace_back(name->value, *flag != kFalse);
  }
  return records;
}

std::vector<std::pair<Text, bool>> SelectionRecords(const std::vector<Text>& pictures, const std::vector<Text>& tasks) {
  const std::unordered_set<Text> selected(tasks.begin(), tasks.end());
  std::vector<std::pair<Text, bool>> records;
  records.reserve(pictures.size());
  for (const Text& picture : pictures) records.emplace_back(picture, selected.contains(picture));
  return records;
}

// Rename replaces a write-protected file as readily as any other: the
// protection is the teacher's word that the file is to stay as it is.
bool WriteProtected(const std::filesystem::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (info.st_uid == ::geteuid()) return (info.st_mode & S_IWUSR) == 0;
  return ::access(file.c_str(), W_OK) != 0;
}

Text NameList(const std::vector<Text>& names) {
  constexpr std::size_t kMostNamed = 10;
  Text list;
  for (std::size_t i = 0; i < names.size() && i < kMostNamed; ++i) list += (i > 0 ? U"、" : U"") + ToNfc(names[i]);
  if (names.size() > kMostNamed) list += U"、ほか" + FromUtf8(std::to_string(names.size() - kMostNamed)) + U"枚";
  return list;
}

Text Count(std::size_t n) { return FromUtf8(std::to_string(n)) + U"枚"; }

}  // namespace

SelectionOutcome LoadTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                                   std::vector<Text>& tasks) {
  const TextFileContent content = ReadTextFile(file);
  SelectionOutcome outcome;
  outcome.truncated = content.truncated;
  if (content.status == ReadStatus::kUnreadable) {
    // The teacher's selection may well be in there: play with every picture
    // and leave the file for the teacher to mend.
    tasks = pictures;
    outcome.load = SelectionLoad::kUnreadable;
    outcome.read_error = content.error;
    return outcome;
  }
  if (content.status == ReadStatus::kOk) {
    if (auto selected = ParseTaskSelection(content.text, pictures)) {
      tasks = std::move(*selected);
      return outcome;
    }
  }
  tasks = pictures;
  outcome.load = content.status == ReadStatus::kNotFound ? SelectionLoad::kCreated : SelectionLoad::kRebuilt;
  if (content.status == ReadStatus::kOk) {
    if (const auto records = ParseSelectionRecords(content.text)) {
      // The folder changed since the file was written: the teacher's marks
      // stay with their pictures, and a new picture takes part until the
      // teacher says otherwise.
      outcome.kept_marks = true;
      std::unordered_map<Text, bool> marks;  // a name's first record counts
      for (const auto& [name, selected] : *records) marks.emplace(name, selected);
      tasks.clear();
      for (const Text& picture : pictures) {
        const auto at = marks.find(picture);
        if (at == marks.end()) outcome.added.push_back(picture);
        if (at == marks.end() || at->second) tasks.push_back(picture);
      }
      const std::unordered_set<Text> in_folder(pictures.begin(), pictures.end());
      std::unordered_set<Text> dropped;
      for (const auto& [name, selected] : *records) {
        if (!in_folder.contains(name) && dropped.insert(name).second) outcome.removed.push_back(name);
      }
    }
  }
  if (content.status != ReadStatus::kNotFound && WriteProtected(file)) {
    outcome.left_read_only = true;
    return outcome;
  }
  outcome.write = SaveTaskSelection(file, pictures, tasks);
  return outcome;
}

Text DescribeSelectionChange(const SelectionOutcome& outcome) {
  if (outcome.load != SelectionLoad::kRebuilt) return Text();
  Text text;
  if (!outcome.kept_marks) {
    text = outcome.left_read_only
               ? U"課題の選択「Fname.txt」が読み取れない形です。今回はすべての絵で続けます。"
               : U"課題の選択「Fname.txt」が読み取れない形だったので、すべての絵を課題にして作り直しました。";
  } else {
    text = outcome.left_read_only
               ? U"課題の選択「Fname.txt」がフォルダの絵と合っていません。今回は、選んであった絵はそのままに、"
                 U"次のように直した選択で続けます。"
               : U"課題の選択「Fname.txt」をフォルダの絵に合わせて直しました。選んであった絵はそのままです。";
    if (!outcome.added.empty()) {
      text += U"\n新しい絵" + Count(outcome.added.size()) + U"を課題に入れました：" + NameList(outcome.added);
    }
    if (!outcome.removed.empty()) {
      text += U"\nフォルダにない絵" + Count(outcome.removed.size()) + U"を外しました：" + NameList(outcome.removed);
    }
  }
  if (outcome.left_read_only) text += U"\n「Fname.txt」は書き込みが禁止されているので、そのままにしてあります。";
  return text;
}

std::vector<Text> TaskSelectionLines(const std::vector<Text>& pictures, const std::vector<Text>& tasks) {
  const std::unordered_set<Text> selected(tasks.begin(), tasks.end());
  std::vector<Text> lines;
  lines.reserve(pictures.size());
  for (const Text& picture : pictures) {
    lines.push_back(QuoteText(picture) + U"," + FormatBoolean(selected.contains(picture) ? kTrue : kFalse));
  }
  return lines;
}

WriteOutcome SaveTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                               const std::vector<Text>& tasks) {
  const TextFileContent current = ReadTextFile(file);
  if (current.status == ReadStatus::kOk && !current.truncated &&
      ParseSelectionRecords(current.text) == SelectionRecords(pictures, tasks)) {
    return WriteOutcome{};
  }
  return ReplaceTextFile(file, TaskSelectionLines(pictures, tasks));
}

void ShuffleTasks(std::vector<Text>& tasks, RandomSource& rnd) {
  rnd.Reseed();
  ExchangeShuffle(std::span<Text>(tasks), rnd);
}

Text NameOfPicture(TextView file_name) { return ToNfc(file_name.substr(0, file_name.find(U'.'))); }

}  // namespace kanae
