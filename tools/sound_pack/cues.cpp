#include "cues.h"

#include "platform/audio/levelling.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace kanae::sound_pack {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

Samples Silence(double seconds) { return Samples(static_cast<std::size_t>(seconds * kSampleRate), 0.0f); }

double Time(std::size_t i) { return static_cast<double>(i) / kSampleRate; }

// Fixed seed: the pack comes out the same at every build.
class Noise {
 public:
  float operator()() {
    return static_cast<float>(2.0 * static_cast<double>(rng_() - std::minstd_rand::min()) /
                                  static_cast<double>(std::minstd_rand::max() - std::minstd_rand::min()) -
                              1.0);
  }

 private:
  std::minstd_rand rng_{20240601};
};

// One-pole low-pass; enough to take the edge off noise and buzz.
class LowPass {
 public:
  explicit LowPass(double cutoff_hz) : a_(1.0 - std::exp(-kTwoPi * cutoff_hz / kSampleRate)) {}
  float operator()(float x) {
    y_ += a_ * (x - y_);
    return static_cast<float>(y_);
  }

 private:
  double a_;
  double y_ = 0;
};

// A struck bell: a few harmonics, the higher ones dying sooner.
void AddBell(Samples& s, double start, double hz, double decay) {
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  for (std::size_t i = first; i < s.size(); ++i) {
    const double t = Time(i - first);
    const double attack = std::min(1.0, t / 0.006);
    s[i] += static_cast<float>(attack * (std::sin(kTwoPi * hz * t) * std::exp(-t / decay) +
                                         0.35 * std::sin(kTwoPi * 2 * hz * t) * std::exp(-t / (decay * 0.5)) +
                                         0.12 * std::sin(kTwoPi * 3 * hz * t) * std::exp(-t / (decay * 0.3))));
  }
}

Samples Chime() {
  Samples s = Silence(1.1);
  AddBell(s, 0.0, 987.77, 0.30);   // B5
  AddBell(s, 0.26, 783.99, 0.38);  // G5: a falling major third
  return s;
}

Samples Buzzer() {
  Samples s = Silence(0.6);
  LowPass soften(1800);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = Time(i);
    double v = 0;
    // Two slightly detuned band-limited square waves give the buzz its rasp.
    for (int k = 1; k <= 15; k += 2) {
      v += (std::sin(kTwoPi * 110.0 * k * t) + std::sin(kTwoPi * 111.3 * k * t)) / k;
    }
    s[i] = soften(static_cast<float>(v));
  }
  return s;
}

// A damped ring, the body of a click.
void AddRing(Samples& s, double start, double hz, double decay, double level) {
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  for (std::size_t i = first; i < s.size(); ++i) {
    const double t = Time(i - first);
    s[i] += static_cast<float>(level * std::sin(kTwoPi * hz * t) * std::exp(-t / decay));
  }
}

void AddNoiseBurst(Samples& s, double start, double decay, double cutoff_hz, bool bright, double level) {
  Noise noise;
  LowPass lp(cutoff_hz);
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  for (std::size_t i = first; i < s.size(); ++i) {
    const float n = noise();
    const float low = lp(n);
    const float shaped = bright ? n - low : low;  // high- or low-passed
    s[i] += static_cast<float>(level * shaped * std::exp(-Time(i - first) / decay));
  }
}

Samples Click() {
  Samples s = Silence(0.2);
  AddNoiseBurst(s, 0.0, 0.006, 2500, false, 1.0);  // ガ: a dull knock
  AddRing(s, 0.0, 190, 0.018, 0.6);
  AddNoiseBurst(s, 0.07, 0.012, 2000, true, 1.0);  // チャ: the latch catching
  AddRing(s, 0.07, 2600, 0.010, 0.25);
  return s;
}

Samples Bang() {
  Samples s = Silence(0.8);
  AddNoiseBurst(s, 0.0, 0.004, 6000, true, 0.5);  // the crack
  // The roar: noise darkened twice over, so it booms rather than hisses.
  Noise noise;
  LowPass dark1(700), dark2(700);
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = Time(i);
    s[i] += static_cast<float>(4.0 * dark2(dark1(noise())) * std::exp(-t / 0.12));
    phase += kTwoPi * (45 + 75 * std::exp(-t / 0.05)) / kSampleRate;  // the thump's pitch falls
    s[i] += static_cast<float>(0.8 * std::sin(phase) * std::exp(-t / 0.16));
  }
  return s;
}

Cue Finish(std::string file, Samples s, double fade_in, double fade_out) {
  Fade(s, fade_in, fade_out);
  // About as loud as the letter files (by the same measure; a cue may stand
  // 1 dB above them, well within the 3 dB the ear takes as one level): a
  // buzzer at full peak sounds far louder than the message that follows it.
  // A crack's peak may be limited a little to get there; the attack of a
  // cue is otherwise left as it is.
  constexpr double kCueAboveSpeechDb = 1.0;
  audio::Level(s, kSampleRate,
               {.loudness_db = kSpeechRmsDbfs + kCueAboveSpeechDb,
                .peak_db = kPeakDbfs,
                .most_limiting_db = 4.5,
                .loudest_part_above_db = std::numeric_limits<double>::infinity()});
  return {std::move(file), std::move(s)};
}

}  // namespace

std::vector<Cue> MakeCues() {
  std::vector<Cue> cues;
  cues.push_back(Finish("ピンポン.wav", Chime(), 0.002, 0.25));
  cues.push_back(Finish("ブー.wav", Buzzer(), 0.01, 0.06));
  cues.push_back(Finish("ガチャ.wav", Click(), 0.001, 0.04));
  cues.push_back(Finish("バーン.wav", Bang(), 0.002, 0.25));
  return cues;
}

}  // namespace kanae::sound_pack
