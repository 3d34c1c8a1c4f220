// The lesson's pictures, the selection file "Fname.txt" and the play order.
#pragma once

#include <filesystem>
#include <vector>

#include "random_source.h"
#include "text.h"
#include "text_file.h"

namespace kanae {

// The picture files (*.jpg, *.gif, *.bmp, extension in any case) of a folder,
// without folder, sorted by character code so that the order is the same at
// every start. Metadata files that macOS leaves on shared drives ("._name")
// and names that are not valid UTF-8 are not pictures and are left out.
std::vector<Text> ListPictureFiles(const std::filesystem::path& folder);

enum class SelectionLoad {
  kRead,     // the file matched the folder and was taken as it stands
  kCreated,  // no file: every picture selected and the file written
  kRebuilt   // the file did not match the folder or could not be read: rebuilt with every picture
};

struct SelectionOutcome {
  SelectionLoad load = SelectionLoad::kRead;
  WriteOutcome write;
};

// Fills tasks from the selection file, record by record against pictures.
SelectionOutcome LoadTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                                   std::vector<Text>& tasks);

// One record per picture, in picture order, flagged when it is a task.
WriteOutcome SaveTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                               const std::vector<Text>& tasks);

// Reseeds rnd, then makes tasks.size() exchanges of two independently drawn
// positions (not a Fisher-Yates shuffle: lessons rely on its feel).
void ShuffleTasks(std::vector<Text>& tasks, RandomSource& rnd);

// The word a picture stands for: its file name up to the first ".".
Text NameOfPicture(TextView file_name);

}  // namespace kanae
