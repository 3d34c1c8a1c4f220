// The lesson check: what the games leave out of a folder and why, which
// names will not be asked as meant, and how many pictures each game can use.
#include "lesson_check.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes.h"
#include "../../games/card_picking/questions.h"
#include "../../games/initial_letter/questions.h"
#include "../../games/kana_catching/questions.h"
#include "../../games/name_choice/questions.h"
#include "../../games/picture_card/questions.h"
#include "../../games/word_building/questions.h"
#include "lesson.h"

namespace kanae {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

// A dictionary that knows one word, as MeCab would read it (katakana).
Text Guess(const Text& word) { return word == U"犬" ? U"イヌ" : Text(); }

std::map<std::string, int> Usable(const LessonCheck& check) {
  std::map<std::string, int> usable;
  for (const GameCount& count : check.games) usable[count.game->program] = count.usable;
  return usable;
}

TEST(LessonCheck, NamesWhatIsLeftOutAndWhy) {
  TempFolder folder;
  folder.Touch({"いぬ.png", "ねこ.jpeg", "さる.JPG", "とり.gif", "犬.jpg", "dog.bmp", ".jpg", "Fname.txt",
                "Oltar.txt", "かめ.webp"});
  folder.Write(std::string("\xff\xfe.jpg"), "");  // a name that is not UTF-8
  TempFolder sounds;
  sounds.Touch({"さ.wav"});  // と has no sound file

  const LessonCheck check = CheckLesson(folder.path(), sounds.path(), Guess);
  EXPECT_EQ(check.pictures, (std::vector<Text>{U".jpg", U"dog.bmp", U"さる.JPG", U"とり.gif", U"犬.jpg"}));
  std::vector<std::pair<Text, LeftOutFile::Reason>> left_out;
  for (const LeftOutFile& file : check.left_out) left_out.emplace_back(file.file, file.reason);
  EXPECT_EQ(left_out, (std::vector<std::pair<Text, LeftOutFile::Reason>>{
                          {U"いぬ.png", LeftOutFile::Reason::kFormat},
                          {U"かめ.webp", LeftOutFile::Reason::kFormat},
                          {U"ねこ.jpeg", LeftOutFile::Reason::kFormat},
                          {U"\uFFFD\uFFFD.jpg", LeftOutFile::Reason::kUnreadableName},
                      }));
  struct Expected {
    Text file;
    PictureNote::Problem problem;
    Text reading;
  };
  const std::vector<Expected> notes = {
      {U".jpg", PictureNote::Problem::kNameless, U""},
      {U"dog.bmp", PictureNote::Problem::kNotKana, U""},
      {U"とり.gif", PictureNote::Problem::kInitialWithoutSound, U""},
      {U"犬.jpg", PictureNote::Problem::kNotKana, U"いぬ"},
  };
  ASSERT_EQ(check.notes.size(), notes.size());
  for (std::size_t i = 0; i < notes.size(); ++i) {
    EXPECT_EQ(check.notes[i].file, notes[i].file) << i;
    EXPECT_EQ(check.notes[i].problem, notes[i].problem) << i;
    EXPECT_EQ(check.notes[i].reading, notes[i].reading) << i;
  }

  // In plain Japanese: the formats named, the reading suggested as a file name.
  const std::vector<Text> lines = DescribeProblems(check);
  auto said = [&](const Text& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const Text& line) { return line.find(part) != Text::npos; });
  };
  EXPECT_TRUE(said(U"「いぬ.png」は使われません：ゲームが読める形式は .jpg .gif .bmp です。"));
  EXPECT_TRUE(said(U"「いぬ.jpg」にしてはどうでしょう"));
  EXPECT_TRUE(said(U"「dog.bmp」の名前がかなではありません"));
  EXPECT_TRUE(said(U"「と」の音のファイルがありません"));
  EXPECT_EQ(lines.size(), left_out.size() + notes.size());
}

TEST(LessonCheck, CountsThePicturesEachGameCanUse) {
  struct Case {
    std::string name;
    std::vector<std::string> files;
    std::map<std::string, int> usable;
    std::map<std::string, bool> enough;
  };
  const std::vector<Case> cases = {
      {"a clean lesson of four initials",
       {"あめ.jpg", "いぬ.jpg", "うし.gif", "えび.bmp"},
       {{"Oltar", 4}, {"Pemble", 4}, {"Suvan", 4}, {"Dabrel", 4}, {"Quoma", 4}, {"Vintal", 4}},
       {{"Oltar", true}, {"Suvan", true}, {"Quoma", true}}},
      {"three initials are too few for the card game",
       {"あめ.jpg", "あり.jpg", "いぬ.jpg", "うし.jpg"},
       {{"Suvan", 4}},
       {{"Suvan", false}, {"Vintal", true}}},
      {"names that are not kana are no letters to ask",
       {"犬.jpg", "dog.jpg", "いぬ.jpg", "ねこ1.jpg"},
       {{"Oltar", 2}, {"Pemble", 2}, {"Dabrel", 1}, {"Quoma", 4}},
       {{"Oltar", true}, {"Quoma", true}}},
      {"one picture starts only the one-picture games",
       {"いぬ.jpg"},
       {{"Oltar", 1}, {"Quoma", 1}},
       {{"Oltar", true}, {"Dabrel", true}, {"Quoma", false}, {"Vintal", false}, {"Suvan", false}}},
      {"an empty folder starts nothing", {}, {{"Oltar", 0}}, {{"Oltar", false}, {"Pemble", false}}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    folder.Touch(c.files);
    const LessonCheck check = CheckLesson(folder.path(), {}, Guess);
    const auto usable = Usable(check);
    for (const auto& [program, count] : c.usable) EXPECT_EQ(usable.at(program), count) << c.name << ", " << program;
    for (const auto& [program, enough] : c.enough) {
      const auto it = std::find_if(check.games.begin(), check.games.end(),
                                   [&program = program](const GameCount& g) { return g.game->program == program; });
      ASSERT_NE(it, check.games.end());
      EXPECT_EQ(it->enough, enough) << c.name << ", " << program;
    }
    EXPECT_EQ(DescribeGames(check).size(), 6u);
  }
}

// The check's table of what each game needs is the games' own.
TEST(LessonCheck, KnowsWhatEachGameNeeds) {
  FakePlatform platform;
  Lesson lesson(platform.services());
  initial_letter::InitialLetterGame oltar(lesson);
  kana_catching::KanaCatchingGame pemble(lesson);
  card_picking::CardPickingGame suvan(lesson);
  word_building::WordBuildingGame dabrel(lesson);
  name_choice::NameChoiceGame quoma(lesson);
  picture_card::PictureCardGame vintal(lesson);
  const std::vector<const Game*> games = {&oltar, &pemble, &suvan, &dabrel, &quoma, &vintal};
  ASSERT_EQ(SixGamesNeeds().size(), games.size());
  for (std::size_t i = 0; i < games.size(); ++i) {
    const GameInfo& info = games[i]->Info();
    const GameNeeds& needs = SixGamesNeeds()[i];
    EXPECT_EQ(needs.program, info.program);
    EXPECT_EQ(needs.title, info.title);
    EXPECT_EQ(needs.fewest_pictures, info.fewest_pictures) << info.program;
    EXPECT_EQ(needs.needs_four_initials, info.selection_needs_four_initials) << info.program;
  }
}

}  // namespace
}  // namespace kanae
