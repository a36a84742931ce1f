// The player of version 1.1 recordings: one record of the legacy event
// stream at a time, performed through the document's own operations with
// the record flag cleared. A record is taken only when the stream holds it
// whole; a code the player cannot perform stops the replay.
#include <array>
#include <vector>

#include "brush/stroke_settings.h"
#include "core/aa_draw.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/plane_ops.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "document/layer_mngr.h"
#include "document/tool_window_link.h"
#include "record/legacy_event_packet.h"

namespace pg {

namespace {

// The anchors of the older canvas-size record count across the rows; ours
// count down the columns.
constexpr std::array<int32_t, 9> kAnchorOrder = {0, 3, 6, 1, 4, 7, 2, 5, 8};

// The in-place transforms of 288..291 and 528..531, by code.
int layerTransformOf(uint16_t code) {
  constexpr int kCodes[] = {8, 7, 10, 9};
  return kCodes[code - 288];
}
int imageTransformOf(uint16_t code) {
  constexpr int kCodes[] = {13, 12, 15, 14};
  return kCodes[code - 528];
}

// An undo record that cannot be stored (memory) does not stop the step: the
// picture still follows the recording, and the person only loses the undo of
// that one step. Stopping the replay there would leave the picture short of
// what was recorded for the sake of a history the recording does not need.
void storeStepUndo(TPaper& paper, int32_t layerIndex) { (void)paper.storeUndo(layerIndex, kUndoPixels); }
void storeStepRectUndo(TPaper& paper, int32_t layerIndex, const SRectXYWH& rect) {
  (void)paper.storeRectUndo(layerIndex, rect, kUndoPixels);
}

// Ends the open stroke and shows what it touched. False when an open stroke
// could not be stored in its layer (memory): the layer is as it was, and the
// replay cannot go on as recorded.
bool finishLegacyStroke(TPaper& doc, TFlowImage& flow, TStroke& stroke) {
  const bool open = doc.strokeState().isOpen();
  SRectXYWH rect{};
  if (!doc.endStroke(flow, stroke, false, rect, false)) return !open;
  doc.updateLayerRect(false, stroke.layerIndex, rect.X, rect.Y, rect.Width, rect.Height);
  return true;
}

}  // namespace

bool TPaper::playLegacyStrokePoint(TFlowImage& flow, TEventPacket& packet, TStroke& stroke) {
  SLegacyPoint p;
  bool last = false;
  if (!packet.readPoint(p, last)) return false;
  // Points paint the flow image only; the layer is written when the stroke ends.
  (void)continueStroke(flow, stroke, false, false, p.x, p.y, p.pressure);
  return !last || finishLegacyStroke(*this, flow, stroke);
}

bool TPaper::playLegacyRectFill(TFlowImage& flow, TEventPacket& packet, bool withColour) {
  uint8_t b[12] = {};
  if (!packet.readBytes(b, withColour ? 12 : 9)) return false;
  const auto i16 = [&](int at) { return int32_t(int16_t(uint16_t(b[at] | b[at + 1] << 8))); };
  // Layer indices beyond the 24 of version 1.1 are passed over.
  CLayerData* layer = b[0] < 24 ? getLayer(b[0]) : nullptr;
  if (layer == nullptr) return true;
  SRectXYWH rect{i16(1) + layer->offsetX, i16(3) + layer->offsetY, i16(5), i16(7)};
  // Every tile the fill touches is committed first, so that running short of
  // memory leaves the layer as it was and stops the replay.
  if (!layer->image->commitRect(rect)) {
    showOutOfMemoryMessage();
    return false;
  }
  storeStepRectUndo(*this, b[0], SRectXYWH{i16(1), i16(3), i16(5), i16(7)});
  // Committed above: the fills cannot fail.
  if (withColour)
    (void)layer->image->fillRGBRect(rect, uint32_t(b[9]) << 16 | uint32_t(b[10]) << 8 | b[11]);
  else
    (void)layer->image->fillMaskedRect(rect, 0xFFFFFFFFu, layerBlendNeutral(layer->blendMode) | 0xFF000000u);
  loadFlowImage(flow, b[0], true);
  repaintLayer(b[0]);
  return true;
}

bool TPaper::playLegacyPolygonFill(TFlowImage& flow, TEventPacket& packet, bool withColour) {
  uint8_t b[4] = {};
  std::vector<SLegacyPoint> list;
  if (!packet.readBytes(b, withColour ? 4 : 1) || !packet.readPointList(list)) return false;
  CLayerData* layer = b[0] < 24 ? getLayer(b[0]) : nullptr;
  if (layer == nullptr) return true;
  const uint32_t colour =
      withColour ? uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3] : layerBlendNeutral(layer->blendMode) & 0xFFFFFFu;
  storeStepUndo(*this, b[0]);
  // The polygon becomes the current selection slot, and the fill goes
  // through the slot's coverage in the layer image's coordinates.
  if (!selectMng_) selectMng_ = std::make_unique<TSelectMng>(width_, height_);
  if ((selectMng_->width() != width_ || selectMng_->height() != height_) && !selectMng_->setSize(width_, height_))
    return false;
  std::vector<TPoint> points;
  points.reserve(list.size());
  for (const SLegacyPoint& p : list) points.push_back(TPoint{p.x, p.y});
  const int32_t slot = selectMng_->currentIndex();
  const bool stored = selectMng_->setFromPolygon(slot, points.data(), points.size());
  TRect covered{};
  const bool empty =
      !stored || selectMng_->isEmpty(slot) || !boundsOfNonZero(selectMng_->currentSlot().channel, covered);
  if (empty) {
    // An empty selection covers the whole layer.
    selectMng_->clearSlot(0);
    return fillLayerOpaque(flow, b[0], colour, false);
  }
  if (!loadFlowImage(flow, b[0], true) || !flow.coverage.IsAllocated()) return false;
  fill(flow.coverage, 0);
  // Both planes are of the document's size and of one pixel size: the copy cannot be refused.
  (void)copyPlaneRect(selectMng_->currentSlot().channel, flow.coverage, TPoint{layer->offsetX, layer->offsetY},
                      SRectXYWH{0, 0, width_, height_});
  selectMng_->clearSlot(0);
  TStroke plot;
  plot.setColor(colour);
  plot.setOpacity(1.0f);
  return placeTextOnLayer(flow, b[0], STextPlacement{}, plot, false);
}

bool TPaper::playLegacyLine(TFlowImage& flow, TEventPacket& packet, TStroke& stroke) {
  std::array<int16_t, 4> ends{};
  if (!packet.readStrokeBeginKind(stroke, ends)) return false;
  // A line on a layer that is not there draws nothing; the replay goes on.
  if (!isValidLayer(stroke.layerIndex)) return true;
  if (!beginStrokeEx(flow, stroke, false, ends[0], ends[1], 1.0f)) return false;
  (void)drawStrokeSegment(flow, stroke, ends[0], ends[1], ends[2], ends[3]);  // the stroke was just opened
  return finishLegacyStroke(*this, flow, stroke);
}

bool TPaper::mergeVisibleLegacy(TFlowImage& flow) {
  if (!layers_ || layers_->visibleCount() < 2) return true;
  int32_t lowest = -1;
  for (int32_t i = 0; i < layers_->count(); ++i) {
    const CLayerData& l = *layers_->getLayer(i);
    if (!l.visible) continue;
    if (lowest < 0)
      lowest = i;
    else if (l.blendMode != layers_->getLayer(lowest)->blendMode)
      return true;
  }
  const CLayerData& lower = *layers_->getLayer(lowest);
  const int32_t mode = lower.blendMode;
  std::unique_ptr<CLayerData> merged = composedLayer(lowest, layers_->count() - lowest, lower, mode, true,
                                                     [](CLayerData& l) { return uint32_t{l.opacity}; });
  if (!merged) return false;
  merged->copyAttributes(lower);
  merged->id = lower.id;
  merged->opacity = 255;
  merged->blendMode = uint8_t(mode);
  // Indices within the list: the removed and replaced layers are freed.
  for (int32_t i = layers_->count() - 1; i > lowest; --i)
    if (layers_->getLayer(i)->visible) (void)layers_->removeLayer(i);
  (void)layers_->replaceLayer(lowest, std::move(merged));
  layers_->renumber();
  markModified(true);
  updateAllThumbnails();
  redraw(true);
  (void)setCurrentLayer(&flow, lowest);  // a valid index: this only selects it
  toolWindowLink().refreshLayerList();
  return true;
}

bool TPaper::playPenPacket(TFlowImage& flow, TEventPacket& packet, uint16_t& code, bool& refresh, TStroke& stroke) {
  refresh = false;
  if (packet.insideStroke()) {
    code = stroke.kind;
    return playLegacyStrokePoint(flow, packet, stroke);
  }
  // The whole record must be there before anything of it is read.
  if (legacyRecordLength(packet.bytes().data() + packet.readPosition(), packet.remaining()) == 0) return false;
  if (!packet.readCode(code)) return false;
  uint8_t b[12] = {};
  const auto u16 = [&](int at) { return int32_t(b[at] | b[at + 1] << 8); };
  const auto payload = [&](size_t n) { return packet.readBytes(b, n); };
  refresh = true;
  switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4: {
      refresh = false;
      SLegacyPoint first;
      if (!packet.readStrokeBegin(stroke, first)) return false;
      stroke.setKind(uint8_t(code));
      if (!isValidLayer(stroke.layerIndex)) return false;
      // A flow image that cannot hold the layer (memory) stops the replay.
      if (!beginStrokeEx(flow, stroke, false, first.x, first.y, first.pressure)) return false;
      return packet.insideStroke() || finishLegacyStroke(*this, flow, stroke);
    }
    case 256:  // a cleared layer on top, of the recorded mode
      if (!payload(1)) return false;
      return newLayerEx(&flow, layerCount(), true, 255, b[0], height_, width_, false);
    case 257:
      if (!payload(1)) return false;
      return deleteLayer(&flow, b[0], false);
    case 258:
      return mergeVisibleLegacy(flow);
    case 259: {  // a copy of the current layer on top
      if (!payload(1)) return false;
      const int32_t current = currentLayerIndex();
      if (!duplicateLayer(&flow, current, false)) return false;
      return current + 1 == lastLayerIndex() || moveLayer(&flow, current + 1, lastLayerIndex(), false);
    }
    case 260:
      if (!payload(2)) return false;
      return moveLayer(&flow, b[0], b[1], false);
    case 261:
      if (!payload(1)) return false;
      return mergeDown(&flow, b[0], false);
    case 272: {
      refresh = false;
      if (!payload(1)) return false;
      TRect rect{};
      return undoLayer(flow, b[0], rect);
    }
    case 273:
      refresh = false;
      if (!payload(1)) return false;
      return setCurrentLayer(&flow, b[0]);
    case 274:
      if (!payload(2)) return false;
      return setLayerVisible(b[0], b[1] != 0, false) || isValidLayer(b[0]);
    case 275:
      if (!payload(2)) return false;
      return setLayerOpacity(b[0], b[1], false) || isValidLayer(b[0]);
    case 276:
      if (!payload(2)) return false;
      return setLayerBlendMode(b[0], b[1], false) || isValidLayer(b[0]);
    case 288:
    case 289:
    case 290:
    case 291:
      if (!payload(1) || !isValidLayer(b[0])) return false;
      storeStepUndo(*this, b[0]);
      return layerCommand(flow, b[0], false, layerTransformOf(code));
    case 292:
      if (!payload(1) || !isValidLayer(b[0])) return false;
      storeStepUndo(*this, b[0]);
      return clearLayer(flow, b[0], false);
    case 293:
      if (!payload(4) || !isValidLayer(b[0])) return false;
      storeStepUndo(*this, b[0]);
      return fillLayerOpaque(flow, b[0], uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3], false);
    // The stream's first record sets the image up; 520 carries a canvas
    // size as 512 does and may open a stream in its place.
    case 277: {  // the others take this layer's visibility, and it turns
      if (!payload(1) || !isValidLayer(b[0])) return false;
      const bool shown = getLayer(b[0])->visible;
      for (int32_t i = 0; i < layerCount(); ++i)
        if (i != b[0]) (void)setLayerVisible(i, shown, false);  // false only for a layer already so
      return setLayerVisible(b[0], !shown, false);
    }
    case 294: {  // the layer's picture moved by (dx, dy)
      if (!payload(5) || !isValidLayer(b[0])) return false;
      storeStepUndo(*this, b[0]);
      return offsetLayer(&flow, b[0], TPoint{int16_t(u16(1)), int16_t(u16(3))}, false);
    }
    case 295:
    case 296:
      refresh = false;
      return playLegacyRectFill(flow, packet, code == 296);
    case 297:
    case 304:
      refresh = false;
      return playLegacyPolygonFill(flow, packet, code == 304);
    case 305:
      return playLegacyLine(flow, packet, stroke);
    case 515:
      if (!payload(4)) return false;
      return scaleImage(flow, u16(0), u16(2), 1, false);
    case 519: {
      refresh = false;
      if (!payload(1) || !isValidLayer(b[0])) return false;
      getLayer(b[0])->dropOwnUndo();
      return true;
    }
    case 512:
    case 520:
      if (!payload(4)) return false;
      return newDocument(name_, &flow, false, false, resolution_ > 0 ? resolution_ : 72, u16(2), u16(0));
    case 513:
      if (!payload(3)) return false;
      return setPaperColor(PaperColor::fromRgb(b[0], b[1], b[2]), false);
    case 514:
      if (!payload(5) || b[4] > 8) return false;
      return resizeCanvas(flow, u16(0), u16(2), kAnchorOrder[b[4]], false);
    case 516:
    case 517:
      return rotateImage90(flow, code == 516, false);
    case 518:
      invalidateLayerUndo();
      return true;
    case 528:
    case 529:
    case 530:
    case 531:
      return transformVisibleInPlace(flow, imageTransformOf(code), false);
    default:
      // The end of the stream, and the records this player does not perform.
      return false;
  }
}

}  // namespace pg
