// The kana-catching game: the first letter of a picture's name jumps about the
// dark blue window until the learner catches it; then the learner picks that
// letter among distractor letters below the picture.
#pragma once

#include <array>
#include <memory>

#include "game.h"
#include "lesson.h"
#include "settings.h"

namespace kanae::kana_catching {

class KanaCatchingGame : public Game {
 public:
  explicit KanaCatchingGame(Lesson& lesson);

  const GameInfo& Info() const override { return kana_catching::Info(); }
  SettingsList Settings() override { return SettingSlots(settings); }
  SettingsDialogLayout SettingsDialog() override { return DialogLayout(settings); }
  void Layout() override;
  // With the catching phase on: one jump of the letter; otherwise the letter question.
  void NextQuestion() override;
  void OnPointer(const PointerEvent& event) override;
  std::vector<const Control*> AnswerControls() const override;
  SpokenText PromptFor(int question_index) override;
  SpokenText PraiseFor(const Text& message, int question_index) override;

  void OnLetterCaught();
  void ShowLetterChoices();
  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void Timer1Tick();
  void Timer2Tick();
  void Timer3Tick();

  kana_catching::Settings settings;

  // Controls, front to back: Label3, Label1, the choice letters, Image1.
  Control& Image1;  // the picture
  Control& Label1;  // the letter to catch
  std::array<Control*, 6> Label2{};  // the choice letters
  Control& Label3;  // the mark over the chosen letter, ○ or ×
  std::unique_ptr<Timer> Timer1;  // ends the feedback of a wrong answer
  std::unique_ptr<Timer> Timer2;  // ends the feedback of a right answer
  std::unique_ptr<Timer> Timer3;  // moves the letter to catch

  // Per-question state.
  int ChoiceCount = 0;
  std::array<Text, 6> LabelLetters;
  std::array<int, 6> SlotOrder{0, 1, 2, 3, 4, 5};
  int CorrectChoice = 0;

  // The most distractors the six choice labels leave room for.
  static constexpr int kMostDistractors = 5;

 private:
  void CatchingStep();
  Text CurrentName() const;

  Lesson& lesson_;
  // The blink timer's next jump belongs to the question already under way.
  bool jumping_on_ = false;
};

}  // namespace kanae::kana_catching
