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
  // is already loaded is not copied again (answer false); a layer at that
  // index whose id or image size differs from the one loaded (an undo that
  // exchanged the layer, a transform that gave it another image) is not the
  // one loaded and is copied. A plane that cannot grow leaves the pixels as
  // they were, marked invalid (answer false). True when copied.
  [[nodiscard]] bool loadLayer(int32_t index, CBlockVMTC& image, bool force, uint32_t layerId = 0);
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
  // Marks the planes as holding layer `index` (id, image size) after the
  // caller copied its whole image into them.
  void noteLoaded(int32_t index, uint32_t layerId, SSize imageSize);
  // The planes cut to the size of the stroke's layer image. Strokes paint on
  // these and read from them: the planes may be larger than the layer (they
  // never shrink), and what lies beyond it (the background, or what a larger
  // image left) must not reach a dab, or the same stroke would paint
  // otherwise in a replay whose planes never grew. Laid anew at every call;
  // the references stay valid for the flow image's life.
  TMTC& layerPixels(SSize imageSize);
  TChannel& layerCoverage(SSize imageSize);

  TPaper* owner = nullptr;
  TMTC pixels;
  TChannel coverage;
  int32_t layerIndex = -1;
  bool valid = false;
  TPoint layerOffset{};
  SSize docSize{};

 private:
  uint32_t layerId_ = 0;
  SSize layerSize_{};
  TPlanePart<TMTC> pixelPart_;
  TPlanePart<TChannel> coveragePart_;
};

}  // namespace pg
