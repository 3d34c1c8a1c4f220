// A speech engine started on a worker thread: loading voices and dictionaries
// never holds up the window. Until the engine is up, the latest text waits
// and is spoken the moment it is; the window goes on meanwhile.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/speech_engine.h"

namespace kanae {

class SpeechStartedOnWorker : public SpeechEngine {
 public:
  using Factory = std::function<std::unique_ptr<SpeechEngine>()>;
  // Hands a function to the GUI thread to run later, never at once.
  using PostToGui = std::function<void(std::function<void()>)>;

  SpeechStartedOnWorker(Factory make_engine, PostToGui post_to_gui);
  // Waits for a start under way, then ends the engine on this thread.
  ~SpeechStartedOnWorker() override;
  SpeechStartedOnWorker(const SpeechStartedOnWorker&) = delete;
  SpeechStartedOnWorker& operator=(const SpeechStartedOnWorker&) = delete;

  void Speak(const Text& text) override;
  void Stop() override;
  bool Started() const { return engine_ != nullptr; }

 private:
  // What the worker hands over; owner is cleared (on the GUI thread) when
  // this object goes, so a late hand-over finds nobody to give it to.
  struct Handover {
    std::mutex mutex;
    std::unique_ptr<SpeechEngine> engine;
    SpeechStartedOnWorker* owner = nullptr;
  };
  void TakeEngine();

  std::shared_ptr<Handover> handover_;
  std::unique_ptr<SpeechEngine> engine_;
  std::optional<Text> waiting_;
  std::thread starter_;
};

}  // namespace kanae
