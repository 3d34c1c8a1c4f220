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

  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void Timer1Tick();
  void Timer2Tick();

  word_building::Settings settings;

  static constexpr int kCards = 10;  // also the longest name shown

  // Controls, front to back: Label4, Label3, the cards, Label1, Image1.
  Control& Image1;
  Control& Label1;  // the name row, the whole display name in one label
  std::array<Control*, kCards> Label2{};  // the cards
  Control& Label3;  // the cross
  Control& Label4;  // the circle
  std::unique_ptr<Timer> Timer1;  // ends the feedback of a wrong card
  std::unique_ptr<Timer> Timer2;  // ends the feedback of a completed name

  // Per-question state.
  int NameLength = 0;
  int AnswerLength = 0;  // the number of cards
  int AnswerProgress = 0;  // letters placed so far
  int SlotCount = 6;
  std::array<int, kCards> SlotOrder{};
  std::array<Text, kCards> LabelLetters;
  // Cards already standing in the name row; touching one again does nothing.
  std::array<bool, kCards> Placed{};
  int CellSize = 0;

 private:
  Lesson& lesson_;
};

}  // namespace kanae::word_building
