#include "lesson_check.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "kana_tables.h"
#include "picture_library.h"

namespace kanae {

namespace {

// Picture formats a teacher may well drop in that the games do not read.
constexpr const char32_t* kUnreadFormats[] = {U".png", U".jpeg", U".jpe", U".jfif", U".tif", U".tiff", U".webp",
                                              U".heic", U".heif", U".avif", U".svg", U".ico"};

char32_t Lower(char32_t c) { return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c; }

bool EndsWithFormat(TextView name, TextView format) {
  if (name.size() <= format.size()) return false;
  const TextView tail = name.substr(name.size() - format.size());
  return std::equal(tail.begin(), tail.end(), format.begin(), [](char32_t a, char32_t b) { return Lower(a) == b; });
}

bool IsKanaLetter(char32_t c) { return (c >= U'ぁ' && c <= U'ゖ') || (c >= U'ァ' && c <= U'ヺ'); }

Text Count(std::size_t n) { return FromUtf8(std::to_string(n)); }

Text ToHiragana(TextView text) {
  Text out(text);
  for (char32_t& c : out) {
    if (c >= U'ァ' && c <= U'ヶ') c -= 0x60;
  }
  return out;
}

bool Usable(const GameNeeds& game, const Text& name) {
  if (name.empty()) return false;
  switch (game.use) {
    case GameNeeds::Use::kAnyName: return true;
    case GameNeeds::Use::kKanaInitial: return IsKanaLetter(name[0]);
    case GameNeeds::Use::kEveryLetter: return IsKanaName(name);
  }
  return false;
}

}  // namespace

bool IsKanaName(TextView name) {
  if (name.empty()) return false;
  return std::all_of(name.begin(), name.end(), [](char32_t c) {
    return IsKanaLetter(c) || c == U'ー' || (c >= U'０' && c <= U'９');
  });
}

const std::vector<GameNeeds>& SixGamesNeeds() {
  using Use = GameNeeds::Use;
  static const std::vector<GameNeeds> games = {
      {"Oltar", U"オルタ文字", 1, Use::kKanaInitial, false},
      {"Pemble", U"ペンブル", 1, Use::kKanaInitial, false},
      {"Suvan", U"スヴァン選び", 4, Use::kAnyName, true},
      {"Dabrel", U"ダブレル作り", 1, Use::kEveryLetter, false},
      {"Quoma", U"クオマ選び", 2, Use::kAnyName, false},
      {"Vintal", U"絵ヴィンタ選び", 2, Use::kAnyName, false},
  };
  return games;
}

LessonCheck CheckLesson(const std::filesystem::path& folder, const std::filesystem::path& sound_folder,
                        const ReadingGuess& guess) {
  LessonCheck check;
  const PictureListing listing = ListPictureFolder(folder);
  check.pictures = listing.pictures;
  check.complete = listing.complete;

  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code entry_ec;
    if (!it->is_regular_file(entry_ec)) continue;
    const auto u8 = it->path().filename().u8string();
    const std::string bytes(u8.begin(), u8.end());
    const auto name = DecodeUtf8(bytes);
    if (!name) {
      // Shown with its unreadable bytes replaced, so the teacher can find it.
      const Text shown = FromUtf8(bytes);
      if (IsPictureExtension(shown) ||
          std::any_of(std::begin(kUnreadFormats), std::end(kUnreadFormats),
                      [&](const char32_t* format) { return EndsWithFormat(shown, format); })) {
        check.left_out.push_back({shown, LeftOutFile::Reason::kUnreadableName});
      }
      continue;
    }
    if (name->starts_with(U"._") || IsPictureExtension(*name)) continue;
    if (std::any_of(std::begin(kUnreadFormats), std::end(kUnreadFormats),
                    [&](const char32_t* format) { return EndsWithFormat(*name, format); })) {
      check.left_out.push_back({*name, LeftOutFile::Reason::kFormat});
    }
  }
  std::sort(check.left_out.begin(), check.left_out.end(),
            [](const LeftOutFile& a, const LeftOutFile& b) { return a.file < b.file; });

  for (const Text& picture : check.pictures) {
    const Text name = NameOfPicture(picture);
    if (name.empty()) {
      check.notes.push_back({picture, PictureNote::Problem::kNameless, {}});
    } else if (!IsKanaName(name)) {
      Text reading = guess ? ToHiragana(guess(name)) : Text();
      if (!IsKanaName(reading)) reading.clear();
      check.notes.push_back({picture, PictureNote::Problem::kNotKana, reading});
    } else if (!sound_folder.empty() && IsKanaLetter(name[0])) {
      const Text sound = LetterSoundFile(name[0]);
      const auto u8 = EncodeUtf8(sound);
      if (!std::filesystem::exists(sound_folder / std::u8string(u8.begin(), u8.end()), ec)) {
        check.notes.push_back({picture, PictureNote::Problem::kInitialWithoutSound, {}});
      }
    }
  }

  for (const GameNeeds& game : SixGamesNeeds()) {
    int usable = 0;
    std::set<char32_t> initials;
    for (const Text& picture : check.pictures) {
      const Text name = NameOfPicture(picture);
      if (!Usable(game, name)) continue;
      ++usable;
      initials.insert(name[0]);
    }
    bool enough = usable >= game.fewest_pictures;
    if (game.needs_four_initials && initials.size() < 4) enough = false;
    check.games.push_back({&game, usable, enough});
  }
  return check;
}

std::vector<Text> DescribeGames(const LessonCheck& check) {
  std::vector<Text> lines;
  for (const GameCount& count : check.games) {
    Text line = count.game->title + U"：" + Count(static_cast<std::size_t>(count.usable)) + U"枚";
    if (count.enough) {
      line += U"で遊べます";
    } else if (count.usable >= count.game->fewest_pictures && count.game->needs_four_initials) {
      line += U"。頭文字が４種類以上ないと遊べません";
    } else {
      line += U"。" + Count(static_cast<std::size_t>(count.game->fewest_pictures)) + U"枚以上ないと遊べません";
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<Text> DescribeProblems(const LessonCheck& check) {
  std::vector<Text> lines;
  if (!check.complete) lines.push_back(U"フォルダを最後まで読めませんでした。見つかった絵だけを数えています。");
  for (const LeftOutFile& file : check.left_out) {
    if (file.reason == LeftOutFile::Reason::kFormat) {
      lines.push_back(U"「" + file.file + U"」は使われません：ゲームが読める形式は " + kPictureFormats +
                      U" です。");
    } else {
      lines.push_back(U"「" + file.file + U"」は使われません：ファイル名の文字が読めません。名前を付け直してください。");
    }
  }
  for (const PictureNote& note : check.notes) {
    switch (note.problem) {
      case PictureNote::Problem::kNameless:
        lines.push_back(U"「" + note.file + U"」には名前がありません：「いぬ.jpg」のように、かなで名前を付けてください。");
        break;
      case PictureNote::Problem::kNotKana: {
        Text line = U"「" + note.file + U"」の名前がかなではありません：「" + NameOfPicture(note.file) +
                    U"」の文字がそのまま出題されます。";
        const std::size_t dot = note.file.find(U'.');
        if (!note.reading.empty() && dot != Text::npos) {
          line += U"「" + note.reading + note.file.substr(dot) + U"」にしてはどうでしょう。";
        } else {
          line += U"かなの名前にしてください。";
        }
        lines.push_back(line);
        break;
      }
      case PictureNote::Problem::kInitialWithoutSound:
        lines.push_back(U"「" + note.file + U"」の頭文字「" + CharAt(NameOfPicture(note.file), 0) +
                        U"」の音のファイルがありません：文字の音が鳴りません。");
        break;
    }
  }
  return lines;
}

}  // namespace kanae
