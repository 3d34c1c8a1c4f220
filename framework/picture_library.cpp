#include "picture_library.h"

#include <algorithm>
#include <system_error>
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

SelectionOutcome LoadTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                                   std::vector<Text>& tasks) {
  const TextFileContent content = ReadTextFile(file);
  if (content.status == ReadStatus::kUnreadable) {
    // The teacher's selection may well be in there: play with every picture
    // and leave the file for the teacher to mend.
    tasks = pictures;
    SelectionOutcome outcome;
    outcome.load = SelectionLoad::kUnreadable;
    outcome.read_error = content.error;
    return outcome;
  }
  if (content.status == ReadStatus::kOk) {
    if (auto selected = ParseTaskSelection(content.text, pictures)) {
      tasks = std::move(*selected);
      SelectionOutcome outcome;
      outcome.truncated = content.truncated;
      return outcome;
    }
  }
  tasks = pictures;
  SelectionOutcome outcome;
  outcome.load = content.status == ReadStatus::kNotFound ? SelectionLoad::kCreated : SelectionLoad::kRebuilt;
  outcome.truncated = content.truncated;
  outcome.write = SaveTaskSelection(file, pictures, tasks);
  return outcome;
}

std::vector<Text> TaskSelectionLines(const std::vector<Text>& pictures, const std::vector<Text>& tasks) {
  std::vector<Text> lines;
  lines.reserve(pictures.size());
  for (const Text& picture : pictures) {
    const bool selected = std::find(tasks.begin(), tasks.end(), picture) != tasks.end();
    lines.push_back(QuoteText(picture) + U"," + FormatBoolean(selected ? kTrue : kFalse));
  }
  return lines;
}

WriteOutcome SaveTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                               const std::vector<Text>& tasks) {
  return ReplaceTextFile(file, TaskSelectionLines(pictures, tasks));
}

void ShuffleTasks(std::vector<Text>& tasks, RandomSource& rnd) {
  rnd.Reseed();
  ExchangeShuffle(std::span<Text>(tasks), rnd);
}

Text NameOfPicture(TextView file_name) { return ToNfc(file_name.substr(0, file_name.find(U'.'))); }

}  // namespace kanae
