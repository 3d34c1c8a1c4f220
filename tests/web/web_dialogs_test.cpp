// The page's teacher's dialogs: the framework's dialog models as the page
// draws them (JSON, read back by node's own JSON.parse), and the teacher's
// choices from the page applied through them, with the same files as the
// desktop writes and the lesson restarted after every way out.
#include <emscripten.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fakes.h"
#include "games/card_picking/questions.h"
#include "games/initial_letter/questions.h"
#include "games/picture_card/questions.h"
#include "platform/web/web_dialogs.h"
#include "tests/web/json_query.h"


namespace kanae::web {
namespace {

using testing::Cp932;
using testing::FakePlatform;
using testing::TempFolder;

std::string Query(const std::string& json, const char* expression) { return JsonQuery(json, "d", expression); }

// What the page would have been shown.
class RecordingView : public DialogView {
 public:
  void Show(const std::string& json) override {
    shown.push_back(json);
    open = true;
  }
  void Close() override { open = false; }
  std::vector<std::string> shown;
  bool open = false;
};

// One game on a lesson folder, started, its first question asked, and the
// page's dialogs beside it.
template <typename G>
class Played {
 public:
  explicit Played(const std::vector<std::string>& pictures, const std::vector<std::pair<std::string, std::string>>& files = {}) {
    folder.Touch(pictures);
    for (const auto& [name, bytes] : files) folder.Write(name, bytes);
    started = lesson.Start({folder.path().string()}, game);
    lesson.Activate();
  }
  // The teacher's key, and the dialog it opens shown in the page.
  void Open(Key key) {
    lesson.OnKey(static_cast<int>(key));
    ASSERT_FALSE(platform.shell.dialogs.empty());
    dialogs.Open(platform.shell.dialogs.back());
  }
  const std::string& Shown() const { return view.shown.back(); }

  TempFolder cwd;
  TempFolder folder;
  FakePlatform platform;
  Lesson lesson{platform.services(), cwd.path()};
  G game{lesson};
  RecordingView view;
  int redraws = 0;
  WebDialogs dialogs{lesson, game, view, [this] { ++redraws; }};
  bool started = false;
};

const std::vector<std::string> kSixPictures = {"あめ.jpg", "いぬ.jpg", "うし.jpg", "えび.jpg", "あり.jpg", "かさ.gif"};

TEST(WebDialogs, TheSettingsDialogIsDrawnFromTheGamesOwnFramesAndShowsTheStoredValues) {
  // A hand-edited kind of distractors that no option stands for.
  Played<initial_letter::InitialLetterGame> g(kSixPictures, {{"Oltar.txt", "#TRUE#,#FALSE#,3,2,#TRUE#,#TRUE#\r\n"}});
  ASSERT_TRUE(g.started);
  g.Open(Key::kH);
  ASSERT_TRUE(g.view.open);
  const std::string json = g.Shown();
  const struct {
    const char* expression;
    const char* expected;
  } cases[] = {
      {"d.kind", R"("settings")"},
      {"d.caption", R"("ヴィンタ選び")"},
      {"d.title", R"("オルタ文字設定")"},
      {"d.frames.map(f => f.caption)",
       R"(["問題設定","お手本","マウスカーソルの表示","まどわし文字","まどわし文字の種類","タッチの方法"])"},
      {"d.frames[3].options.map(o => o.caption)", R"(["無し","１字有り","２字有り","３字有り"])"},
      {"d.frames[5].options.map(o => o.name)", R"(["Option13","Option14"])"},
      // The stored values: の問題設定 true, お手本 false, three distractors,
      // an unknown kind (no option), touch.
      {"d.frames.map(f => f.selected)", "[0,1,0,3,-1,0]"},
      {"[d.frames[0].left, d.frames[3].left, d.frames[3].top]", "[360,2880,720]"},
      {"d.frames.every(f => f.note.length > 0)", "true"},
  };
  for (const auto& c : cases) EXPECT_EQ(Query(json, c.expression), c.expected) << c.expression;
}

// The page's choices go through the model: the same line, byte for byte, as
// the desktop dialog writes for the same choice, and the lesson restarts.
TEST(WebDialogs, ExecuteWritesWhatTheDesktopWritesAndTheLessonRestarts) {
  struct Case {
    const char* what;
    Key key;
    int frame;
    int option;
    const char* file;
    std::string expected;
  };
  const Case oltar[] = {
      {"two distractors", Key::kH, 3, 2, "Oltar.txt", "#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#\r\n"},
      {"touch", Key::kH, 5, 0, "Oltar.txt", "#TRUE#,#TRUE#,0,0,#TRUE#,#TRUE#\r\n"},
      {"dwell of a second", Key::kS, 0, 2, "入力.txt", "1000,0,2000,#TRUE#,0\r\n"},
      {"ten questions", Key::kS, 4, 2, "入力.txt", "0,0,2000,#TRUE#,10\r\n"},
  };
  for (const Case& c : oltar) {
    SCOPED_TRACE(c.what);
    Played<initial_letter::InitialLetterGame> g(kSixPictures);
    ASSERT_TRUE(g.started);
    g.Open(c.key);
    ASSERT_EQ(g.lesson.Mode(), LessonMode::kDialog);
    g.dialogs.Select(c.key == Key::kS ? DialogKind::kInput : DialogKind::kSettings, c.frame, c.option);
    g.dialogs.Confirm(c.key == Key::kS ? DialogKind::kInput : DialogKind::kSettings);
    EXPECT_EQ(g.folder.Read(c.file), c.expected);
    EXPECT_FALSE(g.view.open);
    EXPECT_FALSE(g.dialogs.Shown().has_value());
    EXPECT_NE(g.lesson.Mode(), LessonMode::kDialog);
    EXPECT_EQ(g.redraws, 1);
  }
  // The picture-card game: the left and right buttons instead of the pictures.
  Played<picture_card::PictureCardGame> v(kSixPictures);
  ASSERT_TRUE(v.started);
  v.Open(Key::kH);
  v.dialogs.Select(DialogKind::kSettings, 3, 1);
  v.dialogs.Confirm(DialogKind::kSettings);
  EXPECT_EQ(v.folder.Read("Vintal.txt"), "#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n");
  EXPECT_NE(v.lesson.Mode(), LessonMode::kDialog);
}

TEST(WebDialogs, ExecuteWithoutAChangeAndCancelWriteNothingAndACancelledChangeIsForgotten) {
  const std::string line = "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#";  // no line end: a rewrite would add one
  Played<initial_letter::InitialLetterGame> g(kSixPictures, {{"Oltar.txt", line}});
  ASSERT_TRUE(g.started);
  g.Open(Key::kH);
  g.dialogs.Confirm(DialogKind::kSettings);
  EXPECT_EQ(g.folder.Read("Oltar.txt"), line);
  EXPECT_NE(g.lesson.Mode(), LessonMode::kDialog);

  g.Open(Key::kH);
  g.dialogs.Select(DialogKind::kSettings, 3, 3);
  EXPECT_EQ(Query(g.Shown(), "d.frames[3].selected"), "3");  // the page shows the click at once
  g.dialogs.Cancel(DialogKind::kSettings);
  EXPECT_EQ(g.folder.Read("Oltar.txt"), line);
  EXPECT_FALSE(g.view.open);
  EXPECT_NE(g.lesson.Mode(), LessonMode::kDialog);
  g.Open(Key::kH);
  EXPECT_EQ(Query(g.Shown(), "d.frames[3].selected"), "0");
  EXPECT_EQ(g.redraws, 2);
}

// What the page sends may come late (a click queued as the dialog closed) or
// be plainly wrong; none of it reaches a model or a file.
TEST(WebDialogs, ChoicesForAnotherDialogOrOutOfRangeAreIgnored) {
  Played<initial_letter::InitialLetterGame> g(kSixPictures);
  ASSERT_TRUE(g.started);
  const std::string before = g.folder.Read("Oltar.txt");
  // Nothing is shown yet.
  g.dialogs.Select(DialogKind::kSettings, 3, 2);
  g.dialogs.Confirm(DialogKind::kSettings);
  g.dialogs.Cancel(DialogKind::kTasks);
  EXPECT_TRUE(g.view.shown.empty());
  EXPECT_EQ(g.redraws, 0);

  g.Open(Key::kH);
  const std::size_t shown = g.view.shown.size();
  g.dialogs.Select(DialogKind::kSettings, 6, 0);
  g.dialogs.Select(DialogKind::kSettings, -1, 0);
  g.dialogs.Select(DialogKind::kSettings, 3, 4);
  g.dialogs.Select(DialogKind::kSettings, 3, -1);
  g.dialogs.Select(DialogKind::kInput, 0, 1);
  g.dialogs.Mark(DialogKind::kSettings, 0, true);
  g.dialogs.Mark(DialogKind::kTasks, 0, false);
  g.dialogs.MarkAll(DialogKind::kTasks, false);
  g.dialogs.Confirm(DialogKind::kTasks);
  g.dialogs.Cancel(DialogKind::kInput);
  EXPECT_EQ(g.view.shown.size(), shown);
  EXPECT_TRUE(g.view.open);
  EXPECT_EQ(g.lesson.Mode(), LessonMode::kDialog);
  g.dialogs.Confirm(DialogKind::kSettings);
  EXPECT_EQ(g.folder.Read("Oltar.txt"), before);
}

TEST(WebDialogs, TheTaskSelectionListsEveryPictureWithItsMarkAndWritesTheSelection) {
  Played<initial_letter::InitialLetterGame> g(kSixPictures);
  ASSERT_TRUE(g.started);
  g.Open(Key::kN);
  const struct {
    const char* expression;
    const char* expected;
  } cases[] = {
      {"d.kind", R"("tasks")"},
      {"d.caption", R"("課題選択")"},
      {"d.title", R"("課題選択画面")"},
      {"d.entries.map(e => e.file)", R"(["あめ.jpg","あり.jpg","いぬ.jpg","うし.jpg","えび.jpg","かさ.gif"])"},
      {"d.entries.map(e => e.label)", R"(["あめ","あり","いぬ","うし","えび","かさ"])"},
      {"d.entries.every(e => e.marked)", "true"},
      {"d.entries[5].path.endsWith('/かさ.gif')", "true"},
      {"d.count", R"("選んだ絵：6枚（4枚以上選んでください）")"},
  };
  for (const auto& c : cases) EXPECT_EQ(Query(g.Shown(), c.expression), c.expected) << c.expression;

  // Three marked: refused with the reason, the dialog stays, nothing written.
  const std::string selection = g.folder.Read("Fname.txt");
  g.dialogs.MarkAll(DialogKind::kTasks, false);
  for (int entry : {0, 2, 5}) g.dialogs.Mark(DialogKind::kTasks, entry, true);
  EXPECT_EQ(Query(g.Shown(), "d.entries.map(e => e.marked)"), "[true,false,true,false,false,true]");
  EXPECT_EQ(Query(g.Shown(), "d.count"), R"("選んだ絵：3枚（4枚以上選んでください）")");
  const std::size_t told = g.platform.shell.messages.size();
  g.dialogs.Confirm(DialogKind::kTasks);
  ASSERT_EQ(g.platform.shell.messages.size(), told + 1);
  EXPECT_EQ(g.platform.shell.messages.back().caption, U"課題選択");
  EXPECT_EQ(g.platform.shell.messages.back().text, U"絵を4枚以上選んでください。\nいま選んでいるのは3枚です。");
  EXPECT_TRUE(g.view.open);
  EXPECT_EQ(g.lesson.Mode(), LessonMode::kDialog);
  EXPECT_EQ(g.folder.Read("Fname.txt"), selection);

  g.dialogs.Mark(DialogKind::kTasks, 3, true);
  g.dialogs.Confirm(DialogKind::kTasks);
  EXPECT_FALSE(g.view.open);
  EXPECT_NE(g.lesson.Mode(), LessonMode::kDialog);
  // In a new play order: the restart shuffles.
  std::vector<Text> tasks = g.lesson.state.task_pictures;
  std::sort(tasks.begin(), tasks.end());
  EXPECT_EQ(tasks, (std::vector<Text>{U"あめ.jpg", U"いぬ.jpg", U"うし.jpg", U"かさ.gif"}));
  EXPECT_EQ(g.folder.Read("Fname.txt"), Cp932("\"あめ.jpg\",#TRUE#\r\n\"あり.jpg\",#FALSE#\r\n\"いぬ.jpg\",#TRUE#\r\n"
                                              "\"うし.jpg\",#TRUE#\r\n\"えび.jpg\",#FALSE#\r\n\"かさ.gif\",#TRUE#\r\n"));
}

TEST(WebDialogs, TheCardGameRefusesFewerThanFourInitialsWithItsOwnMessage) {
  Played<card_picking::CardPickingGame> g(kSixPictures);
  ASSERT_TRUE(g.started);
  g.Open(Key::kN);
  g.dialogs.MarkAll(DialogKind::kTasks, false);
  for (int entry : {0, 1, 2, 3}) g.dialogs.Mark(DialogKind::kTasks, entry, true);  // あ あ い う
  const std::size_t told = g.platform.shell.messages.size();
  g.dialogs.Confirm(DialogKind::kTasks);
  ASSERT_EQ(g.platform.shell.messages.size(), told + 1);
  EXPECT_EQ(g.platform.shell.messages.back().text,
            Text(kTooFewInitials) + U"\nいま選んでいる絵の頭文字は3種類です。");
  EXPECT_TRUE(g.view.open);
  g.dialogs.Mark(DialogKind::kTasks, 4, true);  // え
  g.dialogs.Confirm(DialogKind::kTasks);
  EXPECT_FALSE(g.view.open);
  EXPECT_EQ(g.lesson.state.TaskCount(), 5);
}

// The page shows one dialog at a time: opening another leaves the first,
// and leaving the second then restarts the lesson (nothing stays paused).
TEST(WebDialogs, AnotherDialogOpenedOverOneLeavesItAndTheLessonStillRestarts) {
  Played<initial_letter::InitialLetterGame> g(kSixPictures);
  ASSERT_TRUE(g.started);
  g.Open(Key::kH);
  g.dialogs.Select(DialogKind::kSettings, 3, 2);
  g.Open(Key::kN);
  EXPECT_EQ(g.dialogs.Shown(), DialogKind::kTasks);
  EXPECT_EQ(g.lesson.Mode(), LessonMode::kDialog);
  // The settings dialog was left as キャンセル leaves it.
  g.dialogs.Confirm(DialogKind::kSettings);
  EXPECT_EQ(g.folder.Read("Oltar.txt"), "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#\r\n");
  g.dialogs.Cancel(DialogKind::kTasks);
  EXPECT_FALSE(g.view.open);
  EXPECT_NE(g.lesson.Mode(), LessonMode::kDialog);
  // Opened again, the same dialog comes back as the lesson has it.
  g.Open(Key::kH);
  EXPECT_EQ(Query(g.Shown(), "d.frames[3].selected"), "0");
}

}  // namespace
}  // namespace kanae::web
