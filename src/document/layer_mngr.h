#pragma once
// The ordered layer list of a document: index 0 is the bottom layer, composed
// first. It owns its layers, keeps the current index, gives default names,
// groups layers by link level and merges one layer into another.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/limits.h"
#include "core/rect.h"
#include "document/layer_data.h"

namespace pg {

class CLayerMngr;

// What applying undo through the layer list needs of one side (undo or redo)
// of an undo manager. The undo manager implements it.
class CLayerUndoSide {
 public:
  virtual ~CLayerUndoSide() = default;
  // The newest record's layer id, record class and kind flags; false when
  // the side is empty.
  [[nodiscard]] virtual bool peekNewest(uint32_t& layerId, int32_t& recordClass, uint32_t& flags) const = 0;
  // Takes the newest record off the side and frees it.
  virtual void discardNewest() = 0;
  // Applies the newest record (to `layer`, which is null for records of the
  // list structure); `rect` receives the changed rectangle.
  [[nodiscard]] virtual bool applyNewest(CLayerMngr& layers, CLayerData* layer, TRect& rect) = 0;
  // Empties both lists of the undo manager.
  virtual void clearAll() = 0;
};

// The record class of undo records that change the layer list's structure.
inline constexpr int32_t kUndoClassStructure = 5;

class CLayerMngr {
 public:
  static constexpr int32_t kMaxLayers = ::pg::kMaxLayers;

  explicit CLayerMngr(int32_t capacity = 24);
  ~CLayerMngr();
  CLayerMngr(const CLayerMngr&) = delete;
  CLayerMngr& operator=(const CLayerMngr&) = delete;

  void setDocumentSize(int32_t w, int32_t h);
  int32_t docWidth() const { return docWidth_; }
  int32_t docHeight() const { return docHeight_; }
  int32_t thumbWidth() const { return thumbWidth_; }
  int32_t thumbHeight() const { return thumbHeight_; }

  // ---- names ----
  // "レイヤ" followed by nameCounter + step.
  std::string makeLayerName(int32_t step) const;
  // The name the next new layer will get; the counter is not changed.
  std::string nextLayerName() const { return makeLayerName(1); }
  // Advances the counter by step and names layer `index` with it. Numbers are
  // never reused while the list lives.
  [[nodiscard]] bool setDefaultName(int32_t index, int32_t step);
  [[nodiscard]] bool copyName(int32_t dst, int32_t src);
  int32_t nameCounter() const { return nameCounter_; }
  void setNameCounter(int32_t v) { nameCounter_ = v; }

  // ---- access ----
  int32_t count() const { return static_cast<int32_t>(layers_.size()); }
  int32_t lastIndex() const { return count() - 1; }
  int32_t maxLayers() const { return maxLayers_; }
  bool canAddLayer() const { return count() < maxLayers_; }
  bool isValidIndex(int32_t i) const { return i >= 0 && i < count(); }
  [[nodiscard]] CLayerData* getLayer(int32_t i) const;
  [[nodiscard]] CLayerData* currentLayer() const { return getLayer(current_); }
  int32_t current() const { return current_; }
  // Changes the current index only for a valid index; answers the current.
  int32_t setCurrent(int32_t i);
  // The id of layer i, -1 when i is not valid.
  int64_t layerId(int32_t i) const;
  int32_t indexOfId(uint32_t id) const;
  [[nodiscard]] bool findById(uint32_t id, int32_t& index, CLayerData*& layer) const;

  // ---- insertion and removal ----
  // Makes a layer with an image of (w, h) in `mode` and inserts it at index
  // (an index past the end appends). -1 with a warning for a negative index,
  // when the list is full, or when the image cannot be made.
  int32_t insertLayer(int32_t index, int32_t w, int32_t h, int32_t mode, bool withOwnUndo, uint8_t opacity,
                      bool visible);
  int32_t addLayer(int32_t w, int32_t h, int32_t mode, bool withOwnUndo, uint8_t opacity, bool visible) {
    return insertLayer(count(), w, h, mode, withOwnUndo, opacity, visible);
  }
  // Inserts before index, or appends for an index outside 0..count-1;
  // answers the layer's index. The list takes the layer only when it answers
  // an index; with -1 (the list is full) `layer` is left to the caller.
  int32_t insertAt(int32_t index, std::unique_ptr<CLayerData>&& layer);
  // Makes sure that `extra` more layers can be inserted without failing: the
  // list stays within its limit and has the memory for them. False (nothing
  // changed) when they cannot be.
  [[nodiscard]] bool reserveLayers(int32_t extra);
  // insertAt, then fixes the current index and renumbers; a negative index
  // gives the invalid-index warning and -1 (the layer stays the caller's).
  int32_t insertExisting(int32_t index, std::unique_ptr<CLayerData>&& layer);
  // Takes a layer out without fixing anything (null for an invalid index).
  [[nodiscard]] std::unique_ptr<CLayerData> extractLayer(int32_t i);
  // Takes a layer out, fixes the current index, renumbers.
  [[nodiscard]] std::unique_ptr<CLayerData> removeLayer(int32_t i);
  // Frees a layer, fixes the current index, renumbers.
  [[nodiscard]] bool deleteLayer(int32_t i);
  // Frees every layer; the current index becomes -1.
  void clear();
  // Puts `layer` at i and answers the old object; for an invalid i nothing
  // changes, null is answered and `layer` stays the caller's.
  [[nodiscard]] std::unique_ptr<CLayerData> replaceLayer(int32_t i, std::unique_ptr<CLayerData>&& layer);
  // Moves the layer at `from` to `to` (clamped into the list); answers the
  // new index, -1 when to = from or from is not valid.
  int32_t moveLayer(int32_t to, int32_t from);
  // Exchanges the layer at i with the layer at j of another list.
  [[nodiscard]] bool swapLayers(int32_t i, CLayerMngr& other, bool renumberOther, int32_t j);
  // Writes each layer's position into its index.
  void renumber();
  // current >= count becomes count - 1 (-1 for an empty list); a list that
  // holds layers never keeps -1.
  void fixCurrent();

  // ---- visibility ----
  int32_t visibleCount() const;
  [[nodiscard]] bool getVisibility(std::vector<uint8_t>& out) const;
  [[nodiscard]] bool toggleAllVisibility();
  [[nodiscard]] bool setAllVisible(bool v);
  [[nodiscard]] bool showOnly(int32_t i);
  // Sets the visibility of the run of n layers from i (clamped to the list);
  // answers the number of layers set.
  int32_t setRunVisible(int32_t i, int32_t n, bool v);
  // n := min(n, count - i); false when i is not valid or n < 1.
  [[nodiscard]] bool clampRun(int32_t i, int32_t& n) const;

  // ---- link levels ----
  [[nodiscard]] bool refreshLinkBuffer();
  // The deepest level of the list; -1 when the scratch copy cannot be made.
  int32_t maxLinkLevel(bool refresh = true);
  // Number of layers directly above i whose level is greater than i's; -1
  // for an invalid index.
  int32_t linkGroupLength(int32_t i, bool refresh = true);
  bool canMergeDown(int32_t i);
  bool canIndent(int32_t i, bool refresh = true);
  bool canOutdent(int32_t i, bool refresh = true);
  [[nodiscard]] bool indentGroup(int32_t i, bool indent, bool refresh = true);
  // Adds delta to the levels of the run of n layers from i; answers the
  // number of layers changed (0 when the run is empty).
  int32_t shiftLinkLevels(int32_t i, int32_t n, bool refresh, int32_t delta);
  // Writes levels[k] into layer i + k for the run of n layers.
  [[nodiscard]] bool applyLinkLevels(const uint8_t* levels, int32_t i, int32_t n);
  bool canMoveGroup(int32_t to, int32_t from, bool refresh, int32_t n);
  // Moves the group of n layers at `from` to `to` and re-levels it under its
  // new parent; answers the group's new index or -1.
  int32_t moveGroup(int32_t to, int32_t from, int32_t n);

  // ---- memory and thumbnails ----
  int64_t memorySize() const;
  int64_t ownUndoMemory() const;
  void dropAllOwnUndo();
  [[nodiscard]] bool assignLayer(int32_t dst, int32_t src);

  // ---- merge ----
  // Merges layer src (upper) into layer dst (lower); see layer_merge.cpp.
  // The merged layer replaces dst; the old dst object goes to *oldDst when
  // keepOld and oldDst is given, else it is freed. On failure the list and
  // both layers are unchanged.
  [[nodiscard]] bool mergeLayers(int32_t dst, int32_t src, bool keepOld, uint32_t flags,
                   std::unique_ptr<CLayerData>* oldDst = nullptr);

  // ---- undo through the list ----
  [[nodiscard]] bool applyUndo(CLayerUndoSide& undo, int32_t& index, uint32_t& flags, TRect& rect);
  [[nodiscard]] bool applyRedo(CLayerUndoSide& redo, int32_t& index, uint32_t& flags, TRect& rect);

 private:
  int32_t levelAt(int32_t i) const { return linkBuffer_[static_cast<size_t>(i)]; }
  [[nodiscard]] bool applyUndoSide(CLayerUndoSide& side, bool isUndo, int32_t& index, uint32_t& flags, TRect& rect);

  std::vector<std::unique_ptr<CLayerData>> layers_;
  int32_t maxLayers_ = kMaxLayers;
  int32_t current_ = -1;
  int32_t docWidth_ = 0;
  int32_t docHeight_ = 0;
  int32_t thumbWidth_ = 0;
  int32_t thumbHeight_ = 0;
  int32_t nameCounter_ = 0;
  std::vector<uint8_t> linkBuffer_;  // scratch copy of every link level
};

}  // namespace pg
