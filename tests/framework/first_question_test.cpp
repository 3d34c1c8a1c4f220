// The first question of a start or a restart comes together with its voice:
// once the voice has its prompt ready, or after a bounded wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "fakes.h"
#include "lesson.h"

namespace kanae {
namespace {

using testing::FakePlatform;
using testing::ManualTimer;
using testing::TempFolder;

// A game that asks for the task's picture by name, as the real ones do.
class AskingGame : public Game {
 public:
  explicit AskingGame(Lesson& lesson) : lesson_(lesson) {}
  const GameInfo& Info() const override { return info_; }
  SettingsList Settings() override { return {}; }
  void Layout() override {}
  void NextQuestion() override {
    asked.push_back(lesson_.state.task_pictures[lesson_.fields.question_index]);
    lesson_.fields.speech_text = PromptFor(lesson_.fields.question_index);
    lesson_.SpeakPrompt();
    lesson_.fields.is_speaking = true;
    lesson_.QuestionShown();
  }
  SpokenText PromptFor(int question_index) override {
    return SpokenText(lesson_.state.TaskName(question_index) + U"は、どれかな");
  }
  void OnPointer(const PointerEvent&) override {}
  std::vector<const Control*> AnswerControls() const override { return {}; }
  SettingsDialogLayout SettingsDialog() override { return {}; }

  std::vector<Text> asked;  // the picture of each question set up

 private:
  Lesson& lesson_;
  GameInfo info_{"Asking", U"しつもん", "Asking.txt", 1, 1, true, false};
};

// A lesson of four pictures, started: the window is about to be seen.
struct StartedLesson {
  StartedLesson() {
    lesson_folder.Touch({"いぬ.jpg", "ねこ.jpg", "さる.jpg", "うし.jpg"});
    started = lesson.Start({lesson_folder.path().string()}, game);
    timers_at_start = platform.timers.created.size();
  }
  // The timer that bounds the wait: the one made since the lesson started.
  ManualTimer* BoundTimer() {
    for (std::size_t i = timers_at_start; i < platform.timers.created.size(); ++i) {
      if (platform.timers.created[i]->Interval() == Lesson::kPromptWaitMilliseconds) return platform.timers.created[i];
    }
    return nullptr;
  }
  void TickEveryTimer() {
    for (ManualTimer* timer : platform.timers.created) timer->Tick();
  }
  // What was awaited last, as plain text.
  Text Awaited() const { return platform.speech.awaited.empty() ? Text() : platform.speech.awaited.back().Plain(); }

  TempFolder lesson_folder;
  TempFolder current_folder;
  FakePlatform platform;
  Lesson lesson{platform.services(), current_folder.path()};
  AskingGame game{lesson};
  bool started = false;
  std::size_t timers_at_start = 0;
};

class FirstQuestion : public ::testing::Test, protected StartedLesson {
 protected:
  void SetUp() override { ASSERT_TRUE(started); }
};

TEST(FirstQuestionWait, ComesWhenItsPromptIsReadyOrTheWaitIsOverAndNeverTwice) {
  enum class Voice { kReadyAtOnce, kReadyLater, kNeverReady };
  for (const Voice voice : {Voice::kReadyAtOnce, Voice::kReadyLater, Voice::kNeverReady}) {
    SCOPED_TRACE(static_cast<int>(voice));
    StartedLesson s;
    ASSERT_TRUE(s.started);
    s.platform.speech.ready_late = voice != Voice::kReadyAtOnce;
    s.lesson.ActivateWhenPromptReady();
    // The prompt of the order drawn at the start, made since, is the one awaited.
    ASSERT_EQ(s.platform.speech.awaited.size(), 1u);
    const Text prompt = s.Awaited();
    const auto& prepared = s.platform.speech.prepared;
    EXPECT_NE(std::find(prepared.begin(), prepared.end(), s.platform.speech.awaited[0]), prepared.end());
    if (voice != Voice::kReadyAtOnce) {
      // Only the background: nothing asked, nothing said, no input taken.
      EXPECT_TRUE(s.game.asked.empty());
      EXPECT_TRUE(s.platform.speech.spoken.empty());
      EXPECT_EQ(s.lesson.Mode(), LessonMode::kStarting);
      ManualTimer* bound = s.BoundTimer();
      ASSERT_NE(bound, nullptr);
      EXPECT_TRUE(bound->Enabled());
      if (voice == Voice::kReadyLater) {
        s.platform.speech.MakeReady();
      } else {
        bound->Tick();
      }
    }
    ASSERT_EQ(s.game.asked.size(), 1u);
    EXPECT_EQ(s.platform.speech.spoken, std::vector<Text>{prompt});
    EXPECT_EQ(s.lesson.Mode(), LessonMode::kAsking);
    // The other way of ending the wait comes to nothing.
    s.platform.speech.MakeReady();
    s.TickEveryTimer();
    EXPECT_EQ(s.game.asked.size(), 1u);
    EXPECT_EQ(s.platform.speech.spoken.size(), 1u);
  }
}

TEST_F(FirstQuestion, ADialogOrEscDuringTheWaitComesFirst) {
  platform.speech.ready_late = true;
  lesson.ActivateWhenPromptReady();
  lesson.OnKey(static_cast<int>(Key::kH));
  EXPECT_EQ(lesson.Mode(), LessonMode::kDialog);
  // Neither way of ending the first wait starts the lesson behind the dialog.
  platform.speech.MakeReady();
  TickEveryTimer();
  EXPECT_TRUE(game.asked.empty());
  EXPECT_TRUE(platform.speech.spoken.empty());

  // Back from the dialog, the restart waits for its own prompt.
  lesson.LeaveDialog(DialogKind::kSettings);
  EXPECT_TRUE(game.asked.empty());
  ASSERT_EQ(platform.speech.awaited.size(), 2u);
  const Text prompt = Awaited();
  platform.speech.MakeReady();
  ASSERT_EQ(game.asked.size(), 1u);
  EXPECT_EQ(platform.speech.spoken, std::vector<Text>{prompt});

  // Esc while a restart waits: the program ends, and nothing more is asked.
  lesson.OnKey(static_cast<int>(Key::kN));
  lesson.LeaveDialog(DialogKind::kTasks);
  lesson.OnKey(static_cast<int>(Key::kEscape));
  EXPECT_TRUE(platform.shell.quit);
  platform.speech.MakeReady();
  TickEveryTimer();
  EXPECT_EQ(game.asked.size(), 1u);
  EXPECT_EQ(platform.speech.spoken.size(), 1u);
}

// Tasks changed in the dialog: the order drawn when it opened is of no use,
// so the restart's prompt is made only now, and waited for.
TEST_F(FirstQuestion, ARestartWithOtherTasksWaitsForItsNewPrompt) {
  lesson.ActivateWhenPromptReady();  // ready at once
  ASSERT_EQ(game.asked.size(), 1u);
  platform.speech.ready_late = true;
  lesson.OnKey(static_cast<int>(Key::kN));
  lesson.state.task_pictures = {U"くま.jpg", U"とり.jpg"};
  lesson.LeaveDialog(DialogKind::kTasks);
  EXPECT_EQ(game.asked.size(), 1u);
  const Text prompt = Awaited();
  platform.speech.MakeReady();
  ASSERT_EQ(game.asked.size(), 2u);
  EXPECT_EQ(platform.speech.spoken.back(), prompt);
  EXPECT_TRUE(prompt == U"くまは、どれかな" || prompt == U"とりは、どれかな") << ToUtf8(prompt);
  // Said as it was made ahead.
  EXPECT_TRUE(platform.speech.unprepared.empty());
}

}  // namespace
}  // namespace kanae
