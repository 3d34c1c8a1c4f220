#include "questions.h"

#include <algorithm>

#include "kana_tables.h"
#include "picture_library.h"
#include "spoken_prompts.h"

namespace kanae::kana_catching {

KanaCatchingGame::KanaCatchingGame(Lesson& lesson)
    : picture(lesson.form.Add("picture", ControlKind::kImage, 1)),
      catch_letter(lesson.form.Add("catch_letter", ControlKind::kLabel, 3)),
      mark(lesson.form.Add("mark", ControlKind::kLabel, 4)),
      wrong_answer_timer(lesson.CreateTimer(1000, [this] { WrongAnswerTimerTick(); })),
      right_answer_timer(lesson.CreateTimer(1000, [this] { RightAnswerTimerTick(); })),
      blink_timer(lesson.CreateTimer(1000, [this] { BlinkTimerTick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kDarkBlue;
  for (int j = 0; j < 6; ++j) {
    choice_letters[j] = &lesson.form.Add("choice_letters(" + std::to_string(j) + ")", ControlKind::kLabel, 2, j);
    choice_letters[j]->centred = true;
  }
  catch_letter.centred = true;
  MakeMark(mark);
}

void KanaCatchingGame::Layout() {
  const double width = lesson_.form.width;
  // The cards are a fifth of the screen's height: on a wide screen the
  // width-based size would cut the tops of サ or ヒ and バ's marks.
  for (Control* letter : choice_letters) letter->font_points = FontHeldToHeight(Int(width / 138), Int(lesson_.form.height / 5));
  mark.font_points = Int(width / 100);
}

Text KanaCatchingGame::CurrentName() const {
  return NameOfPicture(lesson_.state.task_pictures[lesson_.fields.question_index]);
}

void KanaCatchingGame::NextQuestion() {
  if (lesson_.EndIfComplete()) return;
  const bool same_question = jumping_on_;
  jumping_on_ = false;
  // A picture without a name has no letter to catch.
  if (settings.jumping_letter != 0 && !CurrentName().empty()) {
    if (!same_question) lesson_.QuestionShown();
    CatchingStep();
    return;
  }
  blink_timer->SetEnabled(false);
  lesson_.QuestionShown();
  ShowLetterChoices();
}

void KanaCatchingGame::CatchingStep() {
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  HideQuestion();
  const int h = Int(height / 20);
  const int w = Int(width / 20);
  const int top = Int(lesson_.Rnd().Next() * (height - h));
  const int left = Int(lesson_.Rnd().Next() * (width - w));
  const int room = std::min(Int(height) - top, Int(width) - left);
  // On a screen taller than wide the drawn side can exceed the room left; the
  // letter is then held inside the window so that all of it can be caught.
  const int side = std::min(Int(lesson_.Rnd().Next() * (room - h)) + h, room);
  catch_letter.Place(left, top, side, side);
  catch_letter.font_points = Int(side / 20.0);
  catch_letter.caption = Left(CurrentName(), 1);
  catch_letter.visible = true;

  lesson_.fields.cue_file = LetterSoundFile(catch_letter.caption[0]);
  lesson_.PlayCue();
  blink_timer->SetInterval(settings.blink_fast != 0 ? 1000 : 2000);
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  blink_timer->SetEnabled(true);
}

void KanaCatchingGame::BlinkTimerTick() {
  // The letter stays while its sound plays.
  if (lesson_.IsCuePlaying()) return;
  lesson_.StopPlayer();
  blink_timer->SetEnabled(false);
  jumping_on_ = true;
  NextQuestion();
}

void KanaCatchingGame::OnLetterCaught() {
  blink_timer->SetEnabled(false);
  lesson_.LetterCaught(catch_letter.caption);
  lesson_.form.back_colour = kRed;
  lesson_.PlayCueAndWait(U"バーン.wav");
  ShowLetterChoices();
}

void KanaCatchingGame::ShowLetterChoices() {
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  FormFields& f = lesson_.fields;

  HideQuestion();
  lesson_.form.back_colour = kDarkBlue;
  picture.Place(Int(width / 8), Int(height / 66), Int(width * 3 / 4), Int(height * 3 / 4));
  lesson_.LoadPicture(picture, lesson_.state.task_pictures[f.question_index]);

  ShuffleSlots(std::span<int>(slot_order.data(), 6), lesson_.Rnd());

  const Text name = CurrentName();
  f.choice_letters = Left(name, 1);
  // Without a first letter a distractor would stand where the right letter
  // belongs and be judged right; such a picture offers nothing to answer.
  const TextView table = name.empty() ? TextView() : DistractorTable(f.tables, settings.distractor_kind, false);
  // A hand-edited count beyond the six labels is held to what they can show.
  const int distractors = std::min<int>(settings.distractor_count, kMostDistractors);
  for (int k = 0; k < distractors && !table.empty(); ++k) {
    if (!lesson_.DrawDistractor(table)) break;
  }
  choice_count = static_cast<int>(f.choice_letters.size());

  const int step = Int(width * 132 / 800);
  const int inset = Int(width * 9 / 800);
  for (Text& letter : choice_texts) letter.clear();
  for (int j = 0; j < choice_count; ++j) {
    Control& label = *choice_letters[j];
    label.Place(step * slot_order[j] + inset, Int(height * 94 / 120), Int(width * 3 / 20), Int(height / 5));
    choice_texts[j] = CharAt(f.choice_letters, j);
    label.caption = choice_texts[j];
  }

  f.speech_text = PromptFor(f.question_index);
  correct_choice = 0;
  // The teacher's pointer choice holds in every question, with or without the catching phase.
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.is_speaking = true;
}

void KanaCatchingGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.touch_mode)) return;
  if (event.control == nullptr) return;
  if (event.control == &catch_letter) {
    if (catch_letter.visible) OnLetterCaught();
    return;
  }
  for (int j = 0; j < static_cast<int>(choice_letters.size()); ++j) {
    if (event.control == choice_letters[j]) {
      lesson_.fields.chosen_index = j;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> KanaCatchingGame::AnswerControls() const {
  if (catch_letter.visible) return {&catch_letter};  // the letter to catch
  std::vector<const Control*> answers;
  for (int j = 0; j < choice_count; ++j) {
    if (choice_letters[j]->visible) answers.push_back(choice_letters[j]);
  }
  return answers;
}

void KanaCatchingGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (f.is_speaking || lesson_.IsCuePlaying()) return;
  if (f.chosen_index < 0 || f.chosen_index >= choice_count) return;  // a label that shows no letter
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  const Text chosen = choice_texts[f.chosen_index];

  lesson_.PlayCueAndWait(LetterSoundFile(chosen[0]));
  lesson_.BeginFeedback();
  mark.Place(Int(width * 132 / 800) * slot_order[f.chosen_index] - Int(width * 9 / 800), Int(height * 93 / 125), Int(width * 3 / 15),
               Int(height / 3));
  // The mark reaches below the screen (and left of it over the first slot);
  // held to the screen, with its sign no taller than what is left of it.
  HoldInsideWindow(mark, width, height);
  mark.font_points = FontHeldToHeight(Int(width / 100), mark.height);

  if (choice_texts[correct_choice] != chosen) {
    lesson_.AnswerJudged(false, choice_texts[correct_choice], chosen);
    mark.caption = U"×";
    mark.visible = true;
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.speech_text = lesson_.DrawRetry();
    lesson_.Speak();
    f.is_speaking = true;
    wrong_answer_timer->SetEnabled(true);
    return;
  }

  lesson_.AnswerJudged(true, choice_texts[correct_choice], chosen);
  mark.caption = U"○";
  mark.visible = true;
  lesson_.PlayCueAndWait(U"ピンポン.wav");
  f.speech_text = PraiseFor(lesson_.DrawPraise(), f.question_index);
  lesson_.Speak();
  lesson_.AdvanceQuestion();
  f.is_speaking = true;
  right_answer_timer->SetEnabled(true);
}

void KanaCatchingGame::ShowQuestion() {
  picture.visible = true;
  for (int j = 0; j < choice_count && j < static_cast<int>(choice_letters.size()); ++j) choice_letters[j]->visible = true;
}

void KanaCatchingGame::HideQuestion() {
  for (Control* c : {&picture, &catch_letter, &mark}) c->visible = false;
  for (Control* letter : choice_letters) letter->visible = false;
}

void KanaCatchingGame::WrongAnswerTimerTick() {
  if (lesson_.fields.is_speaking) return;
  mark.visible = false;
  wrong_answer_timer->SetEnabled(false);
  NextQuestion();
}

void KanaCatchingGame::RightAnswerTimerTick() {
  if (lesson_.fields.is_speaking) return;
  right_answer_timer->SetEnabled(false);
  NextQuestion();
}

SpokenText KanaCatchingGame::PromptFor(int question_index) {
  const Text name = lesson_.state.TaskName(question_index);
  return AskForNameAndLetter(name);
}

SpokenText KanaCatchingGame::PraiseFor(const Text& message, int question_index) {
  const Text name = lesson_.state.TaskName(question_index);
  return message + U"。これが、" + Word(name) + U"の、" + Letter(Left(name, 1)) + U"、だね。";
}

}  // namespace kanae::kana_catching
