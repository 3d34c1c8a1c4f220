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

// One input to the lock: press (auto-repeated or not), release, lost focus,
// or a clock tick, whose result is what Poll returned.
struct Step {
  enum Kind { kPress, kRepeat, kRelease, kRepeatRelease, kCancel, kTick } kind;
  int key_or_result;  // the key pressed or released; for a tick, the action expected
  std::int64_t at_ms = 0;
};

struct Case {
  std::string name;
  std::vector<Step> steps;
};

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
  for (const Case& c : cases) {
    KeyHold hold;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      switch (s.kind) {
        case Step::kPress: hold.Press(s.key_or_result, s.at_ms, false); break;
        case Step::kRepeat: hold.Press(s.key_or_result, s.at_ms, true); break;
        case Step::kRelease: hold.Release(s.key_or_result, false); break;
        case Step::kRepeatRelease: hold.Release(s.key_or_result, true); break;
        case Step::kCancel: hold.Cancel(); break;
        case Step::kTick: EXPECT_EQ(hold.Poll(s.at_ms), s.key_or_result) << c.name << ", step " << i; break;
      }
    }
  }
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
  hold.Release(kH, false);
  EXPECT_EQ(hold.Holding(), 0);
}

}  // namespace
}  // namespace kanae
