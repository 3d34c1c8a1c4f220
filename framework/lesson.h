// The framework side of a game window: start-up, activation, speech and cues,
// the teacher's keys and the helpers every game uses. Free of any window
// system: the platform services are handed in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "controls.h"
#include "game.h"
#include "lesson_state.h"
#include "platform/cue_player.h"
#include "platform/shell.h"
#include "platform/speech_engine.h"
#include "platform/timer.h"
#include "random_source.h"
#include "trace.h"

namespace kanae {

struct Services {
  SpeechEngine& speech;
  CuePlayer& player;
  TimerFactory& timers;
  Shell& shell;
  RandomSource& rnd;
  Trace& trace;
};

// The data folder named by the program's arguments: joined by single spaces
// (an unquoted path with spaces works), empty when there are none, otherwise
// ending with the native separator.
std::string DataFolderFromArguments(const std::vector<std::string>& arguments);

// A path from UTF-8 text and back, on every platform.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

enum class Key { kEscape = 27, kH = 72, kN = 78 };

class Lesson {
 public:
  // current_folder holds "O.txt", "X.txt", the cues and "Clear.ico"; empty
  // means the process's current directory.
  Lesson(Services services, std::filesystem::path current_folder = {});

  LessonState state;
  FormFields fields;
  Form form;

  // The start-up steps up to the first activation. Returns false when the
  // program is to end (the teacher has been told why).
  bool Start(const std::vector<std::string>& arguments, Game& game);
  // QuestionIndex 0, a new play order, the game's first question.
  void Activate();
  // Esc, H, N (by key code; other keys are ignored).
  void OnKey(int key_code);

  // Speech: Speak says SpeechText; callers set IsSpeaking after it.
  void Speak();
  // Has the voice prepare what the game will say next (see Game::PromptFor).
  void PrepareSpeech(const SpokenText& text);
  void StopSpeech();
  void OnSpeechFinished();

  // Cues: CueFile is a bare file name in the current folder.
  void PlayCue();
  void WaitForCueEnd();
  void PlayCueAndWait(TextView file);
  bool IsCuePlaying();
  void StopPlayer();

  // The pointer: the default one, or hidden (the "Clear.ico" icon).
  void ApplyPointer(bool cursor_visible);

  // Appends one free letter of table to ChoiceLetters; false when none is free.
  bool DrawDistractor(TextView table);
  // A praise or retry message; one drawn ahead when an answer was judged.
  Text DrawPraise();
  Text DrawRetry();
  // Moves QuestionIndex on; after the last task, back to 0 with a new order.
  void AdvanceQuestion();
  void ShuffleTasks();

  std::filesystem::path PicturePath(TextView file_name) const;
  // Shows the lesson's picture file in an image control.
  void LoadPicture(Control& image, TextView file_name) const { image.picture = PathToUtf8(PicturePath(file_name)); }
  std::filesystem::path CurrentFolderFile(TextView file_name) const;
  // Trace points the games mark: a question set up, an answer judged.
  void QuestionShown();
  void AnswerJudged(bool right);
  bool HasShownQuestion() const { return questions_shown_ > 0; }

  // A message box with the game's title.
  void TellTeacher(const Text& text);

  RandomSource& Rnd() { return services_.rnd; }
  Services& Platform() { return services_; }
  Game* CurrentGame() { return game_; }

 private:
  bool LoadLesson(const std::vector<std::string>& arguments);
  void LoadMessageFiles();
  void ReportWrite(const WriteOutcome& outcome, const std::filesystem::path& file, const Text& what);

  Services services_;
  std::filesystem::path current_folder_;
  Game* game_ = nullptr;
  int questions_shown_ = 0;
  // Messages drawn when the answer was judged, before the cues, so their
  // speech could be prepared while the cues play; the next draw takes them.
  std::optional<Text> praise_ahead_;
  std::optional<Text> retry_ahead_;
};

}  // namespace kanae
