#include "record_reader.h"

#include <csv.h>

#include <fstream>
#include <iterator>

#include "learning_record.h"

namespace kanae::report {

namespace {

// libcsv hands over fields and ends of rows through callbacks.
struct Collector {
  std::vector<std::string> fields;
  RecordRead* into = nullptr;
  bool header_seen = false;
};

void OnField(void* data, std::size_t length, void* collector) {
  static_cast<Collector*>(collector)->fields.emplace_back(static_cast<const char*>(data), length);
}

bool ToRow(const std::vector<std::string>& f, RecordRow& row) {
  if (f.size() != RecordColumns().size()) return false;
  const auto q = [](const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); };
  if (f[5] != kRight && f[5] != kWrong) return false;
  if (f[11] != kPhaseAnswer && f[11] != kPhaseCatch) return false;
  if (f[0].size() < 10) return false;
  bool ok = false;
  row.seconds = q(f[6]).toDouble(&ok);
  if (!ok) return false;
  row.attempt = q(f[7]).toInt(&ok);
  if (!ok) return false;
  row.date_time = q(f[0]);
  row.day = row.date_time.left(10);
  row.game = q(f[1]);
  row.picture = q(TextOfCsvField(f[2]));
  row.asked = q(TextOfCsvField(f[3]));
  row.chosen = q(TextOfCsvField(f[4]));
  row.right = f[5] == kRight;
  row.distractors = q(f[8]);
  row.cards = q(f[9]);
  row.answering = q(f[10]);
  row.caught = f[11] == kPhaseCatch;
  return true;
}

void OnRowEnd(int, void* data) {
  auto& c = *static_cast<Collector*>(data);
  RecordRow row;
  if (!c.header_seen && c.fields == RecordColumns()) {
    c.header_seen = true;
  } else if (ToRow(c.fields, row)) {
    c.into->rows.push_back(std::move(row));
  } else {
    ++c.into->skipped_lines;
  }
  c.fields.clear();
}

int NotSpace(unsigned char) { return 0; }  // spaces in a name are part of it

}  // namespace

void ReadRecordBytes(std::string_view bytes, RecordRead& into) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  // Whatever follows the last whole line was cut off while being written.
  const std::size_t whole = CompleteRecordLength(bytes);
  if (whole < bytes.size()) ++into.skipped_lines;
  bytes = bytes.substr(0, whole);

  csv_parser parser;
  // Not strict: a damaged line is dropped by its fields, and reading goes on after it.
  csv_init(&parser, 0);
  csv_set_space_func(&parser, NotSpace);
  Collector collector;
  collector.into = &into;
  csv_parse(&parser, bytes.data(), bytes.size(), OnField, OnRowEnd, &collector);
  csv_fini(&parser, OnField, OnRowEnd, &collector);
  csv_free(&parser);
}

RecordRead ReadRecordFiles(const std::vector<std::filesystem::path>& files) {
  RecordRead read;
  for (const std::filesystem::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      const std::u8string name = file.u8string();
      read.unreadable_files.emplace_back(name.begin(), name.end());
      continue;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ReadRecordBytes(bytes, read);
  }
  return read;
}

}  // namespace kanae::report
