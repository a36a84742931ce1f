#pragma once
// The 32 selection slots of version 1.1 documents. While such a recording
// replays, its polygon fills store their polygon as the anti-aliased coverage
// of the current slot and fill through it; the slot is emptied afterwards.
// A slot's channel has the document's size and is made when the slot is
// first stored, so that only the slots in use hold memory.
#include <array>
#include <cstdint>
#include <memory>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// A slot's marching ants: kept for the slot's shape, drawn by nobody.
struct TAnts {
  int32_t count = 0;
  std::unique_ptr<uint8_t[]> points;
};

struct SSelectSlot {
  TChannel channel;  // the selection coverage, document size
  TTC thumbnail{false};
  TAnts ants;
  bool empty = true;
};

class TSelectMng {
 public:
  static constexpr int32_t kSlotCount = 32;
  static constexpr int32_t kThumbEdge = 48;

  // Slot 0 is made for a document of this size.
  TSelectMng(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // A new document size: the slots up to the current one are emptied and
  // sized again (a stored polygon does not survive a size change).
  [[nodiscard]] bool setSize(int32_t width, int32_t height);
  int32_t currentIndex() const { return current_; }
  [[nodiscard]] bool setCurrentIndex(int32_t slot);

  // Stores the polygon (document coordinates) in the slot: its channel holds
  // the anti-aliased coverage, its thumbnail turns black, it is not empty.
  // False for a slot outside 0..31, fewer than three points or no memory.
  [[nodiscard]] bool setFromPolygon(int32_t slot, const TPoint* points, size_t count);
  // Empty: coverage 0, a white thumbnail.
  void clearSlot(int32_t slot);
  // True for an empty slot and for a slot outside 0..31.
  bool isEmpty(int32_t slot) const;
  // The slot's record; nullptr outside 0..31.
  [[nodiscard]] const SSelectSlot* slot(int32_t slot) const;
  const SSelectSlot& currentSlot() const { return slots_[size_t(current_)]; }

  // The thumbnail's size for a document: the longer side 48, the other in
  // proportion plus one.
  static SSize thumbnailSize(int32_t width, int32_t height);

 private:
  [[nodiscard]] bool initSlot(SSelectSlot& s);

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t current_ = 0;
  std::array<SSelectSlot, kSlotCount> slots_;
};

}  // namespace pg
