#pragma once
// Two small containers.
//
// CRingBuf is a ring of equal-sized elements around a current slot: a back
// count (the elements up to and including the current one) and a forward count
// (elements that were stepped back over and can be stepped forward again): the
// shape of a bounded history with redo. CRingBufDWORD fixes the element to
// 4 bytes; the event recorder keeps the start of every committed event in one.
//
// SByteGrid is a plain top-down width x height byte buffer that carries an
// alpha or mask rectangle between tiled images and planes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CRingBuf {
 public:
  // Nothing is allocated until allocate().
  explicit CRingBuf(int32_t elementSize = 0) : elementSize_(elementSize) {}
  virtual ~CRingBuf() = default;
  CRingBuf(const CRingBuf&) = delete;
  CRingBuf& operator=(const CRingBuf&) = delete;

  // Ring of capacity + extra slots; capacity is the most elements kept behind
  // the current slot, extra the forward elements that survive resize(). False
  // when capacity or element size is below 1 or the storage cannot be had.
  bool allocate(int32_t elementSize, int32_t capacity, int32_t extra);
  // Storage present and capacity above 0. Every operation below answers false
  // (or does nothing) while the ring is not ready.
  bool isReady() const { return buffer_ && capacity_ > 0; }
  void reset();          // current to the buffer start, both counts 0
  void freeBuffer();     // frees the storage and zeroes every field
  int64_t bufferBytes() const { return int64_t(capacity_ + extra_) * elementSize_; }

  [[nodiscard]] bool put(const void* element);             // advance, store, back+1 (clamped), forward 0
  [[nodiscard]] bool replaceCurrent(const void* element);  // store at the current slot; back at least 1
  [[nodiscard]] bool drop();                               // back > 0: retreat, back-1, forward 0
  [[nodiscard]] bool stepBack();                           // back > 0: retreat, back-1, forward+1
  [[nodiscard]] bool stepForward();                        // forward > 0: advance, back+1, forward-1
  int32_t dropForward();                     // forward 0; answers the old forward count
  [[nodiscard]] bool readCurrent(void* element) const;     // back > 0: the current element
  // n = 0: the current element; n > 0: n elements ahead (1 <= n <= forward);
  // n < 0: -n elements behind (1 <= -n <= back-1). False when out of range.
  [[nodiscard]] bool readRelative(int32_t n, void* element) const;
  // New capacities keeping the newest back elements and the nearest forward
  // elements in order.
  [[nodiscard]] bool resize(int32_t capacity, int32_t extra);

  int32_t elementSize() const { return elementSize_; }
  int32_t capacity() const { return capacity_; }
  int32_t backCount() const { return back_; }
  int32_t forwardCount() const { return forward_; }

 protected:
  const uint8_t* slot(int32_t index) const { return buffer_.get() + int64_t(index) * elementSize_; }
  uint8_t* slot(int32_t index) { return buffer_.get() + int64_t(index) * elementSize_; }
  int32_t slotCount() const { return capacity_ + extra_; }
  int32_t advanced(int32_t index) const { return index + 1 < slotCount() ? index + 1 : 0; }
  int32_t retreated(int32_t index) const { return index > 0 ? index - 1 : slotCount() - 1; }

  std::unique_ptr<uint8_t[]> buffer_;
  int32_t elementSize_ = 0;
  int32_t capacity_ = 0;
  int32_t extra_ = 0;
  int32_t back_ = 0;
  int32_t forward_ = 0;
  int32_t current_ = 0;  // slot index of the current element
};

class CRingBufDWORD : public CRingBuf {
 public:
  CRingBufDWORD() : CRingBuf(4) {}
  bool allocate(int32_t capacity, int32_t extra) { return CRingBuf::allocate(4, capacity, extra); }
  // The value at the current slot; 0 while the ring is not ready.
  uint32_t current() const;
  [[nodiscard]] bool readRelative(int32_t n, uint32_t& value) const;
  [[nodiscard]] bool replaceCurrent(uint32_t value) { return CRingBuf::replaceCurrent(&value); }
  [[nodiscard]] bool put(uint32_t value) { return CRingBuf::put(&value); }
};

// A top-down byte buffer: byte (x, y) lies at Data[x + W * y].
struct SByteGrid {
  int32_t W = 0;
  int32_t H = 0;
  std::unique_ptr<uint8_t[]> Data;
};

// Largest grid taken (bytes); bigger requests fail instead of allocating.
inline constexpr int64_t kByteGridMaxBytes = int64_t(1) << 32;

void byteGridInit(SByteGrid& grid);
void byteGridFree(SByteGrid& grid);
// True at once when the size is unchanged and data is present; otherwise frees
// and allocates W * H zeroed bytes. False for negative sizes, sizes above
// kByteGridMaxBytes and failed allocations (the grid is then empty).
[[nodiscard]] bool byteGridSetSize(SByteGrid& grid, int32_t w, int32_t h);
[[nodiscard]] bool byteGridAllocated(const SByteGrid& grid);
int64_t byteGridByteSize(const SByteGrid& grid);
// Frees the old data and takes the block given, which must hold w * h bytes.
void byteGridAdopt(SByteGrid& grid, int32_t w, int32_t h, std::unique_ptr<uint8_t[]> data);
// Hands the data out and empties the record.
std::unique_ptr<uint8_t[]> byteGridDetach(SByteGrid& grid);
// Address of byte (x, y); nullptr outside the grid or when empty.
uint8_t* byteGridRow(const SByteGrid& grid, int32_t x, int32_t y);
// Clips the rectangle to the channel (false when empty), sizes the grid to the
// clipped rectangle and copies it row by row through the channel's row
// addresses, so that a bottom-up channel comes out top-down.
[[nodiscard]] bool byteGridFromChannel(SByteGrid& grid, const TChannel& channel, SRectXYWH rect);
// Writes the grid into the channel with its top-left byte at the point,
// clipped; false when the grid is empty or nothing of it lies on the channel.
[[nodiscard]] bool byteGridToChannel(const SByteGrid& grid, TChannel& channel, TPoint at);

}  // namespace pg
