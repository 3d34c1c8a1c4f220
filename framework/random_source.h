// The one source of randomness of a game (Rnd): uniform numbers in [0, 1).
#pragma once

#include <cstdint>
#include <random>

namespace kanae {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A uniform number in [0, 1).
  virtual double Next() = 0;
  // Seeds the generator afresh (from the clock in the program).
  virtual void Reseed() = 0;
};

// Int(Rnd * n): a uniform index in 0..n-1 (0 when n is 0).
int DrawIndex(RandomSource& rnd, int n);

// Mersenne Twister seeded from the clock at every Reseed.
class ClockRandomSource : public RandomSource {
 public:
  ClockRandomSource();
  double Next() override;
  void Reseed() override;

 private:
  std::mt19937_64 engine_;
  std::uint64_t reseeds_ = 0;
};

// A fixed seed, restored at every Reseed: the same numbers on every run.
class SeededRandomSource : public RandomSource {
 public:
  explicit SeededRandomSource(std::uint64_t seed) : seed_(seed), engine_(seed) {}
  double Next() override;
  void Reseed() override { engine_.seed(seed_); }

 private:
  std::uint64_t seed_;
  std::mt19937_64 engine_;
};

}  // namespace kanae
