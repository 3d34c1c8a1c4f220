#include "questions.h"

#include <algorithm>

#include "kana_tables.h"
#include "picture_library.h"

namespace kanae::word_building {

WordBuildingGame::WordBuildingGame(Lesson& lesson)
    : Image1(lesson.form.Add("Image1", ControlKind::kImage, 1)),
      Label1(lesson.form.Add("Label1", ControlKind::kLabel, 2)),
      Label3(lesson.form.Add("Label3", ControlKind::kLabel, 4)),
      Label4(lesson.form.Add("Label4", ControlKind::kLabel, 5)),
      Timer1(lesson.CreateTimer(500, [this] { Timer1Tick(); })),
      Timer2(lesson.CreateTimer(4000, [this] { Timer2Tick(); })),
      lesson_(lesson) {
  lesson.form.back_colour = kTeal;
  for (int j = 0; j < kCards; ++j) {
    Label2[j] = &lesson.form.Add("Label2(" + std::to_string(j) + ")", ControlKind::kLabel, 3, j);
  }
  MakeMark(Label3, U"×");
  MakeMark(Label4, U"○");
}

void WordBuildingGame::Layout() {
  const int W = lesson_.form.width;
  const int H = lesson_.form.height;
  Label4.Place(Int(W * 3.0 / 10), Int(H * 23.0 / 100), Int(W / 2.0), Int(H / 2.0));
  Label4.font_points = Int(W / 50.0);
}

void WordBuildingGame::NextQuestion() {
  const double W = lesson_.form.width;
  const double H = lesson_.form.height;
  FormFields& f = lesson_.fields;
  HideQuestion();
  if (!lesson_.SkipNamelessTasks()) return;
  const Text& task = lesson_.state.TaskPictures[f.QuestionIndex];

  Image1.Place(Int(W / 4), Int(H * 3 / 12), Int(W / 2), Int(H / 2));
  lesson_.LoadPicture(Image1, task);

  // The whole name goes in first, so no distractor repeats any of its letters,
  // not even one beyond the tenth that is cut off below.
  const Text name = NameOfPicture(task);
  f.ChoiceLetters = name;
  const Text display = Left(name, kCards);
  NameLength = static_cast<int>(display.size());

  const TextView table = settings.DistractorKind == 0   ? TextView(f.Tables.Hiragana)
                         : settings.DistractorKind == 1 ? TextView(f.Tables.Katakana)
                         : settings.DistractorKind == 2 ? TextView(f.Tables.Digits)
                                                        : TextView();
  // A picture without a name gets no cards at all: a lone distractor would
  // otherwise stand first in line and be taken for the right letter.
  if (settings.DistractorCount > 0 && NameLength > 0 && !table.empty()) {
    const int draws = settings.DistractorCount == 2 ? 2 : 1;
    for (int k = 0; k < draws; ++k) {
      // A name that holds every letter of the table leaves nothing to draw.
      if (!lesson_.DrawDistractor(table)) break;
    }
  }
  f.ChoiceLetters = Left(f.ChoiceLetters, kCards);
  AnswerLength = static_cast<int>(f.ChoiceLetters.size());

  SlotCount = std::max(AnswerLength, 6);
  ShuffleSlots(std::span<int>(SlotOrder.data(), SlotCount), lesson_.Rnd());

  CellSize = Int(W / (SlotCount + 1));
  const double cell = CellSize;
  const int font = Int(cell / 20.5);

  const double row_width = NameLength * cell;
  Label1.Place(Int((W - row_width) / 2), Int((H / 4 - cell) / 2), row_width, cell);
  Label1.font_points = font;
  Label1.caption = display;
  // On the white row a white name is not seen; the placed cards still are.
  Label1.fore_colour = settings.ShowModel != 0 ? kLightBlue : kWhite;

  for (int j = 0; j < kCards; ++j) {
    LabelLetters[j].clear();
    Placed[j] = false;
  }
  for (int j = 0; j < AnswerLength; ++j) {
    LabelLetters[j] = CharAt(f.ChoiceLetters, j);
    Control& card = *Label2[j];
    const double left = cell * (SlotCount + 2) / (SlotCount + 1) * SlotOrder[j] + cell / (SlotCount + 1);
    card.Place(left, Label1.top + Int(H * 3 / 4), cell, cell);
    card.font_points = font;
    card.caption = LabelLetters[j];
  }

  f.SpeechText = settings.AskWithName != 0 ? name + U"、と、並べましょう" : Text(U"この名前を、並べましょう");
  AnswerProgress = 0;
  // The child may start while the prompt is still being read, so IsSpeaking
  // is left alone here.
  lesson_.SpeakPrompt();
  lesson_.ApplyPointer(settings.CursorVisible != 0);
  ShowQuestion();
  lesson_.QuestionShown();
}

void WordBuildingGame::OnPointer(const PointerEvent& event) {
  if (!MatchesTouchMode(event.action, settings.TouchMode)) return;
  if (AnswerProgress == AnswerLength) return;
  // Once the whole name stands, the remaining distractors answer nothing.
  if (AnswerProgress >= NameLength) return;
  for (int j = 0; j < AnswerLength; ++j) {
    if (event.control == Label2[j]) {
      lesson_.fields.ChosenIndex = j;
      CheckAnswer();
      return;
    }
  }
}

std::vector<const Control*> WordBuildingGame::AnswerControls() const {
  std::vector<const Control*> answers;
  if (AnswerProgress >= NameLength) return answers;
  for (int j = 0; j < AnswerLength; ++j) {
    if (Label2[j]->visible && !Placed[j]) answers.push_back(Label2[j]);
  }
  return answers;
}

void WordBuildingGame::CheckAnswer() {
  FormFields& f = lesson_.fields;
  const int chosen_index = f.ChosenIndex;
  if (chosen_index < 0 || chosen_index >= AnswerLength) return;
  // A card already in the name row is passed over: touching it by accident,
  // or sweeping across the row in touch mode, must neither count as wrong nor
  // pull a letter out of its cell.
  if (Placed[chosen_index]) return;
  if (lesson_.IsCuePlaying()) return;

  const Text chosen = LabelLetters[chosen_index];
  lesson_.PlayCueAndWait(LetterSoundFile(chosen[0]));

  Control& card = *Label2[chosen_index];
  // Compared by letter, so either card of a repeated letter fits either cell.
  if (LabelLetters[AnswerProgress] != chosen) {
    lesson_.AnswerJudged(false, LabelLetters[AnswerProgress], chosen);
    lesson_.BeginFeedback();  // until the question starts over
    Label3.Place(card.left, Label1.top + lesson_.form.height * 3.0 / 4, CellSize, CellSize);
    Label3.font_points = Int(CellSize / 19.0);
    Label3.visible = true;
    f.CueFile = U"ブー.wav";
    lesson_.PlayCue();
    Timer1->SetEnabled(true);
    return;
  }

  lesson_.AnswerJudged(true, LabelLetters[AnswerProgress], chosen);
  f.CueFile = U"ガチャ.wav";
  lesson_.PlayCue();
  card.top = Label1.top;
  card.left = AnswerProgress * card.width + Label1.left;
  Placed[chosen_index] = true;
  ++AnswerProgress;
  // The next card counts once the click sound has ended.
  if (AnswerProgress < NameLength) return;

  lesson_.BeginFeedback();
  lesson_.WaitForCueEnd();
  Label4.visible = true;
  lesson_.PlayCueAndWait(U"ピンポン.wav");
  const Text name = NameOfPicture(lesson_.state.TaskPictures[f.QuestionIndex]);
  f.SpeechText = lesson_.DrawPraise() + U"。これが、" + name + U"、だね。";
  lesson_.Speak();
  lesson_.AdvanceQuestion();
  f.IsSpeaking = true;
  Timer2->SetEnabled(true);
}

void WordBuildingGame::ShowQuestion() {
  Image1.visible = true;
  Label1.visible = true;
  for (int j = 0; j < AnswerLength; ++j) Label2[j]->visible = true;
}

void WordBuildingGame::HideQuestion() {
  for (Control* c : {&Image1, &Label1, &Label3, &Label4}) c->visible = false;
  for (Control* card : Label2) card->visible = false;
}

void WordBuildingGame::Timer1Tick() {
  if (lesson_.IsCuePlaying()) return;
  lesson_.StopPlayer();
  Label3.visible = false;
  Timer1->SetEnabled(false);
  NextQuestion();
}

void WordBuildingGame::Timer2Tick() {
  if (lesson_.fields.IsSpeaking) return;
  Label4.visible = false;
  Timer2->SetEnabled(false);
  NextQuestion();
}

}  // namespace kanae::word_building
