#pragma once
// The per-layer pixel undo that layers carry while an older-format recording
// replays. The undo manager implements it; layers only hold it and forward.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/rect.h"

namespace pg {

class CLayerData;

class CLayerOwnUndo {
 public:
  virtual ~CLayerOwnUndo() = default;
  virtual bool canUndo() const = 0;
  virtual bool canRedo() const = 0;
  virtual int64_t memorySize() const = 0;
  // Empties both lists.
  virtual void clear() = 0;
  // Stores the pixels of `rect` (image coordinates) of the layer's image,
  // tagged with the layer's index and id.
  [[nodiscard]] virtual bool record(const CLayerData& layer, const TRect& rect) = 0;
  // Restores the newest record into the layer's image; `rect` receives the
  // restored rectangle (image coordinates).
  [[nodiscard]] virtual bool undo(CLayerData& layer, TRect& rect) = 0;
  // Replaces the contents with copies of another own undo's records.
  [[nodiscard]] virtual bool assign(const CLayerOwnUndo& src) = 0;
};

using LayerOwnUndoFactory = std::function<std::unique_ptr<CLayerOwnUndo>()>;

// Installs the maker of own undo objects (the undo manager does, with undo and
// redo limits 8); an empty function removes it, and layers are then made
// without own undo. Answers the previous factory.
LayerOwnUndoFactory setLayerOwnUndoFactory(LayerOwnUndoFactory factory);
[[nodiscard]] std::unique_ptr<CLayerOwnUndo> makeLayerOwnUndo();

}  // namespace pg
