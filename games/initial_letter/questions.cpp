#include "questions.h"

#include <algorithm>

#include "kana_tables.h"
#include "picture_library.h"

namespace kanae::initial_letter {

InitialLetterGame::InitialLetterGame(Lesson& lesson)
    : Image1(lesson.form.Add("Image1", ControlKind::kImage, 1)),
      Label1(lesson.form.Add("Label1", ControlKind::kLabel, 2)),
      Label3(lesson.form.Add("Label3", ControlKind::kLabel, 4)),
      Label4(lesson.form.Add("Label4", ControlKind::kLabel, 5)),
      Label5(lesson.form.Add("Label5", ControlKind::kLabel, 6)),
      Timer1(lesson.CreateTimer(1000, [this] { Timer1Tick(); })),
      Timer2(lesson.CreateTimer(1000, [this] { Timer2Tick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int j = 0; j < 6; ++j) {
    Label2[j] = &lesson.form.Add("Label2(" + std::to_string(j) + ")", ControlKind::kLabel, 3, j);
  }
  Label1.fore_colour = kLightBlue;
  MakeMark(Label3, U"×");
  MakeMark(Label4, U"○");
}

void InitialLetterGame::Layout() {
  const int W = lesson_.form.width;
  const int H = lesson_.form.height;
  Label4.Place(Int(W * 3.0 / 10), Int(H * 23.0 / 100), Int(W / 2.0), Int(H / 2.0));
  Label4.font_points = Int(W / 50.0);
}

void InitialLetterGame::NextQuestion() {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  FormFields& f = lesson_.fields;
  HideQuestion();
  if (!lesson_.SkipNamelessTasks()) return;
  const Text& task = lesson_.state.TaskPictures[f.QuestionIndex];

  Image1.Place(Int(W / 4), Int(H * 3 / 12), Int(W / 2), Int(H / 2));
  lesson_.LoadPicture(Image1, task);

  const Text name = NameOfPicture(task);
  f.ChoiceLetters = Left(name, 1);
  const Text display = Left(name, 10);
  NameLength = static_cast<int>(display.size());
  AnswerLength = NameLength;

  SlotCount = std::max(NameLength, 6);
  ShuffleSlots(std::span<int>(SlotOrder.data(), SlotCount), lesson_.Rnd());

  // A hand-edited count beyond the six cards is held to what they can show.
  const int distractors = std::min<int>(settings.DistractorCount, kMostDistractors);
  const TextView table = settings.DistractorKind == 0   ? TextView(f.Tables.Hiragana)
                         : settings.DistractorKind == 1 ? TextView(f.Tables.Katakana)
                                                        : TextView();
  for (int k = 0; k < distractors && !table.empty(); ++k) {
    if (!lesson_.DrawDistractor(table)) break;
  }

  CellSize = Int(W / (SlotCount + 1));
  NameLeft = Int((W - NameLength * CellSize) / 2);
  const double cell = CellSize;
  const int font = Int(cell / 20.5);

  const int top1 = Int((H / 4 - cell) / 2);
  Label1.Place(NameLeft, top1, NameLength * cell, cell);
  Label1.font_points = font;
  Label1.caption = settings.ShowModel != 0 ? Left(display, 1) : Text();
  // An empty name leaves no second cell (never a negative width).
  Label5.Place(NameLeft + cell, top1, std::max(0.0, (NameLength - 1) * cell), cell);
  Label5.font_points = font;
  Label5.caption = display.size() > 1 ? display.substr(1) : Text();

  for (std::size_t j = 0; j < Label2.size(); ++j) LabelLetters[j].clear();
  for (std::size_t j = 0; j < f.ChoiceLetters.size(); ++j) {
    LabelLetters[j] = CharAt(f.ChoiceLetters, j);
    Control& card = *Label2[j];
    const double left = cell * (SlotCount + 2) / (SlotCount + 1) * SlotOrder[j] + cell / (SlotCount + 1);
    card.Place(left, top1 + Int(H * 3 / 4), cell, cell);
    card.font_points = font;
    card.caption = LabelLetters[j];
  }

  f.SpeechText = PromptFor(f.QuestionIndex);
  AnswerProgress = 0;
  lesson_.ApplyPointer(settings.CursorVisible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.IsSpeaking = true;
  lesson_.QuestionShown();
}

void InitialLetterGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.TouchMode)) return;
  if (AnswerProgress == AnswerLength) return;
  for (int j = 0; j < static_cast<int>(Label2.size()); ++j) {
    if (event.control == Label2[j]) {
      lesson_.fields.ChosenIndex = j;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> InitialLetterGame::AnswerControls() const {
  std::vector<const Control*> answers;
  if (AnswerProgress == AnswerLength) return answers;
  for (const Control* card : Label2) {
    if (card->visible) answers.push_back(card);
  }
  return answers;
}

void InitialLetterGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (f.IsSpeaking) return;
  const double H = lesson_.form.height;
  const Text chosen = LabelLetters[f.ChosenIndex];
  if (chosen.empty()) return;

  lesson_.PlayCueAndWait(LetterSoundFile(chosen[0]));
  lesson_.BeginFeedback();

  if (LabelLetters[AnswerProgress] != chosen) {
    lesson_.AnswerJudged(false, LabelLetters[AnswerProgress], chosen);
    const Control& card = *Label2[f.ChosenIndex];
    Label3.Place(card.left, Label1.top + H * 3 / 4, CellSize, CellSize);
    Label3.font_points = Int(CellSize / 19.0);
    Label3.visible = true;
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.SpeechText = lesson_.DrawRetry();
    lesson_.Speak();
    f.IsSpeaking = true;
    Timer1->SetEnabled(true);
    return;
  }

  lesson_.AnswerJudged(true, LabelLetters[AnswerProgress], chosen);
  lesson_.PlayCueAndWait(U"ガチャ.wav");
  Control& card = *Label2[f.ChosenIndex];
  card.top = Label1.top;
  card.left = NameLeft;
  Label4.visible = true;
  lesson_.PlayCueAndWait(U"ピンポン.wav");
  f.SpeechText = PraiseFor(lesson_.DrawPraise(), f.QuestionIndex);
  lesson_.Speak();
  lesson_.AdvanceQuestion();
  f.IsSpeaking = true;
  Timer2->SetEnabled(true);
}

void InitialLetterGame::ShowQuestion() {
  Image1.visible = true;
  Label1.visible = true;
  Label5.visible = true;
  for (std::size_t j = 0; j < lesson_.fields.ChoiceLetters.size() && j < Label2.size(); ++j) Label2[j]->visible = true;
}

void InitialLetterGame::HideQuestion() {
  for (Control* c : {&Image1, &Label1, &Label3, &Label4, &Label5}) c->visible = false;
  for (Control* card : Label2) card->visible = false;
}

void InitialLetterGame::Timer1Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Label3.visible = false;
  Timer1->SetEnabled(false);
  NextQuestion();
}

void InitialLetterGame::Timer2Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Label4.visible = false;
  Timer2->SetEnabled(false);
  NextQuestion();
}

namespace {
// The whole name of task i (speech uses it uncut); empty when there is none.
Text TaskName(const LessonState& state, int i) {
  return i >= 0 && i < state.TaskCount() ? NameOfPicture(state.TaskPictures[i]) : Text();
}
}  // namespace

SpokenText InitialLetterGame::PromptFor(int question_index) {
  const Text name = TaskName(lesson_.state, question_index);
  return settings.AskWithName != 0 ? name + U"の、" + Letter(Left(name, 1)) + U"、は、どれかな"
                                   : Text(U"この名前は、どれかな");
}

SpokenText InitialLetterGame::PraiseFor(const Text& message, int question_index) {
  return message + U"。これが、" + TaskName(lesson_.state, question_index) + U"、だね。";
}

}  // namespace kanae::initial_letter
