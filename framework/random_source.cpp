#include "random_source.h"

#include <chrono>
#include <cmath>

namespace kanae {

namespace {

// 53 random bits scaled into [0, 1); never 1.0, unlike generate_canonical on
// some standard libraries.
double Uniform(std::mt19937_64& engine) { return static_cast<double>(engine() >> 11) * 0x1.0p-53; }

}  // namespace

int DrawIndex(RandomSource& rnd, int n) { return static_cast<int>(std::floor(rnd.Next() * n)); }

ClockRandomSource::ClockRandomSource() { Reseed(); }

double ClockRandomSource::Next() { return Uniform(engine_); }

void ClockRandomSource::Reseed() {
  // Two reseeds within one clock tick must still give different sequences.
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  std::seed_seq seq{static_cast<std::uint64_t>(now), ++reseeds_};
  engine_.seed(seq);
}

double SeededRandomSource::Next() { return Uniform(engine_); }

}  // namespace kanae
