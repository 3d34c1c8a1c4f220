// The learning record in a lesson folder others can write: what is planted
// under its name is refused, the start-up repair cuts no more than an
// unfinished last line, and the per-user records are the teacher's alone.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "../../games/initial_letter/questions.h"
#include "fakes.h"
#include "learning_record.h"
#include "lesson.h"
#include "record_reader.h"

namespace kanae {
namespace {

using namespace kanae::testing;
namespace fs = std::filesystem;

const std::string kBomHeader = [] {
  std::string line = "\xEF\xBB\xBF";
  for (const std::string& column : RecordColumns()) line += (line.size() > 3 ? "," : "") + column;
  return line + "\r\n";
}();

std::string Line(int n, const std::string& picture = "いぬ.jpg") {
  RecordEntry entry;
  entry.date_time = "2026-12-10T09:" + std::string(n % 60 < 10 ? "0" : "") + std::to_string(n % 60) + ":00+09:00";
  entry.game = U"オルタ文字";
  entry.picture = FromUtf8(picture);
  entry.asked = U"い";
  entry.chosen = U"い";
  entry.right = true;
  return FormatRecordLine(entry);
}

std::string Lines(int from, int to) {
  std::string lines;
  for (int i = from; i < to; ++i) lines += Line(i);
  return lines;
}

std::string WithCrOnly(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += text[i] == '\n' ? '\r' : text[i];
  }
  return out;
}

TEST(RecordRepair, CutsOnlyAnUnfinishedLastRecordAndNeverMore) {
  const std::string whole = kBomHeader + Lines(0, 30);
  const std::string torn = Line(31).substr(0, 40);
  const std::string named_over_lines = Line(32, "い\nぬ.jpg");  // a name with a line break in it
  const std::string long_torn(kRepairLookBack + 10, 'x');
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t keep;
  };
  const std::vector<Case> cases = {
      {"empty", "", 0},
      {"whole lines", whole, whole.size()},
      {"a stray quote added by hand mid-file", kBomHeader + Lines(0, 11) + "先生のメモ \"大事\"\"\r\n" + Lines(12, 30),
       std::string::npos},
      {"a stray quote far up in a long file", kBomHeader + "\"\r\n" + Lines(0, 1200), std::string::npos},
      {"CR only", WithCrOnly(whole), whole.size() - 31},
      {"LF only", [&] { std::string s = WithCrOnly(whole); for (char& c : s) if (c == '\r') c = '\n'; return s; }(),
       whole.size() - 31},
      {"a torn last line", whole + torn, whole.size()},
      {"a torn last line inside an open quote", whole + "2026-12-10T09:31:00+09:00,オルタ文字,\"い,ぬ", whole.size()},
      {"torn right after a line break inside a quoted name", whole + named_over_lines.substr(0, named_over_lines.find('\n') + 1),
       whole.size()},
      {"torn in the second line of a quoted name", whole + named_over_lines.substr(0, named_over_lines.size() - 20),
       whole.size()},
      {"a whole record over two lines", whole + named_over_lines, whole.size() + named_over_lines.size()},
      {"torn between CR and LF", whole + Line(31).substr(0, Line(31).size() - 1), whole.size() + Line(31).size() - 1},
      {"torn inside the date", whole + "2026-1", whole.size()},
      {"torn inside the date after a record over two lines", whole + named_over_lines + "2026-12-",
       whole.size() + named_over_lines.size()},
      {"only a byte-order mark", "\xEF\xBB\xBF", 0},
      {"a torn header", kBomHeader.substr(0, 20), 0},
      {"a finished line of someone else's with one quote", whole + "メモ\"\r\n", whole.size() + 9},
      {"a last line over 64 KB", whole + long_torn, whole.size() + long_torn.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t keep = c.keep == std::string::npos ? c.bytes.size() : c.keep;
    EXPECT_EQ(CompleteRecordLength(c.bytes), keep);
  }
}

struct RecordFolders {
  RecordFolders() {
    setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
    home.Write("notes.txt", kNotes);
  }
  ~RecordFolders() { unsetenv("XDG_DATA_HOME"); }
  static constexpr char kNotes[] = "the teacher's notes\n";
  TempFolder lesson;
  TempFolder home;
  TempFolder data_home;
};

RecordEntry Answer(const char* picture) {
  RecordEntry entry;
  entry.date_time = "2026-12-11T10:00:00+09:00";
  entry.game = U"オルタ文字";
  entry.picture = FromUtf8(picture);
  entry.asked = U"ね";
  entry.chosen = U"ね";
  entry.right = true;
  return entry;
}

TEST(RecordRepair, WhatIsCutIsKeptBesideTheRecordForTheTeacherOnlyAndTheTeacherIsTold) {
  RecordFolders folders;
  const std::string whole = kBomHeader + Lines(0, 3);
  const std::string torn = "2026-12-10T09:31:00+09:00,オルタ文字,\"い,\r\nぬ";
  folders.lesson.Write("学習記録.csv", whole + torn);
  LearningRecord record;
  record.Open(folders.lesson.path());
  EXPECT_EQ(folders.lesson.Read("学習記録.csv"), whole);
  std::vector<fs::path> cuts;
  for (const auto& entry : fs::directory_iterator(folders.lesson.path())) {
    if (PathToUtf8(entry.path().filename()).starts_with("学習記録-cut-")) cuts.push_back(entry.path());
  }
  ASSERT_EQ(cuts.size(), 1u);
  EXPECT_EQ(PathToUtf8(cuts[0].filename()).size(), std::string("学習記録-cut-2026-12-11.txt").size());
  EXPECT_EQ(cuts[0].extension(), ".txt");
  EXPECT_EQ(folders.lesson.Read(PathToUtf8(cuts[0].filename())), torn);
  EXPECT_EQ(fs::status(cuts[0]).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  const std::vector<std::string> notices = record.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find(PathToUtf8(cuts[0])), std::string::npos);
  EXPECT_TRUE(record.TakeNotices().empty());

  // A record of 1,002 lines with a stray quote at line 12 loses nothing.
  const std::string long_record = kBomHeader + Lines(0, 10) + "メモ\"\r\n" + Lines(11, 1002);
  folders.lesson.Write("学習記録.csv", long_record);
  LearningRecord again;
  again.Open(folders.lesson.path());
  EXPECT_TRUE(again.TakeNotices().empty());
  ASSERT_TRUE(again.Append(Answer("ねこ.jpg")));
  again.WaitUntilDurable();
  EXPECT_EQ(folders.lesson.Read("学習記録.csv"), long_record + FormatRecordLine(Answer("ねこ.jpg")));

  // A torn line too long to cut stays, and the next line starts a line of its own.
  const std::string too_long = kBomHeader + Lines(0, 2) + std::string(kRepairLookBack + 1, 'x');
  folders.lesson.Write("学習記録.csv", too_long);
  LearningRecord third;
  third.Open(folders.lesson.path());
  ASSERT_TRUE(third.Append(Answer("ねこ.jpg")));
  third.WaitUntilDurable();
  EXPECT_EQ(folders.lesson.Read("学習記録.csv"), too_long + "\r\n" + FormatRecordLine(Answer("ねこ.jpg")));
}

// What someone else leaves under the record's name.
struct Plant {
  const char* what;
  std::function<bool(const fs::path& name, const fs::path& teachers_file)> make;
};

std::vector<Plant> Plants() {
  return {
      {"a link to the teacher's file",
       [](const fs::path& name, const fs::path& target) { return ::symlink(target.c_str(), name.c_str()) == 0; }},
      {"a link to /dev/null", [](const fs::path& name, const fs::path&) { return ::symlink("/dev/null", name.c_str()) == 0; }},
      {"a link that leads nowhere yet",
       [](const fs::path& name, const fs::path& target) {
         return ::symlink((target.parent_path() / "later.txt").c_str(), name.c_str()) == 0;
       }},
      {"a pipe", [](const fs::path& name, const fs::path&) { return ::mkfifo(name.c_str(), 0666) == 0; }},
      {"a device",
       [](const fs::path& name, const fs::path&) { return ::mknod(name.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
  };
}

TEST(RecordSafety, APlantedLinkPipeOrDeviceIsRefusedAndTheLinesGoToTheTeachersOwnFolder) {
  for (const Plant& plant : Plants()) {
    SCOPED_TRACE(plant.what);
    RecordFolders folders;
    const fs::path name = folders.lesson / "学習記録.csv";
    if (!plant.make(name, folders.home / "notes.txt")) continue;
    // Holding the pipe's other end open, without waiting: whatever reached
    // the pipe can be seen, and a writer would never block on it.
    const int pipe_end = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    LearningRecord record;
    const RecordPlace place = record.Open(folders.lesson.path());
    EXPECT_TRUE(place.in_user_folder);
    EXPECT_EQ(place.folder, UserRecordFolder(folders.lesson.path()));
    ASSERT_TRUE(record.Append(Answer("ねこ.jpg")));
    record.WaitUntilDurable();
    const std::vector<std::string> notices = record.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(PathToUtf8(name)), std::string::npos) << notices[0];
    EXPECT_EQ(folders.home.Read("notes.txt"), RecordFolders::kNotes);
    EXPECT_FALSE(folders.home.Exists("later.txt"));
    if (pipe_end >= 0) {
      char byte;
      EXPECT_LE(::read(pipe_end, &byte, 1), 0);
      ::close(pipe_end);
    }
    const auto rows = report::ReadRecordFiles(RecordFilesFor(folders.lesson.path())).rows;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].picture, "ねこ.jpg");
    EXPECT_EQ(record.current_file(), UserRecordFolder(folders.lesson.path()) / "学習記録.csv");
  }
}

TEST(RecordSafety, LessonsOfOneNameKeepRecordsOfTheirOwnInFoldersOnlyTheTeacherReads) {
  RecordFolders folders;
  TempFolder classes;
  fs::create_directories(classes / "1組" / "どうぶつ");
  fs::create_directories(classes / "2組" / "どうぶつ");
  const fs::path first = UserRecordFolder(classes / "1組" / "どうぶつ");
  const fs::path second = UserRecordFolder(classes / "2組" / "どうぶつ");
  EXPECT_NE(first, second);
  EXPECT_TRUE(PathToUtf8(first.filename()).starts_with("どうぶつ-"));
  EXPECT_EQ(first, UserRecordFolder(classes / "1組" / "どうぶつ/"));  // one lesson, however it is written
  EXPECT_EQ(first.parent_path(), folders.data_home / "kanae" / "records");

  // A planted link sends the record to the per-user folder: made 0700, its file 0600.
  ASSERT_EQ(::symlink("/dev/null", (classes / "1組" / "どうぶつ" / "学習記録.csv").c_str()), 0);
  LearningRecord record;
  record.Open(classes / "1組" / "どうぶつ");
  ASSERT_TRUE(record.Append(Answer("ねこ.jpg")));
  record.WaitUntilDurable();
  for (const fs::path& folder : {first, first.parent_path(), first.parent_path().parent_path()}) {
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
  }
  EXPECT_EQ(fs::status(first / "学習記録.csv").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(second));
}

// A classmate who can write the shared lesson folder plants a link to the
// teacher's file; the teacher's game is told once, in a message that names
// the file, and plays on. As root the classmate is the user nobody.
TEST(RecordSafety, ALinkAnotherUserPlantsIsRefusedOnceWithABannerAndTheGamePlays) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  RecordFolders folders;
  folders.lesson.Touch({"いぬ.jpg"});
  folders.lesson.Write("Oltar.txt", "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n");
  fs::permissions(folders.lesson.path(), fs::perms::all);
  const fs::path record_name = folders.lesson / "学習記録.csv";
  const std::string target = (folders.home / "notes.txt").string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) _exit(3);
    _exit(::symlink(target.c_str(), record_name.c_str()) == 0 ? 0 : 4);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  TempFolder cwd;
  cwd.Write("O.txt", Cp932("よくできました\r\n"));
  cwd.Write("X.txt", Cp932("ざんねん\r\n"));
  FakePlatform platform;
  ManualClock clock;
  Lesson lesson(platform.services(), cwd.path());
  lesson.UseClock(clock);
  initial_letter::InitialLetterGame game(lesson);
  ASSERT_TRUE(lesson.Start({folders.lesson.path().string()}, game));
  lesson.Activate();
  for (int i = 0; i < 2; ++i) {
    platform.speech.Finish();
    game.OnPointer({PointerAction::kClick, game.cards[1], 1});
    platform.speech.Finish();
    static_cast<ManualTimer*>(game.wrong_answer_timer.get())->Tick();
  }
  // Told once, without a box before the child: the banner names the file.
  int told = 0;
  for (const Text& banner : platform.shell.banners) {
    if (banner.find(FromUtf8(PathToUtf8(record_name))) != Text::npos) ++told;
  }
  EXPECT_EQ(told, 1);
  for (const auto& message : platform.shell.messages) {
    EXPECT_EQ(message.text.find(FromUtf8(PathToUtf8(record_name))), Text::npos) << ToUtf8(message.text);
  }
  EXPECT_EQ(folders.home.Read("notes.txt"), RecordFolders::kNotes);
  EXPECT_EQ(report::ReadRecordFiles(RecordFilesFor(folders.lesson.path())).rows.size(), 2u);
}

}  // namespace
}  // namespace kanae
