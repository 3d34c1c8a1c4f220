#include "web_speech.h"

#include "browser_reading.h"
#include "page_bridge.h"

namespace kanae::web {

void WebSpeech::Speak(const SpokenText& text, ReadingHandler on_reading) {
  const Text reading = BrowserReading(text);
  if (on_reading) on_reading(reading);
  speaking_ = next_id_++;
  // The page reports the end through its event loop, never inside this call.
  page::Speak(speaking_, ToUtf8(reading), LetterFiles(text));
}

void WebSpeech::Stop() {
  speaking_ = 0;
  page::StopSpeech();
}

void WebSpeech::Ended(int id) {
  if (id == 0 || id != speaking_) return;  // cut off or stopped: its end is not reported
  speaking_ = 0;
  NotifyFinished();
}

}  // namespace kanae::web
