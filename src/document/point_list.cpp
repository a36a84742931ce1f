#include "document/point_list.h"

#include <new>

namespace pg {

CPointList::CPointList(int capacity) {
  if (capacity > 0) {
    try {
      blocks_.reserve(static_cast<size_t>(capacity));
    } catch (const std::bad_alloc&) {
      // The reservation is only a hint; add() grows the list as needed.
    }
  }
}

void CPointList::clear() {
  blocks_.clear();
  free_ = 0;
}

bool CPointList::reset() {
  clear();
  try {
    blocks_.push_back(std::make_unique<TPoint[]>(kBlockPoints));
  } catch (const std::bad_alloc&) {
    return false;
  }
  free_ = kBlockPoints;
  return true;
}

bool CPointList::add(TPoint p) {
  if (blocks_.empty() || free_ == 0) {
    try {
      // make_unique value-initialises: a new block is zero-filled.
      blocks_.push_back(std::make_unique<TPoint[]>(kBlockPoints));
    } catch (const std::bad_alloc&) {
      return false;
    }
    free_ = kBlockPoints;
  }
  blocks_.back()[static_cast<size_t>(kBlockPoints - free_)] = p;
  --free_;
  return true;
}

int64_t CPointList::count() const {
  if (blocks_.empty()) return 0;
  return static_cast<int64_t>(blocks_.size() - 1) * kBlockPoints + (kBlockPoints - free_);
}

const TPoint* CPointList::block(int i) const {
  if (i < 0 || i >= blockCount()) return nullptr;
  return blocks_[static_cast<size_t>(i)].get();
}

int CPointList::blockPoints(int i) const {
  if (i < 0 || i >= blockCount()) return 0;
  return i == blockCount() - 1 ? lastBlockCount() : kBlockPoints;
}

}  // namespace pg
