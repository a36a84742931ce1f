#include "core/mem_utils.h"

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

}  // namespace

void* allocBlock(size_t bytes) noexcept {
  if (bytes == 0 || refusedByHook(bytes)) return nullptr;
  return std::calloc(bytes, 1);
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
