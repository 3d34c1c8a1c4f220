#include "run_game.h"

#include <QApplication>
#include <QFont>
#include <QMetaObject>
#include <cstdio>
#include <cstdlib>

#include "class_list.h"
#include "display_check.h"
#include "game_window.h"
#include "japanese_ui.h"
#include "kiosk_lock.h"
#include "platform/audio/sdl_cue_player.h"
#include "platform/speech/create_speech_engine.h"
#include "platform/speech/reading.h"
#include "qt_shell.h"
#include "qt_timers.h"
#include "termination_signals.h"

namespace kanae {

int DialogOnlyKey(const std::string& name) {
  if (name.empty()) return 0;
  if (name == "settings") return static_cast<int>(Key::kH);
  if (name == "tasks") return static_cast<int>(Key::kN);
  if (name == "input") return static_cast<int>(Key::kS);
  return -1;
}

int RunGame(int argc, char** argv, const GameFactory& make_game) {
  const std::string missing_display = MissingDisplay([](const char* name) { return std::getenv(name); });
  if (!missing_display.empty()) {
    std::fprintf(stderr, "%s\n", missing_display.c_str());
    return 1;
  }
  const int dialog_only = DialogOnlyKey(qgetenv("KANAE_DIALOG").toStdString());
  if (dialog_only < 0) {
    std::fprintf(stderr, "KANAE_DIALOG must be settings, tasks or input\n");
    return 2;
  }
  QApplication app(argc, argv);
  UseJapaneseQtTexts(app);
  QFont font = QApplication::font();
  font.setFamilies({"IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "sans-serif"});
  QApplication::setFont(font);

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  GameWindow* window = nullptr;
  auto refresh = [&window] {
    if (window != nullptr) window->Refresh();
  };

  QtTimerFactory timers(refresh);
  audio::SdlCuePlayer player;
  auto post_to_gui = [&app, refresh](std::function<void()> task) {
    QMetaObject::invokeMethod(
        &app,
        [task = std::move(task), refresh] {
          task();
          refresh();
        },
        Qt::QueuedConnection);
  };
  // The engine starts its voices and dictionaries on its own worker thread
  // while the window comes up; the first prompt is spoken once they have.
  auto speech = speech::CreateSpeechEngine(post_to_gui);
  ClockRandomSource rnd;
  QtShell shell;
  Lesson lesson({*speech, player, timers, shell, rnd, Trace::FromEnvironment()});
  lesson.child = ChildFromEnvironment();
  std::unique_ptr<Game> game = make_game(lesson);
  lesson.UseReadingGuess([](const Text& word) { return speech::ReadingOf(word); });
  if (!lesson.Start(arguments, *game)) return 1;

  GameWindow game_window(lesson, *game, ShownPictureStore::ForUser());
  window = &game_window;
  game_window.setGeometry(0, 0, lesson.form.width / 15, lesson.form.height / 15);
  shell.Attach(lesson, *game, game_window);
  if (dialog_only != 0) {
    // Only the teacher's dialog, on the lesson; the game is not played and
    // leaving the dialog ends the program.
    shell.EndWithDialog();
    lesson.OnKey(dialog_only);
    return QApplication::exec();
  }
  if (KioskLock::Requested()) new KioskLock(&game_window);  // owned by the window
  game_window.showFullScreen();
  game_window.activateWindow();
  // Ended from outside (a logout, kill): as with Esc. Taken up once the
  // event loop runs, so a signal that comes before is not lost.
  const TerminationSignals ending([&lesson] { lesson.OnKey(static_cast<int>(Key::kEscape)); });
  // The first question once the window is on screen (its prompt, made while
  // the window came up or kept from an earlier run, would otherwise be heard
  // before anything is seen), and once its prompt is ready to be heard with
  // it: the background is shown meanwhile. The voice's post refreshes the
  // window when the question comes that way; the bound's timer does too.
  game_window.WhenFirstShown([&lesson, &game_window] {
    lesson.ActivateWhenPromptReady();
    game_window.Refresh();
  });
  return QApplication::exec();
}

}  // namespace kanae
