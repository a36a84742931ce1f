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

bool byteGridFromChannel(SByteGrid& grid, const TChannel& channel, SRectXYWH rect) {
  if (!isPlaneReady(&channel) || !channel.clipRectWH(rect)) return false;
  if (!byteGridSetSize(grid, rect.Width, rect.Height)) return false;
  for (int32_t row = 0; row < rect.Height; ++row)
    std::memcpy(grid.Data.get() + int64_t(row) * rect.Width, channel.pixelAt(rect.X, rect.Y + row),
                size_t(rect.Width));
  return true;
}

bool byteGridToChannel(const SByteGrid& grid, TChannel& channel, TPoint at) {
  if (!grid.Data || grid.W <= 0 || grid.H <= 0 || !isPlaneReady(&channel)) return false;
  SRectXYWH r{at.X, at.Y, grid.W, grid.H};
  if (!channel.clipRectWH(r)) return false;
  // How far the clip moved the corner into the grid.
  int64_t dx = int64_t(r.X) - at.X, dy = int64_t(r.Y) - at.Y;
  for (int32_t row = 0; row < r.Height; ++row)
    std::memcpy(channel.pixelAt(r.X, r.Y + row), grid.Data.get() + (dy + row) * grid.W + dx, size_t(r.Width));
  return true;
}

}  // namespace pg
