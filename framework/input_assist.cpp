#include "input_assist.h"

#include <algorithm>
#include <cmath>

namespace kanae {

InputAssist::InputAssist(AnswerMarkers& markers, AnswerList answers, Choose choose, Ready ready)
    : markers_(markers), answers_(std::move(answers)), choose_(std::move(choose)), ready_(std::move(ready)) {}

void InputAssist::SetTimers(std::unique_ptr<Timer> dwell_timer, std::unique_ptr<Timer> scan_timer) {
  dwell_timer_ = std::move(dwell_timer);
  scan_timer_ = std::move(scan_timer);
}

void InputAssist::Configure(const InputSettings& settings) {
  settings_ = settings;
  Pause();
}

std::vector<const Control*> InputAssist::OrderedAnswers() const {
  std::vector<const Control*> answers = answers_ ? answers_() : std::vector<const Control*>{};
  // Offered as a child reads them: top row first, then left to right.
  std::stable_sort(answers.begin(), answers.end(), [](const Control* a, const Control* b) {
    if (a->top + a->height <= b->top) return true;
    if (b->top + b->height <= a->top) return false;
    return a->left < b->left;
  });
  return answers;
}

void InputAssist::ResetDwell() {
  dwell_target_ = nullptr;
  rested_ms_ = 0;
  spent_ = false;
  markers_.dwell_target = nullptr;
  markers_.dwell_progress = 0;
  if (dwell_timer_) dwell_timer_->SetEnabled(false);
}

void InputAssist::OnMove(const Control* control, double x, double y) {
  if (!DwellOn()) return;
  if (control != nullptr && control == dwell_target_) return;
  const bool resting =
      dwell_target_ != nullptr && std::hypot(x - anchor_x_, y - anchor_y_) <= kRestingTwips;
  if (resting) return;
  ResetDwell();
  const std::vector<const Control*> answers = OrderedAnswers();
  if (control == nullptr || std::find(answers.begin(), answers.end(), control) == answers.end()) return;
  dwell_target_ = control;
  anchor_x_ = x;
  anchor_y_ = y;
  markers_.dwell_target = control;
  if (dwell_timer_) {
    dwell_timer_->SetInterval(kDwellTickMilliseconds);
    dwell_timer_->SetEnabled(true);
  }
}

void InputAssist::OnDwellTick() {
  if (dwell_target_ == nullptr || spent_) {
    if (dwell_timer_) dwell_timer_->SetEnabled(false);
    return;
  }
  // The answer may have gone (a new question) or moved away from the
  // pointer (the kana-catching game's jumping letter).
  const std::vector<const Control*> answers = OrderedAnswers();
  if (std::find(answers.begin(), answers.end(), dwell_target_) == answers.end() ||
      !dwell_target_->Contains(anchor_x_, anchor_y_)) {
    ResetDwell();
    return;
  }
  // The ring fills only while an answer would be taken.
  if (!ready_()) return;
  rested_ms_ += kDwellTickMilliseconds;
  markers_.dwell_progress = std::min(1.0, static_cast<double>(rested_ms_) / settings_.dwell_milliseconds);
  if (rested_ms_ < settings_.dwell_milliseconds) return;
  const Control* chosen = dwell_target_;
  spent_ = true;
  markers_.dwell_target = nullptr;
  markers_.dwell_progress = 0;
  dwell_timer_->SetEnabled(false);
  choose_(chosen);
}

void InputAssist::Offer(int index) {
  const std::vector<const Control*> answers = OrderedAnswers();
  if (answers.empty()) {
    offered_ = -1;
    markers_.scan_target = nullptr;
    return;
  }
  offered_ = index % static_cast<int>(answers.size());
  markers_.scan_target = answers[offered_];
}

void InputAssist::BeginScanning() {
  if (!ScanningOn() || offered_ >= 0 || !ready_()) return;
  Offer(0);
  if (offered_ < 0 || settings_.scanning != 1 || !scan_timer_) return;
  scan_timer_->SetInterval(std::max<int>(settings_.scan_interval_milliseconds, 250));
  scan_timer_->SetEnabled(true);
}

void InputAssist::OnScanTick() {
  if (offered_ < 0 || !ready_()) return;
  Offer(offered_ + 1);
}

void InputAssist::ChooseOffered() {
  const std::vector<const Control*> answers = OrderedAnswers();
  if (offered_ < 0 || answers.empty()) return;
  const Control* chosen = answers[offered_ % static_cast<int>(answers.size())];
  choose_(chosen);
  if (offered_ < 0) return;  // the answer is being judged
  // The question goes on: a word being laid out offers what is left from the
  // first again; a caught letter's question starts once its prompt is said.
  if (!ready_()) {
    Pause();
    return;
  }
  Offer(0);
  if (scan_timer_ && scan_timer_->Enabled()) {
    scan_timer_->SetEnabled(false);
    scan_timer_->SetEnabled(true);
  }
}

bool InputAssist::OnSwitch(bool enter) {
  if (!ScanningOn()) return false;
  if (offered_ < 0) return true;  // the prompt is still being said: nothing to take yet
  if (settings_.scanning == 2 && !enter) {
    Offer(offered_ + 1);
  } else {
    ChooseOffered();
  }
  return true;
}

void InputAssist::Pause() {
  ResetDwell();
  offered_ = -1;
  markers_.scan_target = nullptr;
  if (scan_timer_) scan_timer_->SetEnabled(false);
}

}  // namespace kanae
