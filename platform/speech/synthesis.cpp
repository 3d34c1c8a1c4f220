#include "platform/speech/synthesis.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>
#include <string>

#include "platform/speech/reading.h"

namespace kanae::speech {
namespace {

// Slightly slower than espeak's default 175 words a minute, for young learners.
constexpr int kRate = 150;

std::mutex g_espeak_mutex;  // every espeak call happens under it
int g_sample_rate = 0;      // 0: not tried yet, <0: failed

std::vector<std::int16_t>* g_samples = nullptr;  // where the callback collects

int SynthCallback(short* wave, int count, espeak_EVENT*) {
  if (wave != nullptr && count > 0 && g_samples != nullptr) g_samples->insert(g_samples->end(), wave, wave + count);
  return 0;  // continue
}

// Called with g_espeak_mutex held.
bool StartLocked() {
  if (g_sample_rate == 0) {
    // DONT_EXIT: without it espeak-ng ends the process when its data is missing.
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate > 0 && espeak_SetVoiceByName("ja") == EE_OK) {
      espeak_SetSynthCallback(&SynthCallback);
      espeak_SetParameter(espeakRATE, kRate, 0);
      g_sample_rate = rate;
    } else {
      g_sample_rate = -1;
    }
  }
  return g_sample_rate > 0;
}

}  // namespace

bool SynthesizerAvailable() {
  std::lock_guard lock(g_espeak_mutex);
  return StartLocked();
}

std::string SynthesizerIdentity() {
  std::lock_guard lock(g_espeak_mutex);
  const char* version = espeak_Info(nullptr);
  return std::string(version != nullptr ? version : "") + " rate " + std::to_string(kRate);
}

std::optional<Pcm> SynthesizeReading(const Text& reading) {
  std::lock_guard lock(g_espeak_mutex);
  if (!StartLocked()) return std::nullopt;
  Pcm pcm;
  pcm.sample_rate = g_sample_rate;
  const std::string utf8 = ToUtf8(reading);
  if (utf8.find_first_not_of(" \t") == std::string::npos) return pcm;
  // espeakENDPAUSE: a final pause as after a sentence, so the end of speech
  // is not clipped.
  g_samples = &pcm.samples;
  const espeak_ERROR error = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
                                          espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
  g_samples = nullptr;
  if (error != EE_OK) pcm.samples.clear();
  return pcm;
}

std::optional<Pcm> Synthesize(const Text& text) { return SynthesizeReading(ReadingOf(text)); }

}  // namespace kanae::speech
