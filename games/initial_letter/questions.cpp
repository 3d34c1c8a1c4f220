#include "questions.h"

#include <algorithm>

#include "kana_tables.h"
#include "letter_cards.h"
#include "picture_library.h"
#include "spoken_prompts.h"

namespace kanae::initial_letter {

InitialLetterGame::InitialLetterGame(Lesson& lesson)
    : picture(lesson.form.Add("picture", ControlKind::kImage, 1)),
      first_cell(lesson.form.Add("first_cell", ControlKind::kLabel, 2)),
      cross(lesson.form.Add("cross", ControlKind::kLabel, 4)),
      circle(lesson.form.Add("circle", ControlKind::kLabel, 5)),
      name_rest(lesson.form.Add("name_rest", ControlKind::kLabel, 6)),
      wrong_answer_timer(lesson.CreateTimer(1000, [this] { WrongAnswerTimerTick(); })),
      right_answer_timer(lesson.CreateTimer(1000, [this] { RightAnswerTimerTick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int j = 0; j < 6; ++j) {
    cards[j] = &lesson.form.Add("cards(" + std::to_string(j) + ")", ControlKind::kLabel, 3, j);
  }
  first_cell.fore_colour = kLightBlue;
  MakeCardMarks(cross, circle);
}

void InitialLetterGame::Layout() {
  PlaceBigCircle(circle, lesson_.form.width, lesson_.form.height);
}

void InitialLetterGame::NextQuestion() {
  if (lesson_.EndIfComplete()) return;
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  FormFields& f = lesson_.fields;
  HideQuestion();
  if (!lesson_.SkipNamelessTasks()) return;
  const Text& task = lesson_.state.task_pictures[f.question_index];

  picture.Place(Int(width / 4), Int(height * 3 / 12), Int(width / 2), Int(height / 2));
  lesson_.LoadPicture(picture, task);

  const Text name = NameOfPicture(task);
  f.choice_letters = Left(name, 1);
  const Text display = Left(name, 10);
  name_length = static_cast<int>(display.size());
  answer_length = name_length;

  slot_count = std::max(name_length, 6);
  ShuffleSlots(std::span<int>(slot_order.data(), slot_count), lesson_.Rnd());

  // A hand-edited count beyond the six cards is held to what they can show.
  const int distractors = std::min<int>(settings.distractor_count, kMostDistractors);
  const TextView table = DistractorTable(f.tables, settings.distractor_kind, false);
  for (int k = 0; k < distractors && !table.empty(); ++k) {
    if (!lesson_.DrawDistractor(table)) break;
  }

  cell_size = Int(width / (slot_count + 1));
  name_left = Int((width - name_length * cell_size) / 2);
  const double cell = cell_size;
  const int font = Int(cell / 20.5);

  const int name_top = Int((height / 4 - cell) / 2);
  first_cell.Place(name_left, name_top, name_length * cell, cell);
  first_cell.font_points = font;
  first_cell.caption = settings.show_model != 0 ? Left(display, 1) : Text();
  // An empty name leaves no second cell (never a negative width).
  name_rest.Place(name_left + cell, name_top, std::max(0.0, (name_length - 1) * cell), cell);
  name_rest.font_points = font;
  name_rest.caption = display.size() > 1 ? display.substr(1) : Text();

  for (std::size_t j = 0; j < cards.size(); ++j) card_letters[j].clear();
  for (std::size_t j = 0; j < f.choice_letters.size(); ++j) {
    card_letters[j] = CharAt(f.choice_letters, j);
    Control& card = *cards[j];
    card.Place(CardLeft(cell, slot_count, slot_order[j]), name_top + Int(height * 3 / 4), cell, cell);
    card.font_points = font;
    card.caption = card_letters[j];
  }

  f.speech_text = PromptFor(f.question_index);
  answer_progress = 0;
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.is_speaking = true;
  lesson_.QuestionShown();
}

void InitialLetterGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.touch_mode)) return;
  if (answer_progress == answer_length) return;
  for (int j = 0; j < static_cast<int>(cards.size()); ++j) {
    if (event.control == cards[j]) {
      lesson_.fields.chosen_index = j;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> InitialLetterGame::AnswerControls() const {
  std::vector<const Control*> answers;
  if (answer_progress == answer_length) return answers;
  for (const Control* card : cards) {
    if (card->visible) answers.push_back(card);
  }
  return answers;
}

void InitialLetterGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (f.is_speaking) return;
  const double height = lesson_.form.height;
  const Text chosen = card_letters[f.chosen_index];
  if (chosen.empty()) return;

  lesson_.PlayCueAndWait(LetterSoundFile(chosen[0]));
  lesson_.BeginFeedback();

  if (card_letters[answer_progress] != chosen) {
    lesson_.AnswerJudged(false, card_letters[answer_progress], chosen);
    const Control& card = *cards[f.chosen_index];
    cross.Place(card.left, first_cell.top + height * 3 / 4, cell_size, cell_size);
    cross.font_points = Int(cell_size / 19.0);
    cross.visible = true;
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.speech_text = lesson_.DrawRetry();
    lesson_.Speak();
    f.is_speaking = true;
    wrong_answer_timer->SetEnabled(true);
    return;
  }

  lesson_.AnswerJudged(true, card_letters[answer_progress], chosen);
  lesson_.PlayCueAndWait(U"ガチャ.wav");
  Control& card = *cards[f.chosen_index];
  card.top = first_cell.top;
  card.left = name_left;
  circle.visible = true;
  lesson_.PlayCueAndWait(U"ピンポン.wav");
  f.speech_text = PraiseFor(lesson_.DrawPraise(), f.question_index);
  lesson_.Speak();
  lesson_.AdvanceQuestion();
  f.is_speaking = true;
  right_answer_timer->SetEnabled(true);
}

void InitialLetterGame::ShowQuestion() {
  picture.visible = true;
  first_cell.visible = true;
  name_rest.visible = true;
  for (std::size_t j = 0; j < lesson_.fields.choice_letters.size() && j < cards.size(); ++j) cards[j]->visible = true;
}

void InitialLetterGame::HideQuestion() {
  for (Control* c : {&picture, &first_cell, &cross, &circle, &name_rest}) c->visible = false;
  for (Control* card : cards) card->visible = false;
}

void InitialLetterGame::WrongAnswerTimerTick() {
  if (lesson_.fields.is_speaking) return;
  cross.visible = false;
  wrong_answer_timer->SetEnabled(false);
  NextQuestion();
}

void InitialLetterGame::RightAnswerTimerTick() {
  if (lesson_.fields.is_speaking) return;
  circle.visible = false;
  right_answer_timer->SetEnabled(false);
  NextQuestion();
}

SpokenText InitialLetterGame::PromptFor(int question_index) {
  const Text name = lesson_.state.TaskName(question_index);
  return settings.ask_with_name != 0 ? AskForNameAndLetter(name) : SpokenText(kAskWhichNameFits);
}

SpokenText InitialLetterGame::PraiseFor(const Text& message, int question_index) {
  return message + U"。これが、" + Word(lesson_.state.TaskName(question_index)) + U"、だね。";
}

}  // namespace kanae::initial_letter
