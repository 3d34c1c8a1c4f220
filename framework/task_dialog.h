// The task selection dialog's logic: every picture of the folder with a mark,
// and the rules by which 決定 accepts the marked pictures as the tasks.
#pragma once

#include <vector>

#include "lesson_state.h"
#include "text.h"
#include "text_file.h"

namespace kanae {

inline constexpr char32_t kTaskDialogCaption[] = U"課題選択";
inline constexpr char32_t kTooFewInitials[] = U"画像データの頭文字を４種類以上にしてください！";
// 決定 needs this many marked pictures (or, in the card-picking game, this
// many different first letters).
inline constexpr std::size_t kFewestMarked = 4;

class TaskDialog {
 public:
  // needs_four_initials: the card-picking game's rule (four different first
  // characters) instead of four pictures.
  TaskDialog(LessonState& state, bool needs_four_initials)
      : state_(state), needs_four_initials_(needs_four_initials) {}

  // Lists every picture and marks exactly the current tasks, so the dialog
  // always shows what the lesson plays (marks left by a cancelled visit go).
  void Activate();
  const std::vector<Text>& Entries() const { return state_.picture_files; }
  const std::vector<bool>& Marks() const { return marks_; }
  void SetMark(std::size_t entry, bool marked) { marks_[entry] = marked; }
  // How many pictures are marked, and how many different first letters they have.
  std::size_t MarkedCount() const;
  std::size_t MarkedInitials() const;
  // The line under the list: what is marked and what the game needs.
  Text CountLine() const;
  // Why 決定 refused, for the teacher: the count and what the game needs.
  Text RefusalText() const;
  void SelectAll();  // 全選択
  void ClearAll();   // 全解除

  enum class Decision {
    kAccepted,         // tasks changed, "Fname.txt" written: show the game window
    kSaveFailed,       // tasks changed for this run, but the file could not be written
    kTooFewPictures,   // fewer than four marked: nothing happens
    kTooFewInitials,   // card-picking game: tell the teacher, stay open
  };
  struct DecideOutcome {
    Decision decision = Decision::kAccepted;
    WriteOutcome write;
  };
  // 決定.
  DecideOutcome Decide(const std::filesystem::path& selection_file);

 private:
  LessonState& state_;
  bool needs_four_initials_;
  std::vector<bool> marks_;
};

}  // namespace kanae
