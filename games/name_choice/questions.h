// The name-choice game: a picture between two names written top to bottom, one
// in the left quarter of the window and one in the right; the learner picks the
// picture's name.
#pragma once

#include <array>
#include <memory>

#include "game.h"
#include "lesson.h"
#include "settings.h"

namespace kanae::name_choice {

// The caption of a name column: the first n characters of name, with the
// long-vowel marks ー and － turned upright as ｜.
Text VerticalText(TextView name, int n);

class NameChoiceGame : public Game {
 public:
  explicit NameChoiceGame(Lesson& lesson);

  const GameInfo& Info() const override { return name_choice::Info(); }
  SettingsList Settings() override { return SettingSlots(settings); }
  SettingsDialogLayout SettingsDialog() override { return DialogLayout(settings); }
  void Layout() override;
  void NextQuestion() override;
  void OnPointer(const PointerEvent& event) override;
  std::vector<const Control*> AnswerControls() const override;
  SpokenText PromptFor(int question_index) override;
  SpokenText PraiseFor(const Text& message, int question_index) override;

  // Sizes and places the column of side for a name of n characters; n longer
  // than a column holds is cut to 10 for the caller.
  void PlaceNameColumn(int side, int& n);
  void TakeAnswer(int index);
  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void FeedbackTimerTick();

  name_choice::Settings settings;

  // Controls, front to back: cross, name_columns(1), picture, name_columns(0).
  Control& picture;
  std::array<Control*, 2> name_columns{};  // 0 left, 1 right
  Control& cross;  // over a wrong choice
  std::unique_ptr<Timer> feedback_timer;  // ends the feedback of an answer

  int correct_side = 0;
  // The picture that lends the other name; -1 when the task list has no other.
  int decoy_index = -1;

  // The most characters a column shows.
  static constexpr int kLongestShownName = 10;

 private:
  Lesson& lesson_;
};

}  // namespace kanae::name_choice
