#pragma once
// What the plot call-backs need of the document being painted. The brush
// engine never sees the document itself: the document implements this small
// interface and hands it, with its own plot state, to updatePlotCallbacks.
// It is asked only when the call-backs are chosen (once per stroke, fill or
// text), never per pixel: what the per-pixel code reads is copied into the
// plotter by refreshPlotSources.
#include <cstdint>

#include "core/rect.h"

namespace pg {

class CBlockVCH;
class CGradation;
class CToneMngr;

// The three stroke walkers a document can route its points to.
enum class TStrokeSink : uint8_t {
  Segment = 0,    // the older-format segment walker (replay of older recordings)
  DabTable = 1,   // the document's walker with one dab routine per stroke kind
  PenRender = 2,  // the pen-method engine
};

class IPlotDocument {
 public:
  virtual ~IPlotDocument() = default;

  // The selection that weights coverage: the current mask's tiled image when
  // the document's selection is switched on and the mask holds an image;
  // nullptr otherwise. maskOffset receives the mask's offset (mask image
  // coordinate = document coordinate + offset).
  virtual const CBlockVCH* selectionImage(TPoint& maskOffset) const = 0;
  // The current layer's offset (layer pixel = document coordinate + offset).
  virtual TPoint currentLayerOffset() const = 0;
  // The current layer's image size (the clip of the shape fillers).
  virtual SSize currentLayerSize() const = 0;
  // The document has at least one layer.
  virtual bool hasLayers() const = 0;
  // The current layer protects its alpha (the merge keeps pixel alpha).
  virtual bool currentLayerProtectsAlpha() const = 0;
  // The document's window is replaying a recording.
  virtual bool isReplaying() const = 0;
  // False while the document replays in the older format.
  virtual bool isStandardMode() const = 0;
  // The tone set for this document (the replaying recorder's own during
  // replay); nullptr when there is none.
  virtual const CToneMngr* toneManager() const = 0;
  // The document's gradient; nullptr when there is none.
  virtual const CGradation* gradient() const = 0;
  // Routes the document's stroke points to a walker (raising its engine level
  // as the document decides).
  virtual void setStrokeProc(TStrokeSink sink) = 0;
};

}  // namespace pg
