#pragma once
// A non-recursive sort of fixed-size records with a compare call-back:
// quicksort with the middle record as pivot over an explicit stack, and a
// selection sort for parts of at most 8 records. Not stable. The compare
// call-back takes the addresses of two records and answers a negative, zero
// or positive int, like memcmp.
#include <cstddef>
#include <cstdint>

namespace pg {

// Exchanges two records byte by byte; nothing when a = b.
inline void swapRecords(void* a, void* b, size_t size) {
  if (a == b) return;
  auto* p = static_cast<uint8_t*>(a);
  auto* q = static_cast<uint8_t*>(b);
  for (size_t i = 0; i < size; ++i) {
    uint8_t t = p[i];
    p[i] = q[i];
    q[i] = t;
  }
}

// Sorts the records from address lo to address hi (inclusive) by repeated
// selection of the largest; among equal records the first found stays the
// maximum.
template <class Compare>
void sortSmall(uint8_t* lo, uint8_t* hi, size_t size, Compare&& compare) {
  while (hi > lo) {
    uint8_t* max = lo;
    for (uint8_t* p = lo + size; p <= hi; p += size)
      if (compare(static_cast<const void*>(p), static_cast<const void*>(max)) > 0) max = p;
    swapRecords(max, hi, size);
    hi -= size;
  }
}

// Sorts count records of size bytes at base in place, ascending by compare.
template <class Compare>
void sortRecords(void* base, size_t count, size_t size, Compare&& compare) {
  if (count < 2 || size == 0) return;
  auto cmp = [&](const uint8_t* a, const uint8_t* b) {
    return compare(static_cast<const void*>(a), static_cast<const void*>(b));
  };
  // The larger part is pushed and the smaller one continued with, so the
  // stack never holds more than log2(count) entries; 64 covers any count.
  struct Pending {
    uint8_t* lo;
    uint8_t* hi;
  };
  Pending stack[64];
  int depth = 0;

  uint8_t* lo = static_cast<uint8_t*>(base);
  uint8_t* hi = lo + (count - 1) * size;
  for (;;) {
    const size_t n = static_cast<size_t>(hi - lo) / size + 1;
    bool haveNext = false;
    if (n <= 8) {
      sortSmall(lo, hi, size, compare);
    } else {
      swapRecords(lo + (n / 2) * size, lo, size);  // the middle record becomes the pivot at lo
      uint8_t* i = lo;
      uint8_t* j = hi + size;
      for (;;) {
        do {
          i += size;
        } while (i <= hi && cmp(i, lo) <= 0);
        do {
          j -= size;
        } while (j > lo && cmp(j, lo) >= 0);
        if (j < i) break;
        swapRecords(i, j, size);
      }
      swapRecords(lo, j, size);
      // Parts [lo, j - size] and [i, hi]; the records between are equal to the pivot.
      const bool hasLeft = lo + size < j;
      const bool hasRight = i < hi;
      if ((j - lo - 1) < (hi - i)) {
        if (hasRight) stack[depth++] = {i, hi};
        if (hasLeft) {
          hi = j - size;
          haveNext = true;
        }
      } else {
        if (hasLeft) stack[depth++] = {lo, j - size};
        if (hasRight) {
          lo = i;
          haveNext = true;
        }
      }
    }
    if (!haveNext) {
      if (depth == 0) return;
      --depth;
      lo = stack[depth].lo;
      hi = stack[depth].hi;
    }
  }
}

}  // namespace pg
