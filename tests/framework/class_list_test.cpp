// The class list: what a teacher (or a damaged file) may put in it, and that
// saving never loses a line she wrote.
#include "class_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "fakes.h"

namespace kanae {
namespace {

using namespace kanae::testing;

std::vector<std::string> Names(const ClassList& list) {
  std::vector<std::string> names;
  for (const Child& child : list.children) names.push_back(ToUtf8(child.name));
  return names;
}

TEST(ClassList, ReadsNamesOfAnyScriptWithTheirPictureOrColour) {
  const ClassList list = ParseClassList(FromUtf8(
      "はなこ\t#3A9D5D\r\n"
      "たろう\tpictures/たろう.jpg\r\n"
      "李 小龍\r\n"
      "Ana María\t/home/sensei/ana.jpg\r\n"
      "\r\n"
      "  ゆうき　\t#12345\r\n"));  // spaces around the name go; not a colour: a picture's name
  EXPECT_EQ(list.load, ClassListLoad::kRead);
  EXPECT_EQ(list.skipped, 0);
  ASSERT_EQ(Names(list), (std::vector<std::string>{"はなこ", "たろう", "李 小龍", "Ana María", "ゆうき"}));
  EXPECT_EQ(list.children[0].colour, 0x3A9D5Du);
  EXPECT_EQ(list.children[1].picture, "pictures/たろう.jpg");
  EXPECT_FALSE(list.children[2].colour.has_value());
  EXPECT_EQ(list.children[2].picture, "");
  EXPECT_EQ(list.children[3].picture, "/home/sensei/ana.jpg");
  EXPECT_EQ(list.children[4].picture, "#12345");
}

TEST(ClassList, LeavesOutLinesThatAreNoChildAndSaysHowMany) {
  struct Case {
    const char* what;
    std::string content;
    std::vector<std::string> names;
    int skipped;
  };
  const Text forty_one(kLongestChildName + 1, U'あ');
  const Case cases[] = {
      {"a name twice (composed and not)", "が\r\nか\xE3\x82\x99\r\n", {"が"}, 1},
      {"a tab and nothing before it", "\t#ffffff\r\nはなこ\r\n", {"はなこ"}, 1},
      {"a name too long to be a name", ToUtf8(forty_one) + "\r\nはなこ\r\n", {"はなこ"}, 1},
      {"control characters", "は\x01な\x7Fこ\r\n", {"はなこ"}, 0},
      {"blank lines only", "\r\n\r\n\n", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ClassList list = ParseClassList(FromUtf8(c.content));
    EXPECT_EQ(Names(list), c.names);
    EXPECT_EQ(list.skipped, c.skipped);
    EXPECT_EQ(list.load, c.skipped > 0 ? ClassListLoad::kRepaired : ClassListLoad::kRead);
  }

  std::string crowd;
  for (std::size_t i = 0; i < kMostChildren + 5; ++i) crowd += "子" + std::to_string(i) + "\r\n";
  const ClassList list = ParseClassList(FromUtf8(crowd));
  EXPECT_EQ(list.children.size(), kMostChildren);
  EXPECT_EQ(list.skipped, 5);
}

TEST(ClassListFile, AFileThatCannotBeReadIsNeverWrittenOver) {
  TempFolder folder;
  struct Case {
    const char* what;
    std::function<void()> make;
    ClassListLoad load;
  };
  const std::filesystem::path file = ClassListFile(folder.path());
  const Case cases[] = {
      {"missing", [] {}, ClassListLoad::kMissing},
      {"a folder in its place", [&] { std::filesystem::create_directory(file); }, ClassListLoad::kUnreadable},
      {"not text", [&] { folder.Write(kClassListName, std::string("\x81\x7f\xff\xfe\x00\x85", 6)); },
       ClassListLoad::kUnreadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(file);
    c.make();
    const std::string before = std::filesystem::is_regular_file(file) ? folder.Read(kClassListName) : "";
    const ClassList list = LoadClassList(file);
    EXPECT_EQ(list.load, c.load);
    EXPECT_TRUE(list.children.empty());
    const WriteOutcome saved = SaveClassList(file, {{U"はなこ", "", std::nullopt}}, list.load);
    EXPECT_EQ(saved.ok, c.load == ClassListLoad::kMissing);
    if (c.load == ClassListLoad::kUnreadable) {
      EXPECT_FALSE(saved.error.empty());
      if (std::filesystem::is_regular_file(file)) {
        EXPECT_EQ(folder.Read(kClassListName), before);
      }
    }
  }
}

TEST(ClassListFile, SavesOwnerOnlyAndKeepsARepairedFilesLinesBeside) {
  TempFolder folder;
  const std::filesystem::path file = ClassListFile(folder.path());
  const std::string written_by_hand = "はなこ\t#ff0000\r\nはなこ\r\n\t\r\n";
  folder.Write(kClassListName, "\xEF\xBB\xBF" + written_by_hand);
  const ClassList list = LoadClassList(file);
  ASSERT_EQ(list.load, ClassListLoad::kRepaired);
  EXPECT_EQ(list.skipped, 2);

  std::vector<Child> children = list.children;
  children.push_back({U"たろう\tは\n", "", 0x0000FF});  // a tab or line break typed into a name is a space
  ASSERT_TRUE(SaveClassList(file, children, list.load).ok);
  EXPECT_EQ(folder.Read("クラス.txt.bak"), "\xEF\xBB\xBF" + written_by_hand);
  const ClassList again = LoadClassList(file);
  EXPECT_EQ(again.load, ClassListLoad::kRead);
  EXPECT_EQ(Names(again), (std::vector<std::string>{"はなこ", "たろう は"}));
  EXPECT_EQ(again.children[0].colour, 0xFF0000u);
  EXPECT_EQ(again.children[1].colour, 0x0000FFu);
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(ClassListFile, LivesInTheUsersDataFolderUnlessTheTeacherChoosesAFolder) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string before = saved != nullptr ? saved : "";
  setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(ClassListFile(), std::filesystem::path("/srv/data/kanae") / std::filesystem::path(u8"クラス.txt"));
  EXPECT_EQ(ClassListFile("/mnt/share/1組"), std::filesystem::path("/mnt/share/1組") / std::filesystem::path(u8"クラス.txt"));
  if (saved != nullptr) {
    setenv("XDG_DATA_HOME", before.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

TEST(ChildFromEnvironment, IsTheCleanedNameOrEmpty) {
  struct Case {
    const char* value;  // nullptr: unset
    const char* child;
  };
  const Case cases[] = {
      {nullptr, ""}, {"", ""}, {"はなこ", "はなこ"}, {" たろう\t", "たろう"}, {"a\nb", "a b"}, {"\xFF\xFE", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value != nullptr ? c.value : "(unset)");
    if (c.value != nullptr) {
      setenv("KANAE_CHILD", c.value, 1);
    } else {
      unsetenv("KANAE_CHILD");
    }
    EXPECT_EQ(ToUtf8(ChildFromEnvironment()), c.child);
  }
  setenv("KANAE_CHILD", std::string(10000, 'x').c_str(), 1);
  EXPECT_EQ(ChildFromEnvironment().size(), kLongestChildName);
  unsetenv("KANAE_CHILD");
}

TEST(ClassColour, ReadsAndWritesSixHexDigits) {
  EXPECT_EQ(ParseColour("#3a9D5d"), 0x3A9D5Du);
  for (const char* bad : {"", "#", "3a9d5d", "#3a9d5", "#3a9d5dd", "#3a9g5d"}) EXPECT_FALSE(ParseColour(bad)) << bad;
  EXPECT_EQ(FormatColour(0x0A0B0C), "#0a0b0c");
}

}  // namespace
}  // namespace kanae
