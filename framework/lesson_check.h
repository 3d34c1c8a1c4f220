// The lesson check: what a teacher should know about a lesson folder before a
// child plays it. Which pictures each game can use, which files the games
// leave out and why, and which picture names will not be asked as the
// teacher means them. Which files are pictures is the picture library's
// rule; this only explains it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "text.h"

namespace kanae {

// The formats the games read, as a teacher would write them.
inline constexpr char32_t kPictureFormats[] = U".jpg .gif .bmp";

// A file the games do not show.
struct LeftOutFile {
  enum class Reason {
    kFormat,          // a picture in a format the games do not read (.png, .jpeg, ...)
    kUnreadableName,  // its name is not valid text, so no game can list it
  };
  Text file;
  Reason reason;
};

// A picture the games show, but not as the teacher means it.
struct PictureNote {
  enum class Problem {
    kNameless,             // ".jpg": no word at all
    kNotKana,              // 犬, dog: the letters asked would be 犬 and d
    kInitialWithoutSound,  // the first letter's sound file is missing
  };
  Text file;
  Problem problem;
  Text reading;  // kNotKana: the word's reading in hiragana, when one is known
};

// What one game needs of a lesson.
struct GameNeeds {
  std::string program;  // "Oltar"
  Text title;           // "オルタ文字"
  int fewest_pictures;  // fewer than this and the game does not start
  enum class Use {
    kAnyName,      // names are shown and spoken whole
    kKanaInitial,  // the first letter is asked
    kEveryLetter,  // every letter is laid out
  } use;
  bool needs_four_initials;  // pictures with four different first letters
};

// The six games, in the order the teacher knows them.
const std::vector<GameNeeds>& SixGamesNeeds();

struct GameCount {
  const GameNeeds* game;
  int usable;   // pictures the game can ask as meant
  bool enough;  // it will start and ask properly
};

struct LessonCheck {
  std::vector<Text> pictures;  // what the games list
  bool complete = true;        // the folder could be read to its end
  std::vector<LeftOutFile> left_out;
  std::vector<PictureNote> notes;
  std::vector<GameCount> games;
};

// The hiragana reading of a word that is not kana (犬 → いぬ), or empty.
using ReadingGuess = std::function<Text(const Text& word)>;

// sound_folder holds the letters' sound files (empty: not checked).
LessonCheck CheckLesson(const std::filesystem::path& folder, const std::filesystem::path& sound_folder,
                        const ReadingGuess& guess);

// The check in plain Japanese, one line each: a line per game, then each
// file left out and each name to mend. Empty lines are never returned.
std::vector<Text> DescribeGames(const LessonCheck& check);
std::vector<Text> DescribeProblems(const LessonCheck& check);

// Whether a name is all kana (hiragana, katakana, ー and full-width digits).
bool IsKanaName(TextView name);

}  // namespace kanae
