#include "task_dialog.h"

#include <algorithm>
#include <set>

#include "picture_library.h"

namespace kanae {

void TaskDialog::Activate() {
  marks_.assign(state_.PictureFiles.size(), false);
  for (std::size_t i = 0; i < state_.PictureFiles.size(); ++i) {
    const auto& tasks = state_.TaskPictures;
    marks_[i] = std::find(tasks.begin(), tasks.end(), state_.PictureFiles[i]) != tasks.end();
  }
}

void TaskDialog::SelectAll() { std::fill(marks_.begin(), marks_.end(), true); }

void TaskDialog::ClearAll() { std::fill(marks_.begin(), marks_.end(), false); }

TaskDialog::DecideOutcome TaskDialog::Decide(const std::filesystem::path& selection_file) {
  std::vector<Text> marked;
  std::set<char32_t> initials;
  for (std::size_t i = 0; i < marks_.size(); ++i) {
    if (!marks_[i]) continue;
    marked.push_back(state_.PictureFiles[i]);
    // The initial as the child sees it (が, not the か of a decomposed name).
    const Text name = NameOfPicture(state_.PictureFiles[i]);
    if (!name.empty()) initials.insert(name[0]);
  }
  if (needs_four_initials_) {
    if (initials.size() < 4) return {Decision::kTooFewInitials, {}};
  } else if (marked.size() < 4) {
    return {Decision::kTooFewPictures, {}};
  }
  state_.TaskPictures = std::move(marked);
  DecideOutcome outcome;
  outcome.write = SaveTaskSelection(selection_file, state_.PictureFiles, state_.TaskPictures);
  outcome.decision = outcome.write.ok ? Decision::kAccepted : Decision::kSaveFailed;
  return outcome;
}

}  // namespace kanae
