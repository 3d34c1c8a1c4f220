#include "platform/speech/background_speech.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "platform/speech/kept_phrase.h"
#include "platform/speech/voiced_speech.h"

namespace kanae::speech {

BackgroundSpeech::BackgroundSpeech(std::vector<std::unique_ptr<Voice>> voices, std::shared_ptr<SpeechStore> store)
    : voices_(std::move(voices)), store_(std::move(store)) {
  worker_ = std::thread([this] { Run(); });
}

BackgroundSpeech::~BackgroundSpeech() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void BackgroundSpeech::MakeAhead(Phrases phrases) {
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(phrases);
    queue_.clear();
  }
  wake_.notify_all();
}

void BackgroundSpeech::Hold(bool held) {
  {
    std::lock_guard lock(mutex_);
    held_ = held;
  }
  wake_.notify_all();
  idle_.notify_all();
}

void BackgroundSpeech::WaitUntilDone() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return quit_ || held_ || (!busy_ && !pending_ && queue_.empty()); });
}

std::size_t BackgroundSpeech::PhrasesDone() const {
  std::lock_guard lock(mutex_);
  return done_;
}

void BackgroundSpeech::Run() {
  // The lowest priority for this thread and the synthesiser it runs: the
  // teacher's menu and a game started meanwhile come first.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
  Voice* voice = nullptr;
  bool voice_tried = false;
  std::string identity;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || (!held_ && (pending_ || !queue_.empty())); });
    if (quit_) break;
    busy_ = true;
    if (pending_) {
      Phrases phrases = std::exchange(pending_, nullptr);
      lock.unlock();
      std::vector<SpokenText> list = phrases();
      std::reverse(list.begin(), list.end());
      lock.lock();
      if (!pending_) queue_ = std::move(list);  // else a newer lesson came meanwhile
    } else {
      const SpokenText text = queue_.back();
      queue_.pop_back();
      lock.unlock();
      if (!voice_tried) {
        voice_tried = true;
        voice = StartFirstVoice(voices_, store_.get());
        if (voice != nullptr) identity = voice->Identity();
      }
      LoadOrMakePhrase(voice, identity, store_.get(), text);
      lock.lock();
      ++done_;
      if (voice == nullptr) queue_.clear();  // no voice: nothing to make
    }
    busy_ = false;
    idle_.notify_all();
  }
  idle_.notify_all();
}

}  // namespace kanae::speech
