#pragma once
// The memory of committed tiles: 4096-byte blocks handed out from large
// chunks (512 blocks, one mapping each) with a free list per chunk.
//
// A tiled image never maps or protects memory per tile: the kernel allows a
// process about 65,530 mappings, which a few large layers would exhaust. A
// block keeps its address until it is freed; a chunk whose blocks are all free
// is given back to the system (one empty chunk is kept to avoid churn).
//
// Blocks are named by a 32-bit handle (0 = none) so that a tile record stays
// eight bytes: an empty 10,000 x 10,000 image then costs under 1 MB of records.
//
// One user-interface thread uses the pool; it has no locks.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pg {

class CTilePool {
 public:
  static constexpr size_t kBlockBytes = 4096;
  static constexpr uint32_t kBlocksPerChunk = 512;  // 2 MiB: one large page
  static constexpr uint32_t kChunkShift = 9;         // log2(kBlocksPerChunk)

  CTilePool() = default;
  ~CTilePool();
  CTilePool(const CTilePool&) = delete;
  CTilePool& operator=(const CTilePool&) = delete;

  // A new block (contents undefined), or 0 when no memory could be had.
  uint32_t allocBlock();
  // Gives a block back; 0 is ignored.
  void freeBlock(uint32_t handle);

  // The block's first byte; the handle must be live.
  uint8_t* address(uint32_t handle) const {
    uint32_t i = handle - 1;
    return bases_[i >> kChunkShift] + (static_cast<size_t>(i & (kBlocksPerChunk - 1)) * kBlockBytes);
  }

  uint64_t blocksInUse() const { return blocksInUse_; }
  uint64_t bytesMapped() const { return static_cast<uint64_t>(chunksMapped_) * kBlocksPerChunk * kBlockBytes; }

  // Whether a newly mapped chunk is made present at once (the default: its
  // blocks are soon written). Off, each large page comes at the first write
  // into it, on whichever thread writes: a reader that hands fresh blocks to
  // several threads to fill spreads the clearing of the pages over them
  // instead of doing it all itself first.
  void setPopulateOnMap(bool on) { populateOnMap_ = on; }
  bool populateOnMap() const { return populateOnMap_; }

  // Test hook: after `successes` more successful allocations every allocation
  // fails until the hook is cleared with a negative count.
  void setFailAfter(int64_t successes) { failAfter_ = successes; }

 private:
  struct Chunk {
    uint8_t* base = nullptr;            // nullptr: the slot is vacant
    std::vector<uint16_t> freeSlots;    // stack of free block numbers
    int32_t partialPos = -1;            // position in partial_, -1 when full
  };

  [[nodiscard]] bool mapChunk(uint32_t& index);
  void unmapChunk(uint32_t index);
  void addPartial(uint32_t index);
  void removePartial(uint32_t index);

  static constexpr uint32_t kNone = 0xFFFFFFFFu;

  std::vector<Chunk> chunks_;
  std::vector<uint8_t*> bases_;         // chunk base by chunk index (hot lookup)
  std::vector<uint32_t> partial_;       // chunks with at least one free block
  std::vector<uint32_t> vacant_;        // chunk slots without a mapping
  uint32_t spare_ = kNone;              // the one empty chunk kept mapped
  uint64_t blocksInUse_ = 0;
  uint32_t chunksMapped_ = 0;
  int64_t failAfter_ = -1;
  bool populateOnMap_ = true;
};

// The process-wide pool that every tiled image takes its tiles from.
CTilePool& tilePool();

// New chunks come without their pages while it lives (see
// setPopulateOnMap); the previous setting comes back when it is destroyed.
class CTilePoolFirstWriteScope {
 public:
  CTilePoolFirstWriteScope() : was_(tilePool().populateOnMap()) { tilePool().setPopulateOnMap(false); }
  ~CTilePoolFirstWriteScope() { tilePool().setPopulateOnMap(was_); }
  CTilePoolFirstWriteScope(const CTilePoolFirstWriteScope&) = delete;
  CTilePoolFirstWriteScope& operator=(const CTilePoolFirstWriteScope&) = delete;

 private:
  bool was_;
};

// Makes the pool refuse allocations after `successes` more of them while it
// lives (tests of commit failures); restores normal service when destroyed.
class CTilePoolFailScope {
 public:
  explicit CTilePoolFailScope(int64_t successes) { tilePool().setFailAfter(successes); }
  ~CTilePoolFailScope() { tilePool().setFailAfter(-1); }
  CTilePoolFailScope(const CTilePoolFailScope&) = delete;
  CTilePoolFailScope& operator=(const CTilePoolFailScope&) = delete;
};

}  // namespace pg
