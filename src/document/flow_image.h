#pragma once
// TFlowImage: the working copy of the layer being drawn on. Strokes and
// region fills draw into it before they are merged into the layer's tiles.
// The document window keeps one per document.
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class TPaper;

class TFlowImage {
 public:
  explicit TFlowImage(TPaper* owner);
  TFlowImage(const TFlowImage&) = delete;
  TFlowImage& operator=(const TFlowImage&) = delete;

  // Copies layer `index`'s image into `pixels` (grown, never shrunk, to the
  // largest image seen) and clears `coverage`. Without `force` a layer that
  // is already loaded is not copied again (answer false). A plane that cannot
  // grow leaves the pixels as they were, marked invalid (answer false).
  // True when copied.
  [[nodiscard]] bool loadLayer(int32_t index, CBlockVMTC& image, bool force);
  // Sizes the planes to the largest layer (and, unless keepSize, at least
  // their current size), white with alpha 0, and forgets the loaded layer.
  // False when nothing changed or there is no layer (an answer callers may
  // leave: planes that could not grow are left empty and invalid).
  bool fitDocument(bool keepSize);
  // Both planes at least w x h: grown, never shrunk, white with alpha 0 and
  // no layer loaded after growing. False when a plane cannot grow (both
  // are then as they were).
  [[nodiscard]] bool growTo(int32_t w, int32_t h);
  // Copies a rectangle (layer image coordinates) of the image back into
  // `pixels` and clears `coverage` there: the loaded layer changed under it.
  void reloadRect(CBlockVMTC& image, const TRect& rect);
  // The planes hold layer `index` as loaded (what a stroke needs to begin).
  bool holds(int32_t index) const { return valid && layerIndex == index && pixels.IsAllocated(); }

  TPaper* owner = nullptr;
  TMTC pixels;
  TChannel coverage;
  int32_t layerIndex = -1;
  bool valid = false;
  TPoint layerOffset{};
  SSize docSize{};
};

}  // namespace pg
