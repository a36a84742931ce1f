// The executors of command packets: whole-document events (type 2), layer
// commands (type 4), link groups (type 5), area edits of a layer (type 6) and
// mask and selection commands (type 10), each through the document operation
// that recorded it, with the record flag cleared; and the table that gives
// every operation of the packet table its executor.
#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "brush/stroke_settings.h"
#include "core/blend_modes.h"
#include "core/planes.h"
#include "document/flow_image.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"
#include "replay/replay_executors.h"

namespace pg {

namespace {

constexpr uint8_t kRefreshSize = kRefreshLayout | kRefreshNavigator | kRefreshTitle | kRefreshCanvasSize;  // 135
constexpr uint8_t kRefreshWhole = kRefreshLayout | kRefreshNavigator | kRefreshTitle;                      // 7
constexpr uint8_t kRefreshEdit = kRefreshLayout | kRefreshNavigator;                                      // 3

TPointF pointOf(const SPointFBody& p) { return TPointF{p.x, p.y}; }
bool finite(const SPointFBody& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

using O = PacketOp;
using E = CReplayEngine;
using Row = const SPacketRow&;

}  // namespace

bool CReplayEngine::done(bool ok, uint8_t refresh) {
  if (!ok) return fail(ReplayError::OperationFailed);
  addRefresh(refresh);
  return true;
}

bool CReplayEngine::readPoints(uint16_t count, std::vector<TPointF>& points) {
  std::vector<uint8_t> raw(size_t(count) * 8);
  if (!read(raw.data(), uint32_t(raw.size()))) return false;
  CByteCursor c = CByteCursor::reading(raw.data(), raw.size());
  points.resize(count);
  for (TPointF& point : points) {
    SPointFBody p;
    SPointFBody::fields(c, p);
    if (!finite(p)) return fail(ReplayError::BadField);
    point = pointOf(p);
  }
  return c.ok() || fail(ReplayError::BadField);
}

bool CReplayEngine::readName(uint16_t length, std::string& name) {
  std::string bytes(length, '\0');
  if (!read(bytes.data(), uint32_t(bytes.size()))) return false;
  bytes.resize(std::char_traits<char>::length(bytes.c_str()));
  name = cp932ToUtf8(bytes);
  return true;
}

// The executors of one body form each share their reading.
template <class Op>
bool CReplayExecutors::target(CReplayEngine& e, const SPacketRow& r, uint8_t refresh, Op op) {
  STargetBody b;
  return e.readBody(r, b) && e.done(op(e.doc_, e.flow_, int32_t(b.layer), int32_t(b.argument)), refresh);
}

template <class Op>
bool CReplayExecutors::values(CReplayEngine& e, const SPacketRow& r, uint8_t refresh, Op op) {
  SValuesBody b;
  return e.readBody(r, b) && e.done(op(e.doc_, e.flow_, b), refresh);
}

// An area edit loads the layer into the flow image first.
template <class Op>
bool CReplayExecutors::edit(CReplayEngine& e, const SPacketRow& r, Op op) {
  SEditBody b;
  if (!e.readBody(r, b)) return false;
  if (!finite(b.start) || !finite(b.end)) return e.fail(ReplayError::BadField);
  e.doc_.loadFlowImage(e.flow_, b.layer, false);
  return e.done(op(e, b, pointOf(b.start), pointOf(b.end)), kRefreshEdit);
}

bool CReplayEngine::replayCommand(const SPacketRow& row) {
  const PacketExecutor run = CReplayExecutors::of(row.op);
  return run != nullptr ? run(*this, row) : fail(ReplayError::UnknownPacket);
}

PacketExecutor CReplayExecutors::of(PacketOp op) {
  static const std::array<PacketExecutor, size_t(O::Count)> table = [] {
    std::array<PacketExecutor, size_t(O::Count)> t{};
    auto set = [&](O op, PacketExecutor f) { t[size_t(op)] = f; };

    // ---- whole-document events ----
    set(O::ImageCreate, [](E& e, Row r) {
      SImageCreateBody b;
      if (r.form == BodyForm::OldImageCreate) {
        // The older set-up: no resolution, the canvas colour shown and a
        // transparent first layer.
        SOldImageCreateBody old;
        if (!e.readBody(r, old)) return false;
        b = old;
        b.resolution = 0;
        b.canvas = 255;
        b.opaque = 0;
      } else if (!e.readBody(r, b)) {
        return false;
      }
      // Sizes are brought into 1 .. 10,000 by the document.
      if (!e.doc_.setupDocument(std::string(), &e.flow_, b.opaque == 0, b.canvas == 0, b.resolution, b.layerHeight,
                                b.layerWidth, b.height, b.width))
        return e.fail(ReplayError::OperationFailed);
      e.stroke_->setLayerIndex(e.doc_.currentLayerIndex());
      e.addRefresh(kRefreshSize);
      return true;
    });
    set(O::PaperColor, [](E& e, Row r) {
      SColourBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.setPaperColor(PaperColor::fromPixel(b.colour & 0x00FFFFFFu), false), 0);
    });
    set(O::CanvasResize, [](E& e, Row r) {
      SResizeBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.resizeCanvas(e.flow_, b.width, b.height, b.anchorLow, false), kRefreshSize);
    });
    set(O::LayersZoom, [](E& e, Row r) {
      SScaleBody b;
      return e.readBody(r, b) && e.done(e.doc_.zoomLayers(e.flow_, b.width, b.height, b.mode, false), kRefreshSize);
    });
    set(O::ImageScale, [](E& e, Row r) {
      SScaleBody b;
      return e.readBody(r, b) && e.done(e.doc_.scaleImage(e.flow_, b.width, b.height, b.mode, false), kRefreshSize);
    });
    set(O::Rotate90, [](E& e, Row) { return e.done(e.doc_.rotateImage90(e.flow_, true, false), kRefreshSize); });
    set(O::Rotate270, [](E& e, Row) { return e.done(e.doc_.rotateImage90(e.flow_, false, false), kRefreshSize); });
    // The older merge of the visible layers took no values.
    set(O::MergeVisibleOld,
        [](E& e, Row) { return e.done(e.doc_.mergeVisible(&e.flow_, false, false, false), kRefreshWhole); });
    set(O::MergeVisible, [](E& e, Row r) {
      SValuesBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.mergeVisible(&e.flow_, (b.value & 1) != 0, ((b.value >> 8) & 1) != 0, false),
                    kRefreshWhole);
    });
    set(O::CropOld, [](E& e, Row r) {
      SOldCropBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.cropToRect(e.flow_, TRect{b.rect.left, b.rect.top, b.rect.right, b.rect.bottom}, false),
                    kRefreshSize);
    });
    set(O::Crop, [](E& e, Row r) {
      SCropBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.cropToRect(e.flow_, TRect{b.rect.left, b.rect.top, b.rect.right, b.rect.bottom}, false),
                    kRefreshSize);
    });
    set(O::TransformVisible,
        [](E& e, Row r) { return e.done(e.doc_.transformVisibleInPlace(e.flow_, r.variant, false), kRefreshWhole); });
    set(O::TransformAll,
        [](E& e, Row r) { return e.done(e.doc_.transformAllInPlace(e.flow_, r.variant, false), kRefreshWhole); });
    // An operation that finds nothing to change is not a failure of the
    // recording: the recorder wrote what the user asked.
    set(O::ShowAllLayers, [](E& e, Row r) {
      return target(e, r, kRefreshWhole, [](TPaper& d, TFlowImage&, int32_t layer, int32_t value) {
        if (d.getLayer(layer) == nullptr) return false;
        (void)d.showAllLayers(layer, value != 0, false);  // false: nothing to change, which is no failure
        return true;
      });
    });
    set(O::ShowOnlyLayer, [](E& e, Row r) {
      return target(e, r, kRefreshWhole, [](TPaper& d, TFlowImage&, int32_t layer, int32_t) {
        if (d.getLayer(layer) == nullptr) return false;
        (void)d.showOnlyLayer(layer, false);  // as above
        return true;
      });
    });
    set(O::FlipVisibility, [](E& e, Row r) {
      return target(e, r, kRefreshWhole, [](TPaper& d, TFlowImage&, int32_t layer, int32_t) {
        if (d.getLayer(layer) == nullptr) return false;
        (void)d.flipLayerVisibility(layer, false);  // as above
        return true;
      });
    });
    set(O::Reset, [](E& e, Row) {
      e.resetReplayIds();
      return true;
    });
    set(O::Seal, [](E& e, Row) {
      e.store_.setStateBits(kEvEndReached, true);
      return true;
    });

    // ---- layers ----
    set(O::NewLayerEx, [](E& e, Row r) {
      SNewLayerBody b;
      if (!e.readBody(r, b)) return false;
      if (!e.doc_.newLayerEx(&e.flow_, b.layer, (b.flags & kBodyFlagVisible) != 0, b.opacity, b.blendMode,
                             int32_t(b.height), int32_t(b.width), false))
        return e.fail(ReplayError::OperationFailed);
      // The new layer is current; an unchanged setting answers false.
      if ((b.flags & kBodyFlagProtectAlpha) != 0) (void)e.doc_.setProtectAlpha(-1, 1, false);
      e.stroke_->setOpaqueMode(e.doc_.currentLayerProtectsAlpha(), true);
      e.addRefresh(kRefreshLayers);
      return true;
    });
    set(O::NewLayer, [](E& e, Row r) {
      SNamedLayerBody b;
      std::string name;
      if (!e.readBody(r, b) || !e.readName(b.nameLength, name)) return false;
      if (!e.doc_.newLayer(&e.flow_, b.layer, (b.flags & kBodyFlagVisible) != 0, name, b.colour, b.opacity, b.blendMode,
                           int32_t(b.height), int32_t(b.width), false))
        return e.fail(ReplayError::OperationFailed);
      if ((b.flags & kBodyFlagProtectAlpha) != 0) (void)e.doc_.setProtectAlpha(-1, 1, false);  // as above
      e.stroke_->setOpaqueMode(e.doc_.currentLayerProtectsAlpha(), true);
      e.addRefresh(kRefreshLayers);
      return true;
    });
    set(O::DeleteLayer, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.deleteLayer(&f, l, false); });
    });
    set(O::ClearLayer, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.clearLayer(f, l, false); });
    });
    set(O::DuplicateLayer, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.duplicateLayer(&f, l, false); });
    });
    set(O::MoveLayer, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t to) { return d.moveLayer(&f, l, to, false); });
    });
    set(O::MergeDown, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.mergeDown(&f, l, false); });
    });
    set(O::CropLayer, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.cropLayer(&f, l, false); });
    });
    set(O::CutSelection, [](E& e, Row r) {
      return target(e, r, kRefreshLayout, [](TPaper& d, TFlowImage& f, int32_t l, int32_t value) {
        return d.cutSelection(f, l, false, value);
      });
    });
    set(O::FillAlpha, [](E& e, Row r) {
      return target(e, r, kRefreshLayout, [](TPaper& d, TFlowImage& f, int32_t l, int32_t alpha) {
        return d.fillLayerAlpha(f, l, alpha, false);
      });
    });
    set(O::InvertAlpha, [](E& e, Row r) {
      return target(e, r, kRefreshLayout,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.invertLayerAlpha(f, l, false); });
    });
    set(O::LayerInPlace, [](E& e, Row r) {
      STargetBody b;
      return e.readBody(r, b) && e.done(e.doc_.layerCommand(e.flow_, b.layer, false, r.variant), kRefreshLayout);
    });
    set(O::RotateLayer90, [](E& e, Row r) {
      STargetBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.rotateLayer90(e.flow_, b.layer, false, r.variant != 0), kRefreshLayout);
    });
    set(O::MergeLinked, [](E& e, Row r) {
      return values(e, r, kRefreshLayout, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.mergeLinked(&f, b.layer, int32_t(b.option), false);
      });
    });
    set(O::RotateLayer, [](E& e, Row r) {
      SValuesBody b;
      if (!e.readBody(r, b)) return false;
      const float degrees = std::bit_cast<float>(b.value);
      if (!std::isfinite(degrees)) return e.fail(ReplayError::BadField);
      return e.done(e.doc_.rotateLayer(e.flow_, b.layer, false, degrees), kRefreshLayout);
    });
    set(O::ScaleLayer, [](E& e, Row r) {
      return values(e, r, kRefreshLayout, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.scaleLayer(f, b.layer, false, int32_t(b.value), int32_t(b.option));
      });
    });
    set(O::LayerFilterCommand, [](E& e, Row r) {
      SValuesBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.layerFilterCommand(e.flow_, b.layer, false, b.option != 0, r.variant, int32_t(b.value)),
                    kRefreshLayout);
    });
    // A move of a layer that no longer covers the document rebuilds it
    // (subcodes 7 and 13): the operation finds that again from the same
    // layer and delta, as it did when it was recorded.
    set(O::OffsetLayer, [](E& e, Row r) {
      SOffsetBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.offsetLayer(&e.flow_, b.layer, TPoint{b.dx, b.dy}, false), kRefreshLayout);
    });
    set(O::OffsetLayerGroup, [](E& e, Row r) {
      SGroupOffsetBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.offsetLayerGroup(&e.flow_, b.layer, TPoint{b.dx, b.dy}, b.mask, false), kRefreshLayout);
    });
    set(O::LayerAttribute, &CReplayExecutors::layerAttribute);
    set(O::LayerEffect, &CReplayExecutors::layerAttribute);
    set(O::LayerName, &CReplayExecutors::layerName);

    // ---- link groups ----
    set(O::LinkLayer, [](E& e, Row r) {
      SLinkBody b;
      if (!e.readBody(r, b)) return false;
      // The sizes must agree before anything past the body is read.
      if (b.elementCount != 1 || b.elementWidth != 2 || b.dataBytes % 2 != 0 || b.dataBytes != 2u * b.count)
        return e.fail(ReplayError::BadField);
      return e.skip(b.dataBytes) && e.done(e.doc_.linkLayer(&e.flow_, b.layer, r.variant != 0, false), kRefreshLayers);
    });
    set(O::DeleteGroup, [](E& e, Row r) {
      return values(e, r, kRefreshEdit, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.deleteLayerGroup(&f, b.layer, false);
      });
    });
    set(O::MoveGroup, [](E& e, Row r) {
      return values(e, r, kRefreshEdit, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.moveLayerGroup(&f, b.layer, b.argument, int32_t(b.value), false);
      });
    });
    set(O::MergeLinkGroup, [](E& e, Row r) {
      return values(e, r, kRefreshEdit, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.mergeLinkGroup(&f, b.layer, b.argument, false);
      });
    });
    set(O::RemoveLinkGroup, [](E& e, Row r) {
      return values(e, r, kRefreshEdit, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.removeLinkGroup(&f, b.layer, b.argument, false);
      });
    });
    set(O::GroupVisible, [](E& e, Row r) {
      return values(e, r, kRefreshEdit, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        return d.setLayerGroupVisible(b.layer, int32_t(b.value >> 16), (b.value & 0xFFFF) != 0, false);
      });
    });
    set(O::OffsetLinkGroup, [](E& e, Row r) {
      SGroupMoveBody b;
      return e.readBody(r, b) &&
             e.done(e.doc_.offsetLinkGroup(&e.flow_, b.layer, TPoint{b.dx, b.dy}, int32_t(b.count), false),
                    kRefreshEdit);
    });
    set(O::OffsetLinkGroupMask, [](E& e, Row r) {
      SGroupMoveBody b;
      return e.readBody(r, b) && e.done(e.doc_.offsetLinkGroupMask(&e.flow_, b.layer, TPoint{b.dx, b.dy},
                                                                   int32_t(b.count), b.value, false),
                                        kRefreshEdit);
    });

    // ---- area edits ----
    set(O::FillColor, [](E& e, Row r) {
      return edit(e, r, [](E& x, const SEditBody& b, TPointF, TPointF) {
        return x.doc_.fillLayerColor(x.flow_, b.layer, b.argument, *x.stroke_, true, false);
      });
    });
    set(O::FigureRect, [](E& e, Row r) {
      return edit(e, r, [](E& x, const SEditBody& b, TPointF p1, TPointF p2) {
        return x.doc_.layerFigureRect(x.flow_, b.layer, p1, p2, *x.stroke_, true, false);
      });
    });
    set(O::FillGradient, [](E& e, Row r) {
      return edit(e, r, [](E& x, const SEditBody& b, TPointF p1, TPointF p2) {
        // The gradient is the one the recording set (or, for older streams,
        // the one made of the stroke's two colours).
        x.doc_.takeGradientStops(x.replayGradientForDocument());
        return x.doc_.fillLayerGradient(x.flow_, b.layer, p1, p2, false, *x.stroke_, false);
      });
    });
    set(O::FigureEllipse, [](E& e, Row r) {
      return edit(e, r, [](E& x, const SEditBody& b, TPointF p1, TPointF p2) {
        return x.doc_.layerFigureEllipse(x.flow_, b.layer, p1, p2, 0.0, *x.stroke_, false);
      });
    });
    set(O::DeleteSelection, [](E& e, Row r) {
      return edit(e, r, [](E& x, const SEditBody& b, TPointF, TPointF) {
        return x.doc_.deleteSelection(x.flow_, b.layer, b.argument, *x.stroke_, true, false);
      });
    });
    set(O::FigurePolygon, [](E& e, Row r) {
      SPolygonBody b;
      std::vector<TPointF> points;
      return e.readBody(r, b) && e.readPoints(b.count, points) &&
             e.done(e.doc_.layerFigurePolygon(e.flow_, b.layer, b.count, points.data(), *e.stroke_, false),
                    kRefreshEdit);
    });

    // ---- masks and the selection (the mask operations refresh the mask panel) ----
    set(O::NewMask, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) { return d.newMask(f, l, m, false); });
    });
    set(O::SelectNone, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.maskFillNone(f, l, false); });
    });
    set(O::DeleteMask, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) {
        if (d.masks()->current() != m && !d.activateMask(f, l, m, false)) return false;
        return d.deleteMask(f, l, m, false);
      });
    });
    set(O::InvertMask, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.maskInvert(f, l, false); });
    });
    set(O::DuplicateMask, [](E& e, Row r) {
      return target(e, r, 0,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) { return d.duplicateMask(f, l, m, false); });
    });
    set(O::ActivateMask, [](E& e, Row r) {
      return target(e, r, 0,
                          [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) { return d.activateMask(f, l, m, false); });
    });
    set(O::CropMask, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) { return d.cropMask(f, l, m, false); });
    });
    set(O::LayerFromSelection, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) {
        return d.newLayerFromSelection(f, l, 0, false, m, false);
      });
    });
    set(O::SelectAll, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t) { return d.maskFillAll(f, l, false); });
    });
    set(O::AlphaFromMask, [](E& e, Row r) {
      return target(e, r, 0, [](TPaper& d, TFlowImage& f, int32_t l, int32_t m) {
        return d.layerAlphaFromMask(f, l, m, false);
      });
    });
    set(O::MoveMask, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.moveMask(f, b.layer, b.argument, int32_t(b.value), false);
      });
    });
    set(O::OffsetMask, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        return d.offsetMask(TPoint{int32_t(b.value), int32_t(b.option)}, false);
      });
    });
    set(O::MergeMask, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.mergeMask(f, b.layer, b.argument, int32_t(b.value), int32_t(b.option), false);
      });
    });
    set(O::InflateMask, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        return d.inflateMask(b.layer, b.value != 0, b.argument, false);
      });
    });
    // The two selection switches carry the pair before (value) and after
    // (option) the change: the enable flag in the high half, the outline
    // shown in the low one. The operation answers the flag it leaves, which
    // is the one the recording asked for.
    set(O::ShowAnts, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        const bool shown = (b.option & 0xFFFFu) != 0;
        return d.showWalkAnts(shown, false) == shown;
      });
    });
    set(O::EnableSelection, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        const bool enabled = (b.option >> 16) != 0;
        return d.enableMask(enabled, false) == enabled;
      });
    });
    set(O::MaskFromLayer, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.newMaskFromLayer(f, b.layer, int32_t(b.value), 0, b.argument, false);
      });
    });
    set(O::LayerFromSelectionEx, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage& f, const SValuesBody& b) {
        return d.newLayerFromSelection(f, b.layer, int32_t(b.value), b.option != 0, b.argument, false);
      });
    });
    // The option in the low half of the value, the pixel count in the high.
    set(O::SelectExpand, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        return d.applySelectExpand(b.argument, false, int32_t(b.value & 0xFFFF), int32_t(b.value >> 16));
      });
    });
    set(O::SelectContract, [](E& e, Row r) {
      return values(e, r, 0, [](TPaper& d, TFlowImage&, const SValuesBody& b) {
        return d.applySelectContract(b.argument, false, int32_t(b.value & 0xFFFF), int32_t(b.value >> 16));
      });
    });
    set(O::MaskName, &CReplayExecutors::maskName);
    set(O::MaskRect, [](E& e, Row r) {
      SMaskShapeBody b;
      if (!e.readBody(r, b)) return false;
      if (!finite(b.start) || !finite(b.end)) return e.fail(ReplayError::BadField);
      return e.done(
          e.doc_.maskFigureRect(e.flow_, b.layer, pointOf(b.start), pointOf(b.end), b.combine, *e.stroke_, false), 0);
    });
    set(O::MaskEllipse, [](E& e, Row r) {
      SMaskShapeBody b;
      if (!e.readBody(r, b)) return false;
      if (!finite(b.start) || !finite(b.end)) return e.fail(ReplayError::BadField);
      return e.done(e.doc_.maskFigureEllipse(e.flow_, b.layer, pointOf(b.start), pointOf(b.end), 0.0, b.combine,
                                             *e.stroke_, false),
                    0);
    });
    set(O::MaskPolygon, [](E& e, Row r) {
      SMaskPolygonBody b;
      std::vector<TPointF> points;
      return e.readBody(r, b) && e.readPoints(b.count, points) &&
             e.done(e.doc_.maskFigurePolygon(e.flow_, b.layer, b.count, points.data(), b.combine, *e.stroke_, false),
                    0);
    });

    // ---- images, fills and filters ----
    for (O op : {O::PasteIntoLayer, O::PasteLayer, O::ImageFromBitmap})
      set(op, [](E& e, Row r) { return e.replayLayerImage(r); });
    set(O::RegionFill, [](E& e, Row r) { return e.replayFill(r); });
    set(O::Filter, [](E& e, Row r) { return e.replayFilterPacket(r); });
    set(O::FilterRecord, [](E& e, Row r) { return e.replayFilterPacket(r); });
    return t;
  }();
  return op < O::Count ? table[size_t(op)] : nullptr;
}

bool CReplayEngine::replayLayerImage(const SPacketRow& row) {
  int32_t layer = 0;
  std::unique_ptr<TMTC> image;
  std::unique_ptr<std::array<uint8_t, 72>> record;
  std::vector<uint8_t> block;
  if (!readImageObject(layer, image, record, block)) return false;
  // The byte block carries the layer's name.
  block.push_back(0);
  const std::string name = cp932ToUtf8(reinterpret_cast<const char*>(block.data()));
  const uint8_t* attributes = record ? record->data() : nullptr;
  if (row.op == PacketOp::ImageFromBitmap) {
    // A document set up from a picture: a layer of another size than the
    // picture is replaced by one of the picture's size first.
    const CLayerData* target = doc_.getLayer(layer);
    if (target == nullptr || !target->image) return fail(ReplayError::OperationFailed);
    if (target->imageWidth() != image->Width || target->imageHeight() != image->Height) {
      if (doc_.insertLayer(0, image->Width, image->Height, true, 255, lbmNormal) != 0 || !doc_.deleteLayerRaw(1))
        return fail(ReplayError::OperationFailed);
      layer = 0;
    }
  }
  flow_.fitDocument(true);
  if (row.op == PacketOp::PasteLayer)
    return done(doc_.pasteLayerImage(&flow_, *image, name, attributes, false), kRefreshEdit);
  return done(doc_.pasteIntoLayer(&flow_, layer, name, attributes, *image, false), kRefreshEdit);
}

}  // namespace pg
