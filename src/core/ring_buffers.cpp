#include "core/ring_buffers.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pg {

bool CRingBuf::allocate(int32_t elementSize, int32_t capacity, int32_t extra) {
  if (capacity < 1 || elementSize < 1 || extra < 0) return false;
  int64_t bytes = (int64_t(capacity) + extra) * elementSize;
  if (int64_t(capacity) + extra > INT32_MAX || bytes > INT32_MAX) return false;
  buffer_.reset();
  elementSize_ = elementSize;
  capacity_ = capacity;
  extra_ = extra;
  back_ = forward_ = current_ = 0;
  buffer_.reset(new (std::nothrow) uint8_t[size_t(bytes)]());
  if (!buffer_) {
    capacity_ = extra_ = 0;
    return false;
  }
  return true;
}

void CRingBuf::reset() {
  current_ = 0;
  back_ = forward_ = 0;
}

void CRingBuf::freeBuffer() {
  buffer_.reset();
  elementSize_ = capacity_ = extra_ = back_ = forward_ = current_ = 0;
}

bool CRingBuf::put(const void* element) {
  if (!isReady()) return false;
  current_ = advanced(current_);
  std::memcpy(slot(current_), element, size_t(elementSize_));
  back_ = std::min(back_ + 1, capacity_);
  forward_ = 0;
  return true;
}

bool CRingBuf::replaceCurrent(const void* element) {
  if (!isReady()) return false;
  std::memcpy(slot(current_), element, size_t(elementSize_));
  if (back_ == 0) back_ = 1;
  return true;
}

bool CRingBuf::drop() {
  if (!isReady() || back_ <= 0) return false;
  current_ = retreated(current_);
  --back_;
  forward_ = 0;
  return true;
}

bool CRingBuf::stepBack() {
  if (!isReady() || back_ <= 0) return false;
  current_ = retreated(current_);
  --back_;
  ++forward_;
  return true;
}

bool CRingBuf::stepForward() {
  if (!isReady() || forward_ <= 0) return false;
  current_ = advanced(current_);
  ++back_;
  --forward_;
  return true;
}

int32_t CRingBuf::dropForward() {
  int32_t old = forward_;
  forward_ = 0;
  return old;
}

bool CRingBuf::readCurrent(void* element) const {
  if (!isReady() || back_ <= 0) return false;
  std::memcpy(element, slot(current_), size_t(elementSize_));
  return true;
}

bool CRingBuf::readRelative(int32_t n, void* element) const {
  if (n == 0) return readCurrent(element);
  if (!isReady() || back_ <= 0) return false;
  int32_t index = current_;
  if (n > 0) {
    if (n > forward_) return false;
    for (int32_t i = 0; i < n; ++i) index = advanced(index);
  } else {
    if (-int64_t(n) > int64_t(back_) - 1) return false;
    for (int32_t i = 0; i < -n; ++i) index = retreated(index);
  }
  std::memcpy(element, slot(index), size_t(elementSize_));
  return true;
}

bool CRingBuf::resize(int32_t capacity, int32_t extra) {
  if (buffer_ && capacity == capacity_ && extra == extra_) return true;
  if (capacity < 1 || elementSize_ < 1 || extra < 0) return false;
  int64_t bytes = (int64_t(capacity) + extra) * elementSize_;
  if (int64_t(capacity) + extra > INT32_MAX || bytes > INT32_MAX) return false;
  int32_t keepBack = buffer_ ? std::min(back_, capacity) : 0;
  int32_t keepForward = buffer_ ? std::min(forward_, extra) : 0;
  if (keepForward >= 1 && keepBack < 1) return false;
  std::unique_ptr<uint8_t[]> fresh(new (std::nothrow) uint8_t[size_t(bytes)]());
  if (!fresh) return false;
  int32_t out = 0;
  if (keepBack > 0) {
    int32_t index = current_;
    for (int32_t i = 0; i < keepBack - 1; ++i) index = retreated(index);
    for (int32_t i = 0; i < keepBack; ++i) {
      std::memcpy(fresh.get() + int64_t(out++) * elementSize_, slot(index), size_t(elementSize_));
      index = advanced(index);
    }
    index = current_;
    for (int32_t i = 0; i < keepForward; ++i) {
      index = advanced(index);
      std::memcpy(fresh.get() + int64_t(out++) * elementSize_, slot(index), size_t(elementSize_));
    }
  }
  buffer_ = std::move(fresh);
  capacity_ = capacity;
  extra_ = extra;
  back_ = keepBack;
  forward_ = keepForward;
  // With nothing kept the ring starts over at the buffer start.
  current_ = keepBack > 0 ? keepBack - 1 : 0;
  return true;
}

uint32_t CRingBufDWORD::current() const {
  if (!isReady()) return 0;
  uint32_t value;
  std::memcpy(&value, slot(current_), 4);
  return value;
}

bool CRingBufDWORD::readRelative(int32_t n, uint32_t& value) const { return CRingBuf::readRelative(n, &value); }

// Byte grids.

void byteGridInit(SByteGrid& grid) {
  grid.W = grid.H = 0;
  grid.Data.reset();
}

void byteGridFree(SByteGrid& grid) { byteGridInit(grid); }

bool byteGridSetSize(SByteGrid& grid, int32_t w, int32_t h) {
  if (grid.Data && grid.W == w && grid.H == h) return true;
  byteGridFree(grid);
  if (w < 0 || h < 0) return false;
  int64_t bytes = int64_t(w) * h;
  if (bytes > kByteGridMaxBytes) return false;
  grid.Data.reset(new (std::nothrow) uint8_t[size_t(bytes > 0 ? bytes : 1)]());
  if (!grid.Data) return false;
  grid.W = w;
  grid.H = h;
  return true;
}

bool byteGridAllocated(const SByteGrid& grid) { return grid.Data != nullptr; }

int64_t byteGridByteSize(const SByteGrid& grid) { return grid.Data ? int64_t(grid.W) * grid.H : 0; }

void byteGridAdopt(SByteGrid& grid, int32_t w, int32_t h, std::unique_ptr<uint8_t[]> data) {
  grid.Data = std::move(data);
  grid.W = grid.Data ? w : 0;
  grid.H = grid.Data ? h : 0;
}

std::unique_ptr<uint8_t[]> byteGridDetach(SByteGrid& grid) {
  grid.W = grid.H = 0;
  return std::move(grid.Data);
}

uint8_t* byteGridRow(const SByteGrid& grid, int32_t x, int32_t y) {
  if (!grid.Data || x < 0 || y < 0 || x >= grid.W || y >= grid.H) return nullptr;
  return grid.Data.get() + x + int64_t(grid.W) * y;
}

namespace {

struct Clip {
  int32_t x0, y0, x1, y1;  // exclusive right and bottom
  bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Clip clipToPlane(const SBytePlaneView& plane, int64_t x, int64_t y, int64_t w, int64_t h) {
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(x + w, plane.width), y1 = std::min<int64_t>(y + h, plane.height);
  if (x0 >= x1 || y0 >= y1) return {0, 0, 0, 0};
  return {int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)};
}

bool planeUsable(const SBytePlaneView& plane) { return plane.origin && plane.width > 0 && plane.height > 0; }

}  // namespace

bool byteGridFromChannel(SByteGrid& grid, const SBytePlaneView& plane, int32_t x, int32_t y, int32_t w,
                         int32_t h) {
  if (!planeUsable(plane) || w <= 0 || h <= 0) return false;
  Clip c = clipToPlane(plane, x, y, w, h);
  if (c.empty()) return false;
  int32_t cw = c.x1 - c.x0, ch = c.y1 - c.y0;
  if (!byteGridSetSize(grid, cw, ch)) return false;
  for (int32_t row = 0; row < ch; ++row) {
    const uint8_t* src = plane.origin + int64_t(c.y0 + row) * plane.rowStep + c.x0;
    std::memcpy(grid.Data.get() + int64_t(row) * cw, src, size_t(cw));
  }
  return true;
}

bool byteGridToChannel(const SByteGrid& grid, const SBytePlaneView& plane, int32_t x, int32_t y) {
  if (!grid.Data || grid.W <= 0 || grid.H <= 0 || !planeUsable(plane)) return false;
  Clip c = clipToPlane(plane, x, y, grid.W, grid.H);
  if (c.empty()) return false;
  int32_t cw = c.x1 - c.x0;
  for (int32_t py = c.y0; py < c.y1; ++py) {
    const uint8_t* src = grid.Data.get() + (int64_t(py) - y) * grid.W + (int64_t(c.x0) - x);
    std::memcpy(plane.origin + int64_t(py) * plane.rowStep + c.x0, src, size_t(cw));
  }
  return true;
}

}  // namespace pg
