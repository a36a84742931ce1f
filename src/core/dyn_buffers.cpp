#include "core/dyn_buffers.h"

#include <cstring>
#include <utility>

#include "core/mem_utils.h"

namespace pg {

namespace {

// Resizes a block from oldBytes to newBytes (both not negative). Answers
// false, leaving data untouched, when the memory could not be had.
bool resizeBlock(void*& data, int64_t oldBytes, int64_t newBytes) {
  if (data == nullptr) oldBytes = 0;
  void* q = reallocBlock(data, static_cast<size_t>(oldBytes), static_cast<size_t>(newBytes));
  if (q == nullptr && newBytes > 0) return false;
  data = q;
  return true;
}

}  // namespace

// ---- SDynBuf -----------------------------------------------------------------------

void dynBufInit(SDynBuf& b) { b = {}; }

bool dynBufFill(SDynBuf& b, uint8_t v) {
  if (!dynBufAllocated(b)) return false;
  fillBytes(b.Data, v, static_cast<size_t>(dynBufByteSize(b)));
  return true;
}

void dynBufFree(SDynBuf& b) {
  if (b.Data == nullptr) return;
  freeBlock(b.Data);
  b = {};
}

void* dynBufDetach(SDynBuf& b) {
  void* data = b.Data;
  b = {};
  return data;
}

bool dynBufSetLength(SDynBuf& b, int32_t elemSize, int32_t count) {
  if (elemSize < 0 || count < 0) return false;
  if (elemSize != b.ElemSize) dynBufFree(b);
  if (b.Data != nullptr && count == b.Count) return true;
  if (!resizeBlock(b.Data, dynBufByteSize(b), static_cast<int64_t>(count) * elemSize)) return false;
  b.Count = count;
  b.ElemSize = elemSize;
  return b.Data != nullptr;
}

bool dynBufResizeKeep(SDynBuf& b, int32_t elemSize, int32_t count) {
  if (b.Data == nullptr) return dynBufSetLength(b, elemSize, count);
  if (elemSize == b.ElemSize && count == b.Count) return true;
  SDynBuf tmp;
  if (!dynBufSetLength(tmp, elemSize, count)) return false;
  const int64_t oldBytes = dynBufByteSize(b);
  const int64_t newBytes = dynBufByteSize(tmp);
  copyMem(tmp.Data, b.Data, static_cast<size_t>(oldBytes < newBytes ? oldBytes : newBytes));
  dynBufFree(b);
  return dynBufMove(b, tmp);
}

bool dynBufMove(SDynBuf& dst, SDynBuf& src) {
  if (dst.Data != nullptr) return false;
  dst = src;
  src = {};
  return true;
}

bool dynBufAssign(SDynBuf& dst, SDynBuf& src) {
  if (src.Data == nullptr) return dynBufMove(dst, src);
  if (&dst == &src) return true;
  if (!dynBufSetLength(dst, src.ElemSize, src.Count)) return false;
  copyMem(dst.Data, src.Data, static_cast<size_t>(dynBufByteSize(src)));
  return true;
}

// ---- SGrid2D -----------------------------------------------------------------------

void grid2DInit(SGrid2D& g) { g = {}; }

void grid2DFill(SGrid2D& g, uint8_t v) {
  if (grid2DAllocated(g)) fillBytes(g.Data, v, static_cast<size_t>(grid2DByteSize(g)));
}

void grid2DFillElem(SGrid2D& g, const void* pattern) {
  if (!grid2DAllocated(g) || g.ElemSize <= 0) return;
  auto* p = static_cast<uint8_t*>(g.Data);
  const size_t elem = static_cast<size_t>(g.ElemSize);
  for (int32_t i = 0; i < g.Count; ++i) std::memcpy(p + i * elem, pattern, elem);
}

void grid2DFree(SGrid2D& g) {
  freeBlock(g.Data);
  g = {};
}

bool grid2DSetSize(SGrid2D& g, int32_t elemSize, int32_t w, int32_t h) {
  if (elemSize < 0 || w < 0 || h < 0) return false;
  const int64_t count = static_cast<int64_t>(w) * h;
  if (count > INT32_MAX) return false;
  if (elemSize != g.ElemSize) grid2DFree(g);
  if (g.Data != nullptr && w == g.W && h == g.H) return true;
  if (!resizeBlock(g.Data, grid2DByteSize(g), count * elemSize)) return false;
  g.W = w;
  g.H = h;
  g.Count = static_cast<int32_t>(count);
  g.ElemSize = elemSize;
  return g.Data != nullptr;
}

// ---- SPairBuf ----------------------------------------------------------------------

void pairBufInit(SPairBuf& p) { p = {}; }

void pairBufFree(SPairBuf& p) {
  freeBlock(p.Data);
  p.Data = nullptr;
  p.Count = 0;
}

bool pairBufSetLength(SPairBuf& p, int32_t count) {
  if (count < 0) return false;
  if (p.Data != nullptr && count == p.Count) return true;
  if (!resizeBlock(p.Data, static_cast<int64_t>(p.Count) * 8, static_cast<int64_t>(count) * 8)) return false;
  p.Count = count;
  return p.Data != nullptr;
}

bool pairBufMove(SPairBuf& dst, SPairBuf& src) {
  if (dst.Data != nullptr) return false;
  dst = src;
  src = {};
  return true;
}

// ---- CDynStack ---------------------------------------------------------------------

CDynStack::CDynStack(int32_t elemSize, int32_t capacity) {
  // Without the first block the stack starts empty and every push grows it.
  (void)dynBufSetLength(Buf_, elemSize, capacity);
}

CDynStack::~CDynStack() { dynBufFree(Buf_); }

void CDynStack::reset() {
  Overflow_ = false;
  Length_ = 0;
  First_ = 0;
}

bool CDynStack::push(const void* element) {
  if (!isAllocated() || Length_ >= Buf_.Count) {
    Overflow_ = true;
    return false;
  }
  int32_t slot = First_ + Length_;
  if (slot >= Buf_.Count) slot -= Buf_.Count;
  std::memcpy(static_cast<uint8_t*>(Buf_.Data) + static_cast<size_t>(slot) * static_cast<size_t>(Buf_.ElemSize),
              element, static_cast<size_t>(Buf_.ElemSize));
  ++Length_;
  return true;
}

bool CDynStack::take(void* element) {
  if (Length_ <= 0) return false;
  std::memcpy(element,
              static_cast<uint8_t*>(Buf_.Data) + static_cast<size_t>(First_) * static_cast<size_t>(Buf_.ElemSize),
              static_cast<size_t>(Buf_.ElemSize));
  if (++First_ == Buf_.Count) First_ = 0;
  if (--Length_ == 0) First_ = 0;
  return true;
}

}  // namespace pg
