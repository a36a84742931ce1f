#pragma once
// What the two stroke families share: the stroke's recording calls and the
// rectangle conversions to the layer image.
#include <algorithm>
#include <cstdint>

#include "core/rect.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/paper_stroke.h"

namespace pg {
class CGradation;
class TFlowImage;
class TPaper;
}  // namespace pg

namespace pg::stroke_detail {

inline bool recordBegin(IDocRecorder* r, float x, float y, float p) {
  if (auto* s = dynamic_cast<IStrokeEvents*>(r)) return s->recordStrokeBegin(x, y, p);
  if (auto* e = eventRecorderOf(r)) return e->recordStrokeBegin(x, y, p);
  return true;
}
inline bool recordPoint(IDocRecorder* r, float x, float y, float p) {
  if (auto* s = dynamic_cast<IStrokeEvents*>(r)) return s->recordStrokePoint(x, y, p);
  if (auto* e = eventRecorderOf(r)) return e->recordStrokePoint(x, y, p);
  return true;
}
inline bool recordEnd(IDocRecorder* r) {
  if (auto* s = dynamic_cast<IStrokeEvents*>(r)) return s->recordStrokeEnd();
  if (auto* e = eventRecorderOf(r)) return e->recordStrokeEnd();
  return true;
}

inline SRectXYWH toLayer(const SRectXYWH& r, const CLayerData& layer) {
  return SRectXYWH{r.X + layer.offsetX, r.Y + layer.offsetY, r.Width, r.Height};
}

// The rectangle clipped to the layer image; empty when nothing is left.
inline SRectXYWH clipToLayer(const SRectXYWH& r, const CLayerData& layer) {
  const int64_t l = std::max<int64_t>(r.X, 0), t = std::max<int64_t>(r.Y, 0);
  const int64_t rt = std::min<int64_t>(int64_t{r.X} + r.Width, layer.imageWidth());
  const int64_t b = std::min<int64_t>(int64_t{r.Y} + r.Height, layer.imageHeight());
  if (rt <= l || b <= t) return SRectXYWH{0, 0, 0, 0};
  return SRectXYWH{static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(rt - l),
                   static_cast<int32_t>(b - t)};
}

// The end of every stroke: the stroke's event is committed, the undo record
// of the rectangle (layer coordinates) taken from the layer's tiles, and the
// flow image merged back into them. The recorder drops a stroke whose packets
// could not all be written; its pixels are still merged, but no undo record
// may pair with a missing event, so the history is cleared.
void finishStroke(TPaper& doc, TFlowImage& flow, int32_t layerIndex, CLayerData& layer, const SRectXYWH& rect,
                  bool record);

// The pen's coverage turned into colour over a rectangle (layer
// coordinates): a fresh copy of the layer with the working channel plotted
// over it in the stroke colour, so that overlapping dabs of one stroke never
// build up beyond the stroke's opacity. With a gradient (the stroke's
// gradation switch) the colour comes from it.
void coverageToColor(TFlowImage& flow, const CLayerData& layer, const SRectXYWH& rect, uint32_t colour,
                     uint32_t opacity255, const CGradation* gradient);

}  // namespace pg::stroke_detail
