// The lesson's pictures, the selection file "Fname.txt" and the play order.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
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

struct PictureListing {
  std::vector<Text> pictures;
  bool complete = true;  // false when the folder could not be listed to its end
  std::string error;     // the system's words for why, when not complete
};

// As ListPictureFiles, and says whether the listing reached the folder's end
// (a USB stick pulled halfway gives the pictures found so far).
PictureListing ListPictureFolder(const std::filesystem::path& folder);
// Whether a file name has a picture's extension (.jpg, .gif, .bmp, in any case).
bool IsPictureExtension(TextView name);

enum class SelectionLoad {
  kRead,        // the file matched the folder and was taken as it stands
  kCreated,     // no file: every picture selected and the file written
  kRebuilt,     // the content did not match the folder or was not records: rebuilt with every picture
  kUnreadable,  // the file exists but could not be read: every picture, the file left as it is
};

struct SelectionOutcome {
  SelectionLoad load = SelectionLoad::kRead;
  WriteOutcome write;
  int read_error = 0;      // the system's error number when kUnreadable
  bool truncated = false;  // the file was larger than a text file may be; its first records were used
  // kRebuilt from the file's own records: the pictures still there kept their
  // marks, the new ones (added) were marked and the missing ones (removed)
  // dropped. False when the content was not records, and every picture was taken.
  bool kept_marks = false;
  std::vector<Text> added;
  std::vector<Text> removed;
  // The file needed rebuilding but is write-protected: it was left as it is
  // and the rebuilt selection holds for this run only.
  bool left_read_only = false;
};

// Fills tasks from the selection file, record by record against pictures.
SelectionOutcome LoadTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                                   std::vector<Text>& tasks);

// What the teacher is told about a rebuilt selection file (Japanese); empty
// when it was read as it stands, created, or could not be read.
Text DescribeSelectionChange(const SelectionOutcome& outcome);

// The selected pictures that the file's content gives, or nullopt when it does
// not match pictures record by record (or is not records of a name and a flag).
std::optional<std::vector<Text>> ParseTaskSelection(TextView content, const std::vector<Text>& pictures);

// The records of the selection file, one per picture.
std::vector<Text> TaskSelectionLines(const std::vector<Text>& pictures, const std::vector<Text>& tasks);

// One record per picture, in picture order, flagged when it is a task. A file
// that already holds exactly these records is left as it is, byte for byte.
WriteOutcome SaveTaskSelection(const std::filesystem::path& file, const std::vector<Text>& pictures,
                               const std::vector<Text>& tasks);

// Reseeds rnd, then makes tasks.size() exchanges of two independently drawn
// positions (not a Fisher-Yates shuffle: lessons rely on its feel).
void ShuffleTasks(std::vector<Text>& tasks, RandomSource& rnd);

// The word a picture stands for: its file name up to the first ".", composed
// (NFC) as it is shown and spoken, whatever form the folder spells it in.
Text NameOfPicture(TextView file_name);

}  // namespace kanae
