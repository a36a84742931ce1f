#include "core/map_dd.h"

#include <new>

namespace pg {

CMapDD::CMapDD(int32_t sizeHint) {
  try {
    if (sizeHint > 0) map_.reserve(size_t(sizeHint));
  } catch (const std::bad_alloc&) {
    lastResult_ = 1;
  }
}

bool CMapDD::lookup(uint32_t key, uint32_t& value) const {
  auto it = map_.find(key);
  if (it == map_.end()) return false;
  value = it->second;
  return true;
}

bool CMapDD::setAt(uint32_t key, uint32_t value) {
  try {
    map_.insert_or_assign(key, value);
    lastResult_ = 0;
  } catch (const std::bad_alloc&) {
    lastResult_ = 1;
  }
  return lastResult_ == 0;
}

bool CMapDD::removeKey(uint32_t key) {
  map_.erase(key);
  lastResult_ = 0;
  return true;
}

bool CMapDD::removeAll() {
  map_.clear();
  lastResult_ = 0;
  return true;
}

}  // namespace pg
