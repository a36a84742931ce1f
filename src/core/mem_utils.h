#pragma once
// Plain memory helpers of the raster code (fill, copy, compare, reverse) and
// the one place where pixel and buffer blocks are taken from the heap.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace pg {

// ---- Blocks ------------------------------------------------------------------
// Every pixel plane and dynamic buffer takes its memory here. Blocks are
// zero-filled (stale memory must never reach a saved file), failure answers
// nullptr and never throws.

// A zero-filled block of `bytes` bytes; nullptr when bytes is 0 or the memory
// could not be had.
void* allocBlock(size_t bytes) noexcept;
// Resizes a block from oldBytes to newBytes, keeping the first
// min(oldBytes, newBytes) bytes and zero-filling the rest. newBytes = 0 frees
// the block and answers nullptr. On failure answers nullptr and leaves p as
// it was (still owned by the caller).
void* reallocBlock(void* p, size_t oldBytes, size_t newBytes) noexcept;
// Frees a block from allocBlock or reallocBlock; nullptr is allowed.
void freeBlock(void* p) noexcept;

// Test hook: when set, it is asked before every allocation with the byte
// count, and an answer of true makes that allocation fail. An empty function
// removes the hook. Answers the previous hook.
using AllocFailHook = std::function<bool(size_t bytes)>;
AllocFailHook setAllocFailHook(AllocFailHook hook);

// ---- Compare, reverse, fill, copy --------------------------------------------

// Compares bytes as unsigned up to the first difference: -1 when a's byte is
// smaller, 1 when larger, 0 when all n are equal (or n = 0).
inline int compareMem(const void* a, const void* b, size_t n) {
  if (n == 0) return 0;
  int c = std::memcmp(a, b, n);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Reverses the order of n bytes in place.
inline void reverseBytes(void* p, size_t n) {
  auto* lo = static_cast<uint8_t*>(p);
  if (n < 2) return;
  uint8_t* hi = lo + n - 1;
  while (lo < hi) {
    uint8_t t = *lo;
    *lo++ = *hi;
    *hi-- = t;
  }
}

// n bytes := v.
inline void fillBytes(void* p, uint8_t v, size_t n) {
  if (n) std::memset(p, v, n);
}

// n div 4 dwords := pattern, then the remaining n mod 4 bytes := the
// pattern's low byte. p need not be aligned.
inline void fillMem32(void* p, uint32_t pattern, size_t n) {
  auto* d = static_cast<uint8_t*>(p);
  const size_t words = n / 4;
  for (size_t i = 0; i < words; ++i) std::memcpy(d + 4 * i, &pattern, 4);
  for (size_t i = words * 4; i < n; ++i) d[i] = static_cast<uint8_t>(pattern);
}
inline void fillDWords(void* p, uint32_t pattern, size_t n) { fillMem32(p, pattern, n); }

// fillMem32 with v in all four bytes: n bytes := v.
inline void fillMemByte(void* p, uint8_t v, size_t n) { fillBytes(p, v, n); }

// Forward copies of n bytes; the blocks must not overlap.
inline void copyBytes(void* dst, const void* src, size_t n) {
  if (n) std::memcpy(dst, src, n);
}
inline void copyMem(void* dst, const void* src, size_t n) {
  if (n) std::memcpy(dst, src, n);
}

}  // namespace pg
