#include "task_dialog.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "picture_library.h"

namespace kanae {

void TaskDialog::Activate() {
  marks_.assign(state_.picture_files.size(), false);
  const std::unordered_set<Text> tasks(state_.task_pictures.begin(), state_.task_pictures.end());
  for (std::size_t i = 0; i < state_.picture_files.size(); ++i) marks_[i] = tasks.contains(state_.picture_files[i]);
}

namespace {

Text Count(std::size_t n) { return FromUtf8(std::to_string(n)); }

// The initial as the child sees it (が, not the か of a decomposed name).
std::set<char32_t> InitialsOf(const std::vector<Text>& files, const std::vector<bool>& marks) {
  std::set<char32_t> initials;
  for (std::size_t i = 0; i < marks.size() && i < files.size(); ++i) {
    if (!marks[i]) continue;
    const Text name = NameOfPicture(files[i]);
    if (!name.empty()) initials.insert(name[0]);
  }
  return initials;
}

}  // namespace

std::size_t TaskDialog::MarkedCount() const {
  return static_cast<std::size_t>(std::count(marks_.begin(), marks_.end(), true));
}

std::size_t TaskDialog::MarkedInitials() const { return InitialsOf(state_.picture_files, marks_).size(); }

Text TaskDialog::CountLine() const {
  Text line = U"選んだ絵：" + Count(MarkedCount()) + U"枚";
  if (needs_four_initials_) {
    line += U"（頭文字 " + Count(MarkedInitials()) + U"種類。このゲームには頭文字が" + Count(kFewestMarked) +
            U"種類以上必要です）";
  } else {
    line += U"（" + Count(kFewestMarked) + U"枚以上選んでください）";
  }
  return line;
}

Text TaskDialog::RefusalText() const {
  if (needs_four_initials_) {
    return Text(kTooFewInitials) + U"\nいま選んでいる絵の頭文字は" + Count(MarkedInitials()) + U"種類です。";
  }
  return U"絵を" + Count(kFewestMarked) + U"枚以上選んでください。\nいま選んでいるのは" + Count(MarkedCount()) +
         U"枚です。";
}

void TaskDialog::SelectAll() { std::fill(marks_.begin(), marks_.end(), true); }

void TaskDialog::ClearAll() { std::fill(marks_.begin(), marks_.end(), false); }

TaskDialog::DecideOutcome TaskDialog::Decide(const std::filesystem::path& selection_file) {
  std::vector<Text> marked;
  for (std::size_t i = 0; i < marks_.size(); ++i) {
    if (marks_[i]) marked.push_back(state_.picture_files[i]);
  }
  if (needs_four_initials_) {
    if (MarkedInitials() < kFewestMarked) return {Decision::kTooFewInitials, {}};
  } else if (marked.size() < kFewestMarked) {
    return {Decision::kTooFewPictures, {}};
  }
  state_.task_pictures = std::move(marked);
  DecideOutcome outcome;
  outcome.write = SaveTaskSelection(selection_file, state_.picture_files, state_.task_pictures);
  outcome.decision = outcome.write.ok ? Decision::kAccepted : Decision::kSaveFailed;
  return outcome;
}

}  // namespace kanae
