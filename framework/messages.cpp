#include "messages.h"

#include "records.h"
#include "text_normalisation.h"

namespace kanae {

namespace {

// The non-empty fields, up to the limit; true when more were left out.
bool TextFields(TextView content, std::vector<Text>& texts) {
  texts.clear();
  FieldReader reader(content);
  while (auto field = reader.Next()) {
    if (field->value.empty()) continue;
    if (texts.size() == kMessagesLimit) return true;
    texts.push_back(ToNfc(field->value));
  }
  return false;
}

}  // namespace

MessagesOutcome LoadMessages(const std::filesystem::path& file, TextView default_text, std::vector<Text>& messages) {
  const TextFileContent content = ReadTextFile(file, Decoding::kDetected);
  MessagesOutcome outcome;
  outcome.truncated = content.truncated;
  switch (content.status) {
    case ReadStatus::kOk:
      if (TextFields(content.text, messages)) outcome.truncated = true;
      // An empty file would make every praise a bare frame around the word.
      if (messages.empty()) messages = {Text(default_text)};
      return outcome;
    case ReadStatus::kNotFound:
      messages = {Text(default_text)};
      outcome.load = MessagesLoad::kCreated;
      outcome.write = ReplaceTextFile(file, {Text(default_text)});
      return outcome;
    case ReadStatus::kUnreadable:
    case ReadStatus::kNotText:
      break;
  }
  messages = {Text(default_text)};
  outcome.load = MessagesLoad::kUnreadable;
  outcome.read_error = content.error;
  return outcome;
}

Text DrawMessage(const std::vector<Text>& messages, RandomSource& rnd) {
  const int index = DrawIndex(rnd, static_cast<int>(messages.size()));
  return messages.empty() ? Text() : messages[index];
}

}  // namespace kanae
