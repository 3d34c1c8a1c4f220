#include "lengthen.h"

#include <rubberband/rubberband-c.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kanae::sound_pack {

namespace {

constexpr int kWorkRate = 48000;
// No vowel is held longer than this, whatever the measure says.
constexpr double kLongestHold = 0.7;

// Where the steady part of the vowel lies, in samples: the run of voiced
// steps around the loudest voiced one (a single unvoiced step inside it is
// bridged), from its first to its last step within 8 dB of that loudest. A
// nasal or glide before the vowel is quieter and stays out.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

Span SteadyVowel(const Samples& s) {
  const auto step = static_cast<std::size_t>(kVoicingStepSeconds * kSampleRate);
  const std::vector<bool> voiced = VoicedSteps(s);
  std::vector<double> energy(voiced.size(), 0);
  for (std::size_t k = 0; k < voiced.size(); ++k) {
    for (std::size_t i = k * step; i < (k + 1) * step; ++i) energy[k] += double{s[i]} * s[i];
  }
  std::optional<std::size_t> loudest;
  for (std::size_t k = 0; k < voiced.size(); ++k) {
    if (voiced[k] && (!loudest || energy[k] > energy[*loudest])) loudest = k;
  }
  if (!loudest) return {};
  const auto in_run = [&](std::size_t k) {
    return voiced[k] || (k > 0 && k + 1 < voiced.size() && voiced[k - 1] && voiced[k + 1]);
  };
  const double gate = energy[*loudest] * DbToGain(-16);  // -8 dB in power
  std::size_t begin = *loudest, end = *loudest + 1;
  for (std::size_t k = *loudest; k > 0 && in_run(k - 1); --k) {
    if (energy[k - 1] >= gate) begin = k - 1;
  }
  for (std::size_t k = *loudest + 1; k < voiced.size() && in_run(k); ++k) {
    if (energy[k] >= gate) end = k + 1;
  }
  return {begin * step, end * step};
}

// s with added samples (at kWorkRate) given to the vowel, or nothing when
// the stretcher fails.
std::optional<Samples> Stretch(const Samples& s, Span vowel, unsigned added) {
  // The finer engine holds a vowel smoothly where the faster one warbles,
  // but at the pack's rate it drops the end of a long stretch: it works at
  // the voice's own rate.
  const Samples in = Resample(s, kSampleRate, kWorkRate);
  const auto at_work_rate = [](std::size_t sample) {
    return static_cast<unsigned>(static_cast<double>(sample) * kWorkRate / kSampleRate);
  };
  const std::size_t length = in.size() + added;

  // Offline stretching along a key-frame map: up to the vowel the timing
  // stays as it is, the vowel's steady part takes the added time, and what
  // follows keeps its own length again.
  RubberBandState stretcher = rubberband_new(
      kWorkRate, 1,
      RubberBandOptionProcessOffline | RubberBandOptionEngineFiner | RubberBandOptionFormantPreserved,
      static_cast<double>(length) / static_cast<double>(in.size()), 1.0);
  if (stretcher == nullptr) return std::nullopt;
  constexpr std::size_t kBlock = 1024;  // the stretcher's buffers hold only so much at once
  rubberband_set_max_process_size(stretcher, kBlock);
  rubberband_set_expected_input_duration(stretcher, static_cast<unsigned>(in.size()));
  const float* all = in.data();
  rubberband_study(stretcher, &all, static_cast<unsigned>(in.size()), 1);
  unsigned from[] = {at_work_rate(vowel.begin), at_work_rate(vowel.end)};
  unsigned to[] = {from[0], from[1] + added};
  rubberband_set_key_frame_map(stretcher, 2, from, to);
  Samples out;
  const auto take = [&] {
    for (int ready = rubberband_available(stretcher); ready > 0; ready = rubberband_available(stretcher)) {
      const std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(ready));
      float* output = out.data() + at;
      out.resize(at + rubberband_retrieve(stretcher, &output, static_cast<unsigned>(ready)));
    }
  };
  for (std::size_t at = 0; at < in.size(); at += kBlock) {
    const float* block = in.data() + at;
    const std::size_t count = std::min(kBlock, in.size() - at);
    rubberband_process(stretcher, &block, static_cast<unsigned>(count), at + count == in.size() ? 1 : 0);
    take();
  }
  const bool done = rubberband_available(stretcher) == -1;
  rubberband_delete(stretcher);
  // Its length may differ by a few samples; far short of it, the end was lost.
  if (!done || out.size() < in.size() + added / 2) return std::nullopt;
  return Resample(out, kWorkRate, kSampleRate);
}

}  // namespace

Samples LengthenVowel(const Samples& s, double voiced_seconds) {
  const Span vowel = SteadyVowel(s);
  Samples best = s;
  double best_voiced = VoicedSeconds(s);
  if (vowel.end <= vowel.begin) return best;
  // A held vowel is voiced a little less than the voice's own, so the time
  // still missing is added again, from the voice's own letter each time.
  double added = 0;
  for (int attempt = 0; attempt < 6 && best_voiced < voiced_seconds; ++attempt) {
    added += 1.5 * (voiced_seconds - best_voiced);
    if (added > kLongestHold) break;
    const std::optional<Samples> longer = Stretch(s, vowel, static_cast<unsigned>(std::ceil(added * kWorkRate)));
    if (!longer) break;
    const double voiced = VoicedSeconds(*longer);
    if (voiced > best_voiced) {
      best = *longer;
      best_voiced = voiced;
    }
  }
  return best;
}

}  // namespace kanae::sound_pack
