#pragma once
// Plain record buffers that own one heap block each (records, a 2-D grid of
// elements, 8-byte pairs) and CDynStack, a bounded container of fixed-size
// elements handed back oldest first. Nothing here throws: every operation that
// allocates answers a bool. Byte sizes are computed in 64 bits; a negative
// count or element size is refused. New bytes are zero-filled.
#include <cstddef>
#include <cstdint>

namespace pg {

// ---- SDynBuf: a one-dimensional array of records ------------------------------

struct SDynBuf {
  int32_t Count = 0;       // elements
  void* Data = nullptr;    // nullptr when empty
  int32_t ElemSize = 0;    // bytes per element
};

void dynBufInit(SDynBuf& b);
[[nodiscard]] inline bool dynBufAllocated(const SDynBuf& b) { return b.Data != nullptr; }
inline int64_t dynBufByteSize(const SDynBuf& b) { return static_cast<int64_t>(b.Count) * b.ElemSize; }
// When allocated every byte := v; answers dynBufAllocated.
[[nodiscard]] bool dynBufFill(SDynBuf& b, uint8_t v);
// Frees the block (when there is one) and zeroes all fields.
void dynBufFree(SDynBuf& b);
// Hands the block to the caller (free it with freeBlock) and zeroes all fields.
void* dynBufDetach(SDynBuf& b);
// A different element size drops the old contents first; the same count with
// data present changes nothing; otherwise the block is resized keeping its
// contents up to the smaller size. Answers whether data exists afterwards
// (False for a count of 0). On failure the buffer is as it was before the
// resize (empty when the element size changed).
[[nodiscard]] bool dynBufSetLength(SDynBuf& b, int32_t elemSize, int32_t count);
// Resizes keeping the contents (as bytes, up to the smaller size), also when
// the element size changes. On failure b is unchanged.
[[nodiscard]] bool dynBufResizeKeep(SDynBuf& b, int32_t elemSize, int32_t count);
// When dst has no data: dst := src, src zeroed, True; otherwise False.
[[nodiscard]] bool dynBufMove(SDynBuf& dst, SDynBuf& src);
// When src has data: dst gets src's size and a copy of its bytes; when src has
// none: dynBufMove (False when dst holds data, which then stays as it was).
[[nodiscard]] bool dynBufAssign(SDynBuf& dst, SDynBuf& src);

// ---- SGrid2D: a two-dimensional array of elements -----------------------------

struct SGrid2D {
  int32_t W = 0;
  int32_t H = 0;
  int32_t Count = 0;  // W * H
  int32_t ElemSize = 0;
  void* Data = nullptr;
};

void grid2DInit(SGrid2D& g);
[[nodiscard]] inline bool grid2DAllocated(const SGrid2D& g) { return g.Data != nullptr; }
inline int64_t grid2DByteSize(const SGrid2D& g) { return static_cast<int64_t>(g.Count) * g.ElemSize; }
void grid2DFill(SGrid2D& g, uint8_t v);
// Copies the ElemSize bytes at pattern into every element.
void grid2DFillElem(SGrid2D& g, const void* pattern);
void grid2DFree(SGrid2D& g);
// A different element size drops the old contents first; the same W x H with
// data present changes nothing; otherwise the block is resized keeping its
// contents up to the smaller size. A W*H beyond 32 bits is refused. On failure
// the grid is as it was before the resize.
[[nodiscard]] bool grid2DSetSize(SGrid2D& g, int32_t elemSize, int32_t w, int32_t h);

// ---- SPairBuf: an array of 8-byte elements --------------------------------------

struct SPairBuf {
  int32_t Count = 0;
  void* Data = nullptr;
};

void pairBufInit(SPairBuf& p);
[[nodiscard]] inline bool pairBufAllocated(const SPairBuf& p) { return p.Data != nullptr; }
void pairBufFree(SPairBuf& p);
// The same count with data present changes nothing; otherwise the block is
// resized to count*8 bytes keeping its contents. On failure p is unchanged.
[[nodiscard]] bool pairBufSetLength(SPairBuf& p, int32_t count);
[[nodiscard]] bool pairBufMove(SPairBuf& dst, SPairBuf& src);

// ---- CDynStack: a bounded first-in, first-out container ------------------------
// Holds up to `capacity` elements of `elemSize` bytes and hands them back in
// the order of arrival. A push into a full container is refused and sets a
// flag that stays set until reset (the seed fill reads it to learn that its
// region was cut short). Kept as a ring, so take costs the same at any length.

class CDynStack {
 public:
  CDynStack(int32_t elemSize, int32_t capacity);
  virtual ~CDynStack();
  CDynStack(const CDynStack&) = delete;
  CDynStack& operator=(const CDynStack&) = delete;

  bool isAllocated() const { return dynBufAllocated(Buf_); }
  // Empties the container and clears the overflow flag.
  void reset();
  // Copies ElemSize bytes from element in; False (and the overflow flag set)
  // when the container is full or has no block.
  [[nodiscard]] bool push(const void* element);
  // Copies the oldest element out and removes it; False when empty.
  [[nodiscard]] bool take(void* element);

  [[nodiscard]] bool Overflow() const { return Overflow_; }
  int32_t Length() const { return Length_; }
  int32_t ElemSize() const { return Buf_.ElemSize; }

 private:
  SDynBuf Buf_;
  bool Overflow_ = false;
  int32_t Length_ = 0;
  int32_t First_ = 0;  // index of the oldest element
};

}  // namespace pg
