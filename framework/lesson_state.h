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
  std::string DataFolder;
  // Every picture of the folder in list order; the lists are not capped.
  std::vector<Text> PictureFiles;
  // The selected pictures in play order; each is also in PictureFiles.
  std::vector<Text> TaskPictures;

  int PictureFileCount() const { return static_cast<int>(PictureFiles.size()); }
  int TaskCount() const { return static_cast<int>(TaskPictures.size()); }
};

struct FormFields {
  int QuestionIndex = 0;
  int ChosenIndex = 0;
  std::vector<Text> PraiseMessages;
  std::vector<Text> RetryMessages;
  SpokenText SpeechText;
  bool IsSpeaking = false;
  Text CueFile;
  Text ChoiceLetters;
  KanaTables Tables;

  int PraiseCount() const { return static_cast<int>(PraiseMessages.size()); }
  int RetryCount() const { return static_cast<int>(RetryMessages.size()); }
};

}  // namespace kanae
