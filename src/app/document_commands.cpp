#include "app/document_commands.h"

#include <algorithm>

#include "document/layer_data.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {

namespace {

// The longest layer name the layer records hold.
constexpr size_t kMaxLayerNameLength = 32766;

bool moved(const TLayerOptionValue& before, const TLayerOptionValue& chosen) {
  return chosen.x != before.x || chosen.y != before.y;
}

TPoint moveOf(const TLayerOptionValue& before, const TLayerOptionValue& chosen) {
  return TPoint{chosen.x - before.x, chosen.y - before.y};
}

}  // namespace

TLayerOptionValue layerOptionRecord(const CLayerData& l) {
  return TLayerOptionValue{-l.offsetX, -l.offsetY, false, l.name, l.blendMode, l.opacity, l.dissolve,
                           l.dissolveAmount};
}

bool applyLayerOptions(TPaper& p, TFlowImage& flow, int32_t index, const TLayerOptionValue& before,
                       const TLayerOptionValue& r) {
  bool changed = false;
  if (r.name != before.name) changed |= p.setLayerName(index, r.name.substr(0, kMaxLayerNameLength), true);
  if (r.opacity != before.opacity) changed |= p.setLayerOpacity(index, r.opacity, true);
  if (r.dither != before.dither || r.ditherAmount != before.ditherAmount)
    changed |= p.setLayerEffect(index, r.dither, static_cast<uint8_t>(r.ditherAmount), true);
  if (r.blendMode != before.blendMode) changed |= p.setLayerBlendMode(index, r.blendMode, true);
  if (r.crop) changed |= p.cropLayer(&flow, index, true);
  if (moved(before, r)) changed |= p.offsetLayer(&flow, index, moveOf(before, r), true);
  return changed;
}

TLayerOptionValue maskOptionRecord(const CMaskData& m) {
  return TLayerOptionValue{-m.offsetX, -m.offsetY, false, m.name, 0, 255, false, 255};
}

bool applyMaskOptions(TPaper& p, TFlowImage& flow, const TLayerOptionValue& before, const TLayerOptionValue& r) {
  const CMaskData* m = p.masks() ? p.masks()->currentMask() : nullptr;
  if (m == nullptr) return false;
  const int32_t index = p.masks()->current();
  const bool withImage = m->image != nullptr;
  bool changed = false;
  if (r.name != before.name) changed |= p.setMaskName(p.currentLayerIndex(), r.name, index, true);
  if (r.crop && withImage) changed |= p.cropMask(flow, p.currentLayerIndex(), index, true);
  if (withImage && moved(before, r)) changed |= p.offsetMask(moveOf(before, r), true);
  return changed;
}

int32_t documentAnchor(int32_t cell) { return (cell % 3) * 3 + cell / 3; }

bool applyCanvasSize(TPaper& p, TFlowImage& flow, const SImageSizeRecord& r) {
  return p.resizeCanvas(flow, r.width, r.height, documentAnchor(r.anchor), true);
}

bool applyResolution(TPaper& p, TFlowImage& flow, const SResolutionRecord& r) {
  // Method 2: the smooth resampling of the image size dialog.
  if ((r.width != p.width() || r.height != p.height()) && !p.scaleImage(flow, r.width, r.height, 2, true)) return false;
  p.setResolution(r.resolution);
  return true;
}

bool addNewLayer(TPaper& p, TFlowImage& flow, const SNewLayerRecord& r) {
  return p.newLayer(&flow, p.currentLayerIndex() + 1, true, r.name, r.colour, r.opacity,
                    static_cast<int32_t>(r.blendMode), p.height(), p.width(), true);
}

DeleteResult deleteSelectionOrLayer(TPaper& p, TFlowImage& flow, TStroke& stroke) {
  const int32_t index = p.currentLayerIndex();
  if (p.canDeleteSelection())
    return p.deleteSelection(flow, index, p.paperColor().pixel(), stroke, true, true) ? DeleteResult::SelectionErased
                                                                                    : DeleteResult::Nothing;
  return p.clearLayer(flow, index, true) ? DeleteResult::LayerCleared : DeleteResult::Nothing;
}

bool cropToSelection(TPaper& p, TFlowImage& f) {
  const CMaskData* mask = p.masks() ? p.masks()->currentMask() : nullptr;
  TRect r{};
  if (!mask || !mask->getBounds(r)) return false;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, p.width());
  r.Bottom = std::min(r.Bottom, p.height());
  if (r.Right <= r.Left || r.Bottom <= r.Top) return false;
  return p.cropToRect(f, r, true);
}

}  // namespace pg
