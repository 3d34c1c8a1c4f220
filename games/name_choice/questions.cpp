#include "questions.h"

#include <algorithm>

#include "picture_library.h"
#include "spoken_prompts.h"
#include "random_source.h"

namespace kanae::name_choice {

Text VerticalText(TextView name, int n) {
  Text caption = Left(name, static_cast<std::size_t>(std::max(n, 0)));
  for (char32_t& c : caption) {
    if (c == U'ー' || c == U'－') c = U'｜';
  }
  return caption;
}

NameChoiceGame::NameChoiceGame(Lesson& lesson)
    : picture(lesson.form.Add("picture", ControlKind::kImage, 2)),
      cross(lesson.form.Add("cross", ControlKind::kLabel, 4)),
      feedback_timer(lesson.CreateTimer(1000, [this] { FeedbackTimerTick(); })),
      lesson_(lesson) {
  name_columns[0] = &lesson.form.Add("name_columns(0)", ControlKind::kLabel, 1, 0);
  name_columns[1] = &lesson.form.Add("name_columns(1)", ControlKind::kLabel, 3, 1);
  for (Control* column : name_columns) {
    column->back_colour = kWhite;
    column->fore_colour = kBlack;
    // Each line holds one character; centring keeps it in the middle of its cell.
    column->centred = true;
  }
  MakeMark(cross, Text(1, U'×'));
}

void NameChoiceGame::Layout() { cross.font_points = Int(lesson_.form.width / 60.0); }

void NameChoiceGame::PlaceNameColumn(int side, int& n) {
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  n = std::min(n, kLongestShownName);
  const int k = std::max(n, 6);
  const int w = Int(height / (k + 1));
  const int h = Int(static_cast<double>(n) * w);
  Control& column = *name_columns[side];
  column.font_points = Int(w / 20.5);
  column.Place(Int(width * 3 / 4 * side) + Int((width / 4 - w) / 2), Int((height - h) / 2), w, h);
}

void NameChoiceGame::NextQuestion() {
  if (lesson_.EndIfComplete()) return;
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  FormFields& f = lesson_.fields;
  const auto& tasks = lesson_.state.task_pictures;
  const int task_count = lesson_.state.TaskCount();

  HideQuestion();
  // The start-up never leaves the lesson without pictures; should it happen,
  // there is nothing to ask and nothing to answer.
  if (task_count == 0 || f.question_index < 0 || f.question_index >= task_count) return;

  picture.Place(Int(width / 4), Int(height * 3 / 12), Int(width / 2), Int(height / 2));
  lesson_.LoadPicture(picture, tasks[f.question_index]);

  // One draw among the other tasks, each equally likely, so the draw always
  // ends; a lesson of one task has no other name to offer.
  decoy_index = -1;
  if (task_count >= 2) {
    decoy_index = DrawIndex(lesson_.Rnd(), task_count - 1);
    if (decoy_index >= f.question_index) ++decoy_index;
  }
  correct_side = DrawIndex(lesson_.Rnd(), 2);

  const Text right_name = NameOfPicture(tasks[f.question_index]);
  int n = static_cast<int>(right_name.size());
  PlaceNameColumn(correct_side, n);
  name_columns[correct_side]->caption = VerticalText(right_name, n);

  const Text decoy_name = decoy_index >= 0 ? NameOfPicture(tasks[decoy_index]) : Text();
  int m = static_cast<int>(decoy_name.size());
  PlaceNameColumn(1 - correct_side, m);
  name_columns[1 - correct_side]->caption = VerticalText(decoy_name, m);

  f.speech_text = PromptFor(f.question_index);
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.is_speaking = true;
  lesson_.QuestionShown();
}

void NameChoiceGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.touch_mode)) return;
  for (int side = 0; side < 2; ++side) {
    const Control& column = *name_columns[side];
    // An empty column has no size: there is nothing to point at.
    if (event.control == &column && column.visible && column.width > 0 && column.height > 0) {
      TakeAnswer(side);
      return;
    }
  }
}

void NameChoiceGame::TakeAnswer(int index) {
  FormFields& f = lesson_.fields;
  if (f.is_speaking) return;
  f.chosen_index = index;
  CheckAnswer();
}

std::vector<const Control*> NameChoiceGame::AnswerControls() const {
  std::vector<const Control*> answers;
  for (const Control* column : name_columns) {
    if (column->visible && column->width > 0 && column->height > 0) answers.push_back(column);
  }
  return answers;
}

void NameChoiceGame::CheckAnswer() {
  if (lesson_.IsCuePlaying()) return;
  lesson_.BeginFeedback();
  FormFields& f = lesson_.fields;
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;

  const auto& tasks = lesson_.state.task_pictures;
  const Text asked = NameOfPicture(tasks[f.question_index]);
  if (f.chosen_index == correct_side) {
    lesson_.AnswerJudged(true, asked, asked);
    lesson_.PlayCueAndWait(U"ピンポン.wav");
    f.speech_text = PraiseFor(lesson_.DrawPraise(), f.question_index);
    lesson_.Speak();
    f.is_speaking = true;
    for (Control* column : name_columns) {
      column->width = 0;
      column->height = 0;
    }
    picture.Place(0, 0, width, height);
    // After the last task the list starts again in a new order.
    lesson_.AdvanceQuestion();
  } else {
    lesson_.AnswerJudged(false, asked, decoy_index >= 0 ? NameOfPicture(tasks[decoy_index]) : Text());
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.speech_text = lesson_.DrawRetry();
    lesson_.Speak();
    f.is_speaking = true;
    cross.Place(Int(width * 3 / 4 * f.chosen_index) - Int(width * 36 / 800), Int(height * 170 / 600), Int(width * 240 / 800),
                 Int(height * 240 / 600));
  }
  feedback_timer->SetEnabled(true);
}

void NameChoiceGame::ShowQuestion() {
  picture.visible = true;
  for (Control* column : name_columns) column->visible = true;
  ArmMark(cross);
}

void NameChoiceGame::HideQuestion() {
  for (Control* c : {&picture, name_columns[0], name_columns[1], &cross}) c->visible = false;
}

void NameChoiceGame::FeedbackTimerTick() {
  if (lesson_.fields.is_speaking) return;
  feedback_timer->SetEnabled(false);
  NextQuestion();
}

SpokenText NameChoiceGame::PromptFor(int question_index) {
  return settings.ask_with_name != 0 ? AskWhichIs(lesson_.state.TaskName(question_index))
                                     : SpokenText(kAskWhichOfTwoNamesFits);
}

SpokenText NameChoiceGame::PraiseFor(const Text& message, int question_index) {
  return message + U"。これが、" + Word(lesson_.state.TaskName(question_index)) + U"、だね。";
}

}  // namespace kanae::name_choice
