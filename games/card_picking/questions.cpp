#include "questions.h"

#include <algorithm>
#include <set>

#include "picture_library.h"
#include "records.h"

namespace kanae::card_picking {

namespace {

constexpr char32_t kOneInitialOnly[] =
    U"課題の画像の頭文字が１種類しかないため、カードを１枚だけ出します。\n"
    U"Ｎキーの課題選択で、画像データの頭文字を４種類以上にしてください！";

// A letter's font, held to its label's height (a point is 20 twips): on a
// wide screen the width-based size would outgrow the label and cut the
// letter, and a cut う reads as つ. On a 4:3 screen the size stands as given.
int FittingFont(int points, double label_height) { return std::min(points, Int(label_height / 20)); }

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
    : Label2(lesson.form.Add("Label2", ControlKind::kLabel, 3)),
      Timer1(lesson.CreateTimer(1000, [this] { Timer1Tick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int i = 0; i < 4; ++i) {
    Image1[i] = &lesson.form.Add("Image1(" + std::to_string(i) + ")", ControlKind::kImage, 1, i);
    Label1[i] = &lesson.form.Add("Label1(" + std::to_string(i) + ")", ControlKind::kLabel, 2, i);
    Label1[i]->centred = true;
  }
  Label2.caption = U"×";
  Label2.fore_colour = kRed;
  Label2.back_colour = kSilver;
  Label2.centred = true;
}

int CardPickingGame::LetterSize() const { return std::clamp<int>(settings.CardLetterSize, 0, 3); }

void CardPickingGame::Layout() { Label2.font_points = Int(lesson_.form.width / 50.0); }

void CardPickingGame::PlaceCard(int i) {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  const int top_row = i > 1 ? -1 : 0;
  Image1[i]->Place(Int(W / 80 * 38) * (i % 2) + Int(W / 80 * 5), Int(H / 2) * top_row + Int(H / 20 * 11),
                   Int(W / 5 * 2), Int(H / 5 * 2));
}

void CardPickingGame::PlaceCardLetter(int i) {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  const int z = LetterSize();
  const int large = z == 3 ? -1 : 0;
  Control& letter = *Label1[i];
  letter.Place(Int(W / 80 * 38) * (i % 2) + Int(W / 16 * 5) - Int(W / 40 * 3) * (z - 1) + Int(W / 80 * 4) * large,
               Image1[i]->top, Int(W / 40 * 3) * (z - 1) + Int(W / 20 * 3), Int(H / 10) * (z - 1) + Int(H / 10 * 2));
  letter.font_points = FittingFont(Int(W / 270) * (z - 1) + Int(W / 135), letter.height);
}

void CardPickingGame::DrawCards() {
  const std::vector<Text>& tasks = lesson_.state.TaskPictures;
  std::vector<char32_t> used = {InitialOf(tasks[CardTasks[CorrectCard]])};
  std::vector<int> candidates;
  for (int p = 0; p < CardCount; ++p) {
    if (p == CorrectCard) continue;
    // Drawing among the pictures whose initial is still free gives each of
    // them the same chance as drawing from all and redrawing on a clash, but
    // it ends after one draw whatever the task list holds.
    candidates.clear();
    for (int t = 0; t < static_cast<int>(tasks.size()); ++t) {
      if (std::find(used.begin(), used.end(), InitialOf(tasks[t])) == used.end()) candidates.push_back(t);
    }
    CardTasks[p] = candidates[DrawIndex(lesson_.Rnd(), static_cast<int>(candidates.size()))];
    used.push_back(InitialOf(tasks[CardTasks[p]]));
  }
}

void CardPickingGame::WarnOfOneInitial() {
  if (warned_of_one_initial_) return;
  warned_of_one_initial_ = true;
  lesson_.TellTeacher(kOneInitialOnly);
}

void CardPickingGame::NextQuestion() {
  FormFields& f = lesson_.fields;
  const std::vector<Text>& tasks = lesson_.state.TaskPictures;
  const int wanted = settings.FourCards == kTrue ? 4 : 2;
  CardCount = CardsToShow(wanted, DistinctInitials(tasks));
  // Told before the question is set up: the message box may activate the
  // window again, and this question must still be the one left on screen.
  if (CardCount == 1) WarnOfOneInitial();
  HideQuestion();
  if (f.QuestionIndex < 0 || f.QuestionIndex >= static_cast<int>(tasks.size())) {
    CardCount = 0;  // nothing to ask, nothing to pick
    return;
  }

  CorrectCard = DrawIndex(lesson_.Rnd(), CardCount);
  CardTasks[CorrectCard] = f.QuestionIndex;
  DrawCards();

  for (int i = 0; i < CardCount; ++i) {
    const Text& picture = tasks[CardTasks[i]];
    PlaceCard(i);
    if (LetterSize() > 0) PlaceCardLetter(i);
    lesson_.LoadPicture(*Image1[i], picture);
    Label1[i]->caption = Left(picture, 1);
  }

  f.SpeechText = PromptFor(f.QuestionIndex);
  lesson_.ApplyPointer(settings.CursorVisible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.IsSpeaking = true;
  lesson_.QuestionShown();
}

void CardPickingGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.TouchMode)) return;
  for (int i = 0; i < CardCount; ++i) {
    if (event.control == Image1[i] || event.control == Label1[i]) {
      lesson_.fields.ChosenIndex = i;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> CardPickingGame::AnswerControls() const {
  std::vector<const Control*> answers;
  // A card shown as its large letter alone answers by that letter.
  for (int i = 0; i < CardCount; ++i) {
    if (Image1[i]->visible) answers.push_back(Image1[i]);
    else if (Label1[i]->visible) answers.push_back(Label1[i]);
  }
  return answers;
}

void CardPickingGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (f.IsSpeaking) return;
  if (f.ChosenIndex < 0 || f.ChosenIndex >= CardCount) return;
  lesson_.BeginFeedback();
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;

  // The letter exactly as shown: a katakana card sounds its own file.
  if (LetterSize() > 0) lesson_.PlayCueAndWait(Label1[f.ChosenIndex]->caption + U".wav");

  const std::vector<Text>& tasks = lesson_.state.TaskPictures;
  const Text asked = NameOfPicture(tasks[f.QuestionIndex]);
  if (f.ChosenIndex != CorrectCard) {
    lesson_.AnswerJudged(false, asked, tasks[CardTasks[f.ChosenIndex]]);
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.SpeechText = lesson_.DrawRetry();
    lesson_.Speak();
    const int i = f.ChosenIndex;
    const int top_row = i > 1 ? -1 : 0;
    Label2.Place(Image1[i]->left, Int(H / 2) * top_row + Int(H * 29 / 60), Int(W / 5 * 2), Int(H * 16 / 30));
  } else {
    lesson_.AnswerJudged(true, asked, tasks[CardTasks[f.ChosenIndex]]);
    lesson_.PlayCueAndWait(U"ピンポン.wav");
    f.SpeechText = PraiseFor(lesson_.DrawPraise(), f.QuestionIndex);
    lesson_.Speak();
    HideQuestion();
    Control& picture = *Image1[CorrectCard];
    picture.Place(0, 0, W, H);
    picture.visible = true;
    Control& letter = *Label1[CorrectCard];
    letter.Place(Int(W / 8 * 5), 0, Int(W / 8 * 3), Int(H / 2));
    letter.font_points = FittingFont(Int(W / 54), letter.height);
    letter.visible = LetterSize() > 0;
    lesson_.AdvanceQuestion();
  }
  f.IsSpeaking = true;
  Timer1->SetEnabled(true);
}

void CardPickingGame::ShowQuestion() {
  for (int i = 0; i < CardCount; ++i) {
    Label1[i]->visible = LetterSize() > 0;
    Image1[i]->visible = LetterSize() < 3;
  }
  // Seen as soon as a wrong answer gives it a size.
  Label2.Place(0, 0, 0, 0);
  Label2.visible = true;
}

void CardPickingGame::HideQuestion() {
  for (int i = 0; i < 4; ++i) {
    Label1[i]->visible = false;
    Image1[i]->visible = false;
  }
  Label2.visible = false;
}

void CardPickingGame::Timer1Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Timer1->SetEnabled(false);
  NextQuestion();
}

namespace {
// The whole name of task i (speech uses it uncut); empty when there is none.
Text TaskName(const LessonState& state, int i) {
  return i >= 0 && i < state.TaskCount() ? NameOfPicture(state.TaskPictures[i]) : Text();
}
}  // namespace

SpokenText CardPickingGame::PromptFor(int question_index) {
  const Text name = TaskName(lesson_.state, question_index);
  return LetterSize() != 0 ? name + U"の、" + Letter(Left(name, 1)) + U"、は、どれかな" : name + U"は、どれかな";
}

SpokenText CardPickingGame::PraiseFor(const Text& message, int question_index) {
  const Text name = TaskName(lesson_.state, question_index);
  return LetterSize() != 0 ? message + U"。これが、" + name + U"の、" + Letter(Left(name, 1)) + U"、だね。"
                           : message + U"。これが、" + name + U"だね。";
}

}  // namespace kanae::card_picking
