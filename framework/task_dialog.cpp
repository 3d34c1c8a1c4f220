#include "task_dialog.h"

#include <algorithm>
#include <set>

#include "picture_library.h"

namespace kanae {

void TaskDialog::Activate() {
  marks_.assign(state_.picture_files.size(), false);
  for (std::size_t i = 0; i < state_.picture_files.size(); ++i) {
    const auto& tasks = state_.task_pictures;
    marks_[i] = std::find(tasks.begin(), tasks.end(), state_.picture_files[i]) != tasks.end();
  }
}

void TaskDialog::SelectAll() { std::fill(marks_.begin(), marks_.end(), true); }

void TaskDialog::ClearAll() { std::fill(marks_.begin(), marks_.end(), false); }

TaskDialog::DecideOutcome TaskDialog::Decide(const std::filesystem::path& selection_file) {
  std::vector<Text> marked;
  std::set<char32_t> initials;
  for (std::size_t i = 0; i < marks_.size(); ++i) {
    if (!marks_[i]) continue;
    marked.push_back(state_.picture_files[i]);
    // The initial as the child sees it (が, not the か of a decomposed name).
    const Text name = NameOfPicture(state_.picture_files[i]);
    if (!name.empty()) initials.insert(name[0]);
  }
  if (needs_four_initials_) {
    if (initials.size() < 4) return {Decision::kTooFewInitials, {}};
  } else if (marked.size() < 4) {
    return {Decision::kTooFewPictures, {}};
  }
  state_.task_pictures = std::move(marked);
  DecideOutcome outcome;
  outcome.write = SaveTaskSelection(selection_file, state_.picture_files, state_.task_pictures);
  outcome.decision = outcome.write.ok ? Decision::kAccepted : Decision::kSaveFailed;
  return outcome;
}

}  // namespace kanae
