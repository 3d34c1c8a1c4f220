// How the menu starts a game and learns that it ended.
#pragma once

#include <QString>
#include <functional>

namespace kanae::menu {

struct GameStart {
  QString program;         // the game's program file
  QString lesson;          // the lesson folder, the game's argument
  QString working_folder;  // the per-user folder with the sounds and messages
  bool kiosk = false;      // the games' teacher keys act only when held
  QString child;           // who plays (KANAE_CHILD); empty for なまえなし
  // "settings", "tasks" or "input": the game opens only that dialog on the
  // lesson and ends when it is closed (KANAE_DIALOG); empty plays the game.
  QString dialog;
};

class GameRunner {
 public:
  virtual ~GameRunner() = default;
  // Starts the game; ended runs once, on the GUI thread, when it has ended
  // (started false when it could not be started at all).
  virtual void Run(const GameStart& start, std::function<void(bool started)> ended) = 0;
};

}  // namespace kanae::menu
