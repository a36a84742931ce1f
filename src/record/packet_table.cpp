#include "record/packet_table.h"

#include <array>
#include <initializer_list>
#include <vector>

#include "record/event_vocabulary.h"

namespace pg {

namespace {

using F = BodyForm;
using R = RecorderCall;
using O = PacketOp;
constexpr StateSet kVer = StateSet::Version, kDoc = StateSet::Document, kFull = StateSet::Full;

template <class Body>
uint32_t measure() {
  std::array<uint8_t, 128> scratch{};
  Body body{};
  CByteCursor c = CByteCursor::writing(scratch.data(), scratch.size());
  Body::fields(c, body);
  return c.ok() ? uint32_t(c.position()) : 0;
}

// The wire size of each fixed body, as the stream has it; the field lists
// must take exactly these bytes (a test holds them to it).
constexpr uint16_t formSize(BodyForm form) {
  switch (form) {
    case F::None: return 0;
    case F::Colour: case F::Target: case F::Named: case F::Polygon: return 4;
    case F::Attribute: return 6;
    case F::MaskPolygon: return 8;
    case F::Resize: case F::Scale: return 10;
    case F::Values: case F::Offset: case F::Filter2: return 12;
    case F::NewLayer: return 14;
    case F::OldImageCreate: return 16;
    case F::OldCrop: case F::Effect: return 18;
    case F::Crop: case F::GroupOffset: case F::GroupMove: case F::Filter4: return 20;
    case F::Edit: case F::MaskShape: case F::ImageHead: return 22;
    case F::Link: return 24;
    case F::ImageCreate: case F::Filter6: return 28;
    case F::NamedLayer: return 42;
    case F::EventRecord: return uint16_t(kEventRecordBytes);
    case F::Region54: return uint16_t(kRegion54Header);
    case F::Region72: return uint16_t(kRegion72Header);
    case F::Filter0: return 4;
  }
  return 0;
}

SPacketSizeRule fixedRule(BodyForm form) { return {BodyRule::Fixed, 0, formSize(form)}; }
SPacketSizeRule variableRule(BodyForm form, BodyRule rule, uint8_t at) { return {rule, at, formSize(form)}; }

// One row of the table as written below: a list of subcodes that share
// everything but their event (and the variant their operation reads).
struct SRowSpec {
  uint8_t type;
  uint8_t subcode;
  uint8_t event;
  BodyForm form;
  StateSet state;
  bool structural;
  RecorderCall call;
  PacketOp op;
  int8_t variant = 0;
};

// Packets whose bodies end in a length field, and where it lies.
SPacketSizeRule sizeRuleOf(BodyForm form) {
  switch (form) {
    case F::NamedLayer: return variableRule(form, BodyRule::PlusU16, 40);
    case F::Named: return variableRule(form, BodyRule::PlusU16, 2);
    case F::Link: return variableRule(form, BodyRule::PlusU32, 12);
    case F::Polygon: return variableRule(form, BodyRule::PlusU16Times8, 2);
    case F::MaskPolygon: return variableRule(form, BodyRule::PlusU16Times8, 6);
    case F::ImageHead: return variableRule(form, BodyRule::PlusU32, 12);
    case F::Region54: return variableRule(form, BodyRule::PlusU32, uint8_t(kRegion54PackedEven));
    case F::Region72: return variableRule(form, BodyRule::PlusU32, uint8_t(kRegion72PackedEven));
    case F::EventRecord: return variableRule(form, BodyRule::PlusU16, 4);
    default: break;
  }
  return fixedRule(form);
}

// clang-format off
constexpr SRowSpec kRows[] = {
    // whole-document events (type 2)
    {2, 0, 4, F::OldImageCreate, kDoc, false, R::None, O::ImageCreate},
    {2, 8, 4, F::ImageCreate, kVer, false, R::ImageCreate, O::ImageCreate},
    {2, 1, 8, F::Colour, kDoc, false, R::PaperColor, O::PaperColor},
    {2, 2, 6, F::Resize, kDoc, false, R::CanvasResize, O::CanvasResize},
    {2, 3, 9, F::Scale, kDoc, false, R::ImageScale, O::LayersZoom},
    {2, 9, 9, F::Scale, kDoc, false, R::ImageScale, O::ImageScale},
    {2, 4, 10, F::None, kDoc, false, R::DocumentEvent, O::Rotate90},
    {2, 5, 12, F::None, kDoc, false, R::DocumentEvent, O::Rotate270},
    {2, 6, 7, F::OldCrop, kDoc, false, R::None, O::CropOld},
    {2, 7, 28, F::None, kDoc, false, R::None, O::MergeVisibleOld},
    {2, 10, 28, F::Values, kDoc, false, R::MergeVisible, O::MergeVisible},
    // the crop names no event of its own
    {2, 11, 0, F::Crop, kDoc, false, R::Crop, O::Crop},
    // the visible layers, then every layer: mirror, flip, half turn, invert
    {2, 16, 18, F::None, kDoc, false, R::DocumentEvent, O::TransformVisible, 12},
    {2, 17, 19, F::None, kDoc, false, R::DocumentEvent, O::TransformVisible, 13},
    {2, 18, 17, F::None, kDoc, false, R::DocumentEvent, O::TransformVisible, 15},
    {2, 19, 16, F::None, kDoc, false, R::DocumentEvent, O::TransformVisible, 14},
    {2, 32, 13, F::None, kDoc, false, R::DocumentEvent, O::TransformAll, 12},
    {2, 33, 14, F::None, kDoc, false, R::DocumentEvent, O::TransformAll, 13},
    {2, 34, 11, F::None, kDoc, false, R::DocumentEvent, O::TransformAll, 15},
    {2, 35, 15, F::None, kDoc, false, R::DocumentEvent, O::TransformAll, 14},
    {2, 24, 130, F::Target, kDoc, true, R::DocumentValue, O::ShowAllLayers},
    {2, 25, 131, F::Target, kDoc, true, R::DocumentValue, O::ShowOnlyLayer},
    {2, 26, 132, F::Target, kDoc, true, R::DocumentValue, O::FlipVisibility},
    {2, 254, 1, F::None, kDoc, false, R::Reset, O::Reset},
    // the seal is the store's own (event_store.h)
    {2, 255, 2, F::None, kDoc, false, R::None, O::Seal},

    // layer commands (type 4)
    {4, 0, 20, F::NewLayer, kDoc, true, R::LayerNewEx, O::NewLayerEx},
    {4, 11, 20, F::NamedLayer, kDoc, true, R::LayerNew, O::NewLayer},
    {4, 1, 24, F::Target, kDoc, true, R::LayerCommand, O::DeleteLayer},
    {4, 2, 64, F::Target, kDoc, false, R::LayerCommand, O::ClearLayer},
    {4, 3, 22, F::Target, kDoc, true, R::LayerCommand, O::DuplicateLayer},
    {4, 4, 32, F::Target, kDoc, true, R::LayerCommand, O::MoveLayer},
    {4, 5, 26, F::Target, kDoc, true, R::LayerCommand, O::MergeDown},
    {4, 8, 31, F::Target, kDoc, false, R::LayerCommand, O::CropLayer},
    {4, 9, 63, F::Target, kDoc, false, R::LayerCommand, O::CutSelection},
    {4, 24, 104, F::Target, kDoc, false, R::LayerCommand, O::FillAlpha},
    {4, 25, 105, F::Target, kDoc, false, R::LayerCommand, O::InvertAlpha},
    // in place: mirror, flip, half turn, invert; then the quarter turns
    {4, 32, 50, F::Target, kDoc, false, R::LayerCommand, O::LayerInPlace, 7},
    {4, 33, 53, F::Target, kDoc, false, R::LayerCommand, O::LayerInPlace, 8},
    {4, 34, 46, F::Target, kDoc, false, R::LayerCommand, O::LayerInPlace, 10},
    {4, 35, 75, F::Target, kDoc, false, R::LayerCommand, O::LayerInPlace, 9},
    {4, 36, 44, F::Target, kDoc, false, R::LayerCommand, O::RotateLayer90, 1},
    {4, 37, 48, F::Target, kDoc, false, R::LayerCommand, O::RotateLayer90, 0},
    {4, 10, 26, F::Values, kDoc, true, R::LayerCommandEx, O::MergeLinked},
    {4, 38, 42, F::Values, kDoc, false, R::LayerCommandEx, O::RotateLayer},
    {4, 39, 40, F::Values, kDoc, false, R::LayerCommandEx, O::ScaleLayer},
    {4, 48, 49, F::Values, kDoc, false, R::LayerCommandEx, O::LayerFilterCommand, 7},
    {4, 49, 52, F::Values, kDoc, false, R::LayerCommandEx, O::LayerFilterCommand, 8},
    {4, 50, 45, F::Values, kDoc, false, R::LayerCommandEx, O::LayerFilterCommand, 10},
    {4, 51, 76, F::Values, kDoc, false, R::LayerCommandEx, O::LayerFilterCommand, 9},
    {4, kLayerAttrBlendMode, 35, F::Attribute, kDoc, false, R::LayerAttribute, O::LayerAttribute},
    {4, kLayerAttrOpacity, 36, F::Attribute, kDoc, false, R::LayerAttribute, O::LayerAttribute},
    {4, kLayerAttrVisible, 33, F::Attribute, kDoc, true, R::LayerAttribute, O::LayerAttribute},
    {4, kLayerAttrProtectAlpha, 37, F::Attribute, kDoc, false, R::LayerAttribute, O::LayerAttribute},
    {4, kLayerAttrEffect, 35, F::Effect, kDoc, false, R::LayerEffect, O::LayerEffect},
    // moved (6, 12) or moved and rebuilt to cover the document (7, 13)
    {4, 6, 30, F::Offset, kDoc, false, R::LayerOffset, O::OffsetLayer},
    {4, 7, 30, F::Offset, kDoc, false, R::LayerOffsetApply, O::OffsetLayer},
    {4, 12, 30, F::GroupOffset, kDoc, false, R::LayerMaskOffset, O::OffsetLayerGroup},
    {4, 13, 30, F::GroupOffset, kDoc, false, R::LayerMaskOffsetApply, O::OffsetLayerGroup},
    {4, 19, 34, F::Named, kDoc, false, R::LayerName, O::LayerName},

    // link groups (type 5)
    {5, 0, 38, F::Link, kFull, false, R::LayerLink, O::LinkLayer, 1},
    {5, 1, 39, F::Link, kFull, false, R::LayerLink, O::LinkLayer, 0},
    {5, 8, 24, F::Values, kFull, false, R::ListOp, O::DeleteGroup},
    {5, 11, 32, F::Values, kFull, false, R::ListOp, O::MoveGroup},
    {5, 12, 27, F::Values, kFull, false, R::ListOp, O::MergeLinkGroup},
    {5, 13, 25, F::Values, kFull, false, R::ListOp, O::RemoveLinkGroup},
    {5, 16, 33, F::Values, kFull, false, R::ListOp, O::GroupVisible},
    {5, 9, 30, F::GroupMove, kFull, false, R::ListOpEx, O::OffsetLinkGroup},
    {5, 10, 30, F::GroupMove, kFull, false, R::ListOpEx, O::OffsetLinkGroupMask},

    // area edits of a layer (type 6)
    {6, 0, 60, F::Edit, kFull, false, R::LayerEdit, O::FillColor},
    {6, 1, 66, F::Edit, kFull, false, R::LayerEdit, O::FigureRect},
    {6, 2, 61, F::Edit, kFull, false, R::LayerEdit, O::FillGradient},
    {6, 3, 67, F::Edit, kFull, false, R::LayerEdit, O::FigureEllipse, 0},
    {6, 6, 67, F::Edit, kFull, false, R::LayerEdit, O::FigureEllipse, 1},
    {6, 5, 60, F::Edit, kFull, false, R::LayerEdit, O::DeleteSelection},
    {6, 4, 68, F::Polygon, kFull, false, R::PolygonFill, O::FigurePolygon},

    // masks and the selection (type 10)
    {10, 0, 108, F::Target, kDoc, true, R::MaskCommand, O::NewMask},
    {10, 1, 120, F::Target, kDoc, false, R::MaskCommand, O::SelectNone},
    {10, 2, 111, F::Target, kDoc, true, R::MaskCommand, O::DeleteMask},
    {10, 3, 129, F::Target, kDoc, false, R::MaskCommand, O::InvertMask},
    {10, 4, 110, F::Target, kDoc, true, R::MaskCommand, O::DuplicateMask},
    {10, 5, 117, F::Target, kDoc, true, R::MaskCommand, O::ActivateMask},
    {10, 6, 114, F::Target, kDoc, false, R::MaskCommand, O::CropMask},
    {10, 11, 23, F::Target, kDoc, true, R::MaskCommand, O::LayerFromSelection},
    {10, 20, 119, F::Target, kDoc, false, R::MaskCommand, O::SelectAll},
    {10, 21, 106, F::Target, kDoc, false, R::MaskCommand, O::AlphaFromMask},
    {10, 7, 115, F::Values, kDoc, true, R::MaskCommandEx, O::MoveMask},
    {10, 8, 113, F::Values, kDoc, false, R::MaskCommandEx, O::OffsetMask},
    {10, 9, 112, F::Values, kDoc, true, R::MaskCommandEx, O::MergeMask},
    {10, 10, 127, F::Values, kDoc, false, R::MaskCommandEx, O::InflateMask},
    {10, 13, 133, F::Values, kDoc, false, R::MaskCommandEx, O::ShowAnts},
    {10, 14, 118, F::Values, kDoc, false, R::MaskCommandEx, O::EnableSelection},
    {10, 22, 109, F::Values, kDoc, true, R::MaskCommandEx, O::MaskFromLayer},
    {10, 24, 23, F::Values, kDoc, true, R::MaskCommandEx, O::LayerFromSelectionEx},
    {10, 25, 127, F::Values, kDoc, false, R::MaskCommandEx, O::SelectExpand},
    {10, 26, 128, F::Values, kDoc, false, R::MaskCommandEx, O::SelectContract},
    {10, 16, 123, F::MaskShape, kDoc, false, R::MaskShape, O::MaskRect},
    // 17 drew the older ellipse before version 306; 19 always the current one
    {10, 17, 124, F::MaskShape, kDoc, false, R::MaskShape, O::MaskEllipse, 0},
    {10, 19, 124, F::MaskShape, kDoc, false, R::MaskShape, O::MaskEllipse, 1},
    {10, 18, 125, F::MaskPolygon, kDoc, false, R::MaskPolygon, O::MaskPolygon},
    {10, 12, 116, F::Named, kDoc, false, R::MaskName, O::MaskName},

    // layer images (type 12)
    {12, 0, 21, F::ImageHead, kDoc, true, R::LayerImage, O::PasteIntoLayer},
    {12, 1, 21, F::ImageHead, kDoc, true, R::LayerImage, O::PasteLayer},
    {12, 2, 5, F::ImageHead, kDoc, true, R::LayerImage, O::ImageFromBitmap},

    // region fills (type 13)
    {13, 0, 62, F::Region54, kFull, true, R::Fill, O::RegionFill},
    {13, 1, 121, F::Region54, kFull, true, R::Fill, O::RegionFill},
    {13, 4, 65, F::Region54, kFull, true, R::Fill, O::RegionFill},
    {13, 16, 69, F::Region54, kFull, true, R::Fill, O::RegionFill},
    {13, 17, 126, F::Region54, kFull, true, R::Fill, O::RegionFill},
    {13, 32, 122, F::Region54, kFull, true, R::Fill, O::RegionFill},
    {13, 2, 62, F::Region72, kFull, true, R::FillEx, O::RegionFill},
    {13, 3, 121, F::Region72, kFull, true, R::FillEx, O::RegionFill},
    {13, 5, 65, F::Region72, kFull, true, R::FillEx, O::RegionFill},

    // filter records (type 38); the event is the filter code's
    {38, kFltRecLegacy, 0, F::EventRecord, kFull, false, R::FilterRecord, O::FilterRecord},
    {38, kFltRecCustom5x5, 0, F::EventRecord, kFull, false, R::FilterRecord, O::FilterRecord},
    {38, kFltRecGradientMap, 0, F::EventRecord, kFull, false, R::FilterRecord, O::FilterRecord},
    {38, kFltRecLighting, 0, F::EventRecord, kFull, false, R::FilterRecord, O::FilterRecord},
    {38, kFltRecFloor, 0, F::EventRecord, kFull, false, R::FilterWithImages, O::FilterRecord},
};
// clang-format on

// The filters of each parameter count, by their event codes.
struct SFilterCodes {
  uint8_t type;
  BodyForm form;
  std::initializer_list<uint8_t> codes;
};
const SFilterCodes kFilterCodes[] = {
    {kPktFilter0, F::Filter0, {0, 1, 8, 9, 12, 13, 20, 52, 53, 56, 64, 65, 81, 82, 83, 84}},
    {kPktFilter2, F::Filter2, {2, 4, 10, 14, 18, 21, 22, 23, 26, 27, 32, 34, 49, 55, 58, 63, 66, 67, 68, 69, 80, 85, 86}},
    {kPktFilter4, F::Filter4, {3, 17, 19, 24, 25, 33, 36, 48, 50, 57, 59, 61, 62, 70, 71, 73}},
    {kPktFilter6, F::Filter6, {16, 35, 37, 38, 60, 72}},
};

struct STable {
  std::vector<SPacketRow> rows;
  std::array<std::array<int16_t, 256>, kPktTypeLimit> index{};
};

SPacketRow rowOf(const SRowSpec& s) {
  SPacketRow r;
  r.type = s.type;
  r.subcode = s.subcode;
  r.event = s.type == kPktFilterRecord ? filterCodeIndex(s.subcode) : s.event;
  r.form = s.form;
  r.size = sizeRuleOf(s.form);
  r.state = s.state;
  r.structural = s.structural;
  r.call = s.call;
  r.op = s.op;
  r.variant = s.variant;
  return r;
}

STable buildTable() {
  STable t;
  for (auto& perType : t.index) perType.fill(-1);
  for (const SRowSpec& s : kRows) t.rows.push_back(rowOf(s));
  for (const SFilterCodes& f : kFilterCodes)
    for (uint8_t code : f.codes)
      t.rows.push_back(rowOf(SRowSpec{f.type, code, 0, f.form, kFull, false, R::Filter, O::Filter}));
  for (size_t i = 0; i < t.rows.size(); ++i) {
    SPacketRow& r = t.rows[i];
    if (r.call == R::Filter) r.event = filterCodeIndex(r.subcode);
    t.index[r.type][r.subcode] = int16_t(i);
  }
  return t;
}

const STable& table() {
  static const STable t = buildTable();
  return t;
}

}  // namespace

std::span<const SPacketRow> packetRows() { return table().rows; }

const SPacketRow* packetRow(uint8_t type, uint8_t subcode) {
  if (type >= kPktTypeLimit) return nullptr;
  const int16_t i = table().index[type][subcode];
  return i < 0 ? nullptr : &table().rows[size_t(i)];
}

uint32_t bodyFormBytes(BodyForm form) {
  switch (form) {
    case F::None: return measure<SNoBody>();
    case F::Colour: return measure<SColourBody>();
    case F::Resize: return measure<SResizeBody>();
    case F::Scale: return measure<SScaleBody>();
    case F::ImageCreate: return measure<SImageCreateBody>();
    case F::OldImageCreate: return measure<SOldImageCreateBody>();
    case F::Crop: return measure<SCropBody>();
    case F::OldCrop: return measure<SOldCropBody>();
    case F::Target: return measure<STargetBody>();
    case F::Values: return measure<SValuesBody>();
    case F::NewLayer: return measure<SNewLayerBody>();
    case F::NamedLayer: return measure<SNamedLayerBody>();
    case F::Offset: return measure<SOffsetBody>();
    case F::GroupOffset: return measure<SGroupOffsetBody>();
    case F::Attribute: return measure<SAttributeBody>();
    case F::Effect: return measure<SEffectBody>();
    case F::Named: return measure<SNamedBody>();
    case F::Link: return measure<SLinkBody>();
    case F::GroupMove: return measure<SGroupMoveBody>();
    case F::Edit: return measure<SEditBody>();
    case F::Polygon: return measure<SPolygonBody>();
    case F::MaskShape: return measure<SMaskShapeBody>();
    case F::MaskPolygon: return measure<SMaskPolygonBody>();
    case F::ImageHead: return measure<SImageHead>();
    case F::Region54: return measure<SRegion54Body>();
    case F::Region72: return measure<SRegion72Body>();
    case F::Filter0: return measure<SFilterBody<0>>();
    case F::Filter2: return measure<SFilterBody<2>>();
    case F::Filter4: return measure<SFilterBody<4>>();
    case F::Filter6: return measure<SFilterBody<6>>();
    case F::EventRecord: return measure<SEventRecordBody>();
  }
  return 0;
}

}  // namespace pg
