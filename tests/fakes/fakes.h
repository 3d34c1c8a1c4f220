// Test doubles for the platform services: everything a game touches outside
// its own logic, driven by hand from the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lesson.h"
#include "platform/cue_player.h"
#include "platform/shell.h"
#include "platform/speech_engine.h"
#include "platform/timer.h"
#include "random_source.h"
#include "trace.h"

namespace kanae::testing {

// Records what is spoken; the end of speech comes only when the test calls Finish.
class FakeSpeech : public SpeechEngine {
 public:
  void Speak(const SpokenText& text, ReadingHandler on_reading) override {
    // A real engine still holds what it prepared or said before.
    const auto known = [&text](const std::vector<SpokenText>& texts) {
      return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    if (!known(prepared) && !known(said)) unprepared.push_back(text);
    spoken.push_back(text.Plain());
    said.push_back(text);
    const Text reading = reader ? reader(text) : reading_prefix + text.Plain();
    if (readings_late) late_readings.push_back([on_reading, reading] { on_reading(reading); });
    else on_reading(reading);
  }
  // Gives the readings held back so far, as the engine's GUI-thread posts would.
  void GiveLateReadings() {
    for (auto& give : std::exchange(late_readings, {})) give();
  }
  void Prepare(const SpokenText& text) override { prepared.push_back(text); }
  // Ready at once, unless ready_late is set: then when the test calls MakeReady.
  void WhenReady(const SpokenText& text, std::function<void()> then) override {
    awaited.push_back(text);
    if (ready_late) late_ready.push_back(std::move(then));
    else then();
  }
  // What was awaited so far is made, as the engine's GUI-thread posts would tell.
  void MakeReady() {
    for (auto& then : std::exchange(late_ready, {})) then();
  }
  void Stop() override { ++stops; }
  void Finish() { NotifyFinished(); }

  std::vector<Text> spoken;       // as written
  std::vector<SpokenText> said;   // with the letters marked
  std::vector<SpokenText> prepared;
  std::vector<SpokenText> unprepared;  // said without being prepared or said before
  // Speak reports this followed by the plain text as its reading.
  Text reading_prefix;
  // When set, gives the reading instead: a real voice's, for tests of what
  // the games' texts sound like.
  std::function<Text(const SpokenText&)> reader;
  // Readings held back until GiveLateReadings, as for a text the voice was
  // still reading when Speak returned.
  bool readings_late = false;
  std::vector<std::function<void()>> late_readings;
  std::vector<SpokenText> awaited;  // asked of WhenReady
  bool ready_late = false;
  std::vector<std::function<void()>> late_ready;
  int stops = 0;
};

// Records the cues; a cue plays until WaitForEnd or until the test ends it.
class FakePlayer : public CuePlayer {
 public:
  void Play(const std::filesystem::path& file) override {
    played.push_back(file.filename().u8string());
    playing = play_leaves_playing;
  }
  void Stop() override {
    ++stops;
    playing = false;
  }
  bool IsPlaying() override { return playing; }
  void WaitForEnd() override {
    ++waits;
    if (while_waiting) while_waiting();
    playing = false;
  }

  // The file names played, as text.
  std::vector<Text> Played() const;

  std::vector<std::u8string> played;
  bool playing = false;
  bool play_leaves_playing = true;  // false: like a missing file, nothing plays
  std::function<void()> while_waiting;  // e.g. a clock moving on while the cue plays
  int stops = 0;
  int waits = 0;
};

class ManualTimer : public Timer {
 public:
  explicit ManualTimer(int interval) : interval_(interval) {}
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int milliseconds) override { interval_ = milliseconds; }
  int Interval() const override { return interval_; }
  // One tick, as the GUI thread would deliver it while enabled.
  void Tick() {
    if (enabled_) Fire();
  }

 private:
  bool enabled_ = false;
  int interval_;
};

class ManualTimers : public TimerFactory {
 public:
  std::unique_ptr<Timer> CreateTimer(int interval_milliseconds) override {
    auto timer = std::make_unique<ManualTimer>(interval_milliseconds);
    created.push_back(timer.get());
    return timer;
  }
  std::vector<ManualTimer*> created;
};

class FakeShell : public Shell {
 public:
  ScreenSize Screen() const override { return screen; }
  void ShowMessage(const Text& caption, const Text& text) override { messages.push_back({caption, text}); }
  void ShowBanner(const Text& text) override { banners.push_back(text); }
  void Repaint() override { ++repaints; }
  void OpenDialog(DialogKind kind) override { dialogs.push_back(kind); }
  void Quit() override { quit = true; }
  void ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) override {
    reports.push_back({lesson_folder, page});
  }

  struct Message {
    Text caption;
    Text text;
  };
  ScreenSize screen{1280 * 15, 720 * 15};
  std::vector<Message> messages;
  std::vector<Text> banners;
  std::vector<DialogKind> dialogs;
  struct Report {
    std::filesystem::path lesson_folder;
    std::filesystem::path page;
  };
  std::vector<Report> reports;
  int repaints = 0;
  bool quit = false;
};

// A clock moved by hand; the date is a fixed local time.
class ManualClock : public Clock {
 public:
  std::int64_t SteadyMilliseconds() override { return now_ms; }
  std::string LocalDateTime() override { return date_time; }
  void Advance(std::int64_t ms) { now_ms += ms; }
  std::int64_t now_ms = 1'000'000;
  std::string date_time = "2026-12-10T09:30:00+09:00";
};

// Hands out the given numbers in turn, then repeats the last one.
class ScriptedRandom : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<double> values) : values_(std::move(values)) {}
  double Next() override {
    const double value = values_[std::min(next_, values_.size() - 1)];
    ++next_;
    return value;
  }
  void Reseed() override { ++reseeds; }
  void Append(std::vector<double> more) { values_.insert(values_.end(), more.begin(), more.end()); }
  std::size_t used() const { return next_; }
  int reseeds = 0;

 private:
  std::vector<double> values_;
  std::size_t next_ = 0;
};

// While it lives, no file of this process may grow past a few bytes: writes
// fail the way they do on a full disk, even for root.
class TinyFileSizeLimit {
 public:
  TinyFileSizeLimit();
  ~TinyFileSizeLimit();
  TinyFileSizeLimit(const TinyFileSizeLimit&) = delete;
  TinyFileSizeLimit& operator=(const TinyFileSizeLimit&) = delete;

 private:
  std::uint64_t old_soft_limit_;
};

// A folder of its own under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& utf8_name) const;
  // Writes raw bytes to a file in the folder.
  void Write(const std::string& utf8_name, const std::string& bytes) const;
  // Reads a file's raw bytes ("" when missing).
  std::string Read(const std::string& utf8_name) const;
  bool Exists(const std::string& utf8_name) const;
  // Creates empty picture files.
  void Touch(const std::vector<std::string>& utf8_names) const;

 private:
  std::filesystem::path path_;
};

// All platform fakes together, ready to build a Lesson on.
struct FakePlatform {
  FakeSpeech speech;
  FakePlayer player;
  ManualTimers timers;
  FakeShell shell;
  SeededRandomSource rnd{20261209};
  Trace trace{""};

  Services services() { return {speech, player, timers, shell, rnd, trace}; }
};

// CP932 bytes of a UTF-8 literal, for byte-exact file checks.
std::string Cp932(const std::string& utf8);

}  // namespace kanae::testing
