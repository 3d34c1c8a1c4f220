// The framework side of a game window: start-up, activation, speech and cues,
// the teacher's keys and the helpers every game uses. Free of any window
// system: the platform services are handed in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clock.h"
#include "controls.h"
#include "game.h"
#include "input_assist.h"
#include "input_settings.h"
#include "lesson_ending.h"
#include "lesson_mode.h"
#include "learning_record.h"
#include "lesson_check.h"
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

enum class Key { kEnter = 13, kEscape = 27, kSpace = 32, kH = 72, kN = 78, kR = 82, kS = 83, kF1 = 112 };

class Lesson {
 public:
  // current_folder holds "O.txt", "X.txt", the cues and "Clear.ico"; empty
  // means the process's current directory.
  Lesson(Services services, std::filesystem::path current_folder = {});

  LessonState state;
  FormFields fields;
  Form form;
  // Dwell, switch scanning and the repeat key, from "入力.txt" in the lesson
  // folder; taken into use at every restart.
  InputSettings input;
  // Who plays, for the learning record; empty when nobody was chosen.
  Text child;

  // The start-up steps up to the first activation. Returns false when the
  // program is to end (the teacher has been told why).
  bool Start(const std::vector<std::string>& arguments, Game& game);
  // The first activation of the game window: the lesson starts.
  void Activate() { Restart(); }
  // The first activation once the window is seen: the lesson starts as soon
  // as the voice has the first prompt ready, so the first question is seen
  // and heard together, as every later one is. Until then the window shows
  // its background. A slow or broken voice never keeps the child from the
  // game: the question comes after kPromptWaitMilliseconds at the latest.
  void ActivateWhenPromptReady();
  // Long enough for a first-ever prompt on a machine twice as slow as one
  // where it takes 0.25-0.4 s, short enough that a voice that never gets
  // ready costs the child less than a second of an empty screen.
  static constexpr int kPromptWaitMilliseconds = 800;
  // The one way the lesson starts over (at start-up, after a dialog and after
  // the learning report): every timer off, question_index 0, a new play
  // order, the first question.
  void Restart();
  // Esc, H, N, S, R and F1 (the guide) for the teacher; Space and Enter (the switches, or
  // Space to hear the question again) for the child. Other keys are ignored.
  void OnKey(int key_code);
  // Every way out of a dialog (its buttons, Esc, the title bar) comes here;
  // the lesson restarts once no dialog is left open (its first question
  // waits for its prompt as at the start, when that was not made meanwhile).
  void LeaveDialog(DialogKind kind);
  // The teacher is back from the learning report (or it could not be
  // shown): the lesson, paused while it was open, restarts.
  void LeaveReport();
  bool ShowsReport() const { return report_shown_; }
  // The game window was activated from outside (another program gave focus
  // back): a pass in progress is kept, so nothing restarts.
  void OnWindowActivated() {}

  LessonMode Mode() const { return mode_; }
  // Pointer input on the game window; the game sees it only while asking.
  void OnPointer(const PointerEvent& event);
  // A timer of the game whose ticks reach on_tick only while the lesson asks
  // or gives feedback. The lesson stops it when a dialog opens or the lesson
  // restarts. The game owns it and must not outlive the lesson.
  std::unique_ptr<Timer> CreateTimer(int interval_milliseconds, std::function<void()> on_tick);
  // An answer was judged and its feedback begins: input waits until the next
  // question is set up (QuestionShown).
  void BeginFeedback();

  // Speech: Speak says speech_text; callers set is_speaking after it.
  void Speak();
  // Speak, for the question's prompt: the one the child can ask to hear again.
  void SpeakPrompt();
  // The open question's prompt once more; it judges nothing.
  void RepeatPrompt();
  // Has the voice prepare what the game will say next (see Game::PromptFor).
  void PrepareSpeech(const SpokenText& text);
  void StopSpeech();
  void OnSpeechFinished();

  // Cues: cue_file is a bare file name in the current folder.
  void PlayCue();
  void WaitForCueEnd();
  void PlayCueAndWait(TextView file);
  bool IsCuePlaying();
  void StopPlayer();

  // The pointer: the default one, or hidden (the "Clear.ico" icon).
  void ApplyPointer(bool cursor_visible);

  // Appends one free letter of table to choice_letters; false when none is free.
  bool DrawDistractor(TextView table);
  // A praise or retry message; one drawn ahead when an answer was judged.
  Text DrawPraise();
  Text DrawRetry();
  // The open question was answered right: moves question_index on; after the
  // last task, back to 0 with a new order.
  void AdvanceQuestion();
  // Called by a game before it sets up its next question: when the lesson
  // has a set length and that many questions were answered right, the
  // ending is shown instead and true returned.
  bool EndIfComplete();
  int QuestionsAnswered() const { return questions_answered_; }
  int RightFirstTime() const { return right_first_time_; }
  const LessonEnding& Ending() const { return ending_; }
  // Passes over tasks whose picture has no name (a file called ".jpg"), which
  // would ask a question that cannot be answered. False when no task has one.
  bool SkipNamelessTasks();
  void ShuffleTasks();

  std::filesystem::path PicturePath(TextView file_name) const;
  // Shows the lesson's picture file in an image control.
  void LoadPicture(Control& image, TextView file_name) const { image.picture = PathToUtf8(PicturePath(file_name)); }
  std::filesystem::path CurrentFolderFile(TextView file_name) const;
  // Trace points the games mark: a question set up (the lesson asks from
  // now on), an answer judged. Each judged answer also goes into the
  // learning record: asked is the letter or name asked for, chosen the
  // letter, name or picture file chosen.
  void QuestionShown();
  void AnswerJudged(bool right, const Text& asked, const Text& chosen);
  // The same, for a question asked and answered with pictures: the letters
  // behind them go into the record too.
  void AnswerJudged(bool right, const Text& asked, const Text& chosen, const Text& asked_letter,
                    const Text& chosen_letter);
  // A letter caught in the kana-catching game's catching phase.
  void LetterCaught(const Text& letter);
  bool HasShownQuestion() const { return questions_shown_ > 0; }

  // A message box with the game's title.
  void TellTeacher(const Text& text);
  // The lesson check's reading of a name that is not kana (犬 → いぬ); set
  // by the platform before Start, where a dictionary is at hand.
  void UseReadingGuess(ReadingGuess guess) { reading_guess_ = std::move(guess); }

  RandomSource& Rnd() { return services_.rnd; }
  Services& Platform() { return services_; }
  Game* CurrentGame() { return game_; }
  // The clock of the learning record; tests hand in their own.
  void UseClock(Clock& clock) { clock_ = &clock; }
  LearningRecord& Record() { return record_; }

 private:
  bool LoadLesson(const std::vector<std::string>& arguments);
  void NoteLessonCheck(const LessonCheck& check);
  void StopTimers();
  void LoadMessageFiles();
  void ReportUnreadable(const std::filesystem::path& file, const Text& what, const Text& fallback, int error);
  void ReportTruncated(const std::filesystem::path& file, const Text& what);
  void ReportWrite(const WriteOutcome& outcome, const std::filesystem::path& file, const Text& what);
  void Remember(RecordEntry entry);
  void MoveToNextTask();
  void GoBack();
  double SecondsSinceTimeBase() const;

  Services services_;
  std::filesystem::path current_folder_;
  ReadingGuess reading_guess_;
  Game* game_ = nullptr;
  LessonMode mode_ = LessonMode::kStarting;
  std::vector<Timer*> timers_;
  std::vector<DialogKind> open_dialogs_;
  bool report_shown_ = false;
  int questions_shown_ = 0;

  SystemClock system_clock_;
  Clock* clock_ = &system_clock_;
  LearningRecord record_;
  bool record_failure_told_ = false;
  // Response times count from the end of the question's prompt, or from the
  // previous answer in the same question (the word-building game takes a
  // letter at a time); an answer given while the prompt still plays counts 0.
  // The wait for the chosen letter's own sound, before the answer is judged,
  // is left out.
  bool prompt_playing_ = false;
  std::int64_t time_base_ms_ = 0;
  std::int64_t blocked_ms_ = 0;  // spent waiting on cues since the time base
  std::int64_t question_shown_ms_ = 0;
  int attempt_ = 1;
  // Of this lesson since its start: questions answered right, and those of
  // them right at the first attempt (the stamps of the ending).
  int questions_answered_ = 0;
  int right_first_time_ = 0;
  LessonEnding ending_{form};
  bool ending_said_ = false;  // おしまい has been said: a touch or key goes back
  SpokenText prompt_;
  // Last: its timers come from the lesson.
  InputAssist assist_;
  // Messages drawn when the answer was judged, before the cues, so their
  // speech could be prepared while the cues play; the next draw takes them.
  std::optional<Text> praise_ahead_;
  std::optional<Text> retry_ahead_;
  // The play order of the next restart, drawn before it (while the window
  // comes up, or while the teacher is in a dialog) so the first prompt is
  // made by then; used when the tasks are still the same.
  std::optional<std::vector<Text>> order_ahead_;
  void DrawOrderAhead();
  // The first prompt the order drawn ahead (drawn again when the tasks
  // changed meanwhile) opens with, handed to the voice to make; empty when
  // there is none.
  SpokenText FirstPromptAhead();
  // Restart, once the voice has the first prompt ready or the wait is over.
  void RestartWhenPromptReady();
  // The wait numbered wait is over: the lesson restarts, unless a dialog,
  // Esc or a later wait came first.
  void EndPromptWait(std::uint64_t wait);
  // Counts the waits begun and ended: a readiness or a timeout that carries
  // another number than this belongs to a wait already over.
  std::uint64_t prompt_waits_ = 0;
  std::unique_ptr<Timer> prompt_wait_timer_;  // made at the first wait that is not over at once
};

}  // namespace kanae
