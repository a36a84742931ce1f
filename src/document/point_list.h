#pragma once
// A growing store of integer points kept in fixed blocks of 1024 points, so
// that tracing a large selection outline never copies what is already stored.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/rect.h"

namespace pg {

class CPointList {
 public:
  static constexpr int kBlockPoints = 1024;  // one 8 KB block of {x, y} pairs

  // `capacity` is the number of block slots reserved up front.
  explicit CPointList(int capacity = 16);

  // Frees every block.
  void clear();
  // Frees every block and starts one empty block.
  [[nodiscard]] bool reset();
  // Appends a point; a new zero-filled block is taken when the last one is
  // full. False when memory for a new block cannot be had.
  [[nodiscard]] bool add(TPoint p);
  [[nodiscard]] bool add(int32_t x, int32_t y) { return add(TPoint{x, y}); }

  int64_t count() const;
  int blockCount() const { return static_cast<int>(blocks_.size()); }
  // The points of block i (nullptr outside); all blocks but the last are full.
  const TPoint* block(int i) const;
  // Points held in the last block; 0 when there is none.
  int lastBlockCount() const { return blocks_.empty() ? 0 : kBlockPoints - free_; }
  // Points held in block i.
  int blockPoints(int i) const;

  // Calls f(point) for every point in the order they were added.
  template <class F>
  void forEach(F&& f) const {
    for (int b = 0; b < blockCount(); ++b) {
      const TPoint* pts = blocks_[static_cast<size_t>(b)].get();
      const int n = blockPoints(b);
      for (int i = 0; i < n; ++i) f(pts[i]);
    }
  }

 private:
  std::vector<std::unique_ptr<TPoint[]>> blocks_;
  int free_ = 0;  // free slots left in the last block
};

}  // namespace pg
