// The random numbers of the summary generator: xoshiro256** seeded through
// splitmix64, with its own mapping onto ranges, so that one seed gives the
// same summaries on every machine and with every standard library.

#ifndef GRULO_TOOLS_GRULO_GEN_GEN_RANDOM_H_
#define GRULO_TOOLS_GRULO_GEN_GEN_RANDOM_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace grulo {
namespace gen {

// One step of splitmix64: advances `state` and returns the next output.
inline uint64_t SplitMix64(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Parts per billion: the exact form of a share such as 0.1.
inline constexpr uint32_t kBillion = 1000000000;

class Random {
 public:
  explicit Random(uint64_t seed) {
    uint64_t sm = seed;
    for (uint64_t& word : s_) word = SplitMix64(&sm);
  }

  // xoshiro256**.
  uint64_t Next() {
    const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
  }

  // Uniform in [0, n); 0 when n is 0. Draws again while the draw falls into
  // the incomplete last copy of the range, so every value is equally likely.
  uint64_t Below(uint64_t n) {
    if (n == 0) return 0;
    const uint64_t threshold = (0 - n) % n;  // 2^64 mod n
    for (;;) {
      const uint64_t r = Next();
      if (r >= threshold) return r % n;
    }
  }

  // Uniform in [low, high]; low when high < low.
  int Between(int low, int high) {
    if (high <= low) return low;
    return low + static_cast<int>(Below(static_cast<uint64_t>(high - low) + 1));
  }

  // True with the probability `ppb` / 10^9.
  bool Chance(uint32_t ppb) { return Below(kBillion) < ppb; }

  // True with the probability `percent` / 100.
  bool Percent(int percent) { return Below(100) < static_cast<uint64_t>(percent); }

  // The index of a choice drawn with the given weights (not all 0).
  int Weighted(std::initializer_list<int> weights) {
    uint64_t total = 0;
    for (int w : weights) total += static_cast<uint64_t>(w);
    uint64_t r = Below(total);
    int index = 0;
    for (int w : weights) {
      if (r < static_cast<uint64_t>(w)) return index;
      r -= static_cast<uint64_t>(w);
      ++index;
    }
    return index - 1;
  }

  // One of the characters of `chars` (a NUL-terminated text, not empty).
  template <std::size_t N>
  char OneOf(const char (&chars)[N]) {
    static_assert(N > 1, "at least one character");
    return chars[Below(N - 1)];
  }

 private:
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  uint64_t s_[4];
};

}  // namespace gen
}  // namespace grulo

#endif  // GRULO_TOOLS_GRULO_GEN_GEN_RANDOM_H_
