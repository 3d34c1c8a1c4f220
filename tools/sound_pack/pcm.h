// Mono sound at the pack's one sample rate, and the few steps the pack needs:
// 16-bit WAV in and out, peak setting, fades, and tidying recorded speech.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace kanae::sound_pack {

// Every file of the pack shares it, so the player never resamples between cues.
inline constexpr int kSampleRate = 22050;
// Headroom that keeps cues and letters clear of clipping after conversion.
inline constexpr double kPeakDbfs = -3.5;

using Samples = std::vector<float>;  // -1..1 full scale

double DbToGain(double db);
double Peak(const Samples& s);
// Root mean square over the parts that sound (20 ms windows within 40 dB of the
// loudest), so pauses inside a word do not lower the measure.
double SoundingRms(const Samples& s);

// Voicing, in 10 ms steps: a step is voiced when the 30 ms around it is
// within 30 dB of the loudest such window and repeats itself at a voice's
// pitch (70-400 Hz). Fricatives, bursts and silence are not voiced.
inline constexpr double kVoicingStepSeconds = 0.01;
std::vector<bool> VoicedSteps(const Samples& s);
// Seconds of voiced sound in s.
double VoicedSeconds(const Samples& s);

bool WriteWav(const std::filesystem::path& file, const Samples& s);
// Any WAV SDL can read, converted to mono float at kSampleRate.
std::optional<Samples> ReadWav(const std::filesystem::path& file);

// The same sound at another sample rate (SDL's resampler).
Samples Resample(const Samples& s, int from_rate, int to_rate);

// Scales so the peak lies at the given level (silence stays silence).
void SetPeak(Samples& s, double dbfs);
// Raised-cosine fades, so no file starts or ends with a step.
void Fade(Samples& s, double in_seconds, double out_seconds);

// Speech as the engine wrote it: cut to what sounds (plus a short margin),
// brought to one loudness with its peaks limited under kPeakDbfs, and faded.
Samples TidySpeech(const Samples& s);
inline constexpr double kSpeechRmsDbfs = -18.0;

}  // namespace kanae::sound_pack
