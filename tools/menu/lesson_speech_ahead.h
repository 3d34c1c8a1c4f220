// The opening prompts of the lesson shown in the menu, made into the speech
// store while the teacher is still in the menu: a game started from it then
// reads its first question's prompt from the store at once, even on the
// lesson's first start, instead of waiting for the synthesiser.
#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "spoken_text.h"

namespace kanae::menu {

class LessonSpeechAhead {
 public:
  virtual ~LessonSpeechAhead() = default;
  // The lesson the teacher will play next; what was asked for before and is
  // not made yet is dropped.
  virtual void PrepareLesson(const QString& folder) = 0;
  // True while a game runs: it makes its own speech, and has the machine.
  virtual void Hold(bool held) = 0;
};

// At most this many phrases for one lesson: the three usual prompts of about
// forty pictures, some 35 MB of the store's 64 MB (Open JTalk's prompt of
// three seconds is a quarter of a megabyte).
inline constexpr std::size_t kMostPhrasesAhead = 128;

// What a game may open the lesson in folder with: the opening prompts of its
// pictures' names (none when the folder cannot be read).
std::vector<SpokenText> OpeningPromptsOfLesson(const std::filesystem::path& folder);

// With the voice the games will speak with (KANAE_SPEECH, KANAE_VOICE) and
// the user's speech store; nullptr when the games say nothing.
std::unique_ptr<LessonSpeechAhead> MakeLessonSpeechAhead();

}  // namespace kanae::menu
