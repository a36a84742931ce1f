#pragma once
// The packet table: the one description of every command packet. A row per
// (type, subcode) gives its event (the vocabulary), its fixed body (a field
// list of packet_bodies.h) and size rule (the catalogue), the state set the
// recorder writes before it and whether the current layer and mask are
// recorded again after it (the recorder), the recorder call that writes it,
// and the operation replay performs for it (the replay engine's executors are
// indexed by that operation).
//
// Application state (type 0), data (type 1) and strokes (types 16-24, 48, 49
// and the point chunks 17, 18) are not commands and keep their own rules.
#include <cstdint>
#include <span>

#include "record/packet_bodies.h"
#include "record/packet_catalogue.h"

namespace pg {

// The state items recorded before a command (see state_recorder.h).
enum class StateSet : uint8_t { Version, Document, Full };

// The recorder call that may write a packet; None for packets that occur in
// older streams and are replayed only.
enum class RecorderCall : uint8_t {
  None, Reset, ImageCreate, PaperColor, CanvasResize, ImageScale, Crop, DocumentEvent, MergeVisible,
  DocumentValue, LayerNewEx, LayerNew, LayerCommand, LayerCommandEx, LayerAttribute, LayerEffect, LayerOffset,
  LayerOffsetApply, LayerMaskOffset, LayerMaskOffsetApply, LayerName, LayerLink, ListOp, ListOpEx, LayerImage,
  Fill, FillEx, LayerEdit, PolygonFill, MaskCommand, MaskCommandEx, MaskShape, MaskPolygon, MaskName, Filter,
  FilterRecord, FilterWithImages,
};

// What replay does for a packet: one operation of the document (or of the
// replay itself) each. Replay keeps an executor per operation.
enum class PacketOp : uint8_t {
  // document (type 2)
  ImageCreate, PaperColor, CanvasResize, LayersZoom, ImageScale, Rotate90, Rotate270, MergeVisibleOld, MergeVisible,
  CropOld, Crop, TransformVisible, TransformAll, ShowAllLayers, ShowOnlyLayer, FlipVisibility, Reset, Seal,
  // layers (type 4)
  NewLayerEx, NewLayer, DeleteLayer, ClearLayer, DuplicateLayer, MoveLayer, MergeDown, CropLayer, CutSelection,
  FillAlpha, InvertAlpha, LayerInPlace, RotateLayer90, MergeLinked, RotateLayer, ScaleLayer, LayerFilterCommand,
  OffsetLayer, OffsetLayerGroup, LayerAttribute, LayerEffect, LayerName,
  // link groups (type 5)
  LinkLayer, DeleteGroup, MoveGroup, MergeLinkGroup, RemoveLinkGroup, GroupVisible, OffsetLinkGroup,
  OffsetLinkGroupMask,
  // area edits (type 6)
  FillColor, FigureRect, FillGradient, FigureEllipse, DeleteSelection, FigurePolygon,
  // masks (type 10)
  NewMask, SelectNone, DeleteMask, InvertMask, DuplicateMask, ActivateMask, CropMask, LayerFromSelection,
  SelectAll, AlphaFromMask, MoveMask, OffsetMask, MergeMask, InflateMask, ShowAnts, EnableSelection,
  MaskFromLayer, LayerFromSelectionEx, SelectExpand, SelectContract, MaskName, MaskRect, MaskEllipse,
  MaskPolygon,
  // images and fills (types 12, 13)
  PasteIntoLayer, PasteLayer, ImageFromBitmap, RegionFill,
  // filters (types 32-35, 38)
  Filter, FilterRecord,
  Count,
};

// The layer packets (type 4) of one attribute each: the attribute body
// carries all of them, the subcode says which one changed.
inline constexpr uint8_t kLayerAttrBlendMode = 16;
inline constexpr uint8_t kLayerAttrOpacity = 17;
inline constexpr uint8_t kLayerAttrVisible = 18;
inline constexpr uint8_t kLayerAttrProtectAlpha = 20;
inline constexpr uint8_t kLayerAttrEffect = 21;

struct SPacketRow {
  uint8_t type = 0;
  uint8_t subcode = 0;
  uint8_t event = 0;           // the event index (event_vocabulary.h)
  BodyForm form = BodyForm::None;
  SPacketSizeRule size;        // its base is the fixed body's size
  StateSet state = StateSet::Document;
  bool structural = false;     // the layer and mask item is recorded again after it
  RecorderCall call = RecorderCall::None;
  PacketOp op = PacketOp::Count;
  // How the operation reads the row: a transform code, a switch, a variant.
  int8_t variant = 0;
};

// Every row, in the order of the table.
std::span<const SPacketRow> packetRows();
// The row of a header; null when the header is no command packet of the table.
const SPacketRow* packetRow(uint8_t type, uint8_t subcode);
// The number of bytes a body form's field list reads and writes.
uint32_t bodyFormBytes(BodyForm form);

}  // namespace pg
