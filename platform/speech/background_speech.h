// Speech made into the speech store before any game asks for it: the menu
// has the opening prompts of the lesson the teacher is about to play made
// while it waits, so the game's first question is read from the store
// instead of waiting for the synthesiser. One thread of its own at the
// lowest priority (the synthesiser's runs inherit it), one phrase at a time;
// it never plays anything.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/speech/speech_store.h"
#include "platform/speech/voice.h"
#include "spoken_text.h"

namespace kanae::speech {

class BackgroundSpeech {
 public:
  // Phrases to make, worked out on the thread (listing a lesson folder may take a while).
  using Phrases = std::function<std::vector<SpokenText>()>;

  // Cheap: the voices are started on the thread when there is work.
  BackgroundSpeech(std::vector<std::unique_ptr<Voice>> voices, std::shared_ptr<SpeechStore> store);
  // Waits for the phrase in hand, if any (a second or so at most).
  ~BackgroundSpeech();
  BackgroundSpeech(const BackgroundSpeech&) = delete;
  BackgroundSpeech& operator=(const BackgroundSpeech&) = delete;

  // These phrases in place of any not yet made.
  void MakeAhead(Phrases phrases);
  // Held, nothing new is started (a game is running and makes its own speech).
  void Hold(bool held);
  // Until everything asked for is made (or the thread is held); for tests and benches.
  void WaitUntilDone();
  // Phrases made or found kept so far.
  std::size_t PhrasesDone() const;

 private:
  void Run();

  std::vector<std::unique_ptr<Voice>> voices_;
  std::shared_ptr<SpeechStore> store_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  Phrases pending_;                 // not yet worked out
  std::vector<SpokenText> queue_;   // worked out, next first at the back
  bool held_ = false;
  bool busy_ = false;               // a phrase (or a list) in hand
  bool quit_ = false;
  std::size_t done_ = 0;
  std::thread worker_;
};

}  // namespace kanae::speech
