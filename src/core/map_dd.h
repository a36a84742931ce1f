#pragma once
// CMapDD: a map from 32-bit keys to 32-bit values. The event recorder keeps two
// of them to remember which tone and nib ids a recording already carries.
#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace pg {

class CMapDD {
 public:
  // The size hint is the number of keys expected; the map grows past it.
  explicit CMapDD(int32_t sizeHint = 0);

  // True when the key is present; the value is stored then.
  [[nodiscard]] bool lookup(uint32_t key, uint32_t& value) const;
  // Stores the value under the key, replacing a value stored before.
  [[nodiscard]] bool setAt(uint32_t key, uint32_t value);
  // Removes the key. Removing a key that is not present succeeds: afterwards
  // the key is absent either way.
  [[nodiscard]] bool removeKey(uint32_t key);
  bool removeAll();  // always true

  size_t size() const { return map_.size(); }
  // Result code of the last call: 0 success, 1 out of memory.
  uint8_t lastResult() const { return lastResult_; }

 private:
  std::unordered_map<uint32_t, uint32_t> map_;
  uint8_t lastResult_ = 0;
};

}  // namespace pg
