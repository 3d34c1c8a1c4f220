#include "trace.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "lesson.h"

namespace kanae {
namespace {

using testing::TempFolder;

// The line after its leading time field.
std::string AfterTime(const std::string& line) { return line.substr(line.find('\t')); }

TEST(Trace, OneEventIsOneLineWhateverItsTextHolds) {
  TempFolder folder;
  {
    Trace trace(PathToUtf8(folder / "trace"));
    trace.Event("speak", "よくできました。これが、いぬ、だね。", "ヨクデキマシタ");
    trace.Event("message", std::string("a\0b", 3));
    trace.Event("message", "tab\there\nnew\rline\x01\x1F\x7F end");
    trace.Event("question", "C:\\lesson\\いぬ.jpg");
    trace.Event("exit");
  }
  const std::string text = folder.Read("trace");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 5u) << text;
  EXPECT_EQ(AfterTime(lines[0]), "\tspeak\tよくできました。これが、いぬ、だね。\tヨクデキマシタ");
  EXPECT_EQ(AfterTime(lines[1]), "\tmessage\ta\\0b");
  EXPECT_EQ(AfterTime(lines[2]), "\tmessage\ttab\\there\\nnew\\rline\\x01\\x1F\\x7F end");
  EXPECT_EQ(AfterTime(lines[3]), "\tquestion\tC:\\lesson\\いぬ.jpg");  // ordinary text as it is
  EXPECT_EQ(AfterTime(lines[4]), "\texit");
}

}  // namespace
}  // namespace kanae
