#include "core/block_pool.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define PG_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define PG_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
// Without the sanitizer the marks only use their arguments.
#define PG_POISON(p, n) ((void)(p), (void)(n))
#define PG_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace pg {

namespace {
constexpr size_t kChunkBytes = CTilePool::kBlockBytes * CTilePool::kBlocksPerChunk;

// A chunk mapped on a boundary of its own size, so that the kernel can back
// it with one huge page, and made present at once when populate is set. The
// first write to every fresh small page costs a fault, far more on virtual
// machines (where it can cost tens of microseconds even for pages already
// made present); one large page takes a single one. Where the system has no large pages the chunk is
// made of small ones as before. nullptr when no memory could be had.
void* mapChunkMemory(bool populate) {
  const size_t span = 2 * kChunkBytes;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kChunkBytes - 1) & ~uintptr_t{kChunkBytes - 1};
  if (aligned > start) munmap(raw, aligned - start);
  const uintptr_t end = aligned + kChunkBytes;
  if (start + span > end) munmap(reinterpret_cast<void*>(end), start + span - end);
  void* p = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE)
  (void)madvise(p, kChunkBytes, MADV_HUGEPAGE);  // a hint: refused, the pages are smaller
#endif
#if defined(MADV_POPULATE_WRITE)
  // A hint: refused, the pages are had at first touch.
  if (populate) (void)madvise(p, kChunkBytes, MADV_POPULATE_WRITE);
#else
  (void)populate;  // without the hint the pages are had at first touch
#endif
  return p;
}
}  // namespace

// Under the address sanitizer, free blocks are poisoned: a pointer kept past
// the decommit of its tile is caught at its first use.

CTilePool::~CTilePool() {
  for (Chunk& c : chunks_)
    if (c.base) {
      PG_UNPOISON(c.base, kChunkBytes);
      munmap(c.base, kChunkBytes);
    }
}

bool CTilePool::mapChunk(uint32_t& index) {
  // Made present at once unless told otherwise: a chunk is soon filled
  // (blocks go to partly used chunks first).
  void* p = mapChunkMemory(populateOnMap_);
  if (p == nullptr) return false;
  try {
    if (vacant_.empty()) {
      chunks_.emplace_back();
      bases_.push_back(nullptr);
      index = static_cast<uint32_t>(chunks_.size() - 1);
    } else {
      index = vacant_.back();
      vacant_.pop_back();
    }
    Chunk& c = chunks_[index];
    c.freeSlots.resize(kBlocksPerChunk);
    // Hand out low blocks first.
    for (uint32_t i = 0; i < kBlocksPerChunk; ++i) c.freeSlots[i] = static_cast<uint16_t>(kBlocksPerChunk - 1 - i);
    partial_.reserve(chunks_.size());
    vacant_.reserve(chunks_.size());
  } catch (const std::bad_alloc&) {
    munmap(p, kChunkBytes);
    if (index < chunks_.size() && chunks_[index].base == nullptr) {
      std::vector<uint16_t>().swap(chunks_[index].freeSlots);
      if (vacant_.capacity() > vacant_.size()) vacant_.push_back(index);
    }
    return false;
  }
  PG_POISON(p, kChunkBytes);
  chunks_[index].base = static_cast<uint8_t*>(p);
  bases_[index] = chunks_[index].base;
  ++chunksMapped_;
  addPartial(index);
  return true;
}

void CTilePool::unmapChunk(uint32_t index) {
  Chunk& c = chunks_[index];
  removePartial(index);
  PG_UNPOISON(c.base, kChunkBytes);
  munmap(c.base, kChunkBytes);
  c.base = nullptr;
  bases_[index] = nullptr;
  std::vector<uint16_t>().swap(c.freeSlots);
  --chunksMapped_;
  vacant_.push_back(index);  // capacity reserved in mapChunk
}

void CTilePool::addPartial(uint32_t index) {
  chunks_[index].partialPos = static_cast<int32_t>(partial_.size());
  partial_.push_back(index);  // capacity reserved in mapChunk
}

void CTilePool::removePartial(uint32_t index) {
  int32_t pos = chunks_[index].partialPos;
  if (pos < 0) return;
  uint32_t last = partial_.back();
  partial_[static_cast<size_t>(pos)] = last;
  chunks_[last].partialPos = pos;
  partial_.pop_back();
  chunks_[index].partialPos = -1;
}

uint32_t CTilePool::allocBlock() {
  if (failAfter_ == 0) return 0;
  uint32_t index = kNone;
  if (!partial_.empty()) {
    index = partial_.back();
  } else if (!mapChunk(index)) {
    return 0;
  }
  if (index == spare_) spare_ = kNone;
  Chunk& c = chunks_[index];
  uint32_t slot = c.freeSlots.back();
  c.freeSlots.pop_back();
  if (c.freeSlots.empty()) removePartial(index);
  ++blocksInUse_;
  if (failAfter_ > 0) --failAfter_;
  const uint32_t handle = (index << kChunkShift) + slot + 1;
  PG_UNPOISON(address(handle), kBlockBytes);
  return handle;
}

void CTilePool::freeBlock(uint32_t handle) {
  if (handle == 0) return;
  uint32_t i = handle - 1;
  uint32_t index = i >> kChunkShift;
  Chunk& c = chunks_[index];
  PG_POISON(address(handle), kBlockBytes);
  c.freeSlots.push_back(static_cast<uint16_t>(i & (kBlocksPerChunk - 1)));  // capacity kept from mapChunk
  --blocksInUse_;
  if (c.partialPos < 0) addPartial(index);
  if (c.freeSlots.size() == kBlocksPerChunk) {
    // Keep one empty chunk mapped so that commit/compact cycles on a single
    // tile do not map and unmap a megabyte each time.
    if (spare_ == kNone || spare_ == index) {
      spare_ = index;
    } else {
      unmapChunk(index);
    }
  }
}

CTilePool& tilePool() {
  static CTilePool* pool = new CTilePool;  // never destroyed: images may outlive static teardown order
  return *pool;
}

}  // namespace pg
