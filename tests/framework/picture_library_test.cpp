#include "picture_library.h"

#include <gtest/gtest.h>

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

TEST_F(Selection, AFileThatDoesNotMatchTheFolderIsRebuilt) {
  const std::string cases[] = {
      all_selected + "\"d.jpg\",#TRUE#\r\n",                               // longer
      "\"b.gif\",#TRUE#\r\n\"a.jpg\",#FALSE#\r\n",                         // out of order
      "\"A.jpg\",#FALSE#\r\n",                                             // case changed
      "\"0.jpg\",#FALSE#\r\n\"a.jpg\",#FALSE#\r\n",                        // a picture removed
      "\"a.jpg\",yes\r\n",                                                 // not a flag
      "\"a.jpg\"\r\n",                                                     // a missing flag
      "\x82\xFF",                                                          // not text
  };
  for (const std::string& content : cases) {
    folder.Write("Fname.txt", content);
    tasks.clear();
    EXPECT_EQ(Load().load, SelectionLoad::kRebuilt) << content;
    EXPECT_EQ(tasks, Pictures()) << content;
    EXPECT_EQ(folder.Read("Fname.txt"), all_selected) << content;
  }
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
