// The word-building game: a picture with its name above it; the learner lays
// the name's letters out in order from the cards below the picture.
#pragma once

#include <array>
#include <memory>

#include "game.h"
#include "lesson.h"
#include "settings.h"

namespace kanae::word_building {

class WordBuildingGame : public Game {
 public:
  explicit WordBuildingGame(Lesson& lesson);

  const GameInfo& Info() const override { return word_building::Info(); }
  SettingsList Settings() override { return SettingSlots(settings); }
  SettingsDialogLayout SettingsDialog() override { return DialogLayout(settings); }
  void Layout() override;
  void NextQuestion() override;
  void OnPointer(const PointerEvent& event) override;
  std::vector<const Control*> AnswerControls() const override;
  SpokenText PromptFor(int question_index) override;

  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void WrongAnswerTimerTick();
  void RightAnswerTimerTick();

  word_building::Settings settings;

  static constexpr int kCards = 10;  // also the longest name shown

  // Controls, front to back: circle, cross, the cards, name_row, picture.
  Control& picture;
  Control& name_row;  // the whole display name in one label
  std::array<Control*, kCards> cards{};
  Control& cross;
  Control& circle;
  std::unique_ptr<Timer> wrong_answer_timer;  // ends the feedback of a wrong card
  std::unique_ptr<Timer> right_answer_timer;  // ends the feedback of a completed name

  // Per-question state.
  int name_length = 0;
  int answer_length = 0;  // the number of cards
  int answer_progress = 0;  // letters placed so far
  int slot_count = 6;
  std::array<int, kCards> slot_order{};
  std::array<Text, kCards> card_letters;
  // Cards already standing in the name row; touching one again does nothing.
  std::array<bool, kCards> placed{};
  int cell_size = 0;

 private:
  Lesson& lesson_;
};

}  // namespace kanae::word_building
