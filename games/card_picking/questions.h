// The card-picking game: two or four picture cards, optionally with their
// initial letters; the learner picks the card whose name was spoken.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "game.h"
#include "lesson.h"
#include "settings.h"

namespace kanae::card_picking {

// The initial of a task picture: the first character of its file name.
char32_t InitialOf(TextView file_name);

// How many different initials the pictures begin with.
int DistinctInitials(const std::vector<Text>& pictures);

// The cards a question can show: every card needs its own initial, so four
// cards fall back to two when only two or three initials exist, and a single
// initial leaves one card (0 when there is no picture at all).
int CardsToShow(int wanted, int distinct_initials);

class CardPickingGame : public Game {
 public:
  explicit CardPickingGame(Lesson& lesson);

  const GameInfo& Info() const override { return card_picking::Info(); }
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
  void PlaceCard(int i);
  void PlaceCardLetter(int i);
  void FeedbackTimerTick();

  // card_letter_size as the cards use it: a hand-edited value above 3 shows the
  // large letter, one below 0 no letter, so the prompt always matches the cards.
  int LetterSize() const;

  card_picking::Settings settings;

  // Controls, front to back: cross, the letters, the pictures.
  std::array<Control*, 4> card_pictures{};
  std::array<Control*, 4> card_letters{};
  Control& cross;  // over a wrong card
  std::unique_ptr<Timer> feedback_timer;  // ends the feedback of every answer

  // Per-question state.
  int card_count = 0;
  int correct_card = 0;
  std::array<int, 4> card_tasks{};

 private:
  void DrawCards();
  void WarnOfOneInitial();

  Lesson& lesson_;
  // The teacher is told once per run, not at every question.
  bool warned_of_one_initial_ = false;
};

}  // namespace kanae::card_picking
