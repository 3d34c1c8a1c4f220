// The lesson state shared by the game window and both dialogs, and the game
// window's own framework fields. Both live for the whole run.
#pragma once

#include <string>
#include <vector>

#include "kana_tables.h"
#include "spoken_text.h"
#include "text.h"

namespace kanae {

struct LessonState {
  // Empty (the current directory) or the folder from the command line with a
  // trailing separator; UTF-8.
  std::string data_folder;
  // Every picture of the folder in list order; the lists are not capped.
  std::vector<Text> picture_files;
  // The selected pictures in play order; each is also in picture_files.
  std::vector<Text> task_pictures;

  int PictureFileCount() const { return static_cast<int>(picture_files.size()); }
  int TaskCount() const { return static_cast<int>(task_pictures.size()); }
  // The whole name of task i, uncut, as speech says it; empty when there is none.
  Text TaskName(int i) const;
};

struct FormFields {
  int question_index = 0;
  int chosen_index = 0;
  std::vector<Text> praise_messages;
  std::vector<Text> retry_messages;
  SpokenText speech_text;
  bool is_speaking = false;
  Text cue_file;
  Text choice_letters;
  KanaTables tables;

  int PraiseCount() const { return static_cast<int>(praise_messages.size()); }
  int RetryCount() const { return static_cast<int>(retry_messages.size()); }
};

}  // namespace kanae
