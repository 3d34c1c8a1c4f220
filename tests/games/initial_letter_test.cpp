#include "questions.h"

#include <gtest/gtest.h>

#include <set>

#include "game_fixture.h"
#include "kana_tables.h"
#include "picture_library.h"

namespace kanae::initial_letter {
namespace {

using namespace kanae::testing;

class InitialLetter : public GameFixture<InitialLetterGame> {
 protected:
  void Click(int card) { GameFixture::Click(game->cards[card]); }
  int RightCard() { return 0; }
  int CardShowing(char32_t letter) {
    for (int j = 0; j < 6; ++j) {
      if (game->cards[j]->visible && game->cards[j]->caption == Text(1, letter)) return j;
    }
    return -1;
  }
  ManualTimer& wrong_answer_timer() { return Manual(game->wrong_answer_timer); }
  ManualTimer& right_answer_timer() { return Manual(game->right_answer_timer); }
};

TEST_F(InitialLetter, LaysOutTheQuestionInTwips) {
  struct Case {
    std::string picture;
    int slots, cell, name_left, top1, font;
    Text model, rest;
  };
  const Case cases[] = {
      {"あ.jpg", 6, 2742, 8229, -21, 133, U"あ", U""},
      {"あいうえおか.jpg", 6, 2742, 1374, -21, 133, U"あ", U"いうえおか"},
      {"あいうえおかきく.jpg", 8, 2133, 1068, 283, 104, U"あ", U"いうえおかきく"},
      {"あいうえおかきくけこさし.jpg", 10, 1745, 875, 477, 85, U"あ", U"いうえおかきくけこ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    Start({c.picture});  // every draw 0: nothing is shuffled, the right card is at slot 0
    const int len = static_cast<int>(c.model.size() + c.rest.size());
    EXPECT_EQ(game->slot_count, c.slots);
    EXPECT_EQ(game->cell_size, c.cell);
    const Control& img = game->picture;
    EXPECT_EQ(std::make_tuple(img.left, img.top, img.width, img.height), std::make_tuple(4800.0, 2700.0, 9600.0, 5400.0));
    const Control& l1 = game->first_cell;
    EXPECT_EQ(std::make_tuple(l1.left, l1.top, l1.width, l1.height, l1.font_points),
              std::make_tuple(double(c.name_left), double(c.top1), double(len * c.cell), double(c.cell), c.font));
    EXPECT_EQ(l1.caption, c.model);
    const Control& l5 = game->name_rest;
    EXPECT_EQ(std::make_tuple(l5.left, l5.top, l5.width), std::make_tuple(double(c.name_left + c.cell), double(c.top1),
                                                                          double((len - 1) * c.cell)));
    EXPECT_EQ(l5.caption, c.rest);
    const Control& card = *game->cards[0];
    EXPECT_DOUBLE_EQ(card.left, double(c.cell) / (c.slots + 1));  // slot 0
    EXPECT_EQ(card.top, c.top1 + 8100);
    EXPECT_EQ(card.width, c.cell);
    EXPECT_EQ(card.font_points, c.font);
    EXPECT_EQ(card.caption, U"あ");
    EXPECT_TRUE(card.visible);
    EXPECT_FALSE(game->cards[1]->visible);
    EXPECT_EQ(game->circle.left, 5760);
    EXPECT_EQ(game->circle.top, 2484);
    EXPECT_EQ(game->circle.font_points, 384);
  }
}

TEST_F(InitialLetter, LayoutHoldsOnScreensBeyond32767Twips) {
  platform.shell.screen = {3840 * 15, 2160 * 15};  // 57600 x 32400 twips
  Start({"あいうえおかきく.jpg"});
  EXPECT_EQ(game->cell_size, 6400);
  EXPECT_EQ(game->first_cell.left, 3200);
  EXPECT_EQ(game->first_cell.width, 51200);
  EXPECT_EQ(game->cards[0]->top, 850 + 24300);
  EXPECT_EQ(game->circle.left, 17280);
  EXPECT_EQ(game->circle.font_points, 1152);
}

TEST_F(InitialLetter, CardPositionsSplitTheWidthIntoEqualGaps) {
  Start({"あいうえおかきく.jpg"}, "#TRUE#,#TRUE#,3,0,#TRUE#,#FALSE#", {});
  // Slot s of 8: cell * 10/9 * s + cell/9.
  for (int j = 0; j < 4; ++j) {
    const double slot = game->slot_order[j];
    EXPECT_DOUBLE_EQ(game->cards[j]->left, 2133.0 * 10 / 9 * slot + 2133.0 / 9);
  }
}

TEST_F(InitialLetter, PromptsSpeakTheWholeName) {
  Start({"あいうえおかきくけこさし.jpg"});
  EXPECT_EQ(platform.speech.spoken.back(), U"あいうえおかきくけこさしの、あ、は、どれかな");
  EXPECT_TRUE(f().is_speaking);
}

// The initial is marked to be read by its name (は as "ha"); the particle after it is not;
// the name is marked as a word, to be read as written.
TEST_F(InitialLetter, ThePromptMarksTheInitialAsALetter) {
  struct Case {
    std::string picture, settings;
    SpokenText prompt;
  };
  const Case cases[] = {
      {"はな.jpg", "", Word(U"はな") + U"の、" + Letter(U"は") + U"、は、どれかな"},
      {"へび.jpg", "", Word(U"へび") + U"の、" + Letter(U"へ") + U"、は、どれかな"},
      {"ハンカチ.jpg", "", Word(U"ハンカチ") + U"の、" + Letter(U"ハ") + U"、は、どれかな"},
      {"はな.jpg", "#FALSE#,#FALSE#,0,0,#TRUE#,#FALSE#", SpokenText(U"この名前は、どれかな")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture + " " + c.settings);
    Start({c.picture}, c.settings);
    EXPECT_EQ(platform.speech.said.back(), c.prompt);
    EXPECT_EQ(game->PromptFor(f().question_index), c.prompt);
  }
}

TEST_F(InitialLetter, APromptWithoutTheName) {
  Start({"りんご.jpg"}, "#FALSE#,#FALSE#,0,0,#TRUE#,#FALSE#");
  EXPECT_EQ(platform.speech.spoken.back(), U"この名前は、どれかな");
  EXPECT_EQ(game->first_cell.caption, U"");
}

TEST_F(InitialLetter, ADecomposedNameAsksForTheComposedLetter) {
  // Copied from macOS: が is か followed by a combining voiced mark.
  Start({"か\u3099き.jpg"});
  EXPECT_EQ(game->first_cell.caption, U"が");
  EXPECT_EQ(game->name_rest.caption, U"き");
  EXPECT_EQ(CardShowing(U'が'), RightCard());
  Finish();
  Click(RightCard());
  EXPECT_EQ(platform.player.Played().front(), LetterSoundFile(U'が'));
  EXPECT_EQ(platform.speech.spoken.back(), U"よくできました。これが、がき、だね。");
  // The lesson still knows the picture by the folder's own spelling.
  EXPECT_EQ(lesson->state.task_pictures[0], FromUtf8("か\u3099き.jpg"));
}

TEST_F(InitialLetter, ARightAnswerMovesTheCardPraisesAndGoesOn) {
  Start({"りんご.jpg", "アイス.jpg"});
  const Text first = Asked();
  Finish();
  Click(RightCard());
  const Text letter = NameOfPicture(first).substr(0, 1);
  EXPECT_EQ(platform.player.Played(),
            (std::vector<Text>{LetterSoundFile(letter[0]), U"ガチャ.wav", U"ピンポン.wav"}));
  EXPECT_EQ(game->cards[0]->left, game->name_left);
  EXPECT_EQ(game->cards[0]->top, game->first_cell.top);
  EXPECT_TRUE(game->circle.visible);
  EXPECT_EQ(platform.speech.spoken.back(), U"よくできました。これが、" + NameOfPicture(first) + U"、だね。");
  EXPECT_EQ(f().question_index, 1);
  // The first prompt was prepared before the window was seen, the praise
  // while the cues played, and then the next prompt.
  EXPECT_EQ(platform.speech.prepared,
            (std::vector<SpokenText>{platform.speech.said.front(), platform.speech.said.back(),
                                     game->PromptFor(f().question_index)}));
  EXPECT_TRUE(right_answer_timer().Enabled());

  right_answer_timer().Tick();  // the praise is still being spoken
  EXPECT_TRUE(game->circle.visible);
  Finish();
  right_answer_timer().Tick();
  EXPECT_FALSE(game->circle.visible);
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_NE(Asked(), first);
}

TEST_F(InitialLetter, AKatakanaInitialPlaysItsHiraganaSoundAndShowsTheKatakanaModel) {
  Start({"アイス.jpg"});
  EXPECT_EQ(game->first_cell.caption, U"ア");
  Finish();
  Click(0);
  EXPECT_EQ(platform.player.Played().front(), U"あ.wav");
}

TEST_F(InitialLetter, AWrongAnswerCrossesTheCardAndAsksTheSamePictureAgain) {
  // Two draws shuffle the one task, twelve the six slots (nothing moves), then
  // the distractor: Int(0.99 * 46) = 45, ン.
  std::vector<double> numbers(14, 0.0);
  numbers.push_back(0.99);
  numbers.push_back(0.0);
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,1,1,#TRUE#,#FALSE#", numbers);
  Finish();
  const int wrong = CardShowing(U'ン');
  ASSERT_EQ(wrong, 1);
  const double card_left = game->cards[wrong]->left;
  Click(wrong);
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"ん.wav", U"ブー.wav"}));
  EXPECT_TRUE(game->cross.visible);
  EXPECT_EQ(game->cross.left, card_left);
  EXPECT_DOUBLE_EQ(game->cross.top, game->first_cell.top + 10800.0 * 3 / 4);
  EXPECT_EQ(game->cross.font_points, Int(game->cell_size / 19.0));
  EXPECT_EQ(platform.speech.spoken.back(), U"ざんねん");
  EXPECT_EQ(f().question_index, 0);

  wrong_answer_timer().Tick();
  EXPECT_TRUE(game->cross.visible);  // still speaking
  Finish();
  const std::size_t prompts = platform.speech.spoken.size();
  wrong_answer_timer().Tick();
  EXPECT_FALSE(game->cross.visible);
  EXPECT_FALSE(wrong_answer_timer().Enabled());
  EXPECT_EQ(platform.speech.spoken.size(), prompts + 1);
  EXPECT_EQ(platform.speech.spoken.back(), U"りんごの、り、は、どれかな");
}

TEST_F(InitialLetter, InputIsIgnoredWhileSpeakingBusyOrWithTheWrongGesture) {
  Start({"りんご.jpg"});
  Click(0);  // the prompt is still being spoken
  EXPECT_TRUE(platform.player.played.empty());
  Finish();
  Move(game->cards[0]);  // click mode: moves do nothing
  EXPECT_TRUE(platform.player.played.empty());
  Click(0);
  const std::size_t cues = platform.player.played.size();
  Click(0);  // busy with the feedback
  EXPECT_EQ(platform.player.played.size(), cues);
}

TEST_F(InitialLetter, TouchModeAnswersOnAMoveAndNotOnAClick) {
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,0,0,#TRUE#,#TRUE#");
  Finish();
  Click(0);
  EXPECT_TRUE(platform.player.played.empty());
  Move(game->cards[0]);
  EXPECT_FALSE(platform.player.played.empty());
}

TEST_F(InitialLetter, APictureWithoutANameIsPassedOver) {
  Start({".jpg", "りんご.jpg"});
  EXPECT_EQ(Asked(), U"りんご.jpg");
  EXPECT_EQ(game->cards[0]->caption, U"り");

  Start({".jpg"});  // nothing else to ask: nothing is shown or taken
  Finish();
  Click(0);
  EXPECT_TRUE(platform.player.played.empty());
  EXPECT_FALSE(game->picture.visible || game->name_rest.visible);
}

TEST_F(InitialLetter, DistractorsFollowTheSettings) {
  struct Case {
    std::string line;
    int cards;
    Text table;
  };
  const Case cases[] = {
      {"#TRUE#,#TRUE#,3,1,#TRUE#,#FALSE#", 4, U"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"},
      {"#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#", 3, U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"},
      {"#TRUE#,#TRUE#,3,2,#TRUE#,#FALSE#", 1, U""},   // an unknown kind draws none
      {"#TRUE#,#TRUE#,9,0,#TRUE#,#FALSE#", 6, U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TempFolder lesson_folder;
    FakePlatform p;
    Lesson l(p.services(), cwd.path());
    InitialLetterGame g(l);
    lesson_folder.Touch({"りんご.jpg"});
    lesson_folder.Write("Oltar.txt", c.line + "\r\n");
    ASSERT_TRUE(l.Start({lesson_folder.path().string()}, g));
    l.Activate();
    ASSERT_EQ(static_cast<int>(l.fields.choice_letters.size()), c.cards);
    EXPECT_EQ(l.fields.choice_letters[0], U'り');
    std::set<char32_t> distinct(l.fields.choice_letters.begin(), l.fields.choice_letters.end());
    EXPECT_EQ(static_cast<int>(distinct.size()), c.cards);
    for (int j = 1; j < c.cards; ++j) EXPECT_NE(c.table.find(l.fields.choice_letters[j]), Text::npos);
    for (int j = 0; j < 6; ++j) EXPECT_EQ(g.cards[j]->visible, j < c.cards);
  }
}

TEST_F(InitialLetter, AfterTheLastPictureANewOrderBegins) {
  Start({"あ.jpg", "い.jpg", "う.jpg"});
  const int shuffles = scripted->reseeds;
  for (int q = 0; q < 3; ++q) {
    Finish();
    Click(0);
    Finish();
    right_answer_timer().Tick();
  }
  EXPECT_EQ(f().question_index, 0);
  EXPECT_EQ(scripted->reseeds, shuffles + 1);
}

TEST_F(InitialLetter, KeysHAndNSilenceTheLessonAndStopTheRightAnswerTimer) {
  Start({"りんご.jpg"});
  Finish();
  Click(0);
  ASSERT_TRUE(right_answer_timer().Enabled());
  platform.player.playing = true;
  lesson->OnKey('H');
  EXPECT_FALSE(platform.player.playing);
  EXPECT_EQ(platform.speech.stops, 1);
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kSettings});
}

TEST_F(InitialLetter, KeyNAlsoStopsTheWrongAnswerTimer) {
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#", {});
  Finish();
  Click(1);  // the distractor
  ASSERT_TRUE(wrong_answer_timer().Enabled());
  lesson->OnKey('N');
  EXPECT_FALSE(wrong_answer_timer().Enabled());
}

TEST_F(InitialLetter, TheHiddenPointerIsApplied) {
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,0,0,#FALSE#,#FALSE#");
  EXPECT_TRUE(lesson->form.pointer_hidden);
}

}  // namespace
}  // namespace kanae::initial_letter
