// The lesson's mode across the six games: input, timer ticks, dialogs and
// restarts behave alike whatever game is played.
#include <gtest/gtest.h>

#include "game_fixture.h"
#include "six_games.h"
#include "task_dialog.h"

namespace kanae {
namespace {

using namespace kanae::testing;

template <typename T>
class LessonModeTest : public GameFixture<typename T::GameT> {
 protected:
  using Fixture = GameFixture<typename T::GameT>;

  void StartLesson() {
    Fixture::Start(TenPictures(), T::kSettings, VariedDraws());
    this->Finish();  // the prompt has been said
  }
  // Every gesture a child could make on a control: whichever the game takes answers.
  void TryToAnswer(const Control* control) {
    this->Move(control);
    this->Click(control);
    this->Press(control, 1);
  }
  std::size_t Cues() const { return this->platform.player.played.size(); }
  std::size_t Said() const { return this->platform.speech.spoken.size(); }
  std::vector<Timer*> FeedbackTimers() { return T::FeedbackTimers(*this->game); }
};

TYPED_TEST_SUITE(LessonModeTest, SixGames);

TYPED_TEST(LessonModeTest, InputWhileADialogIsOpenAnswersNothing) {
  for (int key : {'H', 'N'}) {
    SCOPED_TRACE(static_cast<char>(key));
    this->StartLesson();
    this->lesson->OnKey(key);
    EXPECT_EQ(this->lesson->Mode(), LessonMode::kDialog);
    const std::size_t cues = this->Cues();
    const std::size_t said = this->Said();
    this->TryToAnswer(TypeParam::RightAnswer(*this->game));
    EXPECT_EQ(this->Cues(), cues);
    EXPECT_EQ(this->Said(), said);

    // Back in the game, the same gesture answers.
    this->lesson->LeaveDialog(key == 'H' ? DialogKind::kSettings : DialogKind::kTasks);
    this->Finish();
    this->TryToAnswer(TypeParam::RightAnswer(*this->game));
    EXPECT_GT(this->Cues(), cues);
    EXPECT_EQ(this->lesson->Mode(), LessonMode::kFeedback);
  }
}

TYPED_TEST(LessonModeTest, LeavingADialogRestartsTheLessonFromANewOrder) {
  this->StartLesson();
  this->f().question_index = 3;
  this->game->NextQuestion();
  const int shuffles = this->scripted->reseeds;
  const std::size_t said = this->Said();

  this->lesson->OnKey('N');
  this->lesson->OnKey('H');  // a second dialog over the first
  this->lesson->LeaveDialog(DialogKind::kTasks);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kDialog);  // one is still open
  EXPECT_EQ(this->Said(), said);

  this->lesson->LeaveDialog(DialogKind::kSettings);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kAsking);
  EXPECT_EQ(this->f().question_index, 0);
  EXPECT_EQ(this->scripted->reseeds, shuffles + 1);
  EXPECT_EQ(this->Said(), said + 1);  // the new first question's prompt
  // A second way out of the same dialog changes nothing more.
  this->lesson->LeaveDialog(DialogKind::kSettings);
  EXPECT_EQ(this->Said(), said + 1);
}

TYPED_TEST(LessonModeTest, ActivationFromOutsideKeepsThePassInProgress) {
  this->StartLesson();
  this->f().question_index = 2;
  this->game->NextQuestion();
  const Text asked = this->Asked();
  const int shuffles = this->scripted->reseeds;
  const std::size_t said = this->Said();
  this->lesson->OnWindowActivated();
  EXPECT_EQ(this->f().question_index, 2);
  EXPECT_EQ(this->Asked(), asked);
  EXPECT_EQ(this->scripted->reseeds, shuffles);
  EXPECT_EQ(this->Said(), said);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kAsking);
}

TYPED_TEST(LessonModeTest, ARestartWhileFeedbackRunsEndsEveryFeedbackTimer) {
  this->StartLesson();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  ASSERT_EQ(this->lesson->Mode(), LessonMode::kFeedback);
  bool any_running = false;
  for (Timer* timer : this->FeedbackTimers()) any_running = any_running || timer->Enabled();
  ASSERT_TRUE(any_running);

  this->lesson->OnKey('H');
  for (Timer* timer : this->FeedbackTimers()) EXPECT_FALSE(timer->Enabled());
  this->lesson->LeaveDialog(DialogKind::kSettings);
  for (Timer* timer : this->FeedbackTimers()) EXPECT_FALSE(timer->Enabled());

  // The restarted question takes its answer.
  this->Finish();
  const std::size_t cues = this->Cues();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  EXPECT_GT(this->Cues(), cues);
}

TYPED_TEST(LessonModeTest, ASelectionShrunkUnderAPendingAnswerIsNeverReadPastItsEnd) {
  this->StartLesson();
  this->f().question_index = 8;
  this->game->NextQuestion();
  this->Finish();

  this->lesson->OnKey('N');
  TaskDialog dialog(this->lesson->state, this->game->Info().selection_needs_four_initials);
  dialog.Activate();
  dialog.ClearAll();
  for (std::size_t i = 0; i < 4; ++i) dialog.SetMark(i, true);
  ASSERT_EQ(dialog.Decide(this->folder->path() / "Fname.txt").decision, TaskDialog::Decision::kAccepted);
  ASSERT_EQ(this->lesson->state.TaskCount(), 4);

  // Input between 決定 and the restart reads nothing of the old list.
  const std::size_t cues = this->Cues();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  EXPECT_EQ(this->Cues(), cues);

  this->lesson->LeaveDialog(DialogKind::kTasks);
  EXPECT_EQ(this->f().question_index, 0);
  const std::vector<Text>& tasks = this->lesson->state.task_pictures;
  EXPECT_NE(std::find(tasks.begin(), tasks.end(), this->Asked()), tasks.end());
  this->Finish();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  EXPECT_GT(this->Cues(), cues);
}

TYPED_TEST(LessonModeTest, EscEndsTheLessonAndNothingAnswersAfterIt) {
  this->StartLesson();
  this->lesson->OnKey(27);
  EXPECT_EQ(this->lesson->Mode(), LessonMode::kEnded);
  EXPECT_TRUE(this->platform.shell.quit);
  const std::size_t cues = this->Cues();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  this->lesson->OnKey('H');
  EXPECT_EQ(this->Cues(), cues);
  EXPECT_TRUE(this->platform.shell.dialogs.empty());
}

}  // namespace
}  // namespace kanae
