// The kiosk lock's key table: which presses, releases and waits make a
// teacher's key act.
#include "key_hold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lesson.h"

namespace kanae {
namespace {

constexpr int kEsc = static_cast<int>(Key::kEscape);
constexpr int kH = static_cast<int>(Key::kH);
constexpr int kN = static_cast<int>(Key::kN);
constexpr int kR = static_cast<int>(Key::kR);

// One input to the lock: press (marked as a repeat or not), release, lost
// focus, or a clock tick, whose result is what Poll returned.
struct Step {
  enum Kind { kPress, kRepeat, kRelease, kRepeatRelease, kCancel, kTick } kind;
  int key_or_result;  // the key pressed or released; for a tick, the action expected
  std::int64_t at_ms = 0;     // when it reaches the lock, by the lock's clock
  std::int64_t sent_ms = -1;  // when the keyboard sent it; unknown by default
};

struct Case {
  std::string name;
  std::vector<Step> steps;
};

// Feeds the steps to a fresh lock, checking each tick's result.
void Feed(const Case& c) {
  KeyHold hold;
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    const Step& s = c.steps[i];
    switch (s.kind) {
      case Step::kPress: hold.Press(s.key_or_result, s.at_ms, false, s.sent_ms); break;
      case Step::kRepeat: hold.Press(s.key_or_result, s.at_ms, true, s.sent_ms); break;
      case Step::kRelease: hold.Release(s.key_or_result, s.at_ms, false, s.sent_ms); break;
      case Step::kRepeatRelease: hold.Release(s.key_or_result, s.at_ms, true, s.sent_ms); break;
      case Step::kCancel: hold.Cancel(); break;
      case Step::kTick: EXPECT_EQ(hold.Poll(s.at_ms), s.key_or_result) << c.name << ", step " << i; break;
    }
  }
}

TEST(KeyHold, ActsOnlyOnKeysHeldForTwoSeconds) {
  const std::vector<Case> cases = {
      {"a short press does nothing",
       {{Step::kPress, kEsc, 0}, {Step::kTick, 0, 500}, {Step::kRelease, kEsc, 600}, {Step::kTick, 0, 5000}}},
      {"held two seconds, Esc acts once",
       {{Step::kPress, kEsc, 0}, {Step::kTick, 0, 1999}, {Step::kTick, kEsc, 2000}, {Step::kTick, 0, 2100},
        {Step::kTick, 0, 9000}}},
      {"H and N act the same way",
       {{Step::kPress, kH, 100}, {Step::kTick, kH, 2100}, {Step::kRelease, kH, 2200}, {Step::kPress, kN, 3000},
        {Step::kTick, 0, 4999}, {Step::kTick, kN, 5000}}},
      {"the keyboard's repeats do not restart the hold",
       {{Step::kPress, kN, 0}, {Step::kRepeatRelease, kN, 500}, {Step::kRepeat, kN, 500},
        {Step::kRepeatRelease, kN, 1500}, {Step::kRepeat, kN, 1500}, {Step::kTick, kN, 2000}}},
      {"repeats after the action do not act again",
       {{Step::kPress, kH, 0}, {Step::kTick, kH, 2000}, {Step::kRepeat, kH, 2100}, {Step::kTick, 0, 4100},
        {Step::kTick, 0, 6000}}},
      {"released and pressed again, the key acts again after a new hold",
       {{Step::kPress, kH, 0}, {Step::kTick, kH, 2000}, {Step::kRelease, kH, 2500}, {Step::kPress, kH, 3000},
        {Step::kTick, 0, 4500}, {Step::kTick, kH, 5000}}},
      {"releasing early and pressing again starts from the beginning",
       {{Step::kPress, kEsc, 0}, {Step::kRelease, kEsc, 1500}, {Step::kPress, kEsc, 1600}, {Step::kTick, 0, 3000},
        {Step::kTick, kEsc, 3600}}},
      {"repeats with no press before them start nothing",
       {{Step::kRepeat, kEsc, 0}, {Step::kRepeat, kEsc, 1000}, {Step::kTick, 0, 2500}}},
      {"another key takes over the hold",
       {{Step::kPress, kEsc, 0}, {Step::kPress, kN, 1000}, {Step::kTick, 0, 2500}, {Step::kTick, kN, 3000}}},
      {"releasing another key leaves the hold",
       {{Step::kPress, kEsc, 0}, {Step::kRelease, kH, 1000}, {Step::kTick, kEsc, 2000}}},
      {"losing the keyboard forgets the hold",
       {{Step::kPress, kEsc, 0}, {Step::kCancel, 0, 1000}, {Step::kTick, 0, 2500}, {Step::kRepeat, kEsc, 2600},
        {Step::kTick, 0, 4700}}},
  };
  for (const Case& c : cases) Feed(c);
}

TEST(KeyHold, ReportsTheHeldKeyAndHowFarItIsForTheHint) {
  KeyHold hold;
  EXPECT_EQ(hold.Holding(), 0);
  EXPECT_EQ(hold.Progress(0), 0.0);
  hold.Press(kH, 1000, false);
  EXPECT_EQ(hold.Holding(), kH);
  EXPECT_DOUBLE_EQ(hold.Progress(1500), 0.25);
  EXPECT_DOUBLE_EQ(hold.Progress(9000), 1.0);
  EXPECT_EQ(hold.Poll(3000), kH);
  EXPECT_EQ(hold.Holding(), 0);  // acted: the hint goes
  hold.Release(kH, 3100, false);
  EXPECT_EQ(hold.Holding(), 0);
}

// X's auto-repeat sends a held key as release and press pairs with the same
// time, and the window system often leaves them unmarked: each pair must
// read as the key staying down.
TEST(KeyHold, UnmarkedRepeatPairsAreTheKeyStayingDown) {
  // X's default repeat (after 660 ms, 25 a second) while a key stays down:
  // unmarked pairs, the press reaching the lock a moment after the release.
  auto pairs = [](int key, std::int64_t from_ms, std::int64_t until_ms) {
    std::vector<Step> steps;
    for (std::int64_t t = from_ms; t < until_ms; t += 40) {
      steps.push_back({Step::kRelease, key, t, t});
      steps.push_back({Step::kPress, key, t + 1, t});
    }
    return steps;
  };
  auto join = [](std::initializer_list<std::vector<Step>> parts) {
    std::vector<Step> steps;
    for (const auto& part : parts) steps.insert(steps.end(), part.begin(), part.end());
    return steps;
  };
  const std::vector<Case> cases = {
      {"Esc held through repeat pairs acts at two seconds",
       join({{{Step::kPress, kEsc, 0, 0}}, pairs(kEsc, 660, 1990), {{Step::kTick, 0, 1995}, {Step::kTick, kEsc, 2000}}})},
      {"pairs after the action do not act again",
       join({{{Step::kPress, kH, 0, 0}}, pairs(kH, 660, 2000), {{Step::kTick, kH, 2010}}, pairs(kH, 2020, 4100),
             {{Step::kTick, 0, 4100}}, pairs(kH, 4140, 6200), {{Step::kTick, 0, 6200}}})},
      {"a pair split by a busy moment is still a pair (same sending time)",
       {{Step::kPress, kEsc, 0, 0}, {Step::kRelease, kEsc, 700, 700}, {Step::kPress, kEsc, 800, 700},
        {Step::kTick, kEsc, 2000}}},
      {"a tick between the halves of a pair waits for the press",
       {{Step::kPress, kR, 0, 0}, {Step::kRelease, kR, 1990, 1990}, {Step::kTick, 0, 2000},
        {Step::kPress, kR, 2010, 1990}, {Step::kTick, kR, 2010}}},
      {"a release no press follows is the key let go",
       {{Step::kPress, kEsc, 0, 0}, {Step::kRelease, kEsc, 1000, 1000}, {Step::kTick, 0, 1050},
        {Step::kTick, 0, 1200}, {Step::kTick, 0, 2500}, {Step::kTick, 0, 5000}}},
      {"let go and pressed again quickly is a new hold",
       {{Step::kPress, kH, 0, 0}, {Step::kRelease, kH, 1500, 1500}, {Step::kPress, kH, 1580, 1580},
        {Step::kTick, 0, 2500}, {Step::kTick, kH, 3580}}},
      {"let go just before two seconds does not act",
       {{Step::kPress, kN, 0, 0}, {Step::kRelease, kN, 1999, 1999}, {Step::kTick, 0, 2000},
        {Step::kTick, 0, 2200}, {Step::kTick, 0, 4000}}},
  };
  for (const Case& c : cases) Feed(c);
}

}  // namespace
}  // namespace kanae
