#include "questions.h"

#include <algorithm>

#include "kana_tables.h"
#include "picture_library.h"

namespace kanae::kana_catching {

KanaCatchingGame::KanaCatchingGame(Lesson& lesson)
    : Image1(lesson.form.Add("Image1", ControlKind::kImage, 1)),
      Label1(lesson.form.Add("Label1", ControlKind::kLabel, 3)),
      Label3(lesson.form.Add("Label3", ControlKind::kLabel, 4)),
      Timer1(lesson.CreateTimer(1000, [this] { Timer1Tick(); })),
      Timer2(lesson.CreateTimer(1000, [this] { Timer2Tick(); })),
      Timer3(lesson.CreateTimer(1000, [this] { Timer3Tick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kDarkBlue;
  for (int j = 0; j < 6; ++j) {
    Label2[j] = &lesson.form.Add("Label2(" + std::to_string(j) + ")", ControlKind::kLabel, 2, j);
    Label2[j]->centred = true;
  }
  Label1.centred = true;
  MakeMark(Label3);
}

void KanaCatchingGame::Layout() {
  const double W = lesson_.form.width;
  for (Control* letter : Label2) letter->font_points = Int(W / 138);
  Label3.font_points = Int(W / 100);
}

Text KanaCatchingGame::CurrentName() const {
  return NameOfPicture(lesson_.state.TaskPictures[lesson_.fields.QuestionIndex]);
}

void KanaCatchingGame::NextQuestion() {
  const bool same_question = jumping_on_;
  jumping_on_ = false;
  // A picture without a name has no letter to catch.
  if (settings.JumpingLetter != 0 && !CurrentName().empty()) {
    if (!same_question) lesson_.QuestionShown();
    CatchingStep();
    return;
  }
  Timer3->SetEnabled(false);
  lesson_.QuestionShown();
  ShowLetterChoices();
}

void KanaCatchingGame::CatchingStep() {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  HideQuestion();
  const int h = Int(H / 20);
  const int w = Int(W / 20);
  const int top = Int(lesson_.Rnd().Next() * (H - h));
  const int left = Int(lesson_.Rnd().Next() * (W - w));
  const int room = std::min(Int(H) - top, Int(W) - left);
  // On a screen taller than wide the drawn side can exceed the room left; the
  // letter is then held inside the window so that all of it can be caught.
  const int side = std::min(Int(lesson_.Rnd().Next() * (room - h)) + h, room);
  Label1.Place(left, top, side, side);
  Label1.font_points = Int(side / 20.0);
  Label1.caption = Left(CurrentName(), 1);
  Label1.visible = true;

  lesson_.fields.CueFile = LetterSoundFile(Label1.caption[0]);
  lesson_.PlayCue();
  Timer3->SetInterval(settings.BlinkFast != 0 ? 1000 : 2000);
  lesson_.ApplyPointer(settings.CursorVisible != 0);
  Timer3->SetEnabled(true);
}

void KanaCatchingGame::Timer3Tick() {
  // The letter stays while its sound plays.
  if (lesson_.IsCuePlaying()) return;
  lesson_.StopPlayer();
  Timer3->SetEnabled(false);
  jumping_on_ = true;
  NextQuestion();
}

void KanaCatchingGame::OnLetterCaught() {
  Timer3->SetEnabled(false);
  lesson_.LetterCaught(Label1.caption);
  lesson_.form.back_colour = kRed;
  lesson_.PlayCueAndWait(U"バーン.wav");
  ShowLetterChoices();
}

void KanaCatchingGame::ShowLetterChoices() {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  FormFields& f = lesson_.fields;

  HideQuestion();
  lesson_.form.back_colour = kDarkBlue;
  Image1.Place(Int(W / 8), Int(H / 66), Int(W * 3 / 4), Int(H * 3 / 4));
  lesson_.LoadPicture(Image1, lesson_.state.TaskPictures[f.QuestionIndex]);

  ShuffleSlots(std::span<int>(SlotOrder.data(), 6), lesson_.Rnd());

  const Text name = CurrentName();
  f.ChoiceLetters = Left(name, 1);
  // Without a first letter a distractor would stand where the right letter
  // belongs and be judged right; such a picture offers nothing to answer.
  const TextView table = name.empty()                   ? TextView()
                         : settings.DistractorKind == 0 ? TextView(f.Tables.Hiragana)
                         : settings.DistractorKind == 1 ? TextView(f.Tables.Katakana)
                                                        : TextView();
  // A hand-edited count beyond the six labels is held to what they can show.
  const int distractors = std::min<int>(settings.DistractorCount, kMostDistractors);
  for (int k = 0; k < distractors && !table.empty(); ++k) {
    if (!lesson_.DrawDistractor(table)) break;
  }
  ChoiceCount = static_cast<int>(f.ChoiceLetters.size());

  const int step = Int(W * 132 / 800);
  const int inset = Int(W * 9 / 800);
  for (Text& letter : LabelLetters) letter.clear();
  for (int j = 0; j < ChoiceCount; ++j) {
    Control& label = *Label2[j];
    label.Place(step * SlotOrder[j] + inset, Int(H * 94 / 120), Int(W * 3 / 20), Int(H / 5));
    LabelLetters[j] = CharAt(f.ChoiceLetters, j);
    label.caption = LabelLetters[j];
  }

  f.SpeechText = PromptFor(f.QuestionIndex);
  CorrectChoice = 0;
  // The teacher's pointer choice holds in every question, with or without the catching phase.
  lesson_.ApplyPointer(settings.CursorVisible != 0);
  ShowQuestion();
  lesson_.SpeakPrompt();
  f.IsSpeaking = true;
}

void KanaCatchingGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.TouchMode)) return;
  if (event.control == nullptr) return;
  if (event.control == &Label1) {
    if (Label1.visible) OnLetterCaught();
    return;
  }
  for (int j = 0; j < static_cast<int>(Label2.size()); ++j) {
    if (event.control == Label2[j]) {
      lesson_.fields.ChosenIndex = j;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> KanaCatchingGame::AnswerControls() const {
  if (Label1.visible) return {&Label1};  // the letter to catch
  std::vector<const Control*> answers;
  for (int j = 0; j < ChoiceCount; ++j) {
    if (Label2[j]->visible) answers.push_back(Label2[j]);
  }
  return answers;
}

void KanaCatchingGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  if (f.IsSpeaking || lesson_.IsCuePlaying()) return;
  if (f.ChosenIndex < 0 || f.ChosenIndex >= ChoiceCount) return;  // a label that shows no letter
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  const Text chosen = LabelLetters[f.ChosenIndex];

  lesson_.PlayCueAndWait(LetterSoundFile(chosen[0]));
  lesson_.BeginFeedback();
  Label3.Place(Int(W * 132 / 800) * SlotOrder[f.ChosenIndex] - Int(W * 9 / 800), Int(H * 93 / 125), Int(W * 3 / 15),
               Int(H / 3));

  if (LabelLetters[CorrectChoice] != chosen) {
    lesson_.AnswerJudged(false, LabelLetters[CorrectChoice], chosen);
    Label3.caption = U"×";
    Label3.visible = true;
    lesson_.PlayCueAndWait(U"ブー.wav");
    f.SpeechText = lesson_.DrawRetry();
    lesson_.Speak();
    f.IsSpeaking = true;
    Timer1->SetEnabled(true);
    return;
  }

  lesson_.AnswerJudged(true, LabelLetters[CorrectChoice], chosen);
  Label3.caption = U"○";
  Label3.visible = true;
  lesson_.PlayCueAndWait(U"ピンポン.wav");
  f.SpeechText = PraiseFor(lesson_.DrawPraise(), f.QuestionIndex);
  lesson_.Speak();
  lesson_.AdvanceQuestion();
  f.IsSpeaking = true;
  Timer2->SetEnabled(true);
}

void KanaCatchingGame::ShowQuestion() {
  Image1.visible = true;
  for (int j = 0; j < ChoiceCount && j < static_cast<int>(Label2.size()); ++j) Label2[j]->visible = true;
}

void KanaCatchingGame::HideQuestion() {
  for (Control* c : {&Image1, &Label1, &Label3}) c->visible = false;
  for (Control* letter : Label2) letter->visible = false;
}

void KanaCatchingGame::Timer1Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Label3.visible = false;
  Timer1->SetEnabled(false);
  NextQuestion();
}

void KanaCatchingGame::Timer2Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Timer2->SetEnabled(false);
  NextQuestion();
}

namespace {
// The whole name of task i (speech uses it uncut); empty when there is none.
Text TaskName(const LessonState& state, int i) {
  return i >= 0 && i < state.TaskCount() ? NameOfPicture(state.TaskPictures[i]) : Text();
}
}  // namespace

SpokenText KanaCatchingGame::PromptFor(int question_index) {
  const Text name = TaskName(lesson_.state, question_index);
  return name + U"の、" + Letter(Left(name, 1)) + U"、は、どれかな";
}

SpokenText KanaCatchingGame::PraiseFor(const Text& message, int question_index) {
  const Text name = TaskName(lesson_.state, question_index);
  return message + U"。これが、" + name + U"の、" + Letter(Left(name, 1)) + U"、だね。";
}

}  // namespace kanae::kana_catching
