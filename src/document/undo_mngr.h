#pragma once
// The undo manager: an undo list and a redo list of undo records.
//
// CUndoMngr is the plain manager a layer may own for its own pixel undo; it
// keeps pixel-region records only. CUndoMngrEx (undo_mngr_ex.h) is the
// document's manager for all record classes.
#include <cstdint>
#include <memory>

#include "core/rect.h"
#include "document/undo_list.h"

namespace pg {

class CBlockVMTC;

// The limits are distinct types so that an undo limit can never be passed
// where a redo limit (or the extra allowance) is expected.
struct UndoLimit {
  explicit constexpr UndoLimit(int32_t v) : value(v) {}
  int32_t value;
};
struct RedoLimit {
  explicit constexpr RedoLimit(int32_t v) : value(v) {}
  int32_t value;
};

class CUndoMngr {
 public:
  CUndoMngr(UndoLimit undoMax, RedoLimit redoMax);
  virtual ~CUndoMngr();
  CUndoMngr(const CUndoMngr&) = delete;
  CUndoMngr& operator=(const CUndoMngr&) = delete;

  // Drops the oldest undo records while there are more than the limit;
  // answers how many were dropped.
  virtual int32_t trim();
  // Takes both limits of the other manager and copies of its records. A
  // record that cannot be copied (it keeps objects, or memory is short)
  // leaves this manager empty and answers false.
  [[nodiscard]] virtual bool assign(const CUndoMngr& other);
  // Put a record on a list. On success the list owns it and `record` is
  // empty; a list whose limit is below 1 refuses and the caller keeps it.
  [[nodiscard]] virtual bool pushUndo(std::unique_ptr<CUndoData>& record);
  [[nodiscard]] virtual bool pushRedo(std::unique_ptr<CUndoData>& record);

  bool undoEnabled() const { return undoMax_ >= 1; }
  bool canUndo() const { return undoList_.count() > 0; }
  bool canRedo() const { return redoList_.count() > 0; }
  int32_t undoCount() const { return undoList_.count(); }
  int32_t redoCount() const { return redoList_.count(); }
  int32_t undoMax() const { return undoMax_; }
  int32_t redoMax() const { return redoMax_; }
  void clearUndo() { undoList_.clear(); }
  void clearRedo() { redoList_.clear(); }
  void clearAll() {
    undoList_.clear();
    redoList_.clear();
  }
  [[nodiscard]] CUndoData* peekUndo() const { return undoList_.peek(); }
  [[nodiscard]] CUndoData* peekRedo() const { return redoList_.peek(); }
  void dropUndo() { undoList_.dropNewest(); }
  void dropRedo() { redoList_.dropNewest(); }
  const CUndoList& undoList() const { return undoList_; }
  uint64_t memorySize() const { return undoList_.memorySize() + redoList_.memorySize(); }

  // A pixel record of a rectangle of a layer image: the rectangle, clipped to
  // the image and grown outward to whole tiles, and a copy of those tiles.
  // Then it is pushed, the list trimmed and the redo list cleared. False when
  // undo is disabled, the rectangle misses the image or memory is short.
  [[nodiscard]] bool record(int32_t layerIndex, int64_t layerId, const SRectXYWH& rect, const CBlockVMTC& image,
              int kind = 0);
  // Puts the newest undo record's tiles back into the image and moves a
  // record of the tiles it replaced to the redo list; `rect` is the region.
  // The replacement is made before anything changes, so a shortage of
  // memory leaves the image and both lists as they were.
  [[nodiscard]] bool undo(CBlockVMTC& image, SRectXYWH& rect);
  // The mirror of undo on the redo list.
  [[nodiscard]] bool redo(CBlockVMTC& image, SRectXYWH& rect);

 protected:
  int32_t undoMax_;
  int32_t redoMax_;
  CUndoList undoList_;
  CUndoList redoList_;

 private:
  [[nodiscard]] bool swapRegion(CUndoList& from, bool toRedo, CBlockVMTC& image, SRectXYWH& rect);
};

// A pixel record of the tiles of `rect` (clipped to the image and grown to
// whole tiles) of an image; null when nothing of it lies on the image or
// memory is short.
[[nodiscard]] std::unique_ptr<CUndoData> makeRegionRecord(int64_t layerId, int kind, const SRectXYWH& rect,
                                            const CBlockVMTC& image);

}  // namespace pg
