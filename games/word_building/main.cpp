// Dabrel: the word-building game.
#include "platform/qt/run_game.h"
#include "questions.h"

int main(int argc, char** argv) {
  return kanae::RunGame(argc, argv, [](kanae::Lesson& lesson) {
    return std::make_unique<kanae::word_building::WordBuildingGame>(lesson);
  });
}
