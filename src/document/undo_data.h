#pragma once
// One undo record: what one edit of a document needs to be undone and
// redone. The record owns everything it holds; an object moves into a record
// when an edit takes it out of the document and moves back when the record is
// applied, so at any time each layer, mask or list has exactly one owner and
// no rule of "who frees what on which side" is needed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/rect.h"
#include "document/undo_kinds.h"

namespace pg {

class CBlockVMTC;
class CLayerData;
class CLayerMngr;
class CMaskData;
class CMaskMngr;

// The objects a record keeps. Each member is owned by the record while it is
// set; the apply routines move objects between here and the document.
// Marks the selection switches kept in a replaced selection's record.
inline constexpr int32_t kUndoKeepsSelectionFlags = 1 << 30;

struct UndoKept {
  UndoKept();
  ~UndoKept();
  UndoKept(UndoKept&&) noexcept;
  UndoKept& operator=(UndoKept&&) noexcept;

  std::unique_ptr<CLayerData> layer;
  // The merge-down record's upper layer while the merge is done.
  std::unique_ptr<CLayerData> layer2;
  // A run of layers (merge visible, link groups); entries may be empty where
  // a group member has nothing kept.
  std::vector<std::unique_ptr<CLayerData>> layers;
  std::unique_ptr<CLayerMngr> layerList;
  std::unique_ptr<CMaskData> mask;
  std::unique_ptr<CMaskMngr> maskList;

  bool empty() const;
  // Bytes held by the kept objects.
  uint64_t memorySize() const;
};

class CUndoData {
 public:
  // A pixel-region record (class 1, kind 0) of a layer; no layer index.
  explicit CUndoData(int64_t layerId = -1);
  // A record of the given kind, its class taken from the kind table.
  [[nodiscard]] static std::unique_ptr<CUndoData> make(int kind, int64_t layerId = -1);
  ~CUndoData();

  // Records move; they are never copied implicitly, so an owned image,
  // block or object can never end up with two owners.
  CUndoData(CUndoData&&) noexcept;
  CUndoData& operator=(CUndoData&&) noexcept;
  CUndoData(const CUndoData&) = delete;
  CUndoData& operator=(const CUndoData&) = delete;

  // A deep copy of a record that holds only data (images, byte blocks,
  // names, values). Records that keep layer or mask objects are not copied:
  // the answer is null, as it is when memory is short.
  [[nodiscard]] std::unique_ptr<CUndoData> clone() const;

  // Committed tile bytes of both images, the byte blocks and the kept objects.
  uint64_t memorySize() const;

  UndoClass undoClass() const { return static_cast<UndoClass>(recordClass); }
  uint16_t flags() const { return undoFlagsOf(kind); }
  // Holds layer or mask images: counts against the undo limit.
  bool isHeavy() const;

  bool hasPixels = false;
  // False: applying the record undoes the edit; true: it redoes it.
  bool redoSide = false;
  // The changed region in layer image coordinates.
  SRectXYWH rect{};
  int32_t layerIndex = -1;
  // The layer the record belongs to; -1 for none. Layer ids are 32-bit
  // unsigned, so the full range and "none" both fit.
  int64_t layerId = -1;
  std::unique_ptr<CBlockVMTC> pixels;
  uint8_t recordClass = 1;
  uint8_t kind = 0;
  std::unique_ptr<CBlockVMTC> extraImage;
  // A byte block owned by the record: the alpha grid of class 2 and of the
  // new-layer-from-selection record (grid width and height in rect).
  std::vector<uint8_t> block;
  UndoKept kept;
  int32_t value1 = 0;
  // In the record of a replaced selection or of a mask made from a layer:
  // kUndoKeepsSelectionFlags with the selection switches to give back (bit
  // 16 enabled, bit 0 shown).
  int32_t value2 = 0;
  int32_t value3 = 0;
  int32_t value4 = 0;
  // The id of a second object the record checks before it is applied (the
  // mask of a mask record, the upper layer of a merge); -1 for none. Kept in
  // full: a check on fewer bits could match a different object.
  int64_t objectId = -1;
  // Blocks that belong to particular kinds: the two names of a rename,
  // link levels or visibility flags before and after, and the layers an
  // all-layer transform touched (empty: every layer).
  std::string name1;
  std::string name2;
  std::vector<uint8_t> bytes1;
  std::vector<uint8_t> bytes2;
  std::vector<int32_t> indices;
  std::vector<int64_t> ids;
  // The layer and mask name counters before and after an edit that may
  // have advanced them (a new, duplicated or pasted layer or mask); -1 when
  // the record leaves them alone. Undo puts back the counters before, redo
  // those after, so that the next default name is the one a replay of the
  // remaining recording gives.
  int32_t layerNamesBefore = -1;
  int32_t layerNamesAfter = -1;
  int32_t maskNamesBefore = -1;
  int32_t maskNamesAfter = -1;
};

}  // namespace pg
