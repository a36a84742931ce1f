// Erasing the selected area of a layer (Delete with a selection): the layer
// is filled through the selection with the given colour, and then each
// selected pixel keeps only the unselected share of the alpha it had. The
// colour thus only tints what a soft selection edge leaves behind.
#include <vector>

#include "brush/plot_callbacks.h"
#include "brush/shape_fillers.h"
#include "brush/stroke_settings.h"
#include "core/blend_arith.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/paper.h"

namespace pg {

namespace {

constexpr uint8_t kEditErase = 5;

struct SEraseSpan {
  std::vector<uint8_t> alpha;  // one row's alpha before the plot
};

void eraseSpan(void* data, CFillMngr& filler, CDibCore& target, const CFillMngr::SSpan& span) {
  auto& ctx = *static_cast<SEraseSpan*>(data);
  if (target.BytesPerPixel() != 4 || target.Bits == nullptr || span.row < 0 || span.row >= target.Height) return;
  const int32_t width = target.Width;
  uint32_t* row = pixelAddr32(target, 0, span.row);
  ctx.alpha.resize(static_cast<size_t>(width));
  for (int32_t x = 0; x < width; ++x) ctx.alpha[static_cast<size_t>(x)] = static_cast<uint8_t>(row[x] >> 24);
  filler.spanPlotColor(target, span);
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t v = selectionCoverage(filler.plotter(), x, span.row, 255);
    if (v == 0) continue;
    const uint32_t a = ctx.alpha[static_cast<size_t>(x)];
    const uint32_t kept = a == 0 ? 0 : productAt(a, 255 - v);
    row[x] = (row[x] & 0x00FFFFFFu) | (kept << 24);
  }
}

}  // namespace

bool TPaper::canDeleteSelection() const { return selectionEnabled_ && hasSelection() && currentLayer() != nullptr; }

bool TPaper::deleteSelection(TFlowImage& flow, int32_t index, uint32_t colour, TStroke& stroke, bool undo,
                             bool record) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr || !selectionEnabled_ || !hasSelection()) return false;
  CWaitCursor wait(owner_);
  const uint32_t keptColour = stroke.color;
  stroke.color = colour;
  SEraseSpan ctx;
  // The box covers the whole layer, in the layer's own pixels.
  const TPointF end{static_cast<float>(layer->imageWidth()), static_cast<float>(layer->imageHeight())};
  const bool ok = layerFigure(
      flow, index, undo,
      [&](std::unique_ptr<CFillMngr>& f, std::function<int32_t(CDibCore&)>& fillInto) {
        f = std::make_unique<CFillMngr>(this, stroke);
        CFillMngr* box = f.get();
        fillInto = [box, &ctx](CDibCore& t) {
          box->setSpanProc(&eraseSpan, &ctx);
          return box->fillBox(t);
        };
        return f->setRect(TPointF{0, 0}, end);
      },
      [&](IDocEventRecorder& e) { return e.recordLayerEdit(index, colour, kEditErase, nullptr, nullptr); }, record);
  stroke.color = keptColour;
  return ok;
}

}  // namespace pg
