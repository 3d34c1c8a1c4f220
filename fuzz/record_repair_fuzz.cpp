// The learning record's round trip: lines written by the record writer, the
// file cut anywhere (a crash, a pulled plug), the start-up repair, more lines
// appended, the report's reader: every line that was whole before the cut,
// and every line after, reads back as it was written; only the unfinished
// line is gone (kept beside the record).
//
// Names are drawn from quotes, commas, line ends, spaces, a formula sign and
// kana. Digits are left out: a line that starts with a date is taken for the
// start of a record, so a name holding a line break followed by a date is
// the one case the repair cannot tell from two lines.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "learning_record.h"
#include "report/record_reader.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path base = fs::temp_directory_path() / ("kanae-fuzz-record-" + std::to_string(::getpid()));
    fs::create_directories(base);
    return base;
  }();
  return folder;
}

kanae::RecordEntry Entry(const std::string& picture) {
  kanae::RecordEntry entry;
  entry.date_time = "2026-12-10T09:00:00+09:00";
  entry.game = U"オルタ文字";
  entry.picture = kanae::FromUtf8(picture);
  entry.asked = U"い";
  entry.chosen = U"い";
  entry.right = true;
  return entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const kPieces[] = {"\"", ",", "\r", "\n", "\r\n", " ", "=", "い", "ぬ", "a"};
  std::size_t at = 0;
  const auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };

  // The lines, as the writer writes them after a new file's header.
  std::vector<std::string> names;
  const int lines = 1 + next() % 12;
  for (int i = 0; i < lines; ++i) {
    std::string name;
    const int pieces = next() % 12;
    for (int p = 0; p < pieces; ++p) name += kPieces[next() % std::size(kPieces)];
    names.push_back(name);
  }
  std::string header = "\xEF\xBB\xBF";
  for (const std::string& column : kanae::RecordColumns()) header += (header.size() > 3 ? "," : "") + column;
  header += "\r\n";
  std::string file = header;
  std::vector<std::size_t> ends;  // where each line ends
  for (const std::string& name : names) {
    file += kanae::FormatRecordLine(Entry(name));
    ends.push_back(file.size());
  }
  const std::size_t cut = (static_cast<std::size_t>(next()) << 8 | next()) % (file.size() + 1);
  const std::string torn = file.substr(0, cut);
  // A line is whole once its CR is written: a lone CR ends a line too.
  std::size_t whole = 0;
  while (whole < ends.size() && ends[whole] - 1 <= cut) ++whole;

  // The repair keeps every whole line and cuts no more than one record.
  const std::size_t keep = kanae::CompleteRecordLength(torn);
  FUZZ_CHECK(keep <= torn.size());
  FUZZ_CHECK(whole == 0 ? keep <= header.size() || keep == torn.size() : keep >= ends[whole - 1] - 1);
  FUZZ_CHECK(torn.size() - keep <= kanae::kRepairLookBack);

  // The game starts on the torn file and goes on.
  const fs::path record_file = kanae::RecordFileName(Folder(), 1);
  for (const auto& entry : fs::directory_iterator(Folder())) fs::remove(entry.path());
  std::ofstream(record_file, std::ios::binary) << torn;
  {
    kanae::LearningRecord record;
    record.Open(Folder());
    FUZZ_CHECK(record.Append(Entry("つぎ")));
    FUZZ_CHECK(record.Append(Entry("=\"その,あと\"")));
    record.WaitUntilDurable();
  }
  std::ifstream in(record_file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  kanae::report::RecordRead read;
  kanae::report::ReadRecordBytes(bytes, read);
  FUZZ_CHECK(read.rows.size() == whole + 2);
  for (std::size_t i = 0; i < whole; ++i) FUZZ_CHECK(read.rows[i].picture == names[i]);
  FUZZ_CHECK(read.rows[whole].picture == "つぎ");
  FUZZ_CHECK(read.rows[whole + 1].picture == "=\"その,あと\"");
  FUZZ_CHECK(read.skipped_lines == 0);
  return 0;
}
