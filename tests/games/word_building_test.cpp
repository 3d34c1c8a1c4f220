#include "questions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game_fixture.h"
#include "kana_tables.h"
#include "picture_library.h"
#include "settings_dialog.h"

namespace kanae::word_building {
namespace {

using namespace kanae::testing;

constexpr char kDefaults[] = "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#";
constexpr char kTwoHiragana[] = "#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#";

class WordBuilding : public GameFixture<WordBuildingGame> {
 protected:
  // A seeded source throughout: a scripted run of equal numbers would keep
  // drawing a distractor that the name already holds.
  // Each start also gets a quiet player and a fresh speech record, as a new program would.
  void Begin(const std::vector<std::string>& pictures, const std::string& line = "") {
    platform.player = FakePlayer();
    platform.speech = FakeSpeech();
    Start(pictures, line, {});
  }

  void Click(int card) { GameFixture::Click(game->cards[card]); }
  // The first card that shows the letter and is not yet in the name row.
  int CardOf(char32_t letter) {
    for (int j = 0; j < game->answer_length; ++j) {
      if (!game->placed[j] && game->cards[j]->caption == Text(1, letter)) return j;
    }
    return -1;
  }
  // Touches the card of each letter in turn, letting each cue end before the next.
  void Lay(TextView letters) {
    for (char32_t letter : letters) {
      const int card = CardOf(letter);
      ASSERT_GE(card, 0) << ToUtf8(Text(1, letter));
      Click(card);
      CueEnds();
    }
  }
  void CueEnds() { platform.player.playing = false; }
  std::size_t Cues() const { return platform.player.played.size(); }
  double LowerRowTop() { return game->name_row.top + Int(H * 3 / 4); }
  ManualTimer& wrong_answer_timer() { return Manual(game->wrong_answer_timer); }
  ManualTimer& right_answer_timer() { return Manual(game->right_answer_timer); }
};

TEST_F(WordBuilding, CardsHoldTheNameThenTheDistractorsCutToTen) {
  struct Case {
    std::string picture, line;
    int name_length, answer_length, slots, cell, name_left, top1, font;
  };
  const Case cases[] = {
      {"りんご.jpg", kDefaults, 3, 3, 6, 2742, 5487, -21, 133},
      {"りんご.jpg", kTwoHiragana, 3, 5, 6, 2742, 5487, -21, 133},
      {"あいうえおかきく.jpg", kDefaults, 8, 8, 8, 2133, 1068, 283, 104},
      {"あいうえおかきくけ.jpg", kTwoHiragana, 9, 10, 10, 1745, 1747, 477, 85},  // one distractor kept
      {"あいうえおかきくけこさし.jpg", kTwoHiragana, 10, 10, 10, 1745, 875, 477, 85},  // none kept
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture + " " + c.line);
    Begin({c.picture}, c.line);
    const Text name = NameOfPicture(FromUtf8(c.picture));
    EXPECT_EQ(game->name_length, c.name_length);
    EXPECT_EQ(game->answer_length, c.answer_length);
    EXPECT_EQ(game->slot_count, c.slots);
    EXPECT_EQ(game->cell_size, c.cell);

    const Control& img = game->picture;
    EXPECT_EQ(std::make_tuple(img.left, img.top, img.width, img.height), std::make_tuple(4800.0, 2700.0, 9600.0, 5400.0));
    EXPECT_TRUE(img.visible);
    const Control& row = game->name_row;
    EXPECT_EQ(std::make_tuple(row.left, row.top, row.width, row.height, row.font_points),
              std::make_tuple(double(c.name_left), double(c.top1), double(c.name_length * c.cell), double(c.cell),
                              c.font));
    EXPECT_EQ(row.caption, Left(name, 10));
    EXPECT_EQ(row.fore_colour, kLightBlue);

    const Text& letters = f().choice_letters;
    ASSERT_EQ(static_cast<int>(letters.size()), c.answer_length);
    EXPECT_EQ(letters.substr(0, c.name_length), Left(name, 10));
    std::vector<int> slots(game->slot_order.begin(), game->slot_order.begin() + c.slots);
    std::sort(slots.begin(), slots.end());
    for (int s = 0; s < c.slots; ++s) EXPECT_EQ(slots[s], s);
    for (int j = 0; j < WordBuildingGame::kCards; ++j) {
      const Control& card = *game->cards[j];
      ASSERT_EQ(card.visible, j < c.answer_length) << j;
      if (!card.visible) continue;
      EXPECT_EQ(card.caption, Text(1, letters[j]));
      EXPECT_DOUBLE_EQ(card.left, double(c.cell) * (c.slots + 2) / (c.slots + 1) * game->slot_order[j] +
                                      double(c.cell) / (c.slots + 1));
      EXPECT_EQ(card.top, c.top1 + 8100);
      EXPECT_EQ(std::make_tuple(card.width, card.height, card.font_points),
                std::make_tuple(double(c.cell), double(c.cell), c.font));
    }
  }
  EXPECT_EQ(std::make_tuple(game->circle.left, game->circle.top, game->circle.font_points),
            std::make_tuple(5760.0, 2484.0, 384));
  EXPECT_EQ(wrong_answer_timer().Interval(), 500);
  EXPECT_EQ(right_answer_timer().Interval(), 4000);
}

TEST_F(WordBuilding, DistractorsNeverRepeatALetterAndStopWhenTheTableRunsOut) {
  struct Case {
    std::string picture, line;
    Text table;
    int drawn;  // distractors on the cards
  };
  const KanaTables tables = FillKanaTables();
  const Case cases[] = {
      {"あいうえおかき.jpg", kTwoHiragana, tables.hiragana, 2},
      {"アイウエオカキ.jpg", "#TRUE#,#TRUE#,2,1,#TRUE#,#FALSE#", tables.katakana, 2},
      {"りんご.jpg", "#TRUE#,#TRUE#,1,1,#TRUE#,#FALSE#", tables.katakana, 1},
      {"０１２３４５６７.jpg", "#TRUE#,#TRUE#,2,2,#TRUE#,#FALSE#", tables.digits, 2},  // only ８ and ９ are free
      {"０１２３４５６７８.jpg", "#TRUE#,#TRUE#,2,2,#TRUE#,#FALSE#", tables.digits, 1},  // ９, then nothing is free
      {"りんご.jpg", "#TRUE#,#TRUE#,3,0,#TRUE#,#FALSE#", tables.hiragana, 1},  // a count beyond two draws one
      {"りんご.jpg", "#TRUE#,#TRUE#,2,3,#TRUE#,#FALSE#", U"", 0},                // an unknown kind draws none
      {"りんご.jpg", "#TRUE#,#TRUE#,-1,0,#TRUE#,#FALSE#", U"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture + " " + c.line);
    Begin({c.picture}, c.line);
    const Text name = NameOfPicture(FromUtf8(c.picture));
    // Many questions, so that a draw landing on a letter of the name is bound to happen.
    for (int q = 0; q < 40; ++q) {
      game->NextQuestion();
      const Text& letters = f().choice_letters;
      ASSERT_EQ(letters.size(), name.size() + c.drawn);
      const Text distractors = letters.substr(name.size());
      for (char32_t d : distractors) {
        EXPECT_NE(c.table.find(d), Text::npos);
        EXPECT_EQ(name.find(d), Text::npos);
      }
      EXPECT_EQ(std::set<char32_t>(distractors.begin(), distractors.end()).size(), distractors.size());
    }
  }
}

TEST_F(WordBuilding, TheSettingsFileDrivesPromptModelCardsPointerAndGesture) {
  struct Case {
    std::string line;  // "" starts without a file
    Text prompt;
    Colour model;
    int cards;
    bool hidden_pointer;
    bool touch;
  };
  const Case cases[] = {
      {"", U"あいうえおかきくけこさし、と、並べましょう", kLightBlue, 10, false, false},
      {"#FALSE#,#FALSE#,2,2,#FALSE#,#TRUE#", U"この名前を、並べましょう", kWhite, 10, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Begin({"あいうえおかきくけこさし.jpg"}, c.line);
    if (c.line.empty()) {
      EXPECT_EQ(folder->Read("Dabrel.txt"), std::string(kDefaults) + "\r\n");
    }
    EXPECT_EQ(LastSpoken(), c.prompt);
    EXPECT_EQ(game->name_row.fore_colour, c.model);
    EXPECT_EQ(game->name_row.caption, U"あいうえおかきくけこ");
    EXPECT_EQ(game->answer_length, c.cards);
    EXPECT_EQ(lesson->form.pointer_hidden, c.hidden_pointer);
    // The gesture that does not count is ignored; the other one answers.
    const auto ignored = c.touch ? PointerAction::kClick : PointerAction::kMove;
    const auto answers = c.touch ? PointerAction::kMove : PointerAction::kClick;
    lesson->OnPointer({ignored, game->cards[0], 1});
    EXPECT_EQ(game->answer_progress, 0);
    lesson->OnPointer({answers, game->cards[0], 1});
    EXPECT_EQ(game->answer_progress, 1);
  }
  // Two digit cards where the name leaves room for them.
  Begin({"りんご.jpg"}, "#TRUE#,#TRUE#,2,2,#TRUE#,#FALSE#");
  EXPECT_EQ(f().choice_letters.size(), 5u);
  for (char32_t d : f().choice_letters.substr(3)) EXPECT_TRUE(d >= U'０' && d <= U'９');
}

TEST_F(WordBuilding, ThePromptDoesNotHoldBackTheFirstTouch) {
  Begin({"りんご.jpg"});
  EXPECT_EQ(LastSpoken(), U"りんご、と、並べましょう");
  EXPECT_FALSE(f().is_speaking);
  Click(CardOf(U'り'));  // the prompt has not ended
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"り.wav", U"ガチャ.wav"}));
  EXPECT_EQ(game->answer_progress, 1);
}

TEST_F(WordBuilding, RightCardsFillTheRowOneAfterAnotherThenPraiseAndGoOn) {
  Begin({"りんご.jpg", "いぬ.jpg"}, "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#");
  const Text first = Asked();
  const Text name = NameOfPicture(first);
  const double cell = game->cell_size;
  for (int k = 0; k < static_cast<int>(name.size()) - 1; ++k) {
    const int card = CardOf(name[k]);
    Click(card);
    EXPECT_EQ(platform.player.Played().back(), U"ガチャ.wav");
    EXPECT_EQ(game->cards[card]->top, game->name_row.top);
    EXPECT_EQ(game->cards[card]->left, game->name_row.left + k * cell);
    EXPECT_EQ(game->answer_progress, k + 1);
    // While the click sound plays the next card is refused.
    const std::size_t cues = Cues();
    Click(CardOf(name[k + 1]));
    EXPECT_EQ(Cues(), cues);
    CueEnds();
  }
  const std::size_t before = Cues();
  const int waits = platform.player.waits;
  const int last = CardOf(name.back());
  Click(last);
  const std::vector<Text> played = platform.player.Played();
  EXPECT_EQ(std::vector<Text>(played.begin() + before, played.end()),
            (std::vector<Text>{LetterSoundFile(name.back()), U"ガチャ.wav", U"ピンポン.wav"}));
  EXPECT_EQ(platform.player.waits, waits + 3);  // the letter, the click's end, the chime
  EXPECT_EQ(game->cards[last]->left, game->name_row.left + (name.size() - 1) * cell);
  EXPECT_TRUE(game->circle.visible);
  EXPECT_EQ(LastSpoken(), U"よくできました。これが、" + name + U"、だね。");
  EXPECT_TRUE(f().is_speaking);
  EXPECT_EQ(f().question_index, 1);
  EXPECT_TRUE(right_answer_timer().Enabled());
  EXPECT_FALSE(wrong_answer_timer().Enabled());

  right_answer_timer().Tick();  // the praise goes on
  EXPECT_TRUE(game->circle.visible);
  Finish();
  right_answer_timer().Tick();
  EXPECT_FALSE(game->circle.visible);
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_NE(Asked(), first);
  EXPECT_EQ(game->answer_progress, 0);
}

TEST_F(WordBuilding, LetterSoundsUseTheHiraganaFileAndDigitsTheirOwn) {
  const std::pair<std::string, Text> cases[] = {{"アイス.jpg", U"あ.wav"}, {"３ねん.jpg", U"３.wav"}};
  for (const auto& [picture, sound] : cases) {
    SCOPED_TRACE(picture);
    Begin({picture});
    Click(0);
    ASSERT_FALSE(platform.player.Played().empty());
    EXPECT_EQ(platform.player.Played().front(), sound);
  }
}

TEST_F(WordBuilding, RepeatedLettersAreInterchangeable) {
  Begin({"とまと.jpg"});
  const double cell = game->cell_size;
  Click(2);  // the second と first
  CueEnds();
  Click(1);
  CueEnds();
  Click(0);
  EXPECT_EQ(game->cards[2]->left, game->name_row.left);
  EXPECT_EQ(game->cards[1]->left, game->name_row.left + cell);
  EXPECT_EQ(game->cards[0]->left, game->name_row.left + 2 * cell);
  EXPECT_TRUE(game->circle.visible);
  EXPECT_FALSE(game->cross.visible);
}

TEST_F(WordBuilding, AWrongCardAfterThreeRightOnesStartsThePictureOver) {
  Begin({"あいうえ.jpg"}, "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#");
  const Text picture = Asked();
  const Text name = NameOfPicture(picture);
  Lay(name.substr(0, 3));
  ASSERT_EQ(game->answer_progress, 3);
  const std::size_t spoken = platform.speech.spoken.size();
  const int wrong = 4;  // the distractor
  const Control& card = *game->cards[wrong];
  const double card_left = card.left;
  Click(wrong);
  EXPECT_EQ(platform.player.Played().back(), U"ブー.wav");
  EXPECT_EQ(platform.player.Played()[Cues() - 2], LetterSoundFile(f().choice_letters[wrong]));
  EXPECT_TRUE(platform.player.playing);  // started, not waited for
  EXPECT_TRUE(game->cross.visible);
  EXPECT_EQ(std::make_tuple(game->cross.left, game->cross.width, game->cross.font_points),
            std::make_tuple(card_left, double(game->cell_size), Int(game->cell_size / 19.0)));
  EXPECT_DOUBLE_EQ(game->cross.top, game->name_row.top + H * 3 / 4);
  EXPECT_EQ(platform.speech.spoken.size(), spoken);  // nothing is said
  EXPECT_TRUE(wrong_answer_timer().Enabled());

  CueEnds();
  const std::size_t cues = Cues();
  Click(CardOf(name[3]));  // busy until the question starts over
  EXPECT_EQ(Cues(), cues);

  platform.player.playing = true;
  wrong_answer_timer().Tick();  // the buzzer still sounds
  EXPECT_TRUE(game->cross.visible);
  CueEnds();
  const int stops = platform.player.stops;
  wrong_answer_timer().Tick();
  EXPECT_EQ(platform.player.stops, stops + 1);
  EXPECT_FALSE(wrong_answer_timer().Enabled());
  EXPECT_FALSE(game->cross.visible);
  EXPECT_EQ(Asked(), picture);
  EXPECT_EQ(f().question_index, 0);
  EXPECT_EQ(game->answer_progress, 0);
  EXPECT_EQ(LastSpoken(), name + U"、と、並べましょう");
  for (int j = 0; j < game->answer_length; ++j) {
    EXPECT_TRUE(game->cards[j]->visible);
    EXPECT_EQ(game->cards[j]->top, LowerRowTop()) << j;
  }
  Lay(name);  // and it can be built from the start
  EXPECT_TRUE(game->circle.visible);
}

TEST_F(WordBuilding, APlacedCardTouchedAgainIsPassedOver) {
  Begin({"とまと.jpg"});
  Click(0);
  CueEnds();
  Click(1);
  CueEnds();
  const double cell_left = game->cards[0]->left;
  // と fits the next cell and ま does not; neither may move, sound or be crossed out.
  for (int placed : {0, 1}) {
    Click(placed);
    EXPECT_EQ(Cues(), 4u);
    EXPECT_FALSE(game->cross.visible);
    EXPECT_EQ(game->answer_progress, 2);
  }
  EXPECT_EQ(game->cards[0]->left, cell_left);
  Click(2);
  EXPECT_TRUE(game->circle.visible);
}

TEST_F(WordBuilding, OnceTheNameIsPlacedTheHandlerNoLongerCallsCheckAnswer) {
  for (const std::string line : {kDefaults, "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#"}) {
    SCOPED_TRACE(line);
    Begin({"いぬ.jpg"}, line);
    Lay(U"いぬ");
    ASSERT_TRUE(game->circle.visible);
    const std::size_t cues = Cues();
    // Past the lesson's refusal during feedback, the handler's guard holds.
    for (int j = 0; j < game->answer_length; ++j) game->OnPointer({PointerAction::kClick, game->cards[j], 1});
    EXPECT_EQ(Cues(), cues);
  }
  EXPECT_EQ(game->answer_progress, 2);
}

TEST_F(WordBuilding, APictureWithoutANameIsPassedOver) {
  Begin({".jpg", "いぬ.jpg"}, kTwoHiragana);
  EXPECT_EQ(Asked(), U"いぬ.jpg");
  EXPECT_EQ(game->name_row.caption, U"いぬ");

  Begin({".jpg"}, kTwoHiragana);  // nothing else to ask: nothing is shown or taken
  for (int j = 0; j < WordBuildingGame::kCards; ++j) {
    EXPECT_FALSE(game->cards[j]->visible);
    Click(j);
  }
  EXPECT_FALSE(game->picture.visible);
  EXPECT_EQ(Cues(), 0u);
}

TEST_F(WordBuilding, KeysHAndNStopBothFeedbackTimers) {
  Begin({"いぬ.jpg"}, "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#");
  Click(2);  // the distractor: a wrong card
  ASSERT_TRUE(wrong_answer_timer().Enabled());
  lesson->OnKey('H');
  EXPECT_FALSE(wrong_answer_timer().Enabled());
  EXPECT_FALSE(platform.player.playing);
  lesson->LeaveDialog(DialogKind::kSettings);
  Lay(U"いぬ");
  ASSERT_TRUE(right_answer_timer().Enabled());
  lesson->OnKey('N');
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_EQ(platform.shell.dialogs, (std::vector<DialogKind>{DialogKind::kSettings, DialogKind::kTasks}));
}

class WordBuildingSettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("Dabrel.txt", line);  // without the line end a rewrite would add
    ASSERT_EQ(LoadSettings(file(), SettingSlots(settings)).load, SettingsLoad::kRead);
    dialog.Activate();
  }
  std::filesystem::path file() const { return folder / "Dabrel.txt"; }

  std::string line = kDefaults;
  TempFolder folder;
  Settings settings;
  SettingsDialog dialog{DialogLayout(settings), SettingSlots(settings)};
  enum Frame { kQuestion, kModel, kCursor, kCount, kKind, kTouch };
};

TEST_F(WordBuildingSettingsDialog, DigitsWithTwoLettersWriteTwoIntoBothFields) {
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(folder.Read("Dabrel.txt"), line);

  const OptionFrame& kind = dialog.Layout().frames[kKind];
  ASSERT_EQ(kind.options.size(), 3u);
  EXPECT_EQ(std::make_tuple(kind.options[2].name, kind.options[2].caption, kind.options[2].rect.top),
            std::make_tuple(std::string("Option10"), Text(U"数字"), 960));
  EXPECT_EQ(dialog.Layout().frames[kCount].options[2].caption, U"２字有り");
  dialog.Select(kKind, 2);
  dialog.Select(kCount, 2);
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder.Read("Dabrel.txt"), "#TRUE#,#TRUE#,2,2,#TRUE#,#FALSE#\r\n");
}

TEST_F(WordBuildingSettingsDialog, AHandEditedValueBeyondTheOptionsLeavesItsFrameEmpty) {
  settings.distractor_count = 3;
  settings.distractor_kind = 3;
  dialog.Activate();
  EXPECT_EQ(dialog.Selected(kCount), -1);
  EXPECT_EQ(dialog.Selected(kKind), -1);
  EXPECT_EQ(dialog.Selected(kQuestion), 0);  // ～を並べよう
  EXPECT_EQ(dialog.Apply(file()).applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(settings.distractor_count, 3);
}

}  // namespace
}  // namespace kanae::word_building
