// A whole game on the fakes: a lesson folder of empty picture files, message
// files in a current folder of its own, a 1280x720 screen (19200 x 10800 twips).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes.h"
#include "lesson.h"

namespace kanae::testing {

template <typename GameT>
class GameFixture : public ::testing::Test {
 protected:
  // Starts the game and activates it (the first question is set up).
  // settings_line: the settings file's record, or "" for the defaults.
  // numbers: the random numbers in turn, the last one repeating; empty for a seeded source.
  void Start(const std::vector<std::string>& pictures, const std::string& settings_line = "",
             std::vector<double> numbers = {0.0}) {
    folder = std::make_unique<TempFolder>();
    folder->Touch(pictures);
    game.reset();
    lesson.reset();
    scripted = std::make_unique<ScriptedRandom>(numbers.empty() ? std::vector<double>{0.0} : numbers);
    RandomSource& rnd = numbers.empty() ? static_cast<RandomSource&>(platform.rnd) : *scripted;
    first_timer = platform.timers.created.size();
    lesson = std::make_unique<Lesson>(
        Services{platform.speech, platform.player, platform.timers, platform.shell, rnd,
                 trace != nullptr ? *trace : platform.trace},
        cwd.path());
    lesson->UseClock(clock);
    game = std::make_unique<GameT>(*lesson);
    if (!settings_line.empty()) folder->Write(game->Info().settings_file, settings_line + "\r\n");
    cwd.Write("O.txt", Cp932("よくできました\r\n"));
    cwd.Write("X.txt", Cp932("ざんねん\r\n"));
    ASSERT_TRUE(lesson->Start({folder->path().string()}, *game));
    lesson->Activate();
  }

  FormFields& f() { return lesson->fields; }
  // The picture of the current question.
  Text Asked() { return lesson->state.task_pictures[f().question_index]; }
  // The speech fake reports the end of what it was saying.
  void Finish() { platform.speech.Finish(); }
  Text LastSpoken() const { return platform.speech.spoken.empty() ? Text() : platform.speech.spoken.back(); }
  // The pieces of the last spoken text marked to be read as letters.
  Text LastSpokenLetters() const {
    Text letters;
    if (platform.speech.said.empty()) return letters;
    for (const SpokenPiece& piece : platform.speech.said.back().Pieces()) {
      if (piece.letter) letters += piece.text;
    }
    return letters;
  }
  // Input goes through the lesson, as the window sends it.
  void Click(const Control* control, int button = 1) { lesson->OnPointer({PointerAction::kClick, control, button}); }
  void Move(const Control* control) { lesson->OnPointer({PointerAction::kMove, control, 0}); }
  void Press(const Control* control, int button) { lesson->OnPointer({PointerAction::kPress, control, button}); }
  static ManualTimer& Manual(const std::unique_ptr<Timer>& timer) { return *static_cast<ManualTimer*>(timer.get()); }
  // The lesson's own timers, made before the game's: the dwell ring's and the
  // switch scanning's.
  ManualTimer& DwellTimer() { return *platform.timers.created[first_timer]; }
  ManualTimer& ScanTimer() { return *platform.timers.created[first_timer + 1]; }

  static constexpr double W = 19200;
  static constexpr double H = 10800;

  std::unique_ptr<TempFolder> folder;
  TempFolder cwd;
  FakePlatform platform;
  ManualClock clock;
  std::unique_ptr<ScriptedRandom> scripted;
  std::size_t first_timer = 0;
  // Where the next Start traces to; nowhere when unset.
  Trace* trace = nullptr;
  std::unique_ptr<Lesson> lesson;
  std::unique_ptr<GameT> game;
};

}  // namespace kanae::testing
