// The picture-card game: a name above two pictures; the learner picks the
// picture the name belongs to, by pointing at it or with the left or right
// mouse button.
#pragma once

#include <array>
#include <memory>

#include "game.h"
#include "lesson.h"
#include "settings.h"

namespace kanae::picture_card {

class PictureCardGame : public Game {
 public:
  explicit PictureCardGame(Lesson& lesson);

  const GameInfo& Info() const override { return picture_card::Info(); }
  SettingsList Settings() override { return SettingSlots(settings); }
  SettingsDialogLayout SettingsDialog() override { return DialogLayout(settings); }
  void Layout() override;
  void NextQuestion() override;
  void OnPointer(const PointerEvent& event) override;
  std::vector<const Control*> AnswerControls() const override;
  SpokenText PromptFor(int question_index) override;
  SpokenText PraiseFor(const Text& message, int question_index) override;
  bool UsesRightButton() const override { return settings.choose_by_picture == 0; }

  void PlacePicture(int side);
  // A choice of side 0 (left) or 1 (right); any other value is no side and is ignored.
  void TakeAnswer(int side);
  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void FeedbackTimerTick();

  // The side a mouse button stands for with the left/right method, or -1 for
  // a button that names no side (the middle one, extra side buttons).
  static int SideOfButton(int button);

  picture_card::Settings settings;

  // Controls, front to back: cross, pictures(1), pictures(0), name_row.
  Control& name_row;
  std::array<Control*, 2> pictures{};  // 0 left, 1 right
  Control& cross;  // over a wrong picture
  std::unique_ptr<Timer> feedback_timer;  // ends the feedback of an answer

  // Per-question state.
  int correct_side = 0;
  int name_length = 0;  // the shown length, at most 10
  Text decoy_picture;  // the file shown on the other side

  // Redraws of the decoy before the next task is taken instead. A sound random
  // source never needs this many; a broken one must not hang the lesson.
  static constexpr int kMostDecoyDraws = 64;

 private:
  Text DrawDecoy();

  Lesson& lesson_;
};

}  // namespace kanae::picture_card
