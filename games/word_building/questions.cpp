#include "questions.h"

#include <algorithm>

#include "kana_tables.h"
#include "letter_cards.h"
#include "picture_library.h"
#include "spoken_prompts.h"

namespace kanae::word_building {

WordBuildingGame::WordBuildingGame(Lesson& lesson)
    : picture(lesson.form.Add("picture", ControlKind::kImage, 1)),
      name_row(lesson.form.Add("name_row", ControlKind::kLabel, 2)),
      cross(lesson.form.Add("cross", ControlKind::kLabel, 4)),
      circle(lesson.form.Add("circle", ControlKind::kLabel, 5)),
      wrong_answer_timer(lesson.CreateTimer(500, [this] { WrongAnswerTimerTick(); })),
      right_answer_timer(lesson.CreateTimer(4000, [this] { RightAnswerTimerTick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int j = 0; j < kCards; ++j) {
    cards[j] = &lesson.form.Add("cards(" + std::to_string(j) + ")", ControlKind::kLabel, 3, j);
  }
  MakeCardMarks(cross, circle);
}

void WordBuildingGame::Layout() {
  PlaceBigCircle(circle, lesson_.form.width, lesson_.form.height);
}

void WordBuildingGame::NextQuestion() {
  if (lesson_.EndIfComplete()) return;
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  FormFields& f = lesson_.fields;
  HideQuestion();
  if (!lesson_.SkipNamelessTasks()) return;
  const Text& task = lesson_.state.task_pictures[f.question_index];

  picture.Place(Int(width / 4), Int(height * 3 / 12), Int(width / 2), Int(height / 2));
  lesson_.LoadPicture(picture, task);

  // The whole name goes in first, so no distractor repeats any of its letters,
  // not even one beyond the tenth that is cut off below.
  const Text name = NameOfPicture(task);
  f.choice_letters = name;
  const Text display = Left(name, kCards);
  name_length = static_cast<int>(display.size());

  const TextView table = DistractorTable(f.tables, settings.distractor_kind, true);
  // A picture without a name gets no cards at all: a lone distractor would
  // otherwise stand first in line and be taken for the right letter.
  if (settings.distractor_count > 0 && name_length > 0 && !table.empty()) {
    const int draws = settings.distractor_count == 2 ? 2 : 1;
    for (int k = 0; k < draws; ++k) {
      // A name that holds every letter of the table leaves nothing to draw.
      if (!lesson_.DrawDistractor(table)) break;
    }
  }
  f.choice_letters = Left(f.choice_letters, kCards);
  answer_length = static_cast<int>(f.choice_letters.size());

  slot_count = std::max(answer_length, 6);
  ShuffleSlots(std::span<int>(slot_order.data(), slot_count), lesson_.Rnd());

  cell_size = Int(width / (slot_count + 1));
  const double cell = cell_size;
  const int font = Int(cell / 20.5);

  const double row_width = name_length * cell;
  name_row.Place(Int((width - row_width) / 2), Int((height / 4 - cell) / 2), row_width, cell);
  name_row.font_points = font;
  name_row.caption = display;
  // On the white row a white name is not seen; the placed cards still are.
  name_row.fore_colour = settings.show_model != 0 ? kLightBlue : kWhite;

  for (int j = 0; j < kCards; ++j) {
    card_letters[j].clear();
    placed[j] = false;
  }
  for (int j = 0; j < answer_length; ++j) {
    card_letters[j] = CharAt(f.choice_letters, j);
    Control& card = *cards[j];
    card.Place(CardLeft(cell, slot_count, slot_order[j]), name_row.top + Int(height * 3 / 4), cell, cell);
    card.font_points = font;
    card.caption = card_letters[j];
  }

  f.speech_text = PromptFor(f.question_index);
  answer_progress = 0;
  // The child may start while the prompt is still being read, so is_speaking
  // is left alone here.
  lesson_.SpeakPrompt();
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  ShowQuestion();
  lesson_.QuestionShown();
}

void WordBuildingGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.touch_mode)) return;
  if (answer_progress == answer_length) return;
  // Once the whole name stands, the remaining distractors answer nothing.
  if (answer_progress >= name_length) return;
  for (int j = 0; j < answer_length; ++j) {
    if (event.control == cards[j]) {
      lesson_.fields.chosen_index = j;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> WordBuildingGame::AnswerControls() const {
  std::vector<const Control*> answers;
  if (answer_progress >= name_length) return answers;
  for (int j = 0; j < answer_length; ++j) {
    if (cards[j]->visible && !placed[j]) answers.push_back(cards[j]);
  }
  return answers;
}

void WordBuildingGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  const int chosen_index = f.chosen_index;
  if (chosen_index < 0 || chosen_index >= answer_length) return;
  // A card already in the name row is passed over: touching it by accident,
  // or sweeping across the row in touch mode, must neither count as wrong nor
  // pull a letter out of its cell.
  if (placed[chosen_index]) return;
  if (lesson_.IsCuePlaying()) return;

  const Text chosen = card_letters[chosen_index];
  lesson_.PlayCueAndWait(LetterSoundFile(chosen[0]));

  Control& card = *cards[chosen_index];
  // Compared by letter, so either card of a repeated letter fits either cell.
  if (card_letters[answer_progress] != chosen) {
    lesson_.AnswerJudged(false, card_letters[answer_progress], chosen);
    lesson_.BeginFeedback();  // until the question starts over
    cross.Place(card.left, name_row.top + lesson_.form.height * 3.0 / 4, cell_size, cell_size);
    cross.font_points = Int(cell_size / 19.0);
    cross.visible = true;
    f.cue_file = U"ブー.wav";
    lesson_.PlayCue();
    wrong_answer_timer->SetEnabled(true);
    return;
  }

  lesson_.AnswerJudged(true, card_letters[answer_progress], chosen);
  f.cue_file = U"ガチャ.wav";
  lesson_.PlayCue();
  card.top = name_row.top;
  card.left = answer_progress * card.width + name_row.left;
  placed[chosen_index] = true;
  ++answer_progress;
  // The next card counts once the click sound has ended.
  if (answer_progress < name_length) return;

  lesson_.BeginFeedback();
  // Drawn before the cues (nothing else draws meanwhile), so the voice reads
  // the praise while they play.
  const Text name = NameOfPicture(lesson_.state.task_pictures[f.question_index]);
  const SpokenText praise = lesson_.DrawPraise() + U"。これが、" + Word(name) + U"、だね。";
  lesson_.PrepareSpeech(praise);
  lesson_.WaitForCueEnd();
  circle.visible = true;
  lesson_.PlayCueAndWait(U"ピンポン.wav");
  f.speech_text = praise;
  lesson_.Speak();
  lesson_.AdvanceQuestion();
  f.is_speaking = true;
  right_answer_timer->SetEnabled(true);
}

void WordBuildingGame::ShowQuestion() {
  picture.visible = true;
  name_row.visible = true;
  for (int j = 0; j < answer_length; ++j) cards[j]->visible = true;
}

void WordBuildingGame::HideQuestion() {
  for (Control* c : {&picture, &name_row, &cross, &circle}) c->visible = false;
  for (Control* card : cards) card->visible = false;
}

void WordBuildingGame::WrongAnswerTimerTick() {
  if (lesson_.IsCuePlaying()) return;
  lesson_.StopPlayer();
  cross.visible = false;
  wrong_answer_timer->SetEnabled(false);
  NextQuestion();
}

void WordBuildingGame::RightAnswerTimerTick() {
  if (lesson_.fields.is_speaking) return;
  circle.visible = false;
  right_answer_timer->SetEnabled(false);
  NextQuestion();
}

SpokenText WordBuildingGame::PromptFor(int question_index) {
  return settings.ask_with_name != 0 ? AskToArrange(lesson_.state.TaskName(question_index))
                                     : SpokenText(kAskToArrangeThisName);
}

}  // namespace kanae::word_building
