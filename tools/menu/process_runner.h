// Runs a game as a child process of the menu.
#pragma once

#include "game_runner.h"

namespace kanae::menu {

class ProcessRunner : public GameRunner {
 public:
  void Run(const GameStart& start, std::function<void(bool started)> ended) override;
};

}  // namespace kanae::menu
