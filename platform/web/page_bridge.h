// Calls from the core into the page's JavaScript (platform/web/page/). Every
// argument is plain: numbers, and UTF-8 strings the page copies at once.
#pragma once

#include <string>

namespace kanae::web::page {

// The control model, as JSON, to be drawn now.
void Draw(const std::string& model_json);
// One trace line, without its line end.
void TraceLine(const std::string& line);

// Cues: the page keeps every sound of the pack decoded. Play returns whether
// the file is known; a known cue sounds for its length from now.
bool PlayCue(const std::string& file_name);
void StopCue();
// Milliseconds until the cue started last has sounded to its end; 0 when none plays.
double CueRemainingMs();
// The core waits for a cue: until WaitEnds, the page holds every touch, key,
// tick and speech end back and hands them in afterwards, in order.
void WaitBegins();
void WaitEnds();

// Speech: id names the utterance in the speech-end call back. letter_files
// are the pack's files of the letters in it ("は.wav", one per line), played
// in its stead where the device has no Japanese voice.
void Speak(int id, const std::string& text, const std::string& letter_files);
void StopSpeech();

// Timers tick through the page's event loop until stopped.
void StartTimer(int id, int interval_ms);
void StopTimer(int id);

// The screen the game fills, in CSS pixels.
double ScreenWidth();
double ScreenHeight();

// The teacher's side of the window: a message that waits for OK, a banner
// that goes by itself, the overlay of a dialog that has no panel of its own
// (kind: guide), and the end of the game.
void ShowMessage(const std::string& caption, const std::string& text);
bool MessageOpen();
void ShowBanner(const std::string& text);
void ShowTeacherPanel(const std::string& kind);
// The learning report, a self-contained HTML file in the core's file system,
// shown full size until the teacher goes back (kanae_leave_report).
void ShowReport(const std::string& page_file);
void GameEnded();
// The first question is on screen with all its pictures: the page may fetch
// the rest of its files now.
void FirstQuestionShown();
// The teacher's dialog (settings, tasks, input) drawn from its JSON, or gone.
void ShowDialog(const std::string& json);
void CloseDialog();

}  // namespace kanae::web::page
