// What the lesson is doing. One owner (the Lesson) decides it, so a dialog,
// a restart or a change of focus can never race a game's own flags.
#pragma once

namespace kanae {

enum class LessonMode {
  kStarting,  // before the first question, or between a restart and its question
  kAsking,    // a question is open: the child's input counts
  kFeedback,  // an answer is being sounded and praised or retried: input waits
  kDialog,    // a teacher's dialog is open: no input, no timer tick
  kFinished,  // a lesson of a set length is over: its ending is shown, a touch or key goes back
  kEnded,     // Esc: the program is ending
};

// Input reaches a game only while a question is open.
inline bool TakesInput(LessonMode mode) { return mode == LessonMode::kAsking; }
// A game's timers tick only while the lesson asks or gives feedback.
inline bool TakesTicks(LessonMode mode) { return mode == LessonMode::kAsking || mode == LessonMode::kFeedback; }

}  // namespace kanae
