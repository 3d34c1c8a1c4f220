#include "web_game.h"

#include <algorithm>
#include <functional>
#include <map>

#include "games/card_picking/questions.h"
#include "games/initial_letter/questions.h"
#include "games/kana_catching/questions.h"
#include "games/name_choice/questions.h"
#include "games/picture_card/questions.h"
#include "games/word_building/questions.h"
#include "model_json.h"
#include "page_bridge.h"

namespace kanae::web {

namespace {

using GameMaker = std::function<std::unique_ptr<Game>(Lesson&)>;

template <typename G>
GameMaker Maker() {
  return [](Lesson& lesson) { return std::make_unique<G>(lesson); };
}

const std::map<std::string, GameMaker>& Games() {
  static const std::map<std::string, GameMaker> games = {
      {"Oltar", Maker<initial_letter::InitialLetterGame>()},
      {"Pemble", Maker<kana_catching::KanaCatchingGame>()},
      {"Suvan", Maker<card_picking::CardPickingGame>()},
      {"Dabrel", Maker<word_building::WordBuildingGame>()},
      {"Quoma", Maker<name_choice::NameChoiceGame>()},
      {"Vintal", Maker<picture_card::PictureCardGame>()},
  };
  return games;
}

// The folder of the sound pack, where the lesson also looks for the
// teacher's praise and retry messages.
constexpr char kSoundFolder[] = "/kanae/sounds";

}  // namespace

std::unique_ptr<WebGame> WebGame::Make(const std::string& program, bool traced) {
  const auto found = Games().find(program);
  if (found == Games().end()) return nullptr;
  std::unique_ptr<WebGame> web_game(new WebGame(traced));
  web_game->game_ = found->second(web_game->lesson_);
  WebGame* made = web_game.get();
  made->dialogs_ = std::make_unique<WebDialogs>(made->lesson_, *made->game_, made->dialog_view_, [made] { made->Push(); });
  return web_game;
}

WebGame::WebGame(bool traced)
    : shell_([this] { Push(); }),
      trace_(traced ? Trace([](const std::string& line) { page::TraceLine(line); }) : Trace(std::string())),
      lesson_({speech_, player_, timers_, shell_, rnd_, trace_}, PathFromUtf8(kSoundFolder)) {
  shell_.Attach(lesson_);
}

bool WebGame::Start(const std::string& lesson_folder) {
  if (!lesson_.Start({lesson_folder}, *game_)) return false;
  Push();
  return true;
}

void WebGame::Deliver(PointerAction action, double x, double y, int button) {
  PointerEvent pointer;
  pointer.action = action;
  pointer.button = button;
  pointer.x = x * 15.0;
  pointer.y = y * 15.0;
  pointer.control = lesson_.form.HitTest(pointer.x, pointer.y);
  lesson_.OnPointer(pointer);
}

void WebGame::OnPointer(PagePointer what, double x, double y, int button) {
  switch (what) {
    case PagePointer::kDown:
      // A finger landing on a control has not moved onto it first; in touch
      // mode the landing itself must answer.
      Deliver(PointerAction::kMove, x, y, 0);
      pressed_ = lesson_.form.HitTest(x * 15.0, y * 15.0);
      Deliver(PointerAction::kPress, x, y, button);
      break;
    case PagePointer::kMove:
      Deliver(PointerAction::kMove, x, y, 0);
      break;
    case PagePointer::kUp: {
      const Control* released = lesson_.form.HitTest(x * 15.0, y * 15.0);
      if (button == 1 && released != nullptr && released == pressed_) Deliver(PointerAction::kClick, x, y, 1);
      pressed_ = nullptr;
      break;
    }
  }
}

void WebGame::OnKey(int key_code) { lesson_.OnKey(key_code); }

bool WebGame::OnFrame(bool all_pictures) {
  if (!activated_) {
    // The first question once the page shows the game: its prompt must not
    // be heard before anything is seen.
    activated_ = true;
    if (lesson_.Mode() != LessonMode::kStarting) return false;  // ended or paused before it was seen
    lesson_.Activate();
    return true;
  }
  if (!ready_traced_ && lesson_.HasShownQuestion() && all_pictures) {
    ready_traced_ = true;
    trace_.Event("ready");
    page::FirstQuestionShown();
  }
  return false;
}

void WebGame::Push() {
  FrameExtras extras;
  extras.report_frames = !activated_ || !ready_traced_;
  if (game_ != nullptr && lesson_.Mode() == LessonMode::kAsking) extras.answers = game_->AnswerControls();
  const auto& tasks = lesson_.state.task_pictures;
  const int count = static_cast<int>(tasks.size());
  if (ready_traced_ && count > 0) {
    const int question = std::clamp(lesson_.fields.question_index, 0, count - 1);
    for (int ahead : {0, 1}) extras.pictures_ahead.push_back(PathToUtf8(lesson_.PicturePath(tasks[(question + ahead) % count])));
  }
  page::Draw(ModelJson(lesson_.form, extras));
}

}  // namespace kanae::web
