#include "pcm.h"

#include "platform/audio/levelling.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>

namespace kanae::sound_pack {

namespace {

constexpr std::size_t kWindow = kSampleRate / 50;  // 20 ms

void PutLe(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::vector<double> WindowRms(const Samples& s) {
  std::vector<double> rms;
  for (std::size_t start = 0; start < s.size(); start += kWindow) {
    const std::size_t end = std::min(s.size(), start + kWindow);
    double sum = 0;
    for (std::size_t i = start; i < end; ++i) sum += double{s[i]} * s[i];
    rms.push_back(std::sqrt(sum / static_cast<double>(end - start)));
  }
  return rms;
}

}  // namespace

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

double Peak(const Samples& s) {
  double peak = 0;
  for (float v : s) peak = std::max(peak, double{std::fabs(v)});
  return peak;
}

double SoundingRms(const Samples& s) {
  const std::vector<double> rms = WindowRms(s);
  if (rms.empty()) return 0;
  const double gate = *std::max_element(rms.begin(), rms.end()) * DbToGain(-40);
  double sum = 0;
  int count = 0;
  for (double r : rms) {
    if (r > gate) {
      sum += r * r;
      ++count;
    }
  }
  return count == 0 ? 0 : std::sqrt(sum / count);
}

std::vector<bool> VoicedSteps(const Samples& s) {
  const auto step = static_cast<std::size_t>(kVoicingStepSeconds * kSampleRate);
  const std::size_t half = 3 * step / 2;
  const std::size_t shortest_lag = kSampleRate / 400, longest_lag = kSampleRate / 70;
  const std::size_t steps = s.size() / step;
  std::vector<double> energy(steps, 0);
  const auto window = [&](std::size_t k) {
    const std::size_t centre = k * step + step / 2;
    return std::pair{centre > half ? centre - half : 0, std::min(s.size(), centre + half)};
  };
  for (std::size_t k = 0; k < steps; ++k) {
    const auto [begin, end] = window(k);
    for (std::size_t i = begin; i < end; ++i) energy[k] += double{s[i]} * s[i];
    energy[k] /= static_cast<double>(end - begin);
  }
  std::vector<bool> voiced(steps, false);
  if (steps == 0) return voiced;
  // Periodicity is judged below 900 Hz, where the voice's first harmonics
  // are: the phases of the upper ones drift in a held vowel, which the ear
  // does not mind but a waveform comparison does. A second-order low-pass.
  Samples low(s.size());
  {
    const double w = 2 * std::numbers::pi * 900 / kSampleRate, alpha = std::sin(w) / (2 * std::sqrt(0.5));
    const double a0 = 1 + alpha, b0 = (1 - std::cos(w)) / 2 / a0, b1 = (1 - std::cos(w)) / a0, b2 = b0;
    const double a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const double y = b0 * s[i] + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
      x2 = x1, x1 = s[i], y2 = y1, y1 = y;
      low[i] = static_cast<float>(y);
    }
  }
  const double gate = *std::max_element(energy.begin(), energy.end()) * DbToGain(-60);  // -30 dB in power
  for (std::size_t k = 0; k < steps; ++k) {
    if (energy[k] <= gate || energy[k] == 0) continue;
    const auto [begin, end] = window(k);
    // Normalised autocorrelation: near 1 for a sustained pitch, low for noise.
    double best = 0;
    for (std::size_t lag = shortest_lag; lag <= longest_lag && begin + lag < end; ++lag) {
      double cross = 0, a = 0, b = 0;
      for (std::size_t i = begin; i + lag < end; ++i) {
        cross += double{low[i]} * low[i + lag];
        a += double{low[i]} * low[i];
        b += double{low[i + lag]} * low[i + lag];
      }
      if (a > 0 && b > 0) best = std::max(best, cross / std::sqrt(a * b));
    }
    voiced[k] = best >= 0.5;  // noise (s, sh, h) stays well below, a held vowel above
  }
  return voiced;
}

double VoicedSeconds(const Samples& s) {
  const std::vector<bool> voiced = VoicedSteps(s);
  return static_cast<double>(std::count(voiced.begin(), voiced.end(), true)) * kVoicingStepSeconds;
}

bool WriteWav(const std::filesystem::path& file, const Samples& s) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const auto data_bytes = static_cast<std::uint32_t>(s.size() * 2);
  out.write("RIFF", 4);
  PutLe(out, 36 + data_bytes, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);               // fmt chunk size
  PutLe(out, 1, 2);                // PCM
  PutLe(out, 1, 2);                // mono
  PutLe(out, kSampleRate, 4);
  PutLe(out, kSampleRate * 2, 4);  // bytes per second
  PutLe(out, 2, 2);                // bytes per frame
  PutLe(out, 16, 2);               // bits per sample
  out.write("data", 4);
  PutLe(out, data_bytes, 4);
  for (float v : s) {
    const long q = std::lround(std::clamp(double{v}, -1.0, 1.0) * 32767.0);
    PutLe(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(q))), 2);
  }
  out.close();
  return !out.fail();
}

std::optional<Samples> ReadWav(const std::filesystem::path& file) {
  SDL_AudioSpec format{};
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(file.c_str(), &format, &buffer, &length) == nullptr) return std::nullopt;
  SDL_AudioStream* stream = SDL_NewAudioStream(format.format, format.channels, format.freq, AUDIO_F32SYS, 1, kSampleRate);
  std::optional<Samples> result;
  if (stream != nullptr && SDL_AudioStreamPut(stream, buffer, static_cast<int>(length)) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    Samples s(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)) / sizeof(float));
    const int got = SDL_AudioStreamGet(stream, s.data(), static_cast<int>(s.size() * sizeof(float)));
    if (got >= 0) {
      s.resize(static_cast<std::size_t>(got) / sizeof(float));
      result = std::move(s);
    }
  }
  if (stream != nullptr) SDL_FreeAudioStream(stream);
  SDL_FreeWAV(buffer);
  return result;
}

Samples Resample(const Samples& s, int from_rate, int to_rate) {
  if (from_rate == to_rate || s.empty()) return s;
  SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_F32SYS, 1, from_rate, AUDIO_F32SYS, 1, to_rate);
  Samples out;
  if (stream != nullptr && SDL_AudioStreamPut(stream, s.data(), static_cast<int>(s.size() * sizeof(float))) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    out.resize(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)) / sizeof(float));
    const int got = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size() * sizeof(float)));
    out.resize(got > 0 ? static_cast<std::size_t>(got) / sizeof(float) : 0);
  }
  if (stream != nullptr) SDL_FreeAudioStream(stream);
  return out;
}

void SetPeak(Samples& s, double dbfs) {
  const double peak = Peak(s);
  if (peak == 0) return;
  const double gain = DbToGain(dbfs) / peak;
  for (float& v : s) v = static_cast<float>(v * gain);
}

void Fade(Samples& s, double in_seconds, double out_seconds) {
  const auto ramp = [&](double seconds, auto&& at) {
    const std::size_t n = std::min(s.size(), static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t i = 0; i < n; ++i) {
      const double g = 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
      at(i) = static_cast<float>(at(i) * g);
    }
  };
  ramp(in_seconds, [&](std::size_t i) -> float& { return s[i]; });
  ramp(out_seconds, [&](std::size_t i) -> float& { return s[s.size() - 1 - i]; });
}

Samples TidySpeech(const Samples& s) {
  // Where the speech sounds: windows within 30 dB of the loudest one.
  const std::vector<double> rms = WindowRms(s);
  if (rms.empty()) return {};
  const double gate = *std::max_element(rms.begin(), rms.end()) * DbToGain(-30);
  const auto first = std::find_if(rms.begin(), rms.end(), [&](double r) { return r > gate; });
  const auto last = std::find_if(rms.rbegin(), rms.rend(), [&](double r) { return r > gate; });
  if (first == rms.end() || rms[static_cast<std::size_t>(first - rms.begin())] == 0) return {};
  // A 20 ms margin keeps soft onsets and endings of the letter.
  const std::size_t begin = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, first - rms.begin() - 1)) * kWindow;
  const std::size_t end =
      std::min(s.size(), static_cast<std::size_t>(rms.rend() - last + 1) * kWindow);
  Samples out(s.begin() + static_cast<std::ptrdiff_t>(begin), s.begin() + static_cast<std::ptrdiff_t>(end));

  // Even loudness; a peak that would pass the headroom is limited rather
  // than holding the whole letter down.
  audio::Level(out, kSampleRate, {.loudness_db = kSpeechRmsDbfs, .peak_db = kPeakDbfs});
  Fade(out, 0.005, 0.015);
  return out;
}

}  // namespace kanae::sound_pack
