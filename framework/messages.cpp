#include "messages.h"

#include "records.h"

namespace kanae {

namespace {

std::vector<Text> TextFields(TextView content) {
  std::vector<Text> texts;
  FieldReader reader(content);
  while (auto field = reader.Next()) {
    if (!field->value.empty()) texts.push_back(std::move(field->value));
  }
  return texts;
}

}  // namespace

MessagesOutcome LoadMessages(const std::filesystem::path& file, TextView default_text, std::vector<Text>& messages) {
  const TextFileContent content = ReadTextFile(file);
  switch (content.status) {
    case ReadStatus::kOk:
      messages = TextFields(content.text);
      return {MessagesLoad::kRead, {}};
    case ReadStatus::kNotFound: {
      messages = {Text(default_text)};
      return {MessagesLoad::kCreated, ReplaceTextFile(file, {Text(default_text)})};
    }
    case ReadStatus::kUnreadable:
    case ReadStatus::kNotText:
      break;
  }
  messages = {Text(default_text)};
  return {MessagesLoad::kUnreadable, {}};
}

Text DrawMessage(const std::vector<Text>& messages, RandomSource& rnd) {
  const int index = DrawIndex(rnd, static_cast<int>(messages.size()));
  return messages.empty() ? Text() : messages[index];
}

}  // namespace kanae
