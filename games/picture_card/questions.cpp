#include "questions.h"

#include <algorithm>

#include "picture_library.h"

namespace kanae::picture_card {

PictureCardGame::PictureCardGame(Lesson& lesson)
    : Label1(lesson.form.Add("Label1", ControlKind::kLabel, 1)),
      Label2(lesson.form.Add("Label2", ControlKind::kLabel, 4)),
      Timer1(lesson.CreateTimer(1000, [this] { Timer1Tick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int side = 0; side < 2; ++side) {
    Image1[side] = &lesson.form.Add("Image1(" + std::to_string(side) + ")", ControlKind::kImage, 2 + side, side);
  }
  Label1.back_colour = kWhite;
  Label1.fore_colour = kBlack;
  MakeMark(Label2);
}

void PictureCardGame::Layout() {
  Label2.caption = Text(1, U'×');
  Label2.font_points = Int(lesson_.form.width / 50.0);
}

int PictureCardGame::SideOfButton(int button) {
  switch (button) {
    case 1: return 0;
    case 2: return 1;
    default: return -1;
  }
}

Text PictureCardGame::DrawDecoy() {
  const std::vector<Text>& tasks = lesson_.state.TaskPictures;
  const int count = lesson_.state.TaskCount();
  const int asked = lesson_.fields.QuestionIndex;
  if (count >= 2) {
    for (int draw = 0; draw < kMostDecoyDraws; ++draw) {
      const int decoy = DrawIndex(lesson_.Rnd(), count);
      if (decoy != asked) return tasks[decoy];
    }
    return tasks[(asked + 1) % count];
  }
  // A single task has no other entry to offer: another picture of the folder
  // stands in, so two different pictures are still shown.
  std::vector<const Text*> others;
  for (const Text& file : lesson_.state.PictureFiles) {
    if (file != tasks[asked]) others.push_back(&file);
  }
  if (others.empty()) return tasks[asked];
  return *others[DrawIndex(lesson_.Rnd(), static_cast<int>(others.size()))];
}

void PictureCardGame::NextQuestion() {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  FormFields& f = lesson_.fields;
  const std::vector<Text>& tasks = lesson_.state.TaskPictures;

  HideQuestion();
  if (f.QuestionIndex < 0 || f.QuestionIndex >= static_cast<int>(tasks.size())) return;  // nothing to ask
  const Text task = tasks[f.QuestionIndex];

  const Text name = NameOfPicture(task);
  NameLength = static_cast<int>(std::min<std::size_t>(name.size(), 10));
  const int h = Int(W / (std::max(NameLength, 6) + 1));
  Label1.font_points = Int(h / 20.5);
  const int w = Int(static_cast<double>(NameLength) * h);
  Label1.Place(Int((W - w) / 2), Int((H / 2 - h) / 2), w, h);
  Label1.caption = Left(name, NameLength);

  DecoyPicture = DrawDecoy();
  CorrectSide = DrawIndex(lesson_.Rnd(), 2);
  PlacePicture(0);
  PlacePicture(1);
  lesson_.LoadPicture(*Image1[CorrectSide], task);
  lesson_.LoadPicture(*Image1[1 - CorrectSide], DecoyPicture);

  f.SpeechText = settings.AskWithName != 0 ? name + U"、は、どっちかな" : Text(U"この名前は、どっちかな");
  lesson_.SpeakPrompt();
  lesson_.ApplyPointer(settings.CursorVisible != 0);
  ShowQuestion();
  f.IsSpeaking = true;
  lesson_.QuestionShown();
}

void PictureCardGame::PlacePicture(int side) {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  Image1[side]->Place(Int(W / 80 * 38) * side + Int(W / 80 * 5), Int(H / 2), Int(W / 5 * 2), Int(H / 5 * 2));
}

void PictureCardGame::OnPointer(const PointerEvent& event) {
  if (settings.ChooseByPicture == 0) {
    // Only the button counts, wherever it is pressed; a switch or a resting
    // pointer chooses a side by its picture.
    if (event.action == PointerAction::kPress) TakeAnswer(SideOfButton(event.button));
    if (event.action == PointerAction::kChoose) {
      for (int side = 0; side < 2; ++side) {
        if (event.control == Image1[side]) TakeAnswer(side);
      }
    }
    return;
  }
  if (!MatchesTouchMode(event.action, settings.TouchMode)) return;
  for (int side = 0; side < 2; ++side) {
    if (event.control == Image1[side]) {
      TakeAnswer(side);
      return;
    }
  }
}

void PictureCardGame::TakeAnswer(int side) {
  if (side != 0 && side != 1) return;
  if (lesson_.fields.IsSpeaking) return;
  lesson_.fields.ChosenIndex = side;
  CheckAnswer();
}

std::vector<const Control*> PictureCardGame::AnswerControls() const {
  std::vector<const Control*> answers;
  for (const Control* picture : Image1) {
    if (picture->visible) answers.push_back(picture);
  }
  return answers;
}

void PictureCardGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (lesson_.IsCuePlaying()) return;
  lesson_.BeginFeedback();
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  const int p = f.ChosenIndex;

  const Text& task = lesson_.state.TaskPictures[f.QuestionIndex];
  if (p == CorrectSide) {
    lesson_.AnswerJudged(true, NameOfPicture(task), task);
    lesson_.PlayCueAndWait(U"ピンポン.wav");
    const Text name = NameOfPicture(lesson_.state.TaskPictures[f.QuestionIndex]);
    f.SpeechText = lesson_.DrawPraise() + U"。これが、" + name + U"、だね。";
    lesson_.Speak();
    Image1[1 - p]->width = 0;
    Image1[1 - p]->height = 0;
    Image1[p]->Place(0, 0, W, H);
    lesson_.AdvanceQuestion();
  } else {
    lesson_.AnswerJudged(false, NameOfPicture(task), DecoyPicture);
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.SpeechText = lesson_.DrawRetry();
    lesson_.Speak();
    Label2.Place(Int(W / 80 * 38) * p + Int(W / 80 * 5), Int(H * 13 / 30), Int(W / 5 * 2), Int(H * 16 / 30));
  }
  f.IsSpeaking = true;
  Timer1->SetEnabled(true);
}

void PictureCardGame::ShowQuestion() {
  Label1.visible = true;
  for (Control* picture : Image1) picture->visible = true;
  Label2.Place(0, 0, 0, 0);
  Label2.visible = true;
}

void PictureCardGame::HideQuestion() {
  for (Control* c : {&Label1, &Label2, Image1[0], Image1[1]}) c->visible = false;
}

void PictureCardGame::Timer1Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Timer1->SetEnabled(false);
  NextQuestion();
}

}  // namespace kanae::picture_card
