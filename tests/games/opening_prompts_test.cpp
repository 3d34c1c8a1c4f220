// What the menu has made ahead of a game is what the game says first: every
// game's prompt for any picture of the lesson, with the game's usual settings
// and without the name, is one of the lesson's opening prompts.
#include <gtest/gtest.h>

#include <algorithm>

#include "game_fixture.h"
#include "picture_library.h"
#include "six_games.h"
#include "spoken_prompts.h"

namespace kanae {
namespace {

using namespace kanae::testing;

template <typename T>
class OpeningPromptsTest : public GameFixture<typename T::GameT> {};

TYPED_TEST_SUITE(OpeningPromptsTest, SixGames);

TYPED_TEST(OpeningPromptsTest, EveryFirstPromptIsAmongTheLessonsOpeningPrompts) {
  // Names a voice may misread, a digit, kanji, and plain kana.
  const std::vector<std::string> pictures{"はち.jpg", "へび.gif", "をの.bmp", "いぬ.jpg", "3びきのこぶた.jpg", "犬.jpg", "りんご.jpg"};
  std::vector<Text> names;
  for (const std::string& picture : pictures) names.push_back(NameOfPicture(FromUtf8(picture)));
  const std::vector<SpokenText> opening = OpeningPrompts(names, 128);
  const auto among = [&](const SpokenText& text) { return std::find(opening.begin(), opening.end(), text) != opening.end(); };

  for (const char* settings : {"", TypeParam::kSettings}) {
    SCOPED_TRACE(settings);
    this->Start(pictures, settings, {});
    // The prompt the start has the voice make first (said once the question
    // is asked), then the prompt of any picture that could be first.
    ASSERT_FALSE(this->platform.speech.prepared.empty());
    EXPECT_TRUE(among(this->platform.speech.prepared.front())) << ToUtf8(this->platform.speech.prepared.front().Plain());
    auto& game = *this->game;
    for (int i = 0; i < this->lesson->state.TaskCount(); ++i) {
      EXPECT_TRUE(among(game.PromptFor(i))) << ToUtf8(game.PromptFor(i).Plain());
    }
    // Set not to say the name, or (the card game) to show no letter on its cards.
    if constexpr (requires { game.settings.ask_with_name; }) game.settings.ask_with_name = 0;
    if constexpr (requires { game.settings.card_letter_size; }) game.settings.card_letter_size = 0;
    for (int i = 0; i < this->lesson->state.TaskCount(); ++i) {
      EXPECT_TRUE(among(game.PromptFor(i))) << ToUtf8(game.PromptFor(i).Plain());
    }
  }
}

TEST(OpeningPrompts, TheUsualPromptsOfEveryNameComeFirstAndTheListIsBounded) {
  const std::vector<Text> names{U"はち", U"へび", U"いぬ"};
  const std::vector<SpokenText> all = OpeningPrompts(names, 1000);
  // Three forms the games' usual settings use for each name, the three
  // without a name, the card game's without its letter: each once.
  EXPECT_EQ(all.size(), 3 * names.size() + 3 + names.size());
  const std::vector<SpokenText> usual{AskForNameAndLetter(U"はち"), AskForNameAndLetter(U"へび"), AskForNameAndLetter(U"いぬ"),
                                      AskWhichIs(U"はち"),          AskWhichIs(U"へび"),          AskWhichIs(U"いぬ"),
                                      AskToArrange(U"はち"),        AskToArrange(U"へび"),        AskToArrange(U"いぬ")};
  EXPECT_EQ(std::vector<SpokenText>(all.begin(), all.begin() + 9), usual);
  EXPECT_EQ(OpeningPrompts(names, 4), std::vector<SpokenText>(usual.begin(), usual.begin() + 4));
  // The same name twice is made once.
  EXPECT_EQ(OpeningPrompts({U"はち", U"はち"}, 1000).size(), 3u + 3u + 1u);
  EXPECT_TRUE(OpeningPrompts({}, 1000).empty());
  // The name is a word, its letter a letter: the marks the voice reads them by.
  EXPECT_EQ(AskForNameAndLetter(U"はち"), Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな");
}

}  // namespace
}  // namespace kanae
