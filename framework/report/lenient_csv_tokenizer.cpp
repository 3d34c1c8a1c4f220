#include "lenient_csv_tokenizer.h"

namespace kanae::report {

namespace {

constexpr char kComma = ',';
constexpr char kQuote = '"';

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void LenientCsvTokenizer::EndField(CsvEvents& events) {
  events.Field(field_);
  field_.clear();
  quoted_ = false;
  state_ = State::kBetweenFields;
}

void LenientCsvTokenizer::EndRow(int ending, CsvEvents& events) {
  events.RowEnd(ending);
  state_ = State::kBetweenRows;
}

void LenientCsvTokenizer::Feed(std::string_view bytes, CsvEvents& events) {
  for (const char c : bytes) {
    switch (state_) {
      case State::kBetweenRows:
      case State::kBetweenFields:
        if (IsLineEnd(c)) {
          // After a comma the row has an empty last field; before any field
          // the line end belongs to no row.
          if (state_ == State::kBetweenFields) {
            EndField(events);
            EndRow(static_cast<unsigned char>(c), events);
          }
        } else if (c == kComma) {
          EndField(events);
        } else if (c == kQuote) {
          quoted_ = true;
          state_ = State::kInField;
        } else {
          quoted_ = false;
          field_ += c;
          state_ = State::kInField;
        }
        break;
      case State::kInField:
        if (quoted_ && c == kQuote) {
          // Kept for now: it stays when a second quote or any other text follows.
          field_ += c;
          state_ = State::kAfterQuoteInQuotes;
        } else if (!quoted_ && c == kComma) {
          EndField(events);
        } else if (!quoted_ && IsLineEnd(c)) {
          EndField(events);
          EndRow(static_cast<unsigned char>(c), events);
        } else {
          field_ += c;
        }
        break;
      case State::kAfterQuoteInQuotes:
        if (c == kComma || IsLineEnd(c)) {
          field_.pop_back();  // the closing quote
          EndField(events);
          if (IsLineEnd(c)) EndRow(static_cast<unsigned char>(c), events);
        } else if (c == kQuote) {
          state_ = State::kInField;  // two quotes: one, kept already
        } else {
          field_ += c;  // text after a closing quote: the field goes on, still quoted
          state_ = State::kInField;
        }
        break;
    }
  }
}

void LenientCsvTokenizer::Finish(CsvEvents& events) {
  if (state_ != State::kBetweenRows) {
    if (state_ == State::kAfterQuoteInQuotes) field_.pop_back();
    EndField(events);
    EndRow(kCsvTextEnd, events);
  }
  state_ = State::kBetweenRows;
  quoted_ = false;
  field_.clear();
}

}  // namespace kanae::report
