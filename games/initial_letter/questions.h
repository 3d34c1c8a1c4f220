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
  void Timer1Tick();
  void Timer2Tick();

  initial_letter::Settings settings;

  // Controls, front to back: Label5, Label4, Label3, the cards, Label1, Image1.
  Control& Image1;
  Control& Label1;  // the name row's first cell
  std::array<Control*, 6> Label2{};  // the cards
  Control& Label3;  // the cross
  Control& Label4;  // the circle
  Control& Label5;  // the rest of the name row
  std::unique_ptr<Timer> Timer1;  // ends the feedback of a wrong answer
  std::unique_ptr<Timer> Timer2;  // ends the feedback of a right answer

  // Per-question state.
  int NameLength = 0;
  int AnswerLength = 0;
  int AnswerProgress = 0;
  int SlotCount = 6;
  std::array<int, 10> SlotOrder{};
  std::array<Text, 6> LabelLetters;
  int CellSize = 0;
  int NameLeft = 0;

  // The most distractors the six cards leave room for.
  static constexpr int kMostDistractors = 5;

 private:
  Lesson& lesson_;
};

}  // namespace kanae::initial_letter
