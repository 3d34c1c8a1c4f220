#include "record_reader.h"

#include <csv.h>

#include <charconv>
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

// The whole field as a number, or false.
template <typename Number>
bool ParseNumber(const std::string& field, Number& value) {
  const char* end = field.data() + field.size();
  const auto [at, error] = std::from_chars(field.data(), end, value);
  return error == std::errc() && at == end && !field.empty();
}

bool ToRow(const std::vector<std::string>& f, RecordRow& row) {
  if (f.size() != RecordColumns().size() && f.size() != FirstRecordColumns().size()) return false;
  if (f[5] != kRight && f[5] != kWrong) return false;
  if (f[11] != kPhaseAnswer && f[11] != kPhaseCatch) return false;
  if (f[0].size() < 10) return false;
  if (!ParseNumber(f[6], row.seconds)) return false;
  if (!ParseNumber(f[7], row.attempt)) return false;
  row.date_time = f[0];
  row.day = row.date_time.substr(0, 10);
  row.game = f[1];
  row.picture = TextOfCsvField(f[2]);
  row.asked = TextOfCsvField(f[3]);
  row.chosen = TextOfCsvField(f[4]);
  row.right = f[5] == kRight;
  row.distractors = f[8];
  row.cards = f[9];
  row.answering = f[10];
  row.caught = f[11] == kPhaseCatch;
  if (f.size() > 12) {
    row.asked_letter = TextOfCsvField(f[12]);
    row.chosen_letter = TextOfCsvField(f[13]);
    row.child = TextOfCsvField(f[14]);
  }
  return true;
}

void OnRowEnd(int, void* data) {
  auto& c = *static_cast<Collector*>(data);
  RecordRow row;
  if (!c.header_seen && (c.fields == RecordColumns() || c.fields == FirstRecordColumns())) {
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
