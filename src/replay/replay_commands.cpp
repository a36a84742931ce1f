// Replay of the document's structural commands: whole-document events
// (type 2), layer commands (type 4), area edits of a layer (type 6) and mask
// and selection commands (type 10), each through the document operation
// that recorded it, with the record flag cleared.
#include <cmath>
#include <cstring>
#include <vector>

#include "brush/stroke_settings.h"
#include "core/planes.h"
#include "document/flow_image.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {

constexpr uint8_t kRefreshSize = kRefreshLayout | kRefreshNavigator | kRefreshTitle | kRefreshCanvasSize;  // 135
constexpr uint8_t kRefreshWhole = kRefreshLayout | kRefreshNavigator | kRefreshTitle;                      // 7
constexpr uint8_t kRefreshEdit = kRefreshLayout | kRefreshNavigator;                                      // 3

int32_t i32At(const uint8_t* b) { return int32_t(readLE32(b)); }
TPointF pointFAt(const uint8_t* b) { return TPointF{readF32(b), readF32(b + 4)}; }
bool finite(TPointF p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

// In-place transform codes of the subcodes 16..19 (and 32..35): mirror,
// flip, half turn, invert.
constexpr int kAllCodes[4] = {12, 13, 15, 14};
constexpr int kLayerCodes[4] = {7, 8, 10, 9};

}  // namespace

bool CReplayEngine::done(bool ok, uint8_t refresh) {
  if (!ok) return fail(ReplayError::OperationFailed);
  addRefresh(refresh);
  return true;
}

bool CReplayEngine::readPoints(uint16_t count, std::vector<TPointF>& points) {
  std::vector<uint8_t> raw(size_t(count) * 8);
  if (!read(raw.data(), uint32_t(raw.size()))) return false;
  points.resize(count);
  for (uint16_t i = 0; i < count; ++i) {
    points[i] = pointFAt(raw.data() + i * 8);
    if (!finite(points[i])) return fail(ReplayError::BadField);
  }
  return true;
}

bool CReplayEngine::replayDocumentCommand(uint8_t subcode) {
  uint8_t b[20] = {};
  TPaper& d = doc_;
  switch (subcode) {
    case kDocCanvasResize:
      if (!read(b, 10)) return false;
      return done(d.resizeCanvas(flow_, i32At(b + 2), i32At(b + 6), b[0], false), kRefreshSize);
    case kDocImageScale:
      if (!read(b, 10)) return false;
      return done(d.scaleImage(flow_, i32At(b + 2), i32At(b + 6), readLE16(b), false), kRefreshSize);
    case kDocLayersZoom:
      if (!read(b, 10)) return false;
      return done(d.zoomLayers(flow_, i32At(b + 2), i32At(b + 6), readLE16(b), false), kRefreshSize);
    case kDocRotate90:
    case kDocRotate270:
      return done(d.rotateImage90(flow_, subcode == kDocRotate90, false), kRefreshSize);
    case kDocMergeVisible: {
      if (!read(b, 12)) return false;
      const uint32_t flags = readLE32(b + 4);
      return done(d.mergeVisible(&flow_, (flags & 1) != 0, ((flags >> 8) & 1) != 0, false), kRefreshWhole);
    }
    case kDocCrop:
      if (!read(b, 20)) return false;
      return done(d.cropToRect(flow_, TRect{i32At(b + 4), i32At(b + 8), i32At(b + 12), i32At(b + 16)}, false),
                  kRefreshSize);
    case 16:
    case 17:
    case 18:
    case 19:
      return done(d.transformVisibleInPlace(flow_, kAllCodes[subcode - 16], false), kRefreshWhole);
    case 32:
    case 33:
    case 34:
    case 35:
      return done(d.transformAllInPlace(flow_, kAllCodes[subcode - 32], false), kRefreshWhole);
    default:
      return replayUnsupported(kPktDocument, subcode);
  }
}

bool CReplayEngine::replayLayerOp(uint8_t subcode) {
  uint8_t b[20] = {};
  TPaper& d = doc_;
  switch (subcode) {
    case 0: {
      if (!read(b, 14)) return false;
      const int32_t index = readLE16(b);
      if (!d.newLayerEx(&flow_, index, (b[12] & 1) != 0, b[10], b[11], i32At(b + 6), i32At(b + 2), false))
        return fail(ReplayError::OperationFailed);
      // The new layer is current; an unchanged setting answers false.
      if ((b[12] & 2) != 0) (void)d.setProtectAlpha(-1, 1, false);
      stroke_->setOpaqueMode(d.currentLayerProtectsAlpha(), true);
      addRefresh(kRefreshLayers);
      return true;
    }
    case 11: {
      // 40 bytes, then the name: u16 length at +40 and its bytes.
      uint8_t nb[40];
      if (!read(nb, 40)) return false;
      std::string name;
      if (!readName(name)) return false;
      if (!d.newLayer(&flow_, readLE16(nb), (nb[20] & 1) != 0, name, readLE32(nb + 22), nb[18], nb[19],
                      i32At(nb + 6), i32At(nb + 2), false))
        return fail(ReplayError::OperationFailed);
      if ((nb[20] & 2) != 0) (void)d.setProtectAlpha(-1, 1, false);  // as above
      stroke_->setOpaqueMode(d.currentLayerProtectsAlpha(), true);
      addRefresh(kRefreshLayers);
      return true;
    }
    default:
      break;
  }
  // The 4- and 12-byte bodies: u16 layer, u16 argument, two u32.
  const bool wide = subcode == 6 || subcode == 7 || subcode == 10 || subcode == 38 || subcode == 39 ||
                    (subcode >= 48 && subcode <= 51);
  const bool group = subcode == 12 || subcode == 13;
  if (!read(b, group ? 20 : wide ? 12 : 4)) return false;
  const int32_t layer = readLE16(b);
  const int32_t arg = readLE16(b + 2);
  switch (subcode) {
    case 1:
      return done(d.deleteLayer(&flow_, layer, false), kRefreshLayout);
    case 2:
      return done(d.clearLayer(flow_, layer, false), kRefreshLayout);
    case 3:
      return done(d.duplicateLayer(&flow_, layer, false), kRefreshLayout);
    case 4:
      return done(d.moveLayer(&flow_, layer, arg, false), kRefreshLayout);
    case 5:
      return done(d.mergeDown(&flow_, layer, false), kRefreshLayout);
    case 8:
      return done(d.cropLayer(&flow_, layer, false), kRefreshLayout);
    case 9:
      return done(d.cutSelection(flow_, layer, false, arg), kRefreshLayout);
    case 24:
      return done(d.fillLayerAlpha(flow_, layer, arg, false), kRefreshLayout);
    case 25:
      return done(d.invertLayerAlpha(flow_, layer, false), kRefreshLayout);
    case 32:
    case 33:
    case 34:
    case 35:
      return done(d.layerCommand(flow_, layer, false, kLayerCodes[subcode - 32]), kRefreshLayout);
    case 36:
    case 37:
      return done(d.rotateLayer90(flow_, layer, false, subcode == 36), kRefreshLayout);
    case 38: {
      const float degrees = readF32(b + 4);
      if (!std::isfinite(degrees)) return fail(ReplayError::BadField);
      return done(d.rotateLayer(flow_, layer, false, degrees), kRefreshLayout);
    }
    case 39:
      return done(d.scaleLayer(flow_, layer, false, i32At(b + 4), i32At(b + 8)), kRefreshLayout);
    case 48:
    case 49:
    case 50:
    case 51:
      return done(d.layerFilterCommand(flow_, layer, false, readLE32(b + 8) != 0, kLayerCodes[subcode - 48],
                                       int32_t(readLE32(b + 4))),
                  kRefreshLayout);
    case 10:
      return done(d.mergeLinked(&flow_, layer, int32_t(readLE32(b + 8)), false), kRefreshLayout);
    case 6:
      return done(d.offsetLayer(&flow_, layer, TPoint{i32At(b + 4), i32At(b + 8)}, false), kRefreshLayout);
    case 12:
      return done(d.offsetLayerGroup(&flow_, layer, TPoint{i32At(b + 4), i32At(b + 8)}, arg, false),
                  kRefreshLayout);
    default:
      return replayUnsupported(kPktLayer, subcode);
  }
}

bool CReplayEngine::replayLayerEdit(uint8_t subcode) {
  TPaper& d = doc_;
  if (subcode == 4) {
    uint8_t b[4];
    if (!read(b, 4)) return false;
    const uint16_t count = readLE16(b + 2);
    std::vector<TPointF> points;
    if (!readPoints(count, points)) return false;
    return done(d.layerFigurePolygon(flow_, readLE16(b), count, points.data(), *stroke_, false), kRefreshEdit);
  }
  uint8_t b[22];
  if (!read(b, 22)) return false;
  const int32_t layer = readLE16(b);
  const TPointF p1 = pointFAt(b + 6);
  const TPointF p2 = pointFAt(b + 14);
  if (!finite(p1) || !finite(p2)) return fail(ReplayError::BadField);
  d.loadFlowImage(flow_, layer, false);
  switch (subcode) {
    case 0:
      return done(d.fillLayerColor(flow_, layer, readLE32(b + 2), *stroke_, true, false), kRefreshEdit);
    case 1:
      return done(d.layerFigureRect(flow_, layer, p1, p2, *stroke_, true, false), kRefreshEdit);
    case 2:
      activeReplayGradient();
      return done(d.fillLayerGradient(flow_, layer, p1, p2, false, *stroke_, false), kRefreshEdit);
    case 3:
    case 6:
      return done(d.layerFigureEllipse(flow_, layer, p1, p2, 0.0, *stroke_, false), kRefreshEdit);
    case 5:
      return done(d.deleteSelection(flow_, layer, readLE32(b + 2), *stroke_, true, false), kRefreshEdit);
    default:
      return replayUnsupported(kPktLayerEdit, subcode);
  }
}

bool CReplayEngine::replayMaskOp(uint8_t subcode) {
  TPaper& d = doc_;
  if (subcode == 18) {
    uint8_t b[8];
    if (!read(b, 8)) return false;
    const uint16_t count = readLE16(b + 6);
    std::vector<TPointF> points;
    if (!readPoints(count, points)) return false;
    return done(d.maskFigurePolygon(flow_, readLE16(b), count, points.data(), b[4], *stroke_, false), 0);
  }
  if (subcode == 16 || subcode == 17 || subcode == 19) {
    uint8_t b[22];
    if (!read(b, 22)) return false;
    const TPointF p1 = pointFAt(b + 6);
    const TPointF p2 = pointFAt(b + 14);
    if (!finite(p1) || !finite(p2)) return fail(ReplayError::BadField);
    const int32_t layer = readLE16(b);
    if (subcode == 16) return done(d.maskFigureRect(flow_, layer, p1, p2, b[4], *stroke_, false), 0);
    return done(d.maskFigureEllipse(flow_, layer, p1, p2, 0.0, b[4], *stroke_, false), 0);
  }
  const bool wide = subcode == 7 || subcode == 8 || subcode == 9 || subcode == 10 || subcode == 13 ||
                    subcode == 14 || subcode == 22 || subcode == 24 || subcode == 25 || subcode == 26;
  uint8_t b[12] = {};
  if (!read(b, wide ? 12 : 4)) return false;
  const int32_t layer = readLE16(b);
  const int32_t arg = readLE16(b + 2);
  const uint32_t first = readLE32(b + 4);
  const uint32_t second = readLE32(b + 8);
  switch (subcode) {
    case 0:
      return done(d.newMask(flow_, layer, arg, false), 0);
    case 1:
      return done(d.maskFillNone(flow_, layer, false), 0);
    case 2:
      if (d.masks()->current() != arg && !d.activateMask(flow_, layer, arg, false))
        return fail(ReplayError::OperationFailed);
      return done(d.deleteMask(flow_, layer, arg, false), 0);
    case 3:
      return done(d.maskInvert(flow_, layer, false), 0);
    case 4:
      return done(d.duplicateMask(flow_, layer, arg, false), 0);
    case 5:
      return done(d.activateMask(flow_, layer, arg, false), 0);
    case 6:
      return done(d.cropMask(flow_, layer, arg, false), 0);
    case 20:
      return done(d.maskFillAll(flow_, layer, false), 0);
    case 21:
      return done(d.layerAlphaFromMask(flow_, layer, arg, false), 0);
    case 7:
      return done(d.moveMask(flow_, layer, arg, int32_t(first), false), 0);
    case 8:
      return done(d.offsetMask(TPoint{int32_t(first), int32_t(second)}, false), 0);
    case 9:
      return done(d.mergeMask(flow_, layer, arg, int32_t(first), int32_t(second), false), 0);
    case 10:
      return done(d.inflateMask(layer, first != 0, arg, false), 0);
    case 13:
      return done(d.showWalkAnts(second != 0, false), 0);
    case 14:
      return done(d.enableMask(second != 0, false), 0);
    case 22:
      return done(d.newMaskFromLayer(flow_, layer, int32_t(first), 0, arg, false), 0);
    case 11:
      return done(d.newLayerFromSelection(flow_, layer, 0, false, arg, false), 0);
    case 24:
      return done(d.newLayerFromSelection(flow_, layer, int32_t(first), second != 0, arg, false), 0);
    case 25:
    case 26:
      // The option in the low half of the first value, the pixel count in the high.
      if (subcode == 25) return done(d.applySelectExpand(arg, false, int32_t(first & 0xFFFF), int32_t(first >> 16)), 0);
      return done(d.applySelectContract(arg, false, int32_t(first & 0xFFFF), int32_t(first >> 16)), 0);
    default:
      return replayUnsupported(kPktMask, subcode);
  }
}

}  // namespace pg

namespace pg {

bool CReplayEngine::replayLayerList(uint8_t subcode) {
  TPaper& d = doc_;
  if (subcode == 0 || subcode == 1) {
    uint8_t b[24];
    if (!read(b, 24)) return false;
    const uint16_t count = readLE16(b + 2);
    const uint32_t length = readLE32(b + 12);
    // The sizes must agree before anything past the payload is read.
    if (b[6] != 1 || b[7] != 2 || length % 2 != 0 || length != 2u * count) return fail(ReplayError::BadField);
    if (!skip(length)) return false;
    return done(d.linkLayer(&flow_, readLE16(b), subcode == 0, false), kRefreshLayers);
  }
  if (subcode == 9 || subcode == 10) {
    // The moved group: delta +4, count +12; the mask index +2 for 10.
    uint8_t b[20];
    if (!read(b, 20)) return false;
    const TPoint delta{int32_t(readLE32(b + 4)), int32_t(readLE32(b + 8))};
    const int32_t count = int32_t(readLE32(b + 12));
    if (subcode == 9) return done(d.offsetLinkGroup(&flow_, readLE16(b), delta, count, false), kRefreshEdit);
    return done(d.offsetLinkGroupMask(&flow_, readLE16(b), delta, count, readLE16(b + 2), false), kRefreshEdit);
  }
  uint8_t b[12];
  if (!read(b, 12)) return false;
  const int32_t layer = readLE16(b);
  const uint32_t first = readLE32(b + 4);
  switch (subcode) {
    case 8:
      return done(d.deleteLayerGroup(&flow_, layer, false), kRefreshEdit);
    case 12:
      return done(d.mergeLinkGroup(&flow_, layer, readLE16(b + 2), false), kRefreshEdit);
    case 13:
      return done(d.removeLinkGroup(&flow_, layer, readLE16(b + 2), false), kRefreshEdit);
    case 11:
      return done(d.moveLayerGroup(&flow_, layer, readLE16(b + 2), int32_t(first), false), kRefreshEdit);
    case 16:
      return done(d.setLayerGroupVisible(layer, int32_t(first >> 16), (first & 0xFFFF) != 0, false), kRefreshEdit);
    default:
      return replayUnsupported(kPktLayerList, subcode);
  }
}

bool CReplayEngine::replayLayerImage(uint8_t subcode) {
  int32_t layer = 0;
  std::unique_ptr<TMTC> image;
  std::unique_ptr<std::array<uint8_t, 72>> record;
  std::vector<uint8_t> block;
  if (!readImageObject(layer, image, record, block)) return false;
  // The byte block carries the layer's name.
  block.push_back(0);
  const std::string name = cp932ToUtf8(reinterpret_cast<const char*>(block.data()));
  const uint8_t* attributes = record ? record->data() : nullptr;
  flow_.fitDocument(true);
  switch (subcode) {
    case 0:
      return done(doc_.pasteIntoLayer(&flow_, layer, name, attributes, *image, false), kRefreshEdit);
    case 1:
      return done(doc_.pasteLayerImage(&flow_, *image, name, attributes, false), kRefreshEdit);
    default:
      return replayUnsupported(kPktLayerImage, subcode);
  }
}

}  // namespace pg
