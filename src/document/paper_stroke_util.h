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
class CBlockVMTC;
class CGradation;
struct SPlotter;
class TFlowImage;
class TPaper;
}  // namespace pg

namespace pg::stroke_detail {

[[nodiscard]] inline bool recordBegin(IDocRecorder* r, float x, float y, float p) {
  if (auto* s = dynamic_cast<IStrokeEvents*>(r)) return s->recordStrokeBegin(x, y, p);
  if (auto* e = eventRecorderOf(r)) return e->recordStrokeBegin(x, y, p);
  return true;
}
[[nodiscard]] inline bool recordPoint(IDocRecorder* r, float x, float y, float p) {
  if (auto* s = dynamic_cast<IStrokeEvents*>(r)) return s->recordStrokePoint(x, y, p);
  if (auto* e = eventRecorderOf(r)) return e->recordStrokePoint(x, y, p);
  return true;
}
[[nodiscard]] inline bool recordEnd(IDocRecorder* r) {
  if (auto* s = dynamic_cast<IStrokeEvents*>(r)) return s->recordStrokeEnd();
  if (auto* e = eventRecorderOf(r)) return e->recordStrokeEnd();
  return true;
}

// The part of a rectangle shifted by (dx, dy) that lies in 0..w x 0..h;
// empty when nothing is left. Worked in 64 bits: stroke rectangles from wild
// points reach the ends of the integer range.
inline SRectXYWH clipShifted(const SRectXYWH& r, int64_t dx, int64_t dy, int64_t w, int64_t h) {
  const int64_t x = int64_t{r.X} + dx, y = int64_t{r.Y} + dy;
  const int64_t l = std::max<int64_t>(x, 0), t = std::max<int64_t>(y, 0);
  const int64_t rt = std::min<int64_t>(x + r.Width, w), b = std::min<int64_t>(y + r.Height, h);
  if (r.Width <= 0 || r.Height <= 0 || rt <= l || b <= t) return SRectXYWH{0, 0, 0, 0};
  return SRectXYWH{static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(rt - l),
                   static_cast<int32_t>(b - t)};
}

// A rectangle of the document in the layer's image coordinates, clipped to
// the image.
inline SRectXYWH layerRectOf(const SRectXYWH& r, const CLayerData& layer) {
  return clipShifted(r, layer.offsetX, layer.offsetY, layer.imageWidth(), layer.imageHeight());
}

// The end of every stroke: the stroke's event is committed, the undo record
// of the rectangle (layer coordinates) taken from the layer's tiles, and the
// flow image merged back into them. The recorder drops a stroke whose packets
// could not all be written; its pixels are still merged, but no undo record
// may pair with a missing event, so the history is cleared.
// False when the tiles under the stroke could not be committed: the layer
// keeps its pixels, the flow is loaded from it again and no undo record is
// taken (the edit protocol clears the history, as for any recorded edit
// that was not carried out).
[[nodiscard]] bool finishStroke(TPaper& doc, TFlowImage& flow, int32_t layerIndex, CLayerData& layer,
                                const SRectXYWH& rect, bool record);

// The pen's coverage turned into colour over a rectangle (layer
// coordinates): a fresh copy of the layer with the working channel plotted
// over it in the stroke colour, so that overlapping dabs of one stroke never
// build up beyond the stroke's opacity. With a gradient (the stroke's
// gradation switch) the colour comes from it. Plotted through plot.
// After a merge of `merged` (layer coordinates) the flow image equals the
// layer there; of what the dabs `painted` the parts beyond it get the
// layer's pixels (and a clear working channel) again. Nothing inside merged
// is copied twice.
void reloadBeyondMerged(TFlowImage& flow, CBlockVMTC& image, const TRect& painted, const TRect& merged);

void coverageToColor(const SPlotter& plot, TFlowImage& flow, const CLayerData& layer, const SRectXYWH& rect,
                     uint32_t colour, uint32_t opacity255, const CGradation* gradient);

}  // namespace pg::stroke_detail
