// Ten thousand questions per game through the fakes: answers right and wrong
// at random, repeated touches, the dialogs opened and left and the selection
// shrunk in between. The model must stay consistent all along: every question
// names a task of the lesson, and every answer is judged (and recorded) once.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game_fixture.h"
#include "six_games.h"
#include "task_dialog.h"

namespace kanae {
namespace {

using namespace kanae::testing;

constexpr int kQuestions = 10000;

template <typename T>
class Soak : public GameFixture<typename T::GameT> {
 protected:
  std::size_t Cues() const { return this->platform.player.played.size(); }

  void ExpectAConsistentQuestion() {
    ASSERT_EQ(this->lesson->Mode(), LessonMode::kAsking);
    const int i = this->f().question_index;
    ASSERT_GE(i, 0);
    ASSERT_LT(i, this->lesson->state.TaskCount());
    const std::vector<Text>& tasks = this->lesson->state.task_pictures;
    ASSERT_NE(std::find(tasks.begin(), tasks.end(), this->Asked()), tasks.end());
    ASSERT_FALSE(this->game->AnswerControls().empty());
  }

  // A dialog opened and left, the selection sometimes shrunk or regrown.
  void VisitADialog(std::mt19937& random) {
    const bool tasks = random() % 2 == 0;
    this->lesson->OnKey(tasks ? 'N' : 'H');
    if (tasks) {
      TaskDialog dialog(this->lesson->state, this->game->Info().selection_needs_four_initials);
      dialog.Activate();
      dialog.ClearAll();
      const std::size_t pictures = this->lesson->state.picture_files.size();
      const std::size_t marked = 4 + random() % (pictures - 3);
      for (std::size_t i = 0; i < marked; ++i) dialog.SetMark((i * 7 + random() % 3) % pictures, true);
      dialog.Decide(this->folder->path() / "Fname.txt");
    }
    // Input behind the dialog answers nothing.
    const std::size_t cues = Cues();
    for (const Control* c : this->game->AnswerControls()) this->Click(c);
    ASSERT_EQ(Cues(), cues);
    this->lesson->LeaveDialog(tasks ? DialogKind::kTasks : DialogKind::kSettings);
  }

  // Answers at random until the question's feedback starts; returns the
  // answers the game took.
  int AnswerAtRandom(std::mt19937& random) {
    int taken = 0;
    for (int tries = 0; tries < 40 && this->lesson->Mode() == LessonMode::kAsking; ++tries) {
      const std::vector<const Control*> answers = this->game->AnswerControls();
      if (answers.empty()) break;
      const Control* chosen = answers[random() % answers.size()];
      this->platform.player.playing = false;  // the last cue has ended
      const std::size_t cues = Cues();
      this->Click(chosen);
      if (Cues() > cues) ++taken;
      if (random() % 8 == 0) {  // the same answer touched again at once
        const std::size_t again = Cues();
        this->Click(chosen);
        EXPECT_EQ(Cues(), again);
      }
    }
    return taken;
  }

  // The feedback ends: speech finishes, cues end, the game's timers tick.
  void EndFeedback() {
    for (int ticks = 0; ticks < 20 && this->lesson->Mode() != LessonMode::kAsking; ++ticks) {
      this->Finish();
      this->platform.player.playing = false;
      for (Timer* timer : T::FeedbackTimers(*this->game)) static_cast<ManualTimer*>(timer)->Tick();
    }
  }

  int RecordLines() {
    const std::string record = this->folder->Read("学習記録.csv");
    int lines = 0;
    for (std::size_t at = record.find("\r\n"); at != std::string::npos; at = record.find("\r\n", at + 2)) ++lines;
    return lines - 1;  // the header
  }
};

TYPED_TEST_SUITE(Soak, SixGames);

TYPED_TEST(Soak, TenThousandQuestionsKeepTheModelConsistent) {
  this->Start(TenPictures(), TypeParam::kSettings, {});
  std::mt19937 random(20261210);
  int taken = 0;
  for (int question = 0; question < kQuestions; ++question) {
    if (random() % 50 == 0) {
      this->VisitADialog(random);
      if (::testing::Test::HasFatalFailure()) return;
    }
    this->Finish();  // the prompt has been said
    this->ExpectAConsistentQuestion();
    if (::testing::Test::HasFatalFailure()) return;
    taken += this->AnswerAtRandom(random);
    this->EndFeedback();
  }
  this->lesson->Record().WaitUntilDurable();
  EXPECT_GE(taken, kQuestions);  // at least one answer a question
  EXPECT_EQ(this->RecordLines(), taken);
  // Both kinds of answer were played.
  const std::string record = this->folder->Read("学習記録.csv");
  EXPECT_NE(record.find(",不正解,"), std::string::npos);
  EXPECT_NE(record.find(",正解,"), std::string::npos);
}

// The voice is given every text ahead, so nothing waits for it to be read:
// each prompt while the last answer's feedback runs, each praise or retry
// message while the answer's cues play, and the first prompt of a start while
// the window comes up or of a restart while the teacher is in a dialog.
TYPED_TEST(Soak, EverythingSaidWasPreparedAhead) {
  this->Start(TenPictures(), TypeParam::kSettings, {});
  std::mt19937 random(7);
  for (const int dialog : {0, int{'H'}, int{'N'}, int{'R'}}) {
    if (dialog == 'R') {
      this->lesson->OnKey(dialog);
      this->lesson->LeaveReport();
    } else if (dialog != 0) {
      // Left as it was: the tasks are the same.
      this->lesson->OnKey(dialog);
      this->lesson->LeaveDialog(dialog == 'H' ? DialogKind::kSettings : DialogKind::kTasks);
    }
    for (int question = 0; question < 60; ++question) {
      this->Finish();
      this->AnswerAtRandom(random);
      this->EndFeedback();
    }
  }
  const auto& speech = this->platform.speech;
  EXPECT_GT(speech.said.size(), 240u);
  std::vector<std::string> unprepared;
  for (const SpokenText& text : speech.unprepared) unprepared.push_back(ToUtf8(text.Plain()));
  EXPECT_EQ(unprepared, std::vector<std::string>{});
}

}  // namespace
}  // namespace kanae
