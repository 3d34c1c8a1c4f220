// The one source of randomness of a game (Rnd): uniform numbers in [0, 1).
#pragma once

#include <cstdint>
#include <numeric>
#include <random>
#include <span>
#include <utility>

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

// items.size() exchanges of two independently drawn positions (a may equal b):
// the games' own shuffle, kept because lessons rely on its feel.
template <typename T>
void ExchangeShuffle(std::span<T> items, RandomSource& rnd) {
  const int count = static_cast<int>(items.size());
  for (int turn = 0; turn < count; ++turn) {
    const int a = DrawIndex(rnd, count);
    const int b = DrawIndex(rnd, count);
    std::swap(items[a], items[b]);
  }
}

// The positions 0..n-1 in a random order, by the same exchanges.
inline void ShuffleSlots(std::span<int> positions, RandomSource& rnd) {
  std::iota(positions.begin(), positions.end(), 0);
  ExchangeShuffle(positions, rnd);
}

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
