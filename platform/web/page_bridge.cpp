#include "page_bridge.h"

#include <emscripten.h>

// Module.page is the page's side of the bridge, handed in when the module is
// made (page/js/core.js).
EM_JS(void, kanae_page_draw, (const char* json), { Module.page.draw(UTF8ToString(json)); });
EM_JS(void, kanae_page_trace_line, (const char* line), { Module.page.traceLine(UTF8ToString(line)); });
EM_JS(int, kanae_page_play_cue, (const char* file), { return Module.page.playCue(UTF8ToString(file)) ? 1 : 0; });
EM_JS(void, kanae_page_stop_cue, (), { Module.page.stopCue(); });
EM_JS(double, kanae_page_cue_remaining_ms, (), { return Module.page.cueRemainingMs(); });
EM_JS(void, kanae_page_wait_begins, (), { Module.page.waitBegins(); });
EM_JS(void, kanae_page_wait_ends, (), { Module.page.waitEnds(); });
EM_JS(void, kanae_page_speak, (int id, const char* text, const char* letters), {
  Module.page.speak(id, UTF8ToString(text), UTF8ToString(letters));
});
EM_JS(void, kanae_page_stop_speech, (), { Module.page.stopSpeech(); });
EM_JS(void, kanae_page_start_timer, (int id, int ms), { Module.page.startTimer(id, ms); });
EM_JS(void, kanae_page_stop_timer, (int id), { Module.page.stopTimer(id); });
EM_JS(double, kanae_page_screen_width, (), { return Module.page.screenWidth(); });
EM_JS(double, kanae_page_screen_height, (), { return Module.page.screenHeight(); });
EM_JS(void, kanae_page_show_message, (const char* caption, const char* text), {
  Module.page.showMessage(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(int, kanae_page_message_open, (), { return Module.page.messageOpen() ? 1 : 0; });
EM_JS(void, kanae_page_show_banner, (const char* text), { Module.page.showBanner(UTF8ToString(text)); });
EM_JS(void, kanae_page_show_teacher_panel, (const char* kind), { Module.page.showTeacherPanel(UTF8ToString(kind)); });
EM_JS(void, kanae_page_show_report, (const char* file), { Module.page.showReport(UTF8ToString(file)); });
EM_JS(void, kanae_page_game_ended, (), { Module.page.gameEnded(); });
EM_JS(void, kanae_page_first_question_shown, (), { Module.page.firstQuestionShown(); });
EM_JS(void, kanae_page_show_dialog, (const char* json), { Module.page.showDialog(UTF8ToString(json)); });
EM_JS(void, kanae_page_close_dialog, (), { Module.page.closeDialog(); });

namespace kanae::web::page {

void Draw(const std::string& model_json) { kanae_page_draw(model_json.c_str()); }
void TraceLine(const std::string& line) { kanae_page_trace_line(line.c_str()); }
bool PlayCue(const std::string& file_name) { return kanae_page_play_cue(file_name.c_str()) != 0; }
void StopCue() { kanae_page_stop_cue(); }
double CueRemainingMs() { return kanae_page_cue_remaining_ms(); }
void WaitBegins() { kanae_page_wait_begins(); }
void WaitEnds() { kanae_page_wait_ends(); }
void Speak(int id, const std::string& text, const std::string& letter_files) {
  kanae_page_speak(id, text.c_str(), letter_files.c_str());
}
void StopSpeech() { kanae_page_stop_speech(); }
void StartTimer(int id, int interval_ms) { kanae_page_start_timer(id, interval_ms); }
void StopTimer(int id) { kanae_page_stop_timer(id); }
double ScreenWidth() { return kanae_page_screen_width(); }
double ScreenHeight() { return kanae_page_screen_height(); }
void ShowMessage(const std::string& caption, const std::string& text) {
  kanae_page_show_message(caption.c_str(), text.c_str());
}
bool MessageOpen() { return kanae_page_message_open() != 0; }
void ShowBanner(const std::string& text) { kanae_page_show_banner(text.c_str()); }
void ShowTeacherPanel(const std::string& kind) { kanae_page_show_teacher_panel(kind.c_str()); }
void ShowReport(const std::string& page_file) { kanae_page_show_report(page_file.c_str()); }
void GameEnded() { kanae_page_game_ended(); }
void FirstQuestionShown() { kanae_page_first_question_shown(); }
void ShowDialog(const std::string& json) { kanae_page_show_dialog(json.c_str()); }
void CloseDialog() { kanae_page_close_dialog(); }

}  // namespace kanae::web::page
