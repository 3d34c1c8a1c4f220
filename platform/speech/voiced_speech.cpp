#include "platform/speech/voiced_speech.h"

#include <cstdio>

#include "platform/speech/kept_phrase.h"

namespace kanae::speech {
namespace {

using audio::Channel;

constexpr std::size_t kMostPrepared = 8;

// Kept in the store once a voice has started: no spoken text is ever this
// (a noncharacter never comes from a game).
const Text kStartedMark = U"\uFDD4started";

}  // namespace

Voice* StartFirstVoice(const std::vector<std::unique_ptr<Voice>>& voices, SpeechStore* store) {
  for (std::size_t i = 0; i < voices.size(); ++i) {
    std::string why;
    const std::string identity = store != nullptr ? voices[i]->Identity() : std::string();
    const bool proven = store != nullptr && store->Load(identity, kStartedMark).has_value();
    if (proven) voices[i]->SkipTrial();
    if (voices[i]->Start(&why)) {
      if (store != nullptr && !proven) store->Save(identity, kStartedMark, {});
      return voices[i].get();
    }
    if (i + 1 < voices.size()) {
      std::fprintf(stderr, "kanae: %s cannot speak (%s); using %s\n", voices[i]->Name().c_str(), why.c_str(),
                   voices[i + 1]->Name().c_str());
    } else {
      std::fprintf(stderr, "kanae: %s cannot speak (%s); speaking nothing\n", voices[i]->Name().c_str(), why.c_str());
    }
  }
  if (voices.empty()) std::fprintf(stderr, "kanae: no voice; speaking nothing\n");
  return nullptr;
}

VoicedSpeech::VoicedSpeech(PostToGui post_to_gui, std::vector<std::unique_ptr<Voice>> voices,
                           std::shared_ptr<audio::AudioDevice> device, std::shared_ptr<SpeechStore> store)
    : voices_(std::move(voices)),
      device_(std::move(device)),
      store_(std::move(store)),
      post_(post_to_gui),
      ends_(std::move(post_to_gui), [this] { NotifyFinished(); }) {
  device_->SetEndListener(Channel::kSpeech, [this] { ends_.PostEnd(sounding_turn_); });
  worker_ = std::thread([this] { Run(); });
}

VoicedSpeech::~VoicedSpeech() {
  *alive_ = false;
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  done_.notify_all();
  worker_.join();
  device_->SetEndListener(Channel::kSpeech, nullptr);
  // Halting takes the mixer's lock, so a listener call already under way on
  // the audio thread has finished once this returns.
  device_->Stop(Channel::kSpeech);
}

std::shared_ptr<VoicedSpeech::Entry> VoicedSpeech::EntryFor(const SpokenText& text) {
  const Text key = StoreKeyOf(text);
  if (auto found = by_key_.find(key); found != by_key_.end()) {
    recent_.splice(recent_.begin(), recent_, found->second);
    return recent_.front();
  }
  auto entry = std::make_shared<Entry>();
  entry->text = text;
  recent_.push_front(entry);
  by_key_[key] = recent_.begin();
  while (recent_.size() > kCacheSize) {
    // Whoever still holds an evicted entry (a waiting Speak, the worker) keeps it alive.
    by_key_.erase(StoreKeyOf(recent_.back()->text));
    recent_.pop_back();
  }
  return entry;
}

void VoicedSpeech::Prepare(const SpokenText& text) {
  if (text.empty()) return;
  {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Entry> entry = EntryFor(text);
    if (entry->state != State::kWaiting) return;
    for (const auto& queued : prepare_) {
      if (queued == entry) return;
    }
    prepare_.push_back(entry);
    if (prepare_.size() > kMostPrepared) prepare_.pop_front();
  }
  wake_.notify_one();
}

void VoicedSpeech::WhenReady(const SpokenText& text, std::function<void()> then) {
  if (text.empty()) {
    then();
    return;
  }
  {
    std::unique_lock lock(mutex_);
    const std::shared_ptr<Entry> entry = EntryFor(text);
    // A failed text is tried again when it is spoken, but nothing would come
    // of waiting for it now.
    if (entry->state == State::kWaiting || entry->state == State::kRendering) {
      if (quit_) return;
      awaited_making_.push_back({entry, std::move(then)});
      lock.unlock();
      wake_.notify_one();
      return;
    }
  }
  then();
}

void VoicedSpeech::Speak(const SpokenText& text, ReadingHandler on_reading) {
  std::uint64_t turn = 0;
  {
    std::lock_guard play(play_mutex_);
    turn = ends_.NewTurn();
    // The earlier text stops now rather than when the new one is ready.
    device_->Stop(Channel::kSpeech);
  }
  std::unique_lock lock(mutex_);
  const std::shared_ptr<Entry> entry = EntryFor(text);
  if (entry->state == State::kFailed) entry->state = State::kWaiting;  // try again: the failure may have passed
  play_ = PlayRequest{entry, turn};
  wake_.notify_one();
  const auto made = [&entry] { return entry->state == State::kReady || entry->state == State::kFailed; };
  done_.wait_for(lock, kReadingWait, [&] { return quit_ || made(); });
  if (!on_reading) return;
  if (made()) {
    const Text reading = entry->state == State::kReady ? entry->reading : Text();
    lock.unlock();
    on_reading(reading);
    return;
  }
  // The worker reads it even if it is stopped before it sounds.
  if (!quit_) awaited_.push_back({entry, std::move(on_reading)});
}

std::shared_ptr<VoicedSpeech::Entry> VoicedSpeech::UnmadeAwaited() const {
  for (const AwaitedReading& awaited : awaited_) {
    if (awaited.entry->state == State::kWaiting) return awaited.entry;
  }
  for (const AwaitedMaking& awaited : awaited_making_) {
    if (awaited.entry->state == State::kWaiting) return awaited.entry;
  }
  return nullptr;
}

void VoicedSpeech::DeliverReadings(const std::shared_ptr<Entry>& entry) {
  const Text reading = entry->state == State::kReady ? entry->reading : Text();
  std::erase_if(awaited_, [&](AwaitedReading& awaited) {
    if (awaited.entry != entry) return false;
    post_([alive = alive_, handler = std::move(awaited.handler), reading] {
      if (*alive) handler(reading);
    });
    return true;
  });
  std::erase_if(awaited_making_, [&](AwaitedMaking& awaited) {
    if (awaited.entry != entry) return false;
    post_([alive = alive_, then = std::move(awaited.then)] {
      if (*alive) then();
    });
    return true;
  });
}

void VoicedSpeech::Stop() {
  std::lock_guard play(play_mutex_);
  ends_.NewTurn();
  {
    std::lock_guard lock(mutex_);
    play_.reset();
  }
  device_->Stop(Channel::kSpeech);
}

std::string VoicedSpeech::VoiceName() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return started_ || quit_; });
  return voice_name_;
}

void VoicedSpeech::Render(std::unique_lock<std::mutex>& lock, const std::shared_ptr<Entry>& entry) {
  entry->state = State::kRendering;
  const SpokenText text = entry->text;
  lock.unlock();
  std::optional<MadePhrase> made = LoadOrMakePhrase(voice_, voice_identity_, store_.get(), text);
  lock.lock();
  // No voice at all: nothing is said, and nothing is pretended to be read.
  entry->state = made ? State::kReady : State::kFailed;
  if (made) {
    entry->reading = std::move(made->reading);
    entry->wav = std::move(made->wav);
  }
  DeliverReadings(entry);
  done_.notify_all();
}

void VoicedSpeech::Play(const PlayRequest& request) {
  std::lock_guard play(play_mutex_);
  if (ends_.CurrentTurn() != request.turn) return;  // superseded or stopped meanwhile
  sounding_turn_ = request.turn;
  bool started = false;
  if (request.entry->wav) started = device_->PlayWav(Channel::kSpeech, *request.entry->wav).has_value();
  // Nothing to say, no voice, a voice that failed, or no output: the text is over already.
  if (!started) ends_.PostEnd(request.turn);
}

void VoicedSpeech::Run() {
  Voice* voice = StartFirstVoice(voices_, store_.get());
  std::unique_lock lock(mutex_);
  voice_ = voice;
  if (voice != nullptr) voice_identity_ = voice->Identity();
  voice_name_ = voice != nullptr ? voice->Name() : std::string();
  started_ = true;
  done_.notify_all();
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || play_.has_value() || UnmadeAwaited() != nullptr || !prepare_.empty(); });
    if (quit_) break;
    if (play_) {
      const PlayRequest request = *play_;
      if (request.entry->state == State::kReady || request.entry->state == State::kFailed) {
        play_.reset();
        lock.unlock();
        Play(request);
        lock.lock();
      } else {
        Render(lock, request.entry);  // then played on the next round
      }
      continue;
    }
    if (const std::shared_ptr<Entry> awaited = UnmadeAwaited()) {
      Render(lock, awaited);
      continue;
    }
    const std::shared_ptr<Entry> entry = prepare_.front();
    prepare_.pop_front();
    if (entry->state == State::kWaiting) Render(lock, entry);
  }
  lock.unlock();
  audio::AudioDevice::ReleaseThreadState();
}

}  // namespace kanae::speech
