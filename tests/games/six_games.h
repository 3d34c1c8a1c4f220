// The six games side by side, for tests that hold for every one of them.
#pragma once

#include <string>
#include <vector>

#include "../../games/card_picking/questions.h"
#include "../../games/initial_letter/questions.h"
#include "../../games/kana_catching/questions.h"
#include "../../games/name_choice/questions.h"
#include "../../games/picture_card/questions.h"
#include "../../games/word_building/questions.h"
#include <gtest/gtest.h>

namespace kanae::testing {

// Per game: its settings for these tests ("" for the defaults; all answer on
// a click and offer more than one answer), the control that answers the open
// question rightly, and the timers that end an answer's feedback.
struct InitialLetter {
  using GameT = initial_letter::InitialLetterGame;
  static constexpr const char* kSettings = "#TRUE#,#TRUE#,3,0,#TRUE#,#FALSE#";  // three distractors
  static const Control* RightAnswer(GameT& g) { return g.cards[0]; }
  static std::vector<Timer*> FeedbackTimers(GameT& g) { return {g.wrong_answer_timer.get(), g.right_answer_timer.get()}; }
};
struct KanaCatching {
  using GameT = kana_catching::KanaCatchingGame;
  static constexpr const char* kSettings = "#TRUE#,#TRUE#,3,0,#FALSE#,#FALSE#";  // no catching phase
  static const Control* RightAnswer(GameT& g) { return g.choice_letters[g.correct_choice]; }
  static std::vector<Timer*> FeedbackTimers(GameT& g) { return {g.wrong_answer_timer.get(), g.right_answer_timer.get()}; }
};
struct CardPicking {
  using GameT = card_picking::CardPickingGame;
  static constexpr const char* kSettings = "";
  static const Control* RightAnswer(GameT& g) { return g.card_pictures[g.correct_card]; }
  static std::vector<Timer*> FeedbackTimers(GameT& g) { return {g.feedback_timer.get()}; }
};
struct WordBuilding {
  using GameT = word_building::WordBuildingGame;
  static constexpr const char* kSettings = "#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#";  // two distractors
  // Every name here is one letter long, so its first card completes it.
  static const Control* RightAnswer(GameT& g) { return g.cards[0]; }
  static std::vector<Timer*> FeedbackTimers(GameT& g) { return {g.wrong_answer_timer.get(), g.right_answer_timer.get()}; }
};
struct NameChoice {
  using GameT = name_choice::NameChoiceGame;
  static constexpr const char* kSettings = "";
  static const Control* RightAnswer(GameT& g) { return g.name_columns[g.correct_side]; }
  static std::vector<Timer*> FeedbackTimers(GameT& g) { return {g.feedback_timer.get()}; }
};
struct PictureCard {
  using GameT = picture_card::PictureCardGame;
  static constexpr const char* kSettings = "";
  static const Control* RightAnswer(GameT& g) { return g.pictures[g.correct_side]; }
  static std::vector<Timer*> FeedbackTimers(GameT& g) { return {g.feedback_timer.get()}; }
};

using SixGames = ::testing::Types<InitialLetter, KanaCatching, CardPicking, WordBuilding, NameChoice, PictureCard>;

// Ten one-letter pictures with ten different initials.
inline std::vector<std::string> TenPictures() {
  return {"あ.jpg", "い.jpg", "う.jpg", "え.jpg", "お.jpg", "か.jpg", "き.jpg", "く.jpg", "け.jpg", "こ.jpg"};
}

// Draws that vary, for a scripted source: a constant draw would redraw a
// distractor letter for ever.
inline std::vector<double> VariedDraws() {
  std::vector<double> draws;
  unsigned state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245u + 12345u;
    draws.push_back(static_cast<double>((state >> 8) % 10000) / 10000.0);
  }
  return draws;
}

}  // namespace kanae::testing
