// The initial-letter game: a picture with its name, whose first letter is
// missing; the learner picks that letter among the cards below the picture.
#pragma once

#include <array>
#include <memory>

#include "game.h"
#include "lesson.h"
#include "settings.h"

namespace kanae::initial_letter {

class InitialLetterGame : public Game {
 public:
  explicit InitialLetterGame(Lesson& lesson);

  const GameInfo& Info() const override { return initial_letter::Info(); }
  SettingsList Settings() override { return SettingSlots(settings); }
  SettingsDialogLayout SettingsDialog() override { return DialogLayout(settings); }
  void Layout() override;
  void NextQuestion() override;
  void OnPointer(const PointerEvent& event) override;
  std::vector<const Control*> AnswerControls() const override;
  SpokenText PromptFor(int question_index) override;
  SpokenText PraiseFor(const Text& message, int question_index) override;

  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void WrongAnswerTimerTick();
  void RightAnswerTimerTick();

  initial_letter::Settings settings;

  // Controls, front to back: name_rest, circle, cross, the cards, first_cell, picture.
  Control& picture;
  Control& first_cell;  // the name row's first cell
  std::array<Control*, 6> cards{};
  Control& cross;
  Control& circle;
  Control& name_rest;  // the rest of the name row
  std::unique_ptr<Timer> wrong_answer_timer;  // ends the feedback of a wrong answer
  std::unique_ptr<Timer> right_answer_timer;  // ends the feedback of a right answer

  // Per-question state.
  int name_length = 0;
  int answer_length = 0;
  int answer_progress = 0;
  int slot_count = 6;
  std::array<int, 10> slot_order{};
  std::array<Text, 6> card_letters;
  int cell_size = 0;
  int name_left = 0;

  // The most distractors the six cards leave room for.
  static constexpr int kMostDistractors = 5;

 private:
  Lesson& lesson_;
};

}  // namespace kanae::initial_letter
