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
  bool UsesRightButton() const override { return settings.ChooseByPicture == 0; }

  void PlacePicture(int side);
  // A choice of side 0 (left) or 1 (right); any other value is no side and is ignored.
  void TakeAnswer(int side);
  void CheckAnswer();
  void ShowQuestion();
  void HideQuestion();
  void Timer1Tick();

  // The side a mouse button stands for with the left/right method, or -1 for
  // a button that names no side (the middle one, extra side buttons).
  static int SideOfButton(int button);

  picture_card::Settings settings;

  // Controls, front to back: Label2, Image1(1), Image1(0), Label1.
  Control& Label1;                   // the name
  std::array<Control*, 2> Image1{};  // the pictures: 0 left, 1 right
  Control& Label2;                   // the cross over a wrong picture
  std::unique_ptr<Timer> Timer1;     // ends the feedback of an answer

  // Per-question state.
  int CorrectSide = 0;
  int NameLength = 0;    // the shown length, at most 10
  Text DecoyPicture;     // the file shown on the other side

  // Redraws of the decoy before the next task is taken instead. A sound random
  // source never needs this many; a broken one must not hang the lesson.
  static constexpr int kMostDecoyDraws = 64;

 private:
  Text DrawDecoy();

  Lesson& lesson_;
};

}  // namespace kanae::picture_card
