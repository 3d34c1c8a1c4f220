#include "questions.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

#include "game_fixture.h"
#include "kana_tables.h"
#include "picture_library.h"

namespace kanae::kana_catching {
namespace {

using namespace kanae::testing;

constexpr char kNoCatching[] = "#TRUE#,#TRUE#,0,0,#FALSE#,#FALSE#";

std::tuple<double, double, double, double> Rect(const Control& c) { return {c.left, c.top, c.width, c.height}; }

class KanaCatching : public GameFixture<KanaCatchingGame> {
 protected:
  void Click(int label) { GameFixture::Click(game->choice_letters[label]); }
  ManualTimer& wrong_answer_timer() { return Manual(game->wrong_answer_timer); }
  ManualTimer& right_answer_timer() { return Manual(game->right_answer_timer); }
  ManualTimer& blink_timer() { return Manual(game->blink_timer); }
  // Catches the letter and lets the prompt end: the letter question waits for a choice.
  void CatchAndListen() {
    GameFixture::Click(&game->catch_letter);
    Finish();
  }
};

TEST_F(KanaCatching, TheCatchingStepDrawsTopLeftAndSideInThatOrder) {
  struct Case {
    const char* what;
    ScreenSize screen;
    std::string settings;
    double top_draw, left_draw, side_draw;
    int top, left, side, font, interval;
  };
  const Case cases[] = {
      {"all draws 0", {19200, 10800}, "", 0, 0, 0, 0, 0, 540, 27, 1000},
      // top Int(0.5 * 10260), left Int(0.25 * 18240), room 5670, side Int(0.5 * 5130) + 540
      {"distinct draws, slow blink", {19200, 10800}, "#FALSE#,#TRUE#,0,0,#TRUE#,#FALSE#", 0.5, 0.25, 0.5, 5130,
       4560, 3105, 155, 2000},
      // the bottom right corner: room 551, side Int(0.999 * 11) + 540
      {"near the corner", {19200, 10800}, "", 0.999, 0.999, 0.999, 10249, 18221, 550, 27, 1000},
      // taller than wide: room 551 is less than h = 960; the side is held to the room
      {"portrait screen", {10800, 19200}, "", 0, 0.999, 0, 0, 10249, 551, 27, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform.shell.screen = c.screen;
    platform.player.played.clear();
    Start({"りんご.jpg"}, c.settings, {0, 0, c.top_draw, c.left_draw, c.side_draw, 0});
    const Control& l1 = game->catch_letter;
    EXPECT_EQ(Rect(l1), std::make_tuple(double(c.left), double(c.top), double(c.side), double(c.side)));
    EXPECT_LE(l1.left + l1.width, c.screen.width_twips);
    EXPECT_LE(l1.top + l1.height, c.screen.height_twips);
    EXPECT_EQ(l1.font_points, c.font);
    EXPECT_EQ(blink_timer().Interval(), c.interval);
    EXPECT_TRUE(blink_timer().Enabled());
    EXPECT_TRUE(l1.visible);
    EXPECT_EQ(l1.caption, U"り");
    EXPECT_EQ(lesson->form.back_colour, kDarkBlue);
    EXPECT_FALSE(game->picture.visible);
    EXPECT_EQ(platform.player.Played(), std::vector<Text>{U"り.wav"});
    EXPECT_TRUE(platform.speech.spoken.empty());
  }
  platform.shell.screen = {19200, 10800};
}

TEST_F(KanaCatching, EveryJumpKeepsTheWholeLetterOnTheScreen) {
  for (ScreenSize screen : {ScreenSize{19200, 10800}, ScreenSize{10800, 19200}}) {
    platform.shell.screen = screen;
    Start({"りんご.jpg"}, "", {});  // a seeded source
    const int h = screen.height_twips / 20;
    for (int jump = 0; jump < 300; ++jump) {
      const Control& l1 = game->catch_letter;
      ASSERT_GE(l1.top, 0);
      ASSERT_GE(l1.left, 0);
      ASSERT_LE(l1.top + l1.height, screen.height_twips);
      ASSERT_LE(l1.left + l1.width, screen.width_twips);
      if (screen.width_twips > screen.height_twips) {
        ASSERT_GE(l1.height, h);
      }
      platform.player.playing = false;
      blink_timer().Tick();
    }
  }
  platform.shell.screen = {19200, 10800};
}

TEST_F(KanaCatching, TheLetterWaitsForTheEndOfItsSoundBeforeJumping) {
  // With a 3 s letter sound: the fast blink ticks at 1, 2 and 3 s, the slow one
  // at 2 s, while the sound plays; the first tick after its end moves the letter.
  for (const auto& [line, ticks_while_playing, interval] :
       {std::tuple{std::string(), 3, 1000}, std::tuple{std::string("#FALSE#,#TRUE#,0,0,#TRUE#,#FALSE#"), 1, 2000}}) {
    SCOPED_TRACE(interval);
    platform.player.played.clear();
    Start({"りんご.jpg"}, line, {0, 0, 0, 0, 0, 0.5});
    const auto before = Rect(game->catch_letter);
    EXPECT_EQ(blink_timer().Interval(), interval);
    for (int t = 0; t < ticks_while_playing; ++t) blink_timer().Tick();
    EXPECT_EQ(Rect(game->catch_letter), before);
    EXPECT_EQ(platform.player.played.size(), 1u);
    EXPECT_EQ(platform.player.stops, 0);

    platform.player.playing = false;
    blink_timer().Tick();
    EXPECT_NE(Rect(game->catch_letter), before);
    EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"り.wav", U"り.wav"}));
    EXPECT_EQ(platform.player.stops, 1);  // the ended sound is closed before the next
    EXPECT_TRUE(blink_timer().Enabled());
    EXPECT_EQ(blink_timer().Interval(), interval);
    platform.player.stops = 0;
  }
}

// The window's colour at each wait for a cue's end.
class ColourWatchingPlayer : public FakePlayer {
 public:
  void WaitForEnd() override {
    colours.push_back(form->back_colour);
    FakePlayer::WaitForEnd();
  }
  const Form* form = nullptr;
  std::vector<Colour> colours;
};

TEST(KanaCatchingCatch, CatchingStopsTheLetterSoundAndTheWindowIsRedWhileTheBangPlays) {
  struct Case {
    std::string line;
    PointerAction catches, ignored;
  };
  const Case cases[] = {
      {"#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#", PointerAction::kClick, PointerAction::kMove},
      {"#TRUE#,#TRUE#,0,0,#TRUE#,#TRUE#", PointerAction::kMove, PointerAction::kClick},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TempFolder pictures, cwd;
    FakePlatform p;
    ColourWatchingPlayer player;
    Lesson lesson({p.speech, player, p.timers, p.shell, p.rnd, p.trace}, cwd.path());
    player.form = &lesson.form;
    KanaCatchingGame game(lesson);
    pictures.Touch({"りんご.jpg"});
    pictures.Write("Pemble.txt", c.line + "\r\n");
    ASSERT_TRUE(lesson.Start({pictures.path().string()}, game));
    lesson.Activate();
    ASSERT_TRUE(player.IsPlaying());  // the letter's own sound

    lesson.OnPointer({c.ignored, &game.catch_letter, 1});
    EXPECT_TRUE(game.catch_letter.visible);
    EXPECT_EQ(player.played.size(), 1u);

    lesson.OnPointer({c.catches, &game.catch_letter, 1});
    EXPECT_EQ(player.Played(), (std::vector<Text>{U"り.wav", U"バーン.wav"}));
    EXPECT_EQ(player.colours, std::vector<Colour>{kRed});
    EXPECT_FALSE(game.blink_timer->Enabled());
    EXPECT_EQ(lesson.form.back_colour, kDarkBlue);
    EXPECT_FALSE(game.catch_letter.visible);
    EXPECT_TRUE(game.picture.visible);
    EXPECT_TRUE(game.choice_letters[0]->visible);
    EXPECT_EQ(p.speech.spoken, std::vector<Text>{U"りんごの、り、は、どれかな"});
    EXPECT_EQ(p.speech.said, std::vector<SpokenText>{Word(U"りんご") + U"の、" + Letter(U"り") + U"、は、どれかな"});
    EXPECT_TRUE(lesson.fields.is_speaking);
  }
}

TEST_F(KanaCatching, TheLetterQuestionIsLaidOutInTwipsAndTheMarkFollowsTheSlot) {
  struct Case {
    ScreenSize screen;
    int slot;
    std::tuple<double, double, double, double> image, letter, mark;
    int letter_font, mark_font;
  };
  const Case cases[] = {
      // The letters' font Int(W / 138) is held to the cards' height (2160 / 20); the mark, placed at
      // (-216, 8035, 3840, 3600), is held to the screen and its font Int(W / 100) to what is left of it.
      {{19200, 10800}, 0, {2400, 163, 14400, 8100}, {216, 8460, 2880, 2160}, {0, 8035, 3624, 2765}, 108, 138},
      {{19200, 10800}, 3, {2400, 163, 14400, 8100}, {9720, 8460, 2880, 2160}, {9288, 8035, 3840, 2765}, 108, 138},
      // 1366 x 768: each term is truncated on its own (slot 5: 3380 * 5 + 230); the mark placed at
      // (16670, 8570, 4098, 3840) reaches past both the right and the bottom edge.
      {{20490, 11520}, 5, {2561, 174, 15367, 8640}, {17130, 9024, 3073, 2304}, {16670, 8570, 3820, 2950}, 115, 147},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    platform.shell.screen = c.screen;
    // Two draws shuffle the task; the first slot swap puts the right letter
    // (label 0) at c.slot, the other swaps exchange slot 0 with itself.
    Start({"りんご.jpg"}, kNoCatching, {0, 0, 0, (c.slot + 0.5) / 6, 0});
    EXPECT_EQ(Rect(game->picture), c.image);
    EXPECT_EQ(game->slot_order[0], c.slot);
    const Control& letter = *game->choice_letters[0];
    EXPECT_EQ(Rect(letter), c.letter);
    EXPECT_EQ(letter.font_points, c.letter_font);
    EXPECT_EQ(letter.caption, U"り");
    EXPECT_FALSE(game->choice_letters[1]->visible);

    Finish();
    Click(0);
    const Control& mark = game->mark;
    EXPECT_EQ(Rect(mark), c.mark);
    EXPECT_EQ(mark.font_points, c.mark_font);
    EXPECT_EQ(mark.caption, U"○");
    EXPECT_EQ(mark.fore_colour, kRed);
    EXPECT_TRUE(mark.visible);
  }
  platform.shell.screen = {19200, 10800};
}

TEST_F(KanaCatching, ARightAnswerIsCircledAndPraisedWithTheInitialThenTheNextPictureIsCaught) {
  Start({"りんご.jpg", "いぬ.jpg"});
  const Text first = Asked();
  const Text name = NameOfPicture(first);
  CatchAndListen();
  platform.player.played.clear();
  Click(0);
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{Text(1, name[0]) + U".wav", U"ピンポン.wav"}));
  EXPECT_EQ(LastSpoken(), U"よくできました。これが、" + name + U"の、" + name.substr(0, 1) + U"、だね。");
  EXPECT_EQ(LastSpokenLetters(), name.substr(0, 1));  // read by its name
  EXPECT_EQ(f().question_index, 1);
  EXPECT_TRUE(right_answer_timer().Enabled());

  right_answer_timer().Tick();  // the praise is still being spoken
  EXPECT_TRUE(game->mark.visible);
  Finish();
  right_answer_timer().Tick();
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_FALSE(game->mark.visible);
  EXPECT_NE(Asked(), first);
  EXPECT_TRUE(game->catch_letter.visible);  // the catching phase again
  EXPECT_EQ(game->catch_letter.caption, NameOfPicture(Asked()).substr(0, 1));
  EXPECT_TRUE(blink_timer().Enabled());
}

TEST_F(KanaCatching, AWrongAnswerIsCrossedAndTheSamePictureIsCaughtAgain) {
  // Two draws shuffle the task, three place the letter, twelve the slots
  // (nothing moves), then the distractor: Int(0.99 * 46) = 45, ン.
  std::vector<double> numbers(17, 0.0);
  numbers.push_back(0.99);
  numbers.push_back(0.0);
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,1,1,#TRUE#,#FALSE#", numbers);
  CatchAndListen();
  ASSERT_EQ(game->choice_texts[1], U"ン");
  platform.player.played.clear();
  Click(1);
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"ん.wav", U"ブー.wav"}));
  EXPECT_EQ(game->mark.caption, U"×");
  EXPECT_EQ(game->mark.left, 3168 * game->slot_order[1] - 216);
  EXPECT_EQ(LastSpoken(), U"ざんねん");
  // Drawn when the answer was judged and prepared while the cues played.
  ASSERT_FALSE(platform.speech.prepared.empty());
  EXPECT_EQ(platform.speech.prepared.back(), SpokenText(U"ざんねん"));
  EXPECT_EQ(f().question_index, 0);
  EXPECT_TRUE(wrong_answer_timer().Enabled());

  wrong_answer_timer().Tick();
  EXPECT_TRUE(game->mark.visible);  // still speaking
  Finish();
  wrong_answer_timer().Tick();
  EXPECT_FALSE(wrong_answer_timer().Enabled());
  EXPECT_FALSE(game->mark.visible);
  EXPECT_EQ(lesson->Mode(), LessonMode::kAsking);
  EXPECT_TRUE(game->catch_letter.visible);
  EXPECT_EQ(game->catch_letter.caption, U"り");
  EXPECT_FALSE(game->picture.visible);
}

TEST_F(KanaCatching, ChoicesAreIgnoredUntilTheQuestionWaitsForOne) {
  struct Case {
    const char* what;
    std::function<void()> setup;
    bool taken;
  };
  const Case cases[] = {
      {"waiting", [] {}, true},
      {"while the prompt is spoken", [this] { f().is_speaking = true; }, false},
      {"after an answer", [this] { lesson->BeginFeedback(); }, false},
      {"behind a dialog", [this] { lesson->OnKey('H'); }, false},
      {"while a cue plays", [this] { platform.player.playing = true; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start({"りんご.jpg"}, kNoCatching);
    Finish();
    c.setup();
    platform.player.played.clear();
    Click(0);
    EXPECT_EQ(!platform.player.played.empty(), c.taken);
    EXPECT_EQ(game->mark.visible, c.taken);
  }
}

TEST_F(KanaCatching, TouchModeAnswersOnAMoveAndNotOnAClick) {
  Start({"りんご.jpg"}, "#TRUE#,#TRUE#,0,0,#FALSE#,#TRUE#");
  Finish();
  Click(0);
  EXPECT_TRUE(platform.player.played.empty());
  Move(game->choice_letters[0]);
  EXPECT_EQ(platform.player.Played(), (std::vector<Text>{U"り.wav", U"ピンポン.wav"}));
}

TEST(KanaCatchingLetters, DistractorsAndLetterSoundsFollowTheSettings) {
  const Text hiragana = FillKanaTables().hiragana;
  const Text katakana = FillKanaTables().katakana;
  struct Case {
    std::string picture, line;
    int letters;
    Text table, sound;
  };
  const Case cases[] = {
      {"りんご.jpg", "#TRUE#,#TRUE#,3,1,#TRUE#,#FALSE#", 4, katakana, U"り.wav"},
      {"アイス.jpg", "#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#", 3, hiragana, U"あ.wav"},
      {"りんご.jpg", "#TRUE#,#TRUE#,3,2,#TRUE#,#FALSE#", 1, U"", U"り.wav"},  // an unknown kind draws none
      {"りんご.jpg", "#TRUE#,#TRUE#,9,0,#TRUE#,#FALSE#", 6, hiragana, U"り.wav"},  // held to six labels
      // no name, no first letter: nothing to catch and nothing to answer
      {".jpg", "#TRUE#,#TRUE#,3,0,#TRUE#,#FALSE#", 0, U"", U""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture + " " + c.line);
    TempFolder pictures, cwd;
    FakePlatform p;
    Lesson lesson(p.services(), cwd.path());
    KanaCatchingGame game(lesson);
    pictures.Touch({c.picture});
    pictures.Write("Pemble.txt", c.line + "\r\n");
    ASSERT_TRUE(lesson.Start({pictures.path().string()}, game));
    lesson.Activate();
    const Text initial = NameOfPicture(FromUtf8(c.picture)).substr(0, 1);
    EXPECT_EQ(game.catch_letter.visible, !initial.empty());
    EXPECT_EQ(game.catch_letter.caption, initial);
    lesson.OnPointer({PointerAction::kClick, &game.catch_letter, 1});

    const Text& letters = lesson.fields.choice_letters;
    ASSERT_EQ(static_cast<int>(letters.size()), c.letters);
    EXPECT_EQ(letters.substr(0, 1), initial);
    EXPECT_EQ(std::set<char32_t>(letters.begin(), letters.end()).size(), letters.size());
    for (int j = 1; j < c.letters; ++j) EXPECT_NE(c.table.find(letters[j]), Text::npos);
    for (int j = 0; j < 6; ++j) EXPECT_EQ(game.choice_letters[j]->visible, j < c.letters);

    p.speech.Finish();
    p.player.played.clear();
    lesson.OnPointer({PointerAction::kClick, game.choice_letters[0], 1});
    if (c.sound.empty()) {
      EXPECT_TRUE(p.player.played.empty());
    } else {
      EXPECT_EQ(p.player.Played().front(), c.sound);
    }
  }
}

TEST_F(KanaCatching, TheHiddenPointerHoldsWithAndWithoutTheCatchingPhase) {
  for (const char* line : {"#TRUE#,#FALSE#,0,0,#TRUE#,#FALSE#", "#TRUE#,#FALSE#,0,0,#FALSE#,#FALSE#"}) {
    SCOPED_TRACE(line);
    Start({"りんご.jpg"}, line);
    EXPECT_TRUE(lesson->form.pointer_hidden);
  }
  Start({"りんご.jpg"}, kNoCatching);
  EXPECT_FALSE(lesson->form.pointer_hidden);
}

TEST_F(KanaCatching, KeysHAndNHoldEveryTimerSoTheRestartedLessonIsLeftAlone) {
  Start({"りんご.jpg"});
  lesson->OnKey('N');  // while the letter jumps
  EXPECT_FALSE(blink_timer().Enabled());
  EXPECT_EQ(platform.shell.dialogs, std::vector<DialogKind>{DialogKind::kTasks});

  lesson->LeaveDialog(DialogKind::kTasks);
  CatchAndListen();
  // A wrong answer's feedback is running when the teacher presses H.
  wrong_answer_timer().SetEnabled(true);
  right_answer_timer().SetEnabled(true);
  lesson->OnKey('H');
  EXPECT_FALSE(wrong_answer_timer().Enabled());
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_EQ(platform.speech.stops, 2);

  lesson->LeaveDialog(DialogKind::kSettings);
  CatchAndListen();
  wrong_answer_timer().Tick();
  EXPECT_TRUE(game->picture.visible);  // the question stays
  EXPECT_FALSE(game->catch_letter.visible);
}

TEST_F(KanaCatching, ARestartOfTheLessonEndsAWaitingFeedback) {
  Start({"りんご.jpg"}, kNoCatching);
  Finish();
  Click(0);
  ASSERT_TRUE(right_answer_timer().Enabled());
  lesson->OnKey('H');
  lesson->LeaveDialog(DialogKind::kSettings);
  EXPECT_FALSE(right_answer_timer().Enabled());
  EXPECT_FALSE(game->mark.visible);
  Finish();
  Click(0);  // the restarted question takes its answer
  EXPECT_TRUE(game->mark.visible);
}

TEST_F(KanaCatching, TheSettingsDialogWritesOnlyWhenASettingChanged) {
  Start({"りんご.jpg"});
  EXPECT_EQ(folder->Read("Pemble.txt"), "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#\r\n");

  SettingsDialog dialog(DialogLayout(game->settings), SettingSlots(game->settings));
  dialog.Activate();
  folder->Write("Pemble.txt", "untouched");
  EXPECT_EQ(dialog.Apply(folder->path() / "Pemble.txt").applied, SettingsDialog::Applied::kUnchanged);
  EXPECT_EQ(folder->Read("Pemble.txt"), "untouched");

  dialog.Activate();
  dialog.Select(0, 1);  // 遅い
  EXPECT_EQ(dialog.Apply(folder->path() / "Pemble.txt").applied, SettingsDialog::Applied::kSaved);
  EXPECT_EQ(folder->Read("Pemble.txt"), "#FALSE#,#TRUE#,0,0,#TRUE#,#FALSE#\r\n");
  EXPECT_EQ(game->settings.blink_fast, 0);

  game->settings.distractor_kind = 2;  // as a hand-edited file may hold
  dialog.Activate();
  EXPECT_EQ(dialog.Selected(4), -1);
}

TEST(KanaCatchingDialog, TheFramesStandWhereTheDialogPutsThem) {
  Settings settings;
  const SettingsDialogLayout layout = DialogLayout(settings);
  EXPECT_EQ(layout.title, U"ペンブル設定メニュー");
  EXPECT_EQ(std::tie(layout.title_rect.left, layout.title_rect.top), std::make_tuple(1200, 240));
  EXPECT_EQ(std::tie(layout.client_width, layout.client_height), std::make_tuple(5055, 5520));
  const auto rect = [](const TwipRect& r) { return std::make_tuple(r.left, r.top, r.width, r.height); };
  EXPECT_EQ(rect(layout.frame_rect), std::make_tuple(120, 120, 4815, 5175));
  EXPECT_EQ(rect(layout.cancel_button), std::make_tuple(360, 4440, 975, 375));
  EXPECT_EQ(rect(layout.execute_button), std::make_tuple(1560, 4440, 975, 375));

  struct Frame {
    Text caption;
    std::tuple<int, int, int, int> rect;
    const std::int16_t* setting;
    std::vector<std::tuple<std::string, Text, std::int16_t>> options;
  };
  const std::vector<Frame> frames = {
      {U"文字の点滅", {360, 720, 2175, 975}, &settings.blink_fast, {{"Option1", U"早い", -1}, {"Option2", U"遅い", 0}}},
      {U"マウスカーソルの表示", {360, 1800, 2175, 975}, &settings.cursor_visible,
       {{"Option3", U"有り", -1}, {"Option4", U"無し", 0}}},
      {U"ペンブル", {360, 2880, 2175, 975}, &settings.jumping_letter, {{"Option11", U"有り", -1}, {"Option12", U"無し", 0}}},
      {U"まどわし文字", {2760, 720, 1935, 1695}, &settings.distractor_count,
       {{"Option5", U"無し", 0}, {"Option6", U"１字", 1}, {"Option7", U"２字", 2}, {"Option8", U"３字", 3}}},
      {U"まどわし文字の種類", {2760, 2520, 1935, 975}, &settings.distractor_kind,
       {{"Option9", U"ひらがな", 0}, {"Option10", U"カタカナ", 1}}},
      {U"タッチの方法", {2760, 3600, 1935, 975}, &settings.touch_mode,
       {{"Option13", U"触れるだけ", -1}, {"Option14", U"クリックする", 0}}},
  };
  ASSERT_EQ(layout.frames.size(), frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const OptionFrame& got = layout.frames[i];
    SCOPED_TRACE(ToUtf8(frames[i].caption));
    EXPECT_EQ(got.caption, frames[i].caption);
    EXPECT_EQ(rect(got.rect), frames[i].rect);
    EXPECT_EQ(got.setting, frames[i].setting);
    ASSERT_EQ(got.options.size(), frames[i].options.size());
    for (std::size_t o = 0; o < got.options.size(); ++o) {
      const auto& [name, caption, value] = frames[i].options[o];
      EXPECT_EQ(std::tie(got.options[o].name, got.options[o].caption, got.options[o].value),
                std::tie(name, caption, value));
      EXPECT_EQ(std::make_tuple(got.options[o].rect.left, got.options[o].rect.top),
                std::make_tuple(240, 240 + 360 * static_cast<int>(o)));
    }
  }
}

}  // namespace
}  // namespace kanae::kana_catching
