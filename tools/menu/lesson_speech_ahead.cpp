#include "lesson_speech_ahead.h"

#include <cstdlib>
#include <string_view>

#include "lesson.h"
#include "picture_library.h"
#include "platform/speech/background_speech.h"
#include "platform/speech/create_speech_engine.h"
#include "spoken_prompts.h"
#include "text.h"

namespace kanae::menu {
namespace {

class BackgroundLessonSpeech : public LessonSpeechAhead {
 public:
  explicit BackgroundLessonSpeech(std::vector<std::unique_ptr<speech::Voice>> voices)
      : speech_(std::move(voices), speech::SpeechStore::ForUser()) {}

  void PrepareLesson(const QString& folder) override {
    const std::filesystem::path path = PathFromUtf8(folder.toStdString());
    speech_.MakeAhead([path] { return OpeningPromptsOfLesson(path); });
  }
  void Hold(bool held) override { speech_.Hold(held); }

 private:
  speech::BackgroundSpeech speech_;
};

}  // namespace

std::vector<SpokenText> OpeningPromptsOfLesson(const std::filesystem::path& folder) {
  std::vector<Text> names;
  for (const Text& picture : ListPictureFolder(folder).pictures) names.push_back(NameOfPicture(picture));
  return OpeningPrompts(names, kMostPhrasesAhead);
}

std::unique_ptr<LessonSpeechAhead> MakeLessonSpeechAhead() {
  const char* env = std::getenv("KANAE_SPEECH");
  const std::string_view engine = env != nullptr ? env : "";
  if (engine == "none") return nullptr;
  return std::make_unique<BackgroundLessonSpeech>(speech::VoicesFor(engine));
}

}  // namespace kanae::menu
