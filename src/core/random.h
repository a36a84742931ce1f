#pragma once
// A seeded range random generator with an explicit state record, used by the
// dissolve blend and by the noise and scatter code. A layer stores its record,
// so the field order {Seed, Lo, Hi, Count, State} may reach files.
#include <cstdint>

namespace pg {

struct SRandomRange {
  uint32_t Seed = 0;   // the seed given
  uint32_t Lo = 0;     // the range [Lo, Hi)
  uint32_t Hi = 0;
  uint32_t Count = 0;  // values drawn so far
  uint32_t State = 0;  // generator state
  friend bool operator==(const SRandomRange&, const SRandomRange&) = default;
};

// One step of the linear congruential generator: s*134775813 + 1 (mod 2^32).
constexpr uint32_t lcgNext(uint32_t s) { return s * 134775813u + 1u; }

// The high 32 bits of the unsigned 64-bit product a*b.
constexpr uint32_t mulHigh32(uint32_t a, uint32_t b) {
  return static_cast<uint32_t>((static_cast<uint64_t>(a) * b) >> 32);
}

// Starts a sequence; the same seed always gives the same sequence.
inline void initRandomRange(SRandomRange& rec, uint32_t seed, uint32_t lo, uint32_t hi) {
  rec = {seed, lo, hi, 0, seed};
}

// The next value: Lo + mulHigh32(Hi - Lo, State) after a step of State, a
// value in [Lo, Hi) when Lo < Hi (Hi itself never comes); Lo when Lo = Hi.
// The arithmetic is modulo 2^32, so a negative Lo stored as its two's
// complement gives the right signed result when cast to int32_t.
inline uint32_t nextRandomInRange(SRandomRange& rec) {
  ++rec.Count;
  rec.State = lcgNext(rec.State);
  return rec.Lo + mulHigh32(rec.Hi - rec.Lo, rec.State);
}

}  // namespace pg
