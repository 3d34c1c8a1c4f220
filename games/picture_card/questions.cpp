#include "questions.h"

#include <algorithm>

#include "picture_library.h"
#include "spoken_prompts.h"

namespace kanae::picture_card {

PictureCardGame::PictureCardGame(Lesson& lesson)
    : name_row(lesson.form.Add("name_row", ControlKind::kLabel, 1)),
      cross(lesson.form.Add("cross", ControlKind::kLabel, 4)),
      feedback_timer(lesson.CreateTimer(1000, [this] { FeedbackTimerTick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int side = 0; side < 2; ++side) {
    pictures[side] = &lesson.form.Add("pictures(" + std::to_string(side) + ")", ControlKind::kImage, 2 + side, side);
  }
  name_row.back_colour = kWhite;
  name_row.fore_colour = kBlack;
  MakeMark(cross);
}

void PictureCardGame::Layout() {
  cross.caption = Text(1, U'×');
  cross.font_points = Int(lesson_.form.width / 50.0);
}

int PictureCardGame::SideOfButton(int button) {
  switch (button) {
    case 1: return 0;
    case 2: return 1;
    default: return -1;
  }
}

Text PictureCardGame::DrawDecoy() {
  const std::vector<Text>& tasks = lesson_.state.task_pictures;
  const int count = lesson_.state.TaskCount();
  const int asked = lesson_.fields.question_index;
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
  for (const Text& file : lesson_.state.picture_files) {
    if (file != tasks[asked]) others.push_back(&file);
  }
  if (others.empty()) return tasks[asked];
  return *others[DrawIndex(lesson_.Rnd(), static_cast<int>(others.size()))];
}

void PictureCardGame::NextQuestion() {
  if (lesson_.EndIfComplete()) return;
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  FormFields& f = lesson_.fields;
  const std::vector<Text>& tasks = lesson_.state.task_pictures;

  HideQuestion();
  if (f.question_index < 0 || f.question_index >= static_cast<int>(tasks.size())) return;  // nothing to ask
  const Text task = tasks[f.question_index];

  const Text name = NameOfPicture(task);
  name_length = static_cast<int>(std::min<std::size_t>(name.size(), 10));
  const int h = Int(width / (std::max(name_length, 6) + 1));
  name_row.font_points = Int(h / 20.5);
  const int w = Int(static_cast<double>(name_length) * h);
  name_row.Place(Int((width - w) / 2), Int((height / 2 - h) / 2), w, h);
  name_row.caption = Left(name, name_length);

  decoy_picture = DrawDecoy();
  correct_side = DrawIndex(lesson_.Rnd(), 2);
  PlacePicture(0);
  PlacePicture(1);
  lesson_.LoadPicture(*pictures[correct_side], task);
  lesson_.LoadPicture(*pictures[1 - correct_side], decoy_picture);

  f.speech_text = PromptFor(f.question_index);
  lesson_.SpeakPrompt();
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  ShowQuestion();
  f.is_speaking = true;
  lesson_.QuestionShown();
}

void PictureCardGame::PlacePicture(int side) {
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  pictures[side]->Place(Int(width / 80 * 38) * side + Int(width / 80 * 5), Int(height / 2), Int(width / 5 * 2), Int(height / 5 * 2));
}

void PictureCardGame::OnPointer(const PointerEvent& event) {
  if (settings.choose_by_picture == 0) {
    // Only the button counts, wherever it is pressed; a switch or a resting
    // pointer chooses a side by its picture.
    if (event.action == PointerAction::kPress) TakeAnswer(SideOfButton(event.button));
    if (event.action == PointerAction::kChoose) {
      for (int side = 0; side < 2; ++side) {
        if (event.control == pictures[side]) TakeAnswer(side);
      }
    }
    return;
  }
  if (!MatchesTouchMode(event.action, settings.touch_mode)) return;
  for (int side = 0; side < 2; ++side) {
    if (event.control == pictures[side]) {
      TakeAnswer(side);
      return;
    }
  }
}

void PictureCardGame::TakeAnswer(int side) {
  if (side != 0 && side != 1) return;
  if (lesson_.fields.is_speaking) return;
  lesson_.fields.chosen_index = side;
  CheckAnswer();
}

std::vector<const Control*> PictureCardGame::AnswerControls() const {
  std::vector<const Control*> answers;
  for (const Control* picture : pictures) {
    if (picture->visible) answers.push_back(picture);
  }
  return answers;
}

void PictureCardGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (lesson_.IsCuePlaying()) return;
  lesson_.BeginFeedback();
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  const int p = f.chosen_index;

  const Text& task = lesson_.state.task_pictures[f.question_index];
  if (p == correct_side) {
    lesson_.AnswerJudged(true, NameOfPicture(task), task);
    lesson_.PlayCueAndWait(U"ピンポン.wav");
    f.speech_text = PraiseFor(lesson_.DrawPraise(), f.question_index);
    lesson_.Speak();
    pictures[1 - p]->width = 0;
    pictures[1 - p]->height = 0;
    pictures[p]->Place(0, 0, width, height);
    lesson_.AdvanceQuestion();
  } else {
    lesson_.AnswerJudged(false, NameOfPicture(task), decoy_picture);
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.speech_text = lesson_.DrawRetry();
    lesson_.Speak();
    cross.Place(Int(width / 80 * 38) * p + Int(width / 80 * 5), Int(height * 13 / 30), Int(width / 5 * 2), Int(height * 16 / 30));
  }
  f.is_speaking = true;
  feedback_timer->SetEnabled(true);
}

void PictureCardGame::ShowQuestion() {
  name_row.visible = true;
  for (Control* picture : pictures) picture->visible = true;
  ArmMark(cross);
}

void PictureCardGame::HideQuestion() {
  for (Control* c : {&name_row, &cross, pictures[0], pictures[1]}) c->visible = false;
}

void PictureCardGame::FeedbackTimerTick() {
  if (lesson_.fields.is_speaking) return;
  feedback_timer->SetEnabled(false);
  NextQuestion();
}

SpokenText PictureCardGame::PromptFor(int question_index) {
  return settings.ask_with_name != 0 ? AskWhichIs(lesson_.state.TaskName(question_index))
                                     : SpokenText(kAskWhichOfTwoNamesFits);
}

SpokenText PictureCardGame::PraiseFor(const Text& message, int question_index) {
  return message + U"。これが、" + Word(lesson_.state.TaskName(question_index)) + U"、だね。";
}

}  // namespace kanae::picture_card
