#include "picture_library.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "fakes.h"

namespace kanae {
namespace {

using testing::Cp932;
using testing::ScriptedRandom;
using testing::TempFolder;

class Selection : public ::testing::Test {
 protected:
  void SetUp() override { folder.Touch({"a.jpg", "b.gif", "c.bmp"}); }

  SelectionOutcome Load() { return LoadTaskSelection(folder / "Fname.txt", Pictures(), tasks); }
  std::vector<Text> Pictures() const { return ListPictureFiles(folder.path()); }

  TempFolder folder;
  std::vector<Text> tasks;
  const std::string all_selected = "\"a.jpg\",#TRUE#\r\n\"b.gif\",#TRUE#\r\n\"c.bmp\",#TRUE#\r\n";
};

TEST_F(Selection, ListsOnlyPicturesInCharacterOrder) {
  folder.Touch({"d.png", "E.JPG", "._a.jpg", "いぬ.Gif", "ねこ.2.jpg", "noext"});
  std::filesystem::create_directory(folder / "dir.jpg");
  EXPECT_EQ(Pictures(), (std::vector<Text>{U"E.JPG", U"a.jpg", U"b.gif", U"c.bmp", U"いぬ.Gif", U"ねこ.2.jpg"}));
}

TEST_F(Selection, AMissingFileSelectsEveryPictureAndIsWritten) {
  EXPECT_EQ(Load().load, SelectionLoad::kCreated);
  EXPECT_EQ(tasks, Pictures());
  EXPECT_EQ(folder.Read("Fname.txt"), all_selected);
}

TEST_F(Selection, AMatchingFileGivesTheMarkedPictures) {
  folder.Write("Fname.txt", "\"a.jpg\",#TRUE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#TRUE#\r\n");
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(tasks, (std::vector<Text>{U"a.jpg", U"c.bmp"}));
}

TEST_F(Selection, AShorterFileIsAcceptedUnchanged) {
  const std::string shorter = "\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n";
  folder.Write("Fname.txt", shorter);
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(tasks, std::vector<Text>{U"b.gif"});
  EXPECT_EQ(folder.Read("Fname.txt"), shorter);
}

TEST_F(Selection, AllFalseGivesNoTask) {
  folder.Write("Fname.txt", "\"a.jpg\",#FALSE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#FALSE#\r\n");
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_TRUE(tasks.empty());
}

TEST_F(Selection, AFileThatDoesNotMatchTheFolderKeepsTheTeachersMarks) {
  struct Case {
    const char* name;
    std::string content;
    std::vector<Text> tasks;
    std::string rebuilt;
    bool kept_marks;
    std::vector<Text> added;
    std::vector<Text> removed;
  };
  const std::string not_b = "\"a.jpg\",#TRUE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#TRUE#\r\n";
  const std::string only_b = "\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n\"c.bmp\",#FALSE#\r\n";
  const std::vector<Text> all = {U"a.jpg", U"b.gif", U"c.bmp"};
  const Case cases[] = {
      {"a picture removed from the end", not_b + "\"d.jpg\",#TRUE#\r\n", {U"a.jpg", U"c.bmp"}, not_b, true, {}, {U"d.jpg"}},
      {"a picture removed in the middle", "\"a.jpg\",#FALSE#\r\n\"aa.jpg\",#TRUE#\r\n\"b.gif\",#TRUE#\r\n\"c.bmp\",#FALSE#\r\n",
       {U"b.gif"}, only_b, true, {}, {U"aa.jpg"}},
      {"a picture added first", "\"b.gif\",#TRUE#\r\n\"c.bmp\",#FALSE#\r\n", {U"a.jpg", U"b.gif"},
       "\"a.jpg\",#TRUE#\r\n\"b.gif\",#TRUE#\r\n\"c.bmp\",#FALSE#\r\n", true, {U"a.jpg"}, {}},
      {"out of order", "\"b.gif\",#TRUE#\r\n\"a.jpg\",#FALSE#\r\n", {U"b.gif", U"c.bmp"},
       "\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n\"c.bmp\",#TRUE#\r\n", true, {U"c.bmp"}, {}},
      {"renamed in case only", "\"A.jpg\",#FALSE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#FALSE#\r\n", {U"a.jpg"},
       "\"a.jpg\",#TRUE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#FALSE#\r\n", true, {U"a.jpg"}, {U"A.jpg"}},
      {"a record twice", "\"0.jpg\",#FALSE#\r\n\"0.jpg\",#FALSE#\r\n\"a.jpg\",#FALSE#\r\n\"b.gif\",#FALSE#\r\n", {U"c.bmp"},
       "\"a.jpg\",#FALSE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#TRUE#\r\n", true, {U"c.bmp"}, {U"0.jpg"}},
      {"not a flag", "\"a.jpg\",yes\r\n", all, all_selected, false, {}, {}},
      {"a missing flag", "\"a.jpg\"\r\n", all, all_selected, false, {}, {}},
      {"not text", "\x82\xFF", all, all_selected, false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write("Fname.txt", c.content);
    tasks.clear();
    const SelectionOutcome outcome = Load();
    EXPECT_EQ(outcome.load, SelectionLoad::kRebuilt);
    EXPECT_TRUE(outcome.write.ok);
    EXPECT_FALSE(outcome.left_read_only);
    EXPECT_EQ(tasks, c.tasks);
    EXPECT_EQ(folder.Read("Fname.txt"), c.rebuilt);
    EXPECT_EQ(outcome.kept_marks, c.kept_marks);
    EXPECT_EQ(outcome.added, c.added);
    EXPECT_EQ(outcome.removed, c.removed);
    // Read as it stands at the next start.
    EXPECT_EQ(Load().load, SelectionLoad::kRead);
  }
}

TEST(SelectionRebuild, TheTeachersFourOfTwentyOneSurviveAPictureRemovedAndOneAddedFirst) {
  TempFolder folder;
  std::vector<std::string> names;
  for (char c = 'b'; c < 'b' + 21; ++c) names.push_back(std::string(1, c) + ".jpg");
  folder.Touch(names);
  const std::vector<Text> chosen = {U"c.jpg", U"f.jpg", U"k.jpg", U"t.jpg"};
  ASSERT_TRUE(SaveTaskSelection(folder / "Fname.txt", ListPictureFiles(folder.path()), chosen).ok);
  std::filesystem::remove(folder / "k.jpg");
  std::filesystem::remove(folder / "d.jpg");
  folder.Touch({"a.jpg"});
  std::vector<Text> tasks;
  const SelectionOutcome outcome = LoadTaskSelection(folder / "Fname.txt", ListPictureFiles(folder.path()), tasks);
  EXPECT_EQ(tasks, (std::vector<Text>{U"a.jpg", U"c.jpg", U"f.jpg", U"t.jpg"}));
  const Text told = DescribeSelectionChange(outcome);
  EXPECT_TRUE(told.starts_with(U"課題の選択「Fname.txt」をフォルダの絵に合わせて直しました。選んであった絵はそのままです。"))
      << ToUtf8(told);
  EXPECT_NE(told.find(U"新しい絵1枚を課題に入れました：a.jpg"), Text::npos) << ToUtf8(told);
  EXPECT_NE(told.find(U"フォルダにない絵2枚を外しました：d.jpg、k.jpg"), Text::npos) << ToUtf8(told);
}

TEST_F(Selection, AWriteProtectedFileThatNeedsRebuildingIsLeftAsItIs) {
  const std::string stale = "\"0.jpg\",#TRUE#\r\n\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n";
  folder.Write("Fname.txt", stale);
  std::filesystem::permissions(folder / "Fname.txt", std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  const SelectionOutcome outcome = Load();
  EXPECT_EQ(outcome.load, SelectionLoad::kRebuilt);
  EXPECT_TRUE(outcome.left_read_only);
  EXPECT_EQ(tasks, (std::vector<Text>{U"b.gif", U"c.bmp"}));  // the rebuilt selection, for this run
  EXPECT_EQ(folder.Read("Fname.txt"), stale);
  EXPECT_EQ(std::filesystem::status(folder / "Fname.txt").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  const Text told = DescribeSelectionChange(outcome);
  EXPECT_NE(told.find(U"書き込みが禁止されているので、そのままにしてあります"), Text::npos) << ToUtf8(told);
  EXPECT_NE(told.find(U"フォルダにない絵1枚を外しました：0.jpg"), Text::npos) << ToUtf8(told);
}

TEST_F(Selection, SavingTheSelectionTheFileHoldsLeavesItByteForByte) {
  // As an editor may have left it: LF line ends, a mark, a name without quotes.
  const std::string edited = "\xEF\xBB\xBF\"a.jpg\",#TRUE#\nb.gif,#FALSE#\n\"c.bmp\",#TRUE#\n";
  folder.Write("Fname.txt", edited);
  ASSERT_TRUE(SaveTaskSelection(folder / "Fname.txt", Pictures(), {U"c.bmp", U"a.jpg"}).ok);
  EXPECT_EQ(folder.Read("Fname.txt"), edited);
  ASSERT_TRUE(SaveTaskSelection(folder / "Fname.txt", Pictures(), {U"a.jpg"}).ok);
  EXPECT_EQ(folder.Read("Fname.txt"), "\"a.jpg\",#TRUE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#FALSE#\r\n");
}

TEST_F(Selection, APictureAddedAtTheEndIsNotATaskUntilSelected) {
  folder.Write("Fname.txt", "\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n\"c.bmp\",#FALSE#\r\n");
  folder.Touch({"z.jpg"});
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(tasks, std::vector<Text>{U"b.gif"});
}

TEST_F(Selection, TrailingEmptyLinesAreNotRecords) {
  folder.Write("Fname.txt", "\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n\r\n\r\n");
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(tasks, std::vector<Text>{U"b.gif"});
}

TEST_F(Selection, NamesWithQuotesCommasAndKanaRoundTrip) {
  folder.Touch({"say \"hi\".jpg", "a,b.gif", "いぬ.jpg"});
  const auto pictures = Pictures();
  ASSERT_TRUE(SaveTaskSelection(folder / "Fname.txt", pictures, {U"say \"hi\".jpg", U"いぬ.jpg"}).ok);
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(tasks, (std::vector<Text>{U"say \"hi\".jpg", U"いぬ.jpg"}));
  EXPECT_NE(folder.Read("Fname.txt").find(Cp932("\"いぬ.jpg\",#TRUE#\r\n")), std::string::npos);
}

TEST_F(Selection, TakesEveryPictureOfALargeFolder) {
  std::vector<std::string> names;
  for (int i = 0; i < 150; ++i) names.push_back("p" + std::to_string(1000 + i) + ".jpg");
  folder.Touch(names);
  EXPECT_EQ(Load().load, SelectionLoad::kCreated);
  EXPECT_EQ(tasks.size(), 153u);
  EXPECT_EQ(Load().load, SelectionLoad::kRead);  // and the file it wrote matches next time
  EXPECT_EQ(tasks.size(), 153u);
}

TEST_F(Selection, NamesThatCp932CanOnlyApproximateReadBackExactly) {
  for (const std::string name : {"ゆ〜.jpg", "ま−.jpg", "‖.jpg", "—.jpg", "¢.jpg", "£.jpg", "¬.jpg", "～.jpg"}) {
    TempFolder lesson;
    lesson.Touch({"a.jpg", name});
    const std::vector<Text> pictures = ListPictureFiles(lesson.path());
    ASSERT_TRUE(SaveTaskSelection(lesson / "Fname.txt", pictures, {FromUtf8(name)}).ok);
    std::vector<Text> loaded;
    EXPECT_EQ(LoadTaskSelection(lesson / "Fname.txt", pictures, loaded).load, SelectionLoad::kRead) << name;
    EXPECT_EQ(loaded, std::vector<Text>{FromUtf8(name)}) << name;
  }
}

TEST_F(Selection, AHalfWidthKatakanaNameInCp932IsReadAsCp932) {
  // ﾈｺ is C8 BA in CP932, which is also a valid UTF-8 character.
  folder.Touch({"ﾈｺ.jpg"});
  folder.Write("Fname.txt", "\"a.jpg\",#FALSE#\r\n\"b.gif\",#FALSE#\r\n\"c.bmp\",#FALSE#\r\n\"\xC8\xBA.jpg\",#TRUE#\r\n");
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(tasks, std::vector<Text>{U"ﾈｺ.jpg"});
}

TEST_F(Selection, AFileThatCannotBeReadIsLeftAsItIsAndEveryPicturePlays) {
  std::filesystem::create_directory(folder / "Fname.txt");
  const SelectionOutcome outcome = Load();
  EXPECT_EQ(outcome.load, SelectionLoad::kUnreadable);
  EXPECT_EQ(outcome.read_error, EISDIR);
  EXPECT_EQ(tasks, Pictures());
  EXPECT_TRUE(std::filesystem::is_directory(folder / "Fname.txt"));
}

TEST_F(Selection, AFileLargerThanATextFileMayBeIsReadUpToTheLimit) {
  std::string content = "\"a.jpg\",#FALSE#\r\n\"b.gif\",#TRUE#\r\n";
  content.append(kTextFileLimitBytes, ' ');
  folder.Write("Fname.txt", content);
  const SelectionOutcome outcome = Load();
  EXPECT_EQ(outcome.load, SelectionLoad::kRead);
  EXPECT_TRUE(outcome.truncated);
  EXPECT_EQ(tasks, std::vector<Text>{U"b.gif"});
}

TEST_F(Selection, DecomposedNamesStayAsTheFolderSpellsThemButAreNamedComposed) {
  const std::string decomposed = "か\u3099き.jpg";  // が as か + combining voiced mark
  folder.Touch({decomposed});
  EXPECT_EQ(Load().load, SelectionLoad::kCreated);
  // The combining mark has no CP932 code: the file is UTF-8, with the name as the folder has it.
  EXPECT_TRUE(folder.Read("Fname.txt").starts_with("\xEF\xBB\xBF"));
  EXPECT_NE(folder.Read("Fname.txt").find("\"" + decomposed + "\""), std::string::npos);
  EXPECT_EQ(Load().load, SelectionLoad::kRead);
  EXPECT_EQ(NameOfPicture(FromUtf8(decomposed)), U"がき");
  EXPECT_EQ(NameOfPicture(FromUtf8(decomposed)).size(), 2u);
}

TEST(PictureFolder, AFolderThatCannotBeListedIsReportedNotThrown) {
  TempFolder folder;
  folder.Write("file", "not a folder");
  const PictureListing listing = ListPictureFolder(folder / "file");
  EXPECT_FALSE(listing.complete);
  EXPECT_FALSE(listing.error.empty());
  EXPECT_TRUE(listing.pictures.empty());
  folder.Touch({"a.jpg"});
  EXPECT_TRUE(ListPictureFolder(folder.path()).complete);
}

TEST(SelectionRecords, ParsingTheWrittenLinesGivesTheSelectionBack) {
  const std::vector<Text> pictures = {U"a.jpg", U"say \"hi\".jpg", U"〜.jpg", U"x,y.jpg"};
  const std::vector<Text> tasks = {U"say \"hi\".jpg", U"x,y.jpg"};
  Text content;
  for (const Text& line : TaskSelectionLines(pictures, tasks)) content += line + U"\r\n";
  EXPECT_EQ(ParseTaskSelection(content, pictures), tasks);
  EXPECT_EQ(ParseTaskSelection(content, {U"a.jpg"}), std::nullopt);  // more records than pictures
}

TEST(Shuffle, MakesCountExchangesOfIndependentlyDrawnPositions) {
  // Positions drawn: (0,2) (1,1) (2,0): a c b -> c b a... step by step.
  std::vector<Text> tasks = {U"a", U"b", U"c"};
  ScriptedRandom rnd({0.0, 0.9, 0.5, 0.4, 0.7, 0.1});
  ShuffleTasks(tasks, rnd);
  // swap(0,2): c b a; swap(1,1): c b a; swap(2,0): a b c
  EXPECT_EQ(tasks, (std::vector<Text>{U"a", U"b", U"c"}));
  EXPECT_EQ(rnd.used(), 6u);
  EXPECT_EQ(rnd.reseeds, 1);

  ScriptedRandom second({0.0, 0.5, 0.5, 0.9, 0.9, 0.0});
  ShuffleTasks(tasks, second);
  // swap(0,1): b a c; swap(1,2): b c a; swap(2,0): a c b
  EXPECT_EQ(tasks, (std::vector<Text>{U"a", U"c", U"b"}));
}

TEST(Shuffle, SeededShuffleIsRepeatableAndKeepsEveryTask) {
  const std::vector<Text> original = {U"a", U"b", U"c", U"d", U"e", U"f", U"g", U"h"};
  std::vector<Text> first = original;
  std::vector<Text> second = original;
  SeededRandomSource rnd(42);
  ShuffleTasks(first, rnd);
  ShuffleTasks(second, rnd);  // reseeded: the same order again
  EXPECT_EQ(first, second);
  EXPECT_NE(first, original);
  std::vector<Text> sorted = first;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, original);
}

TEST(Shuffle, OneOrNoTaskIsLeftAlone) {
  std::vector<Text> one = {U"a"};
  std::vector<Text> none;
  ScriptedRandom rnd({0.7});
  ShuffleTasks(one, rnd);
  ShuffleTasks(none, rnd);
  EXPECT_EQ(one, std::vector<Text>{U"a"});
  EXPECT_TRUE(none.empty());
}

TEST(Shuffle, ClockSeededOrdersDiffer) {
  std::vector<Text> tasks;
  for (int i = 0; i < 20; ++i) tasks.push_back(FromUtf8(std::to_string(i)));
  std::vector<Text> first = tasks;
  std::vector<Text> second = tasks;
  ClockRandomSource rnd;
  ShuffleTasks(first, rnd);
  ShuffleTasks(second, rnd);  // reseeded at once: still another order
  EXPECT_NE(first, second);
}

TEST(NameOfPicture, IsTheTextBeforeTheFirstDot) {
  EXPECT_EQ(NameOfPicture(U"いぬ.jpg"), U"いぬ");
  EXPECT_EQ(NameOfPicture(U"ねこ.2.jpg"), U"ねこ");
  EXPECT_EQ(NameOfPicture(U".jpg"), U"");
}

}  // namespace
}  // namespace kanae
