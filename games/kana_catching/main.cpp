// Pemble: the kana-catching game.
#include "platform/qt/run_game.h"
#include "questions.h"

int main(int argc, char** argv) {
  return kanae::RunGame(argc, argv, [](kanae::Lesson& lesson) {
    return std::make_unique<kanae::kana_catching::KanaCatchingGame>(lesson);
  });
}
