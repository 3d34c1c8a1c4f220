#include "picture_library.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "records.h"

namespace kanae {

namespace {

bool IsPictureExtension(TextView name) {
  const auto dot = name.rfind(U'.');
  if (dot == TextView::npos) return false;
  Text ext(name.substr(dot + 1));
  for (char32_t& c : ext) {
    if (c >= U'A' && c <= U'Z') c += 32;
  }
  return ext == U"jpg" || ext == U"gif" || ext == U"bmp";
}

}  // namespace

std::vector<Text> ListPictureFiles(const std::filesystem::path& folder) {
  std::vector<Text> pictures;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, ec);
  if (ec) return pictures;
  for (const auto& entry : it) {
    std::error_code entry_ec;
    if (!entry.is_regular_file(entry_ec)) continue;
    const auto u8 = entry.path().filename().u8string();
    auto name = DecodeUtf8(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
    if (!name || name->starts_with(U"._") || !IsPictureExtension(*name)) continue;
    pictures.push_back(std::move(*name));
  }
  std::sort(pictures.begin(), pictures.end());
  return pictures;
}

SelectionOutcome LoadTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                                   std::vector<Text>& tasks) {
  const TextFileContent content = ReadTextFile(file);
  bool matches = content.status == ReadStatus::kOk;
  std::vector<Text> selected;
  if (matches) {
    FieldReader reader(content.text);
    std::size_t record = 0;
    while (!reader.OnlyBlanksLeft()) {
      const auto name = reader.Next();
      const auto flag_field = reader.Next();
      const auto flag = flag_field ? ParseBoolean(*flag_field) : std::nullopt;
      if (!name || !flag || record >= pictures.size() || name->value != pictures[record]) {
        matches = false;
        break;
      }
      if (*flag != kFalse) selected.push_back(name->value);
      ++record;
    }
  }
  if (matches) {
    tasks = std::move(selected);
    return {SelectionLoad::kRead, {}};
  }
  tasks = pictures;
  const SelectionLoad load = content.status == ReadStatus::kNotFound ? SelectionLoad::kCreated : SelectionLoad::kRebuilt;
  return {load, SaveTaskSelection(file, pictures, tasks)};
}

WriteOutcome SaveTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                               const std::vector<Text>& tasks) {
  std::vector<Text> lines;
  lines.reserve(pictures.size());
  for (const Text& picture : pictures) {
    const bool selected = std::find(tasks.begin(), tasks.end(), picture) != tasks.end();
    lines.push_back(QuoteText(picture) + U"," + FormatBoolean(selected ? kTrue : kFalse));
  }
  return ReplaceTextFile(file, lines);
}

void ShuffleTasks(std::vector<Text>& tasks, RandomSource& rnd) {
  rnd.Reseed();
  ExchangeShuffle(std::span<Text>(tasks), rnd);
}

Text NameOfPicture(TextView file_name) { return Text(file_name.substr(0, file_name.find(U'.'))); }

}  // namespace kanae
