// A lesson of a set length, alike in every game: after that many questions
// answered right it ends calmly, and without the setting it plays on.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "game_fixture.h"
#include "six_games.h"

namespace kanae {
namespace {

using namespace kanae::testing;

template <typename T>
class LessonEndingTest : public GameFixture<typename T::GameT> {
 protected:
  void SetUp() override {
    traced = std::make_unique<TempFolder>();
    trace_file = std::make_unique<Trace>((traced->path() / "trace.txt").string());
    this->trace = trace_file.get();
    this->Start(TenPictures(), T::kSettings, VariedDraws());
  }
  // Every gesture a child could make on a control: whichever the game takes answers.
  void TryToAnswer(const Control* control) {
    this->Move(control);
    this->Click(control);
    this->Press(control, 1);
  }
  // Another answer the open question offers.
  const Control* WrongAnswer() {
    const Control* right = T::RightAnswer(*this->game);
    for (const Control* answer : this->game->AnswerControls()) {
      if (answer != right) return answer;
    }
    return nullptr;
  }
  // The feedback is said, its cue has ended, and its timer ends it: the next
  // question, or the ending.
  void EndFeedback() {
    this->Finish();
    this->platform.player.playing = false;
    for (Timer* timer : T::FeedbackTimers(*this->game)) {
      if (timer->Enabled()) static_cast<ManualTimer*>(timer)->Tick();
    }
  }
  void Answer(const Control* control) {
    this->Finish();  // the prompt has been said
    this->platform.player.playing = false;
    TryToAnswer(control);
    EndFeedback();
  }
  std::vector<std::string> TracedEvents() const {
    std::istringstream lines(traced->Read("trace.txt"));
    std::vector<std::string> events;
    for (std::string line; std::getline(lines, line);) events.push_back(line.substr(line.find('\t') + 1));
    return events;
  }
  int StampsShown() const {
    const auto& stamps = this->lesson->Ending().Stamps();
    return static_cast<int>(std::count_if(stamps.begin(), stamps.end(), [](const Control* s) { return s->visible; }));
  }

  std::unique_ptr<TempFolder> traced;
  std::unique_ptr<Trace> trace_file;
};

TYPED_TEST_SUITE(LessonEndingTest, SixGames);

TYPED_TEST(LessonEndingTest, AfterTheSetNumberAnsweredRightTheLessonEndsWithAStampForEachFirstTry) {
  this->lesson->input.question_count = 3;
  this->lesson->Restart();
  const Control* wrong = this->WrongAnswer();
  ASSERT_NE(wrong, nullptr);
  this->Answer(wrong);  // the first question needs a second try
  this->Answer(TypeParam::RightAnswer(*this->game));
  this->Answer(TypeParam::RightAnswer(*this->game));
  EXPECT_NE(this->lesson->Mode(), LessonMode::kFinished);
  this->Answer(TypeParam::RightAnswer(*this->game));

  EXPECT_EQ(this->lesson->Mode(), LessonMode::kFinished);
  EXPECT_EQ(this->LastSpoken(), U"おしまい");
  EXPECT_TRUE(this->lesson->Ending().Shown());
  EXPECT_EQ(this->StampsShown(), 2);
  const std::vector<std::string> events = this->TracedEvents();
  EXPECT_NE(std::find(events.begin(), events.end(), "end\t3\t2"), events.end());
  // The ending covers everything the game drew.
  for (const auto& [x, y] : {std::pair{1.0, 1.0}, std::pair{this->W / 2, this->H / 2}, std::pair{this->W - 1, this->H - 1}}) {
    const Control* top = this->lesson->form.HitTest(x, y);
    ASSERT_NE(top, nullptr);
    EXPECT_GE(top->z, LessonEnding::kZ) << x << "," << y;
  }

  // Nothing of the game answers, and the ending waits for おしまい to be said.
  const std::size_t cues = this->platform.player.played.size();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  this->lesson->OnKey(' ');
  EXPECT_EQ(this->platform.player.played.size(), cues);
  EXPECT_FALSE(this->platform.shell.quit);
  this->Finish();
  this->Move(nullptr);  // passing over the screen goes nowhere
  EXPECT_FALSE(this->platform.shell.quit);
  this->Click(nullptr);
  EXPECT_TRUE(this->platform.shell.quit);
  EXPECT_EQ(this->TracedEvents().back(), "exit");
}

TYPED_TEST(LessonEndingTest, AKeyGoesBackFromTheEndingToo) {
  this->lesson->input.question_count = 1;
  this->lesson->Restart();
  this->Answer(TypeParam::RightAnswer(*this->game));
  ASSERT_EQ(this->lesson->Mode(), LessonMode::kFinished);
  EXPECT_EQ(this->StampsShown(), 1);
  this->Finish();
  this->lesson->OnKey('H');  // not the settings dialog: back to the menu
  EXPECT_TRUE(this->platform.shell.dialogs.empty());
  EXPECT_TRUE(this->platform.shell.quit);
}

TYPED_TEST(LessonEndingTest, WithoutASetLengthTheLessonPlaysOn) {
  for (int i = 0; i < 12; ++i) this->Answer(TypeParam::RightAnswer(*this->game));
  EXPECT_NE(this->lesson->Mode(), LessonMode::kFinished);
  EXPECT_FALSE(this->lesson->Ending().Shown());
  this->Finish();
  const std::size_t cues = this->platform.player.played.size();
  this->TryToAnswer(TypeParam::RightAnswer(*this->game));
  EXPECT_GT(this->platform.player.played.size(), cues);  // a thirteenth question is asked and answered
  const std::vector<std::string> events = this->TracedEvents();
  EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const std::string& e) { return e.starts_with("end"); }));
}

}  // namespace
}  // namespace kanae
