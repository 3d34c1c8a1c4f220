// Answering without a click: the pointer resting on an answer until a ring
// around it fills (dwell), and switch scanning, where the answers are offered
// in turn and a switch takes the one offered. Free of any window system: the
// window draws the markers this sets in the form.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "controls.h"
#include "input_settings.h"
#include "platform/timer.h"

namespace kanae {

class InputAssist {
 public:
  using AnswerList = std::function<std::vector<const Control*>()>;
  using Choose = std::function<void(const Control*)>;
  using Ready = std::function<bool()>;

  // A pointer that moves less than this (about eight pixels) still rests:
  // a trembling hand must not start the ring over.
  static constexpr double kRestingTwips = 120;
  static constexpr int kDwellTickMilliseconds = 50;

  // answers: the controls that answer the open question, asked afresh each
  // time; choose: hands an answer to the game as a touch would; ready: the
  // question can be answered now (its prompt has been said).
  InputAssist(AnswerMarkers& markers, AnswerList answers, Choose choose, Ready ready);

  // The timers come from the lesson, which stops them behind dialogs.
  void SetTimers(std::unique_ptr<Timer> dwell_timer, std::unique_ptr<Timer> scan_timer);
  void Configure(const InputSettings& settings);
  const InputSettings& Settings() const { return settings_; }
  bool DwellOn() const { return settings_.dwell_milliseconds > 0; }
  bool ScanningOn() const { return settings_.scanning != 0; }

  // The pointer moved while a question is open.
  void OnMove(const Control* control, double x, double y);
  void OnDwellTick();

  // The question can now be answered (its prompt has been said): scanning
  // offers the first answer. Nothing happens when it already runs.
  void BeginScanning();
  void OnScanTick();
  // A switch was pressed: Space (enter=false) or Enter. True when it was
  // taken by scanning.
  bool OnSwitch(bool enter);

  // An answer is being judged, a dialog opened or the lesson restarts: the
  // markers go and nothing runs until the next question can be answered.
  void Pause();

 private:
  std::vector<const Control*> OrderedAnswers() const;
  void ResetDwell();
  void Offer(int index);
  void ChooseOffered();

  AnswerMarkers& markers_;
  AnswerList answers_;
  Choose choose_;
  Ready ready_;
  InputSettings settings_;
  std::unique_ptr<Timer> dwell_timer_;
  std::unique_ptr<Timer> scan_timer_;

  // Dwell: the answer under the resting pointer, where the rest began, and
  // how long it has lasted. Once chosen, the same answer waits for the
  // pointer to leave it.
  const Control* dwell_target_ = nullptr;
  double anchor_x_ = 0;
  double anchor_y_ = 0;
  int rested_ms_ = 0;
  bool spent_ = false;

  // Scanning: the answer offered, by its place in the ordered list.
  int offered_ = -1;
};

}  // namespace kanae
