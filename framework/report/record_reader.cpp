#include "record_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

#include "csv_reading.h"
#include "decimal_field.h"
#include "learning_record.h"
#include "record_lines.h"
#include "text.h"
#include "text_file.h"

namespace kanae::report {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// A record spans more than one line only where a name holds a line break. A
// name comes from a file name (at most 255 bytes), so a record of ours never
// spans more lines than this; past them it is a stray quote, and reading
// starts again after it. (A line that is a whole record ends it sooner.)
constexpr int kMostLinesOfARecord = 1024;
constexpr std::size_t kLongestRecord = 64 * 1024;

// The whole field as a whole number, or false.
bool ParseNumber(const std::string& field, int& value) {
  const char* end = field.data() + field.size();
  const auto [at, error] = std::from_chars(field.data(), end, value);
  return error == std::errc() && at == end && !field.empty();
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ToRow(const std::vector<std::string>& f, RecordRow& row) {
  if (f.size() != RecordColumns().size() && f.size() != FirstRecordColumns().size()) return false;
  if (f[5] != kRight && f[5] != kWrong) return false;
  if (f[11] != kPhaseAnswer && f[11] != kPhaseCatch) return false;
  if (!IsRecordDateTime(f[0])) return false;
  if (!ParseDecimalField(f[6], row.seconds)) return false;
  if (!ParseNumber(f[7], row.attempt) || row.attempt < 1) return false;
  // A time that is not a time (edited by hand, or written by a faulty clock)
  // leaves the answer counted but out of the times.
  row.seconds_known = std::isfinite(row.seconds) && row.seconds >= 0;
  if (!row.seconds_known) row.seconds = 0;
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

bool OddQuotes(std::string_view text) { return std::count(text.begin(), text.end(), '"') % 2 != 0; }

bool OnlyEmptyFields(const std::vector<std::string>& fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); });
}

// Turns the lines of one file into rows, and the rest into numbered
// unreadable lines.
class RecordLineReader {
 public:
  RecordLineReader(std::string file, bool cp932, const RowSink& sink, RecordRead& into)
      : file_(std::move(file)), cp932_(cp932), sink_(sink), into_(into) {}

  void Line(const PhysicalLine& line) {
    std::string text;
    const bool decoded = !line.overlong && Decode(line.bytes, text);
    if (pending_) {
      // A line that is a whole record by itself ends what came before: a
      // stray quote there swallows no more than its own line.
      if (decoded && !line.ending.empty() && !OddQuotes(text) && ParsesAsRow(text)) {
        ResolvePendingAlone();
      } else if (decoded && pending_text_.size() + text.size() < kLongestRecord &&
                 line.number - pending_first_ < kMostLinesOfARecord) {
        pending_text_ += pending_ending_;
        pending_text_ += text;
        pending_ending_ = line.ending;
        pending_last_ = line.number;
        if (line.ending.empty()) {
          // Torn inside a name that held a line break: one record lost, not two.
          pending_ = false;
          Unreadable(pending_first_, pending_last_);
          return;
        }
        if (!OddQuotes(text)) return;  // the quoted field goes on
        pending_ = false;
        Take(pending_text_, pending_first_, pending_last_);
        return;
      } else {
        ResolvePendingAlone();
      }
    }
    // A torn last line (no line end) is what a crash leaves: never a record.
    if (!decoded || line.ending.empty()) {
      Unreadable(line.number, line.number);
      return;
    }
    if (OddQuotes(text)) {
      pending_ = true;
      pending_text_ = std::move(text);
      pending_ending_ = line.ending;
      pending_first_ = pending_last_ = line.number;
      return;
    }
    Take(text, line.number, line.number);
  }

  void Finish() {
    if (pending_) ResolvePendingAlone();
  }

 private:
  bool Decode(std::string_view bytes, std::string& text) {
    if (!cp932_) {
      if (!DecodeUtf8(bytes)) return false;
      text.assign(bytes);
      return true;
    }
    const std::optional<Text> decoded = DecodeFileBytes(bytes, Decoding::kByRule);
    if (!decoded) return false;
    text = ToUtf8(*decoded);
    return true;
  }

  bool ParsesAsRow(const std::string& text) {
    RecordRow row;
    return parser_.Parse(text, fields_) && ToRow(fields_, row);
  }

  // The open record as it stands: a quote left open to the end of it.
  void ResolvePendingAlone() {
    pending_ = false;
    Take(pending_text_, pending_first_, pending_last_);
  }

  void Take(const std::string& text, int first, int last) {
    if (!parser_.Parse(text, fields_)) {
      if (parser_.rows() == 0) return;  // an empty line
      Unreadable(first, last);
      return;
    }
    if (!header_seen_ && (fields_ == RecordColumns() || fields_ == FirstRecordColumns())) {
      header_seen_ = true;
      return;
    }
    if (OnlyEmptyFields(fields_)) return;  // a spreadsheet's empty row
    RecordRow row;
    if (!ToRow(fields_, row)) {
      Unreadable(first, last);
      return;
    }
    header_seen_ = true;  // a header after the first record is not one
    sink_(row);
  }

  void Unreadable(int first, int last) {
    ++into_.skipped_lines;
    if (!into_.unreadable.empty() && into_.unreadable.back().file == file_ &&
        into_.unreadable.back().last + 1 == first) {
      into_.unreadable.back().last = last;
      ++into_.unreadable.back().records;
    } else if (into_.unreadable.size() < kMostNamedRuns) {
      into_.unreadable.push_back({file_, first, last, 1});
    }
  }

  std::string file_;
  bool cp932_;
  const RowSink& sink_;
  RecordRead& into_;
  CsvRecordParser parser_;
  std::vector<std::string> fields_;
  bool header_seen_ = false;
  bool pending_ = false;
  std::string pending_text_;
  std::string pending_ending_;
  int pending_first_ = 0;
  int pending_last_ = 0;
};

std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// Feeds a file to on_chunk in pieces until it returns false; false when the
// file cannot be read.
template <typename OnChunk>
bool ReadInChunks(const std::filesystem::path& file, OnChunk on_chunk) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string buffer(1 << 20, '\0');
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    if (!on_chunk(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) break;
  }
  return !in.bad();
}

// The file rule: a byte-order mark means UTF-8; without one, UTF-8 when every
// line is, else CP932.
class EncodingProbe {
 public:
  // False once the answer is known.
  bool Chunk(std::string_view bytes) {
    if (first_) {
      first_ = false;
      bom_ = bytes.starts_with(kUtf8Bom);
    }
    if (bom_ || !utf8_) return false;
    splitter_.Feed(bytes, [this](const PhysicalLine& line) { Check(line); });
    return utf8_;
  }
  bool Cp932() {
    if (bom_) return false;
    splitter_.End([this](const PhysicalLine& line) { Check(line); });
    return !utf8_;
  }

 private:
  void Check(const PhysicalLine& line) {
    if (utf8_ && !line.overlong && !DecodeUtf8(line.bytes)) utf8_ = false;
  }
  LineSplitter splitter_;
  bool first_ = true;
  bool bom_ = false;
  bool utf8_ = true;
};

}  // namespace

bool IsRecordDateTime(std::string_view t) {
  int year = 0, month = 0, day = 0;
  if (t.size() < 10 || t[4] != '-' || t[7] != '-' || !Digits(t, 0, 4, year) || !Digits(t, 5, 2, month) ||
      !Digits(t, 8, 2, day)) {
    return false;
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  if (t.size() == 10) return true;
  int hour = 0, minute = 0, second = 0;
  if (t.size() < 16 || (t[10] != 'T' && t[10] != ' ') || t[13] != ':' || !Digits(t, 11, 2, hour) ||
      !Digits(t, 14, 2, minute) || hour > 23 || minute > 59) {
    return false;
  }
  if (t.size() == 16) return true;
  if (t[16] != ':') return t[16] == '+' || t[16] == '-' || t[16] == 'Z';
  return t.size() >= 19 && Digits(t, 17, 2, second) && second <= 60;
}

void StreamRecordBytes(std::string_view bytes, std::string_view file_name, const RowSink& sink,
                       RecordRead& into) {
  EncodingProbe probe;
  probe.Chunk(bytes);
  RecordLineReader reader(std::string(file_name), probe.Cp932(), sink, into);
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  LineSplitter splitter;
  const auto on_line = [&](const PhysicalLine& line) { reader.Line(line); };
  splitter.Feed(bytes, on_line);
  splitter.End(on_line);
  reader.Finish();
}

void StreamRecordFiles(const std::vector<std::filesystem::path>& files, const RowSink& sink, RecordRead& into) {
  for (const std::filesystem::path& file : files) {
    EncodingProbe probe;
    if (!ReadInChunks(file, [&](std::string_view chunk) { return probe.Chunk(chunk); })) {
      const std::u8string name = file.u8string();
      into.unreadable_files.emplace_back(name.begin(), name.end());
      continue;
    }
    RecordLineReader reader(Utf8Name(file), probe.Cp932(), sink, into);
    LineSplitter splitter;
    bool first = true;
    const auto on_line = [&](const PhysicalLine& line) { reader.Line(line); };
    ReadInChunks(file, [&](std::string_view chunk) {
      // Only the file's own mark goes; one at the start of a later name stays.
      if (first && chunk.starts_with(kUtf8Bom)) chunk.remove_prefix(kUtf8Bom.size());
      first = false;
      splitter.Feed(chunk, on_line);
      return true;
    });
    splitter.End(on_line);
    reader.Finish();
  }
}

RecordRead ReadRecordFiles(const std::vector<std::filesystem::path>& files) {
  RecordRead read;
  StreamRecordFiles(files, [&](const RecordRow& row) { read.rows.push_back(row); }, read);
  return read;
}

void ReadRecordBytes(std::string_view bytes, RecordRead& into) {
  StreamRecordBytes(bytes, std::string_view(), [&](const RecordRow& row) { into.rows.push_back(row); }, into);
}

}  // namespace kanae::report
