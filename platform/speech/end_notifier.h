// Delivers "speech finished" to the GUI thread for the latest text only.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace kanae::speech {

// Hands a function to the GUI thread to run later (the Qt layer queues it on
// the GUI thread's event loop). It must never run the function before returning.
using PostToGui = std::function<void(std::function<void()>)>;

// Each Speak or Stop starts a new turn; an end posted for an older turn is
// dropped when it arrives, so a late end of an interrupted text is never taken
// for the end of the new one. Ends arriving after the engine is gone are dropped too.
class EndNotifier {
 public:
  EndNotifier(PostToGui post, std::function<void()> notify);
  ~EndNotifier();
  EndNotifier(const EndNotifier&) = delete;
  EndNotifier& operator=(const EndNotifier&) = delete;

  // Starts a new turn and returns its number.
  std::uint64_t NewTurn();
  std::uint64_t CurrentTurn() const;
  // Posts the end of the given turn. Any thread.
  void PostEnd(std::uint64_t turn) const;

 private:
  struct State {
    std::atomic<bool> alive{true};
    std::atomic<std::uint64_t> turn{0};
    std::atomic<std::uint64_t> delivered{0};
    std::function<void()> notify;
  };
  PostToGui post_;
  std::shared_ptr<State> state_;
};

}  // namespace kanae::speech
