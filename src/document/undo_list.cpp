#include "document/undo_list.h"

#include <algorithm>

namespace pg {

CUndoList::CUndoList(int32_t limit, bool fixed) { setup(limit, fixed); }

CUndoList::~CUndoList() { clear(); }

void CUndoList::setup(int32_t limit, bool fixed) {
  clear();
  capacity_ = std::max<int32_t>(limit, 4);
  fixed_ = fixed;
}

void CUndoList::push(std::unique_ptr<CUndoData> record) {
  if (!record) return;
  if (!fixed_ && count() >= capacity_) dropOldest();
  items_.push_front(std::move(record));
}

void CUndoList::append(std::unique_ptr<CUndoData> record) {
  if (record) items_.push_back(std::move(record));
}

std::unique_ptr<CUndoData> CUndoList::pop() {
  if (items_.empty()) return nullptr;
  std::unique_ptr<CUndoData> r = std::move(items_.front());
  items_.pop_front();
  return r;
}

CUndoData* CUndoList::peek() const { return items_.empty() ? nullptr : items_.front().get(); }

CUndoData* CUndoList::at(int32_t i) const {
  if (i < 0 || i >= count()) return nullptr;
  return items_[static_cast<size_t>(i)].get();
}

void CUndoList::dropOldest() {
  if (!items_.empty()) items_.pop_back();
}

void CUndoList::dropNewest() {
  if (!items_.empty()) items_.pop_front();
}

void CUndoList::clear() {
  while (!items_.empty()) items_.pop_back();
}

int32_t CUndoList::heavyCount() const {
  return static_cast<int32_t>(
      std::count_if(items_.begin(), items_.end(), [](const auto& r) { return r->isHeavy(); }));
}

uint64_t CUndoList::memorySize() const {
  uint64_t total = 0;
  for (const auto& r : items_) total += r->memorySize();
  return total;
}

}  // namespace pg
