#pragma once
// The document's undo manager: records of every class, a limit that counts
// only heavy records (those holding layer or mask images), and the apply
// routines that undo and redo each kind.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/layer_mngr.h"
#include "document/paper_color.h"
#include "document/undo_mngr.h"

namespace pg {

class CMaskMngr;

// How many light records the undo list may hold beyond its limit.
struct UndoExtra {
  explicit constexpr UndoExtra(int32_t v) : value(v) {}
  int32_t value;
};

// What applying a record needs of the document besides its lists. The
// document implements it; the calls record nothing.
class IUndoDocument {
 public:
  virtual ~IUndoDocument() = default;
  virtual CLayerMngr* undoLayers() = 0;
  virtual CMaskMngr* undoMasks() = 0;
  virtual PaperColor undoPaperColor() const = 0;
  virtual void undoSetPaperColor(PaperColor color) = 0;
  // Turns the whole image by 90 degrees (kind 49).
  [[nodiscard]] virtual bool undoRotateImage90(bool clockwise) = 0;
  // Exchanges the document's layer list with `list`; the document takes the
  // size of the list it receives (kinds 50 to 52).
  [[nodiscard]] virtual bool undoExchangeLayerList(std::unique_ptr<CLayerMngr>& list) = 0;
  // Exchanges the document's mask list with `list` (kind 51).
  [[nodiscard]] virtual bool undoExchangeMaskList(std::unique_ptr<CMaskMngr>& list) = 0;
  virtual bool undoSelectionEnabled() const = 0;
  virtual bool undoShowAnts() const = 0;
  virtual void undoSetSelectionFlags(bool enabled, bool showAnts) = 0;
};

class CUndoMngrEx final : public CUndoMngr {
 public:
  CUndoMngrEx(IUndoDocument& owner, UndoExtra extra, UndoLimit undoMax, RedoLimit redoMax);
  ~CUndoMngrEx() override;

  // Drops the oldest undo records while there are more than undoMax + extra.
  int32_t trim() override;
  [[nodiscard]] bool assign(const CUndoMngr& other) override;
  // Makes room first: drops the list's oldest records until the heavy
  // records, counting the new one, stay within the list's limit; then puts
  // the record in front. A limit below 1 refuses.
  [[nodiscard]] bool pushUndo(std::unique_ptr<CUndoData>& record) override;
  [[nodiscard]] bool pushRedo(std::unique_ptr<CUndoData>& record) override;

  static int32_t heavyCount(const CUndoList& list) { return list.heavyCount(); }
  int32_t extra() const { return extra_; }

  // New limits: an undo limit below 1 disables undo and empties both lists;
  // redo never exceeds undo. A lowered limit drops the oldest records until
  // the heavy ones fit. Answers whether a limit changed.
  bool setLimits(UndoLimit undo, RedoLimit redo);

  // ---- recording entry points ----
  // Each answers false and records nothing while undo is disabled (or when
  // memory is short); on success the record is pushed, the list trimmed
  // and the redo list emptied.

  // A record of a rectangle of a layer, by the kind's class: 1 a copy of
  // the tiles, 2 the alpha bytes, 3 the layer and rectangle only.
  [[nodiscard]] bool recordLayerRegion(const CLayerData& layer, const SRectXYWH& rect, int kind);
  // A transform of several layers (kinds 12 to 15) that touched only the
  // layers listed (all layers when the list is empty).
  [[nodiscard]] bool recordLayersTransform(int kind, int32_t currentIndex, std::vector<int64_t> layerIds);
  // An attribute before it changes (kinds 17 to 24 and 26); `layer` is
  // null for the paper colour (17). The old value is read here.
  //   17 newValue = the new paper colour in pixel order;
  //   18, 19 opacity; 20 dissolve flag | amount << 8; 21 blend mode;
  //   22 visible; 26 protect alpha;
  //   23 the offset before the move (newValue and extra unused);
  //   24 the move (dx = newValue, dy = extra) of the layer and the current mask.
  [[nodiscard]] bool recordLayerAttr(CLayerData* layer, int32_t newValue, int kind, int32_t extra = 0);
  // A rename of a layer (kind 25).
  [[nodiscard]] bool recordLayerName(const CLayerData& layer, std::string newName);
  // A record the caller built: class 1 with its pixel copy, class 4, or a
  // structure (class 5) or mask (class 6) record whose fields follow the
  // layout documented with each kind in undo_apply.h. On success the
  // manager owns it and `record` is empty; otherwise the caller keeps it.
  [[nodiscard]] bool recordItem(std::unique_ptr<CUndoData>& record);

  // ---- undo and redo through the layer list ----
  // Apply the newest record of a list; `layerIndex` is the layer concerned,
  // `flags` its kind's flags, `rect` the changed rectangle in layer image
  // coordinates. A failed undo empties both lists (the layer list warns).
  [[nodiscard]] bool applyUndo(int32_t& layerIndex, uint32_t& flags, TRect& rect);
  [[nodiscard]] bool applyRedo(int32_t& layerIndex, uint32_t& flags, TRect& rect);

  IUndoDocument& owner() const { return owner_; }

 private:
  // applyUndo (undo true) or applyRedo through the document's layers.
  [[nodiscard]] bool applySide(bool undo, int32_t& layerIndex, uint32_t& flags, TRect& rect);
  class Side;
  [[nodiscard]] bool makeRoom(CUndoList& list, int32_t limit, const CUndoData& incoming);
  [[nodiscard]] bool store(std::unique_ptr<CUndoData>& record);
  [[nodiscard]] bool applyNewest(bool undoSide, CLayerMngr& layers, CLayerData* layer, TRect& rect);

  IUndoDocument& owner_;
  int32_t extra_;
  int32_t lastIndex_ = -1;  // the layer the last applied record concerned
  std::unique_ptr<Side> undoSide_;
  std::unique_ptr<Side> redoSide_;
};

// Installs the per-layer pixel undo (undo and redo limits 8) as the maker
// of layers' own undo. Safe to call more than once.
void installLayerOwnUndo();

}  // namespace pg
