#pragma once
// A bounded list of undo records, newest first. The list owns its records.
#include <cstdint>
#include <deque>
#include <memory>

#include "document/undo_data.h"

namespace pg {

class CUndoList {
 public:
  CUndoList(int32_t limit, bool fixed);
  ~CUndoList();
  CUndoList(const CUndoList&) = delete;
  CUndoList& operator=(const CUndoList&) = delete;

  // Empties the list and sets its capacity (max(limit, 4)) and fixed flag.
  void setup(int32_t limit, bool fixed);

  // Puts a record in front. A list that is not fixed first frees its oldest
  // record when it is full. Takes the record (it is never refused here).
  void push(std::unique_ptr<CUndoData> record);
  // Puts a record behind the oldest one (used when copying a list in order).
  void append(std::unique_ptr<CUndoData> record);
  // Takes the newest record out (null when empty).
  [[nodiscard]] std::unique_ptr<CUndoData> pop();
  // The newest record, or null.
  [[nodiscard]] CUndoData* peek() const;
  [[nodiscard]] CUndoData* at(int32_t i) const;
  void dropOldest();
  void dropNewest();
  // Frees every record, the oldest first.
  void clear();

  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  int32_t capacity() const { return capacity_; }
  bool fixed() const { return fixed_; }
  int32_t heavyCount() const;
  uint64_t memorySize() const;

 private:
  std::deque<std::unique_ptr<CUndoData>> items_;
  int32_t capacity_ = 4;
  bool fixed_ = false;
};

}  // namespace pg
