// Files the games write, in a lesson folder where others may plant links,
// pipes and devices under their names.
#include "safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "fakes.h"
#include "text_file.h"

namespace kanae {
namespace {

using testing::TempFolder;

namespace fs = std::filesystem;

// What someone else leaves under a file's name. Each plant returns false
// when this machine cannot make it (a device needs root).
struct Plant {
  const char* what;
  std::function<bool(const TempFolder& lesson, const fs::path& name, const fs::path& teachers_file)> make;
  int refusal;  // the error a read or an open gives
};

std::vector<Plant> Plants() {
  return {
      {"a link to the teacher's own file",
       [](const TempFolder&, const fs::path& name, const fs::path& target) {
         fs::create_symlink(target, name);
         return true;
       },
       kLinkRefused},
      {"a link to a file that does not exist yet",
       [](const TempFolder& lesson, const fs::path& name, const fs::path&) {
         fs::create_symlink(lesson / "nowhere.txt", name);
         return true;
       },
       kLinkRefused},
      {"a link to /dev/null",
       [](const TempFolder&, const fs::path& name, const fs::path&) {
         fs::create_symlink("/dev/null", name);
         return true;
       },
       kLinkRefused},
      {"a pipe",
       [](const TempFolder&, const fs::path& name, const fs::path&) { return ::mkfifo(name.c_str(), 0666) == 0; },
       kNotRegularRefused},
      {"a device",
       [](const TempFolder&, const fs::path& name, const fs::path&) {
         return ::mknod(name.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;  // what /dev/null is
       },
       kNotRegularRefused},
  };
}

class SafeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    teachers_file = home.path() / "notes.txt";
    home.Write("notes.txt", kNotes);
  }
  static constexpr char kNotes[] = "the teacher's notes\n";
  TempFolder lesson;
  TempFolder home;
  fs::path teachers_file;
};

TEST_F(SafeFile, AReplacementPutsARegularFileUnderTheNameAndNeverWritesThroughWhatWasPlantedThere) {
  for (const Plant& plant : Plants()) {
    SCOPED_TRACE(plant.what);
    const fs::path name = lesson / "Oltar.txt";
    fs::remove(name);
    if (!plant.make(lesson, name, teachers_file)) continue;
    const WriteOutcome outcome = ReplaceTextFile(name, {U"#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#"});
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(name)));
    EXPECT_EQ(lesson.Read("Oltar.txt"), "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n");
    EXPECT_EQ(home.Read("notes.txt"), kNotes);
    EXPECT_FALSE(lesson.Exists("nowhere.txt"));
  }
}

TEST_F(SafeFile, AFileTheGamesWroteIsReadOnlyWhenItIsARegularFileAndAPipeNeverHangsTheReader) {
  for (const Plant& plant : Plants()) {
    SCOPED_TRACE(plant.what);
    const fs::path name = lesson / "Fname.txt";
    fs::remove(name);
    if (!plant.make(lesson, name, teachers_file)) continue;
    const TextFileContent content = ReadTextFile(name);  // a pipe with no writer: returns at once
    EXPECT_EQ(content.status, ReadStatus::kUnreadable);
    EXPECT_EQ(content.error, plant.refusal);
    EXPECT_FALSE(ReadFailureReason(content.error).empty());
  }
}

TEST_F(SafeFile, OpeningRefusesEverythingButARegularFileAndCreatesNothingThroughALink) {
  for (const int flags : {O_RDONLY, O_RDWR | O_APPEND | O_CREAT, O_WRONLY | O_APPEND | O_CREAT}) {
    for (const Plant& plant : Plants()) {
      SCOPED_TRACE(std::string(plant.what) + " flags " + std::to_string(flags));
      const fs::path name = lesson / "学習記録.csv";
      fs::remove(name);
      if (!plant.make(lesson, name, teachers_file)) continue;
      const OpenedFile opened = OpenRegularFile(name, flags);
      EXPECT_EQ(opened.fd, -1);
      if (opened.fd >= 0) ::close(opened.fd);
      EXPECT_TRUE(IsRefusal(opened.error)) << opened.error;
      EXPECT_FALSE(RefusalReason(opened.error).empty());
      EXPECT_FALSE(lesson.Exists("nowhere.txt"));
    }
  }
  // A folder under the name, and the ordinary case.
  fs::remove(lesson / "学習記録.csv");
  fs::create_directory(lesson / "学習記録.csv");
  EXPECT_EQ(OpenRegularFile(lesson / "学習記録.csv", O_RDONLY).error, kFolderRefused);
  const OpenedFile made = OpenRegularFile(lesson / "new.csv", O_RDWR | O_CREAT | O_APPEND, 0600);
  ASSERT_GE(made.fd, 0);
  // Blocking again once checked: a write is never cut short by O_NONBLOCK.
  EXPECT_EQ(::fcntl(made.fd, F_GETFL) & O_NONBLOCK, 0);
  ::close(made.fd);
  EXPECT_EQ(fs::status(lesson / "new.csv").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SafeFile, AReadOnlyFileIsLeftAsItIsAndTheCallerIsToldEvenAsRoot) {
  lesson.Write("Fname.txt", "\"いぬ.jpg\",#TRUE#\r\n");
  fs::permissions(lesson / "Fname.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const WriteOutcome outcome = ReplaceTextFile(lesson / "Fname.txt", {U"\"ねこ.jpg\",#TRUE#"});
  EXPECT_FALSE(outcome.ok);
  EXPECT_TRUE(outcome.read_only);
  EXPECT_NE(outcome.error.find("読み取り専用"), std::string::npos) << outcome.error;
  EXPECT_EQ(lesson.Read("Fname.txt"), "\"いぬ.jpg\",#TRUE#\r\n");
  EXPECT_EQ(fs::status(lesson / "Fname.txt").permissions() & fs::perms::owner_write, fs::perms::none);
  // Nothing left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(lesson.path()), {}), 1);
}

TEST_F(SafeFile, OurOwnStaleTemporaryFilesGoAtTheNextSaveAndNothingElse) {
  struct Leftover {
    const char* name;
    bool old;
    bool removed;
  };
  const std::vector<Leftover> leftovers = {
      {"Oltar.txt.kanae-tmp-a1B2c3D4", true, true},   // a save ended by kill -9
      {"Fname.txt.kanae-tmp-x9y8z7w6", true, true},   // another file's, same folder
      {"Oltar.txt.tmp123456", true, true},            // the older naming, beside its file
      {"Oltar.txt.kanae-tmp-q1w2e3r4", false, false},  // another game may be writing it now
      {"notes.tmp1", true, false},                     // the teacher's own
      {"Fname.txt.tmp42", true, false},                // older naming, but not the file saved
      {"いぬ.jpg", true, false},
  };
  for (const Leftover& leftover : leftovers) {
    lesson.Write(leftover.name, "x");
    if (leftover.old) {
      fs::last_write_time(lesson / leftover.name, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
  }
  ASSERT_TRUE(ReplaceTextFile(lesson / "Oltar.txt", {U"1"}).ok);
  for (const Leftover& leftover : leftovers) EXPECT_EQ(lesson.Exists(leftover.name), !leftover.removed) << leftover.name;
  EXPECT_EQ(lesson.Read("Oltar.txt"), "1\r\n");
  EXPECT_TRUE(IsTemporaryName("Oltar.txt.kanae-tmp-Ab12", "Oltar.txt"));
  EXPECT_FALSE(IsTemporaryName("Oltar.txt.kanae-tmp-", "Oltar.txt"));
  EXPECT_FALSE(IsTemporaryName(".kanae-tmp-ab", ""));
  EXPECT_FALSE(IsTemporaryName("Oltar.txt.tmp1234567", "Oltar.txt"));
}

// A classmate who can write the shared lesson folder plants the names; the
// teacher's game then saves. Needs a second user: as root the plants are made
// by the user nobody.
TEST_F(SafeFile, WhatAnotherUserPlantsInASharedLessonFolderNeverReachesTheTeachersFiles) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  fs::permissions(lesson.path(), fs::perms::all);  // a shared folder: everyone writes
  fs::permissions(home.path(), fs::perms::owner_all);
  ::chmod(teachers_file.c_str(), 0600);
  const std::string target = teachers_file.string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) _exit(3);
    const bool planted = ::symlink(target.c_str(), (lesson / "Oltar.txt").c_str()) == 0 &&
                         ::symlink(target.c_str(), (lesson / "Fname.txt").c_str()) == 0 &&
                         ::mkfifo((lesson / "入力.txt").c_str(), 0666) == 0;
    _exit(planted ? 0 : 4);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  for (const char* name : {"Oltar.txt", "Fname.txt", "入力.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ReadTextFile(lesson / name).status, ReadStatus::kUnreadable);
    EXPECT_TRUE(ReplaceTextFile(lesson / name, {U"ours"}).ok);
    EXPECT_EQ(lesson.Read(name), "ours\r\n");
    struct stat info {};
    ASSERT_EQ(::lstat((lesson / name).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_uid, ::geteuid());
  }
  EXPECT_EQ(home.Read("notes.txt"), kNotes);
}

}  // namespace
}  // namespace kanae
