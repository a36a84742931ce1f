#include "core/mem_utils.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace pg {

namespace {

AllocFailHook& failHook() {
  static AllocFailHook hook;
  return hook;
}

bool refusedByHook(size_t bytes) {
  const AllocFailHook& hook = failHook();
  return hook && hook(bytes);
}

// A large block is nearly always written whole soon (a plane, a composite):
// its pages are made present in one call, large pages where the system has
// them, since a fault per small page on first touch costs far more, on
// virtual machines above all (even for pages already made present). Where
// the system cannot, the pages come on first touch as before.
constexpr size_t kPopulateBytes = size_t{4} << 20;

void populate(void* p, size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
  const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t start = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(page - 1);
  if (end <= start) return;
#if defined(MADV_HUGEPAGE)
  // A hint: refused, the pages are smaller.
  (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
  // A hint: refused, the pages are had at first touch.
  (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
  // Without madvise there is nothing to hint.
  (void)p;
  (void)bytes;
#endif
}

}  // namespace

void* allocBlock(size_t bytes) noexcept {
  if (bytes == 0 || refusedByHook(bytes)) return nullptr;
  void* p = std::calloc(bytes, 1);
  if (p != nullptr && bytes >= kPopulateBytes) populate(p, bytes);
  return p;
}

void* reallocBlock(void* p, size_t oldBytes, size_t newBytes) noexcept {
  if (newBytes == 0) {
    std::free(p);
    return nullptr;
  }
  if (p == nullptr) return allocBlock(newBytes);
  if (refusedByHook(newBytes)) return nullptr;
  void* q = std::realloc(p, newBytes);
  if (q == nullptr) return nullptr;
  if (newBytes > oldBytes) std::memset(static_cast<uint8_t*>(q) + oldBytes, 0, newBytes - oldBytes);
  return q;
}

void freeBlock(void* p) noexcept { std::free(p); }

AllocFailHook setAllocFailHook(AllocFailHook hook) { return std::exchange(failHook(), std::move(hook)); }

}  // namespace pg
