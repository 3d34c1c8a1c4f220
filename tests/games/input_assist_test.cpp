// Answering by resting the pointer (dwell), by switch scanning, and asking
// for the question again, in every game.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game_fixture.h"
#include "six_games.h"

namespace kanae {
namespace {

using namespace kanae::testing;

template <typename T>
class InputAssistTest : public GameFixture<typename T::GameT> {
 protected:
  using Fixture = GameFixture<typename T::GameT>;

  // Starts the lesson with the given input settings taken into use, the
  // prompt said.
  void StartWith(InputSettings input) {
    Fixture::Start(TenPictures(), T::kSettings, VariedDraws());
    this->lesson->input = input;
    this->lesson->Restart();
    this->Finish();
  }
  void MoveTo(const Control* control, double x, double y) {
    this->lesson->OnPointer({PointerAction::kMove, control, 0, x, y});
  }
  void MoveOnto(const Control* control) {
    MoveTo(control, control->left + control->width / 2, control->top + control->height / 2);
  }
  void TickDwell(int times) {
    for (int i = 0; i < times; ++i) this->DwellTimer().Tick();
  }
  std::size_t Cues() const { return this->platform.player.played.size(); }
  const Control* Right() { return T::RightAnswer(*this->game); }
  const Control* AWrongAnswer() {
    for (const Control* c : this->game->AnswerControls()) {
      if (c != Right()) return c;
    }
    return nullptr;
  }
};

TYPED_TEST_SUITE(InputAssistTest, SixGames);

TYPED_TEST(InputAssistTest, DwellAnswersOnlyAfterTheFullTimeOnOneAnswer) {
  this->StartWith({1000, 0, 2000, kTrue});
  this->MoveOnto(this->Right());
  EXPECT_EQ(this->lesson->form.markers.dwell_target, this->Right());
  this->TickDwell(19);  // 950 ms
  EXPECT_EQ(this->Cues(), 0u);
  EXPECT_NEAR(this->lesson->form.markers.dwell_progress, 0.95, 1e-9);
  this->TickDwell(1);
  EXPECT_GT(this->Cues(), 0u);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kFeedback);
  EXPECT_EQ(this->lesson->form.markers.dwell_target, nullptr);
}

TYPED_TEST(InputAssistTest, DwellStartsOverOnLeavingButNotOnATremble) {
  this->StartWith({1000, 0, 2000, kTrue});
  const Control* right = this->Right();
  const double x = right->left + right->width / 2;
  const double y = right->top + right->height / 2;

  // Passing over another answer, or leaving, starts the ring over.
  this->MoveTo(right, x, y);
  this->TickDwell(15);
  this->MoveOnto(this->AWrongAnswer());
  this->TickDwell(5);
  this->MoveTo(nullptr, -5000, -5000);
  EXPECT_EQ(this->lesson->form.markers.dwell_target, nullptr);
  this->MoveTo(right, x, y);
  this->TickDwell(15);
  EXPECT_EQ(this->Cues(), 0u);

  // A few pixels off the answer and back is still resting on it.
  this->MoveTo(nullptr, x + 90, y + 60);
  this->MoveTo(right, x - 60, y);
  EXPECT_EQ(this->lesson->form.markers.dwell_target, right);
  this->TickDwell(5);
  EXPECT_GT(this->Cues(), 0u);
}

TYPED_TEST(InputAssistTest, WithDwellPassingOverAnAnswerNeverAnswers) {
  this->StartWith({500, 0, 2000, kTrue});
  this->game->settings.touch_mode = kTrue;  // even where a touch would answer
  for (const Control* c : this->game->AnswerControls()) this->MoveOnto(c);
  EXPECT_EQ(this->Cues(), 0u);
}

TYPED_TEST(InputAssistTest, OneSwitchScanningOffersEveryAnswerInTurnAndTakesTheOffered) {
  this->StartWith({0, 1, 3000, kTrue});
  const std::vector<const Control*> answers = this->game->AnswerControls();
  ASSERT_GE(answers.size(), 2u);
  EXPECT_TRUE(this->ScanTimer().Enabled());
  EXPECT_EQ(this->ScanTimer().Interval(), 3000);

  std::vector<const Control*> offered;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    offered.push_back(this->lesson->form.markers.scan_target);
    this->ScanTimer().Tick();
  }
  // Each once, top row first and left to right, then round again.
  EXPECT_EQ(std::set<const Control*>(offered.begin(), offered.end()),
            std::set<const Control*>(answers.begin(), answers.end()));
  for (std::size_t i = 1; i < offered.size(); ++i) {
    const bool in_order = offered[i - 1]->top + offered[i - 1]->height <= offered[i]->top ||
                          (offered[i - 1]->top == offered[i]->top && offered[i - 1]->left < offered[i]->left);
    EXPECT_TRUE(in_order) << i;
  }
  EXPECT_EQ(this->lesson->form.markers.scan_target, offered.front());

  while (this->lesson->form.markers.scan_target != this->Right()) this->ScanTimer().Tick();
  EXPECT_EQ(this->Cues(), 0u);
  this->lesson->OnKey(' ');
  EXPECT_GT(this->Cues(), 0u);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kFeedback);
  EXPECT_FALSE(this->ScanTimer().Enabled());
  EXPECT_EQ(this->lesson->form.markers.scan_target, nullptr);
}

TYPED_TEST(InputAssistTest, TwoSwitchesMoveWithSpaceAndChooseWithEnter) {
  this->StartWith({0, 2, 2000, kTrue});
  EXPECT_FALSE(this->ScanTimer().Enabled());
  const Control* first = this->lesson->form.markers.scan_target;
  ASSERT_NE(first, nullptr);
  this->lesson->OnKey(' ');
  EXPECT_NE(this->lesson->form.markers.scan_target, first);
  EXPECT_EQ(this->Cues(), 0u);
  while (this->lesson->form.markers.scan_target != this->Right()) this->lesson->OnKey(' ');
  this->lesson->OnKey(13);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kFeedback);
}

TYPED_TEST(InputAssistTest, ScanningWaitsForThePromptToEnd) {
  this->Start(TenPictures(), TypeParam::kSettings, VariedDraws());
  this->lesson->input = {0, 1, 2000, kTrue};
  this->lesson->Restart();
  if (this->f().is_speaking) {  // the word-building game lets the child start at once
    EXPECT_EQ(this->lesson->form.markers.scan_target, nullptr);
    this->Finish();
  }
  EXPECT_NE(this->lesson->form.markers.scan_target, nullptr);
}

TYPED_TEST(InputAssistTest, TheRepeatKeySpeaksThePromptAgainAndChangesNothingElse) {
  this->StartWith({0, 0, 2000, kTrue});
  const Text prompt = this->LastSpoken();
  const std::size_t said = this->platform.speech.spoken.size();
  const Text asked = this->Asked();
  this->lesson->OnKey(' ');
  this->Press(nullptr, 2);  // the right button, which these games leave free
  ASSERT_EQ(this->platform.speech.spoken.size(), said + 2);
  EXPECT_EQ(this->platform.speech.spoken[said], prompt);
  EXPECT_EQ(this->platform.speech.spoken[said + 1], prompt);
  EXPECT_EQ(this->Cues(), 0u);
  EXPECT_EQ(this->Asked(), asked);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kAsking);

  // Off, neither asks again.
  this->lesson->input.repeat_key = kFalse;
  this->lesson->OnKey(' ');
  this->Press(nullptr, 2);
  EXPECT_EQ(this->platform.speech.spoken.size(), said + 2);
}

// The game-specific ways in: the jumping letter is caught by resting on it or
// by the switch, and the picture-card game's button method lets the switch
// choose a side while the right button keeps answering.
using namespace kanae::kana_catching;
using namespace kanae::picture_card;

class CatchingByDwell : public GameFixture<KanaCatchingGame> {};

TEST_F(CatchingByDwell, RestingOnTheJumpingLetterCatchesIt) {
  Start({"りんご.jpg"});
  lesson->input = {500, 0, 2000, kTrue};
  lesson->Restart();
  const Control& letter = game->catch_letter;
  ASSERT_TRUE(letter.visible);
  lesson->OnPointer({PointerAction::kMove, &letter, 0, letter.left + 10, letter.top + 10});
  for (int i = 0; i < 10; ++i) DwellTimer().Tick();
  EXPECT_EQ(platform.player.Played().back(), U"バーン.wav");
  EXPECT_FALSE(letter.visible);
}

TEST_F(CatchingByDwell, TheSwitchCatchesTheLetterAndTheQuestionIsScannedAfterItsPrompt) {
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#", VariedDraws());
  lesson->input = {0, 1, 2000, kTrue};
  lesson->Restart();
  EXPECT_EQ(lesson->form.markers.scan_target, &game->catch_letter);
  lesson->OnKey(' ');
  EXPECT_EQ(platform.player.Played().back(), U"バーン.wav");
  EXPECT_EQ(lesson->form.markers.scan_target, nullptr);  // the letter question's prompt is being said
  Finish();
  const std::vector<const Control*> letters = game->AnswerControls();
  const Control* offered = lesson->form.markers.scan_target;
  EXPECT_NE(std::find(letters.begin(), letters.end(), offered), letters.end());
  for (const Control* letter : letters) EXPECT_LE(offered->left, letter->left);  // the leftmost first
}

class ButtonMethodWithASwitch : public GameFixture<PictureCardGame> {};

TEST_F(ButtonMethodWithASwitch, TheSwitchChoosesASideAndTheRightButtonStillAnswers) {
  Start({"いぬ.jpg", "ねこ.jpg"}, "#TRUE#,#FALSE#,#TRUE#,#FALSE#");  // 左右ボタン
  lesson->input = {0, 2, 2000, kTrue};
  lesson->Restart();
  Finish();
  while (lesson->form.markers.scan_target != game->pictures[game->correct_side]) lesson->OnKey(' ');
  lesson->OnKey(13);
  EXPECT_EQ(platform.player.Played().back(), U"ピンポン.wav");

  Start({"いぬ.jpg", "ねこ.jpg"}, "#TRUE#,#FALSE#,#TRUE#,#FALSE#");
  Finish();
  const std::size_t said = platform.speech.spoken.size();
  Press(nullptr, 2);  // the right button is an answer here, not a repeat
  EXPECT_FALSE(platform.player.played.empty());
  EXPECT_EQ(platform.speech.spoken.size(), said + 1);  // the praise or retry only
}

class InputSettingsFile : public GameFixture<initial_letter::InitialLetterGame> {};

TEST_F(InputSettingsFile, IsReadWhenGoodAndNeverCreatedOrRewritten) {
  struct Case {
    const char* what;
    std::string content;  // "" : no file
    InputSettings expected;
  };
  const Case cases[] = {
      {"missing", "", {0, 0, 2000, kTrue}},
      {"good", Cp932("1500,2,3000,#FALSE#\r\n"), {1500, 2, 3000, kFalse}},
      {"not a record", "garbage", {0, 0, 2000, kTrue}},
      {"too few fields", "1500,2\r\n", {0, 0, 2000, kTrue}},
      {"a set length", Cp932("1500,2,3000,#FALSE#,10\r\n"), {1500, 2, 3000, kFalse, 10}},
      // Kept before lessons had a length: read as it stands, no end, not rewritten.
      {"four fields", Cp932("1500,2,3000,#FALSE#\r\n"), {1500, 2, 3000, kFalse, 0}},
      {"a count that is no number", Cp932("1500,2,3000,#FALSE#,ten\r\n"), {1500, 2, 3000, kFalse, 0}},
      {"a negative count", Cp932("0,0,2000,#TRUE#,-5\r\n"), {0, 0, 2000, kTrue, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder = std::make_unique<TempFolder>();
    if (!c.content.empty()) folder->Write("入力.txt", c.content);
    lesson = std::make_unique<Lesson>(platform.services(), cwd.path());
    game = std::make_unique<initial_letter::InitialLetterGame>(*lesson);
    folder->Touch({"りんご.jpg"});
    ASSERT_TRUE(lesson->Start({folder->path().string()}, *game));
    EXPECT_EQ(lesson->input.dwell_milliseconds, c.expected.dwell_milliseconds);
    EXPECT_EQ(lesson->input.scanning, c.expected.scanning);
    EXPECT_EQ(lesson->input.scan_interval_milliseconds, c.expected.scan_interval_milliseconds);
    EXPECT_EQ(lesson->input.repeat_key, c.expected.repeat_key);
    EXPECT_EQ(lesson->input.question_count, c.expected.question_count);
    EXPECT_EQ(folder->Exists("入力.txt"), !c.content.empty());
    if (!c.content.empty()) {
      EXPECT_EQ(folder->Read("入力.txt"), c.content);
    }
  }
}

TEST_F(InputSettingsFile, TheDialogSavesTheFiveFieldsInOrder) {
  Start({"りんご.jpg"});
  SettingsDialog dialog(InputDialogLayout(lesson->input), InputSettingSlots(lesson->input));
  dialog.Activate();
  EXPECT_EQ(dialog.Apply(folder->path() / "入力.txt").applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_FALSE(folder->Exists("入力.txt"));
  dialog.Select(0, 2);  // 1秒
  dialog.Select(2, 1);  // one switch
  dialog.Select(3, 3);  // 4秒
  dialog.Select(4, 2);  // 10問
  EXPECT_EQ(dialog.Apply(folder->path() / "入力.txt").applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder->Read("入力.txt"), "1000,1,4000,#TRUE#,10\r\n");
  lesson->OnKey('S');
  EXPECT_EQ(platform.shell.dialogs.back(), DialogKind::kInput);
  lesson->LeaveDialog(DialogKind::kInput);
  EXPECT_TRUE(ScanTimer().Enabled() || f().is_speaking);  // taken into use by the restart
}

}  // namespace
}  // namespace kanae
