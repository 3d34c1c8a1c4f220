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
  void WrongAnswerTimerTick();
  void RightAnswerTimerTick();
  void BlinkTimerTick();

  kana_catching::Settings settings;

  // Controls, front to back: mark, catch_letter, the choice letters, picture.
  Control& picture;
  Control& catch_letter;  // jumps about until caught
  std::array<Control*, 6> choice_letters{};
  Control& mark;  // over the chosen letter, ○ or ×
  std::unique_ptr<Timer> wrong_answer_timer;  // ends the feedback of a wrong answer
  std::unique_ptr<Timer> right_answer_timer;  // ends the feedback of a right answer
  std::unique_ptr<Timer> blink_timer;  // moves the letter to catch

  // Per-question state.
  int choice_count = 0;
  std::array<Text, 6> choice_texts;
  std::array<int, 6> slot_order{0, 1, 2, 3, 4, 5};
  int correct_choice = 0;

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
