#include "questions.h"

#include <algorithm>
#include <set>

#include "kana_tables.h"
#include "picture_library.h"
#include "spoken_prompts.h"
#include "records.h"

namespace kanae::card_picking {

namespace {

constexpr char32_t kOneInitialOnly[] =
    U"課題の画像の頭文字が１種類しかないため、カードを１枚だけ出します。\n"
    U"Ｎキーの課題選択で、画像データの頭文字を４種類以上にしてください！";

}  // namespace

char32_t InitialOf(TextView file_name) { return file_name.empty() ? U'\0' : file_name.front(); }

int DistinctInitials(const std::vector<Text>& pictures) {
  std::set<char32_t> initials;
  for (const Text& picture : pictures) initials.insert(InitialOf(picture));
  return static_cast<int>(initials.size());
}

int CardsToShow(int wanted, int distinct_initials) {
  if (distinct_initials >= wanted) return wanted;
  return distinct_initials >= 2 ? 2 : distinct_initials;
}

CardPickingGame::CardPickingGame(Lesson& lesson)
    : cross(lesson.form.Add("cross", ControlKind::kLabel, 3)),
      feedback_timer(lesson.CreateTimer(1000, [this] { FeedbackTimerTick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int i = 0; i < 4; ++i) {
    card_pictures[i] = &lesson.form.Add("card_pictures(" + std::to_string(i) + ")", ControlKind::kImage, 1, i);
    card_letters[i] = &lesson.form.Add("card_letters(" + std::to_string(i) + ")", ControlKind::kLabel, 2, i);
    card_letters[i]->centred = true;
  }
  cross.caption = U"×";
  cross.fore_colour = kRed;
  cross.back_colour = kSilver;
  cross.centred = true;
}

int CardPickingGame::LetterSize() const { return std::clamp<int>(settings.card_letter_size, 0, 3); }

void CardPickingGame::Layout() { cross.font_points = Int(lesson_.form.width / 50.0); }

void CardPickingGame::PlaceCard(int i) {
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  const int top_row = i > 1 ? -1 : 0;
  card_pictures[i]->Place(Int(width / 80 * 38) * (i % 2) + Int(width / 80 * 5), Int(height / 2) * top_row + Int(height / 20 * 11),
                   Int(width / 5 * 2), Int(height / 5 * 2));
}

void CardPickingGame::PlaceCardLetter(int i) {
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;
  const int z = LetterSize();
  const int large = z == 3 ? -1 : 0;
  Control& letter = *card_letters[i];
  letter.Place(Int(width / 80 * 38) * (i % 2) + Int(width / 16 * 5) - Int(width / 40 * 3) * (z - 1) + Int(width / 80 * 4) * large,
               card_pictures[i]->top, Int(width / 40 * 3) * (z - 1) + Int(width / 20 * 3), Int(height / 10) * (z - 1) + Int(height / 10 * 2));
  letter.font_points = FontHeldToHeight(Int(width / 270) * (z - 1) + Int(width / 135), letter.height);
}

void CardPickingGame::DrawCards() {
  const std::vector<Text>& tasks = lesson_.state.task_pictures;
  std::vector<char32_t> used = {InitialOf(tasks[card_tasks[correct_card]])};
  std::vector<int> candidates;
  for (int p = 0; p < card_count; ++p) {
    if (p == correct_card) continue;
    // Drawing among the pictures whose initial is still free gives each of
    // them the same chance as drawing from all and redrawing on a clash, but
    // it ends after one draw whatever the task list holds.
    candidates.clear();
    for (int t = 0; t < static_cast<int>(tasks.size()); ++t) {
      if (std::find(used.begin(), used.end(), InitialOf(tasks[t])) == used.end()) candidates.push_back(t);
    }
    card_tasks[p] = candidates[DrawIndex(lesson_.Rnd(), static_cast<int>(candidates.size()))];
    used.push_back(InitialOf(tasks[card_tasks[p]]));
  }
}

void CardPickingGame::WarnOfOneInitial() {
  if (warned_of_one_initial_) return;
  warned_of_one_initial_ = true;
  lesson_.TellTeacher(kOneInitialOnly);
}

void CardPickingGame::NextQuestion() {
  if (lesson_.EndIfComplete()) return;
  FormFields& f = lesson_.fields;
  const std::vector<Text>& tasks = lesson_.state.task_pictures;
  const int wanted = settings.four_cards == kTrue ? 4 : 2;
  card_count = CardsToShow(wanted, DistinctInitials(tasks));
  // Told before the question is set up: the message box may activate the
  // window again, and this question must still be the one left on screen.
  if (card_count == 1) WarnOfOneInitial();
  HideQuestion();
  if (f.question_index < 0 || f.question_index >= static_cast<int>(tasks.size())) {
    card_count = 0;  // nothing to ask, nothing to pick
    return;
  }

  correct_card = DrawIndex(lesson_.Rnd(), card_count);
  card_tasks[correct_card] = f.question_index;
  DrawCards();

  for (int i = 0; i < card_count; ++i) {
    const Text& picture = tasks[card_tasks[i]];
    PlaceCard(i);
    if (LetterSize() > 0) PlaceCardLetter(i);
    lesson_.LoadPicture(*card_pictures[i], picture);
    card_letters[i]->caption = Left(picture, 1);
  }

  f.speech_text = PromptFor(f.question_index);
  lesson_.ApplyPointer(settings.cursor_visible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.is_speaking = true;
  lesson_.QuestionShown();
}

void CardPickingGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.touch_mode)) return;
  for (int i = 0; i < card_count; ++i) {
    if (event.control == card_pictures[i] || event.control == card_letters[i]) {
      lesson_.fields.chosen_index = i;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> CardPickingGame::AnswerControls() const {
  std::vector<const Control*> answers;
  // A card shown as its large letter alone answers by that letter.
  for (int i = 0; i < card_count; ++i) {
    if (card_pictures[i]->visible) answers.push_back(card_pictures[i]);
    else if (card_letters[i]->visible) answers.push_back(card_letters[i]);
  }
  return answers;
}

void CardPickingGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (f.is_speaking) return;
  if (f.chosen_index < 0 || f.chosen_index >= card_count) return;
  lesson_.BeginFeedback();
  const double width = lesson_.form.width;
  const double height = lesson_.form.height;

  // The letter exactly as shown: a katakana card sounds its own file.
  if (LetterSize() > 0) lesson_.PlayCueAndWait(ShownLetterSoundFile(card_letters[f.chosen_index]->caption));

  const std::vector<Text>& tasks = lesson_.state.task_pictures;
  const Text asked = NameOfPicture(tasks[f.question_index]);
  const Text& chosen = tasks[card_tasks[f.chosen_index]];
  // The letters on the cards, so that the record shows which letters are mixed up.
  const Text asked_letter = Left(asked, 1);
  const Text chosen_letter = Left(NameOfPicture(chosen), 1);
  if (f.chosen_index != correct_card) {
    lesson_.AnswerJudged(false, asked, chosen, asked_letter, chosen_letter);
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.speech_text = lesson_.DrawRetry();
    lesson_.Speak();
    const int i = f.chosen_index;
    const int top_row = i > 1 ? -1 : 0;
    cross.Place(card_pictures[i]->left, Int(height / 2) * top_row + Int(height * 29 / 60), Int(width / 5 * 2), Int(height * 16 / 30));
    // The cross reaches a little beyond its card, past the screen's top or
    // bottom edge; it is held to the screen, still covering the card.
    HoldInsideWindow(cross, width, height);
  } else {
    lesson_.AnswerJudged(true, asked, chosen, asked_letter, chosen_letter);
    lesson_.PlayCueAndWait(U"ピンポン.wav");
    f.speech_text = PraiseFor(lesson_.DrawPraise(), f.question_index);
    lesson_.Speak();
    HideQuestion();
    Control& picture = *card_pictures[correct_card];
    picture.Place(0, 0, width, height);
    picture.visible = true;
    Control& letter = *card_letters[correct_card];
    letter.Place(Int(width / 8 * 5), 0, Int(width / 8 * 3), Int(height / 2));
    letter.font_points = FontHeldToHeight(Int(width / 54), letter.height);
    letter.visible = LetterSize() > 0;
    lesson_.AdvanceQuestion();
  }
  f.is_speaking = true;
  feedback_timer->SetEnabled(true);
}

void CardPickingGame::ShowQuestion() {
  for (int i = 0; i < card_count; ++i) {
    card_letters[i]->visible = LetterSize() > 0;
    card_pictures[i]->visible = LetterSize() < 3;
  }
  ArmMark(cross);
}

void CardPickingGame::HideQuestion() {
  for (int i = 0; i < 4; ++i) {
    card_letters[i]->visible = false;
    card_pictures[i]->visible = false;
  }
  cross.visible = false;
}

void CardPickingGame::FeedbackTimerTick() {
  if (lesson_.fields.is_speaking) return;
  feedback_timer->SetEnabled(false);
  NextQuestion();
}

SpokenText CardPickingGame::PromptFor(int question_index) {
  const Text name = lesson_.state.TaskName(question_index);
  return LetterSize() != 0 ? AskForNameAndLetter(name) : AskForName(name);
}

SpokenText CardPickingGame::PraiseFor(const Text& message, int question_index) {
  const Text name = lesson_.state.TaskName(question_index);
  return LetterSize() != 0 ? message + U"。これが、" + Word(name) + U"の、" + Letter(Left(name, 1)) + U"、だね。"
                           : message + U"。これが、" + Word(name) + U"だね。";
}

}  // namespace kanae::card_picking
