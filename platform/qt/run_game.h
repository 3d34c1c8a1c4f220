// The program entry every game shares: a Qt application around the lesson.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "game.h"
#include "lesson.h"

namespace kanae {

using GameFactory = std::function<std::unique_ptr<Game>(Lesson&)>;

// Starts the game on the lesson folder named by the arguments and runs until
// the teacher presses Esc. Returns the process's exit code.
int RunGame(int argc, char** argv, const GameFactory& make_game);

// KANAE_DIALOG's value: "settings", "tasks" or "input" open only that dialog
// (the key that opens it: H, N or S); empty plays the game (0); anything else
// is refused (-1).
int DialogOnlyKey(const std::string& name);

}  // namespace kanae
