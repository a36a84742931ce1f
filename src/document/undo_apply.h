#pragma once
// Applying undo records, and the layout of the records each kind expects.
//
// A record is created on its undo side (redoSide false). Applying it
// performs the inverse of the edit on the undo side and the edit again on
// the redo side. Records of classes 3 to 6 then flip redoSide and move, the
// same object, to the other list; classes 1 and 2 are replaced by a fresh
// record of the data they overwrote. An apply checks everything it needs
// before it changes anything, so a failed apply leaves the document as it
// was. Objects move between the document and the record's `kept` members, so
// each one always has exactly one owner.
//
// "Moved by (dx, dy)" below means offset -= (dx, dy), as CLayerData::moveBy.
// Record layouts (fields not named are unused):
//
// Class 3, in place (7..11 one layer, 12..15 several):
//   layerId, rect          the layer and the rectangle (7..11)
//   ids                    12..15: the layers transformed (empty: all)
// Class 4, attributes (value1 = the value to restore, value2 the other):
//   17 paper colour (pixel order); layerId = the current layer then
//   18, 19 opacity; 20 dissolve flag | amount << 8; 21 blend mode;
//   22 visible; 26 protect alpha
//   23 value2, value3 = the other offset (exchanged with the layer's)
//   24 value1 = layer index, value2, value3 = the move (dx, dy) of the layer
//      and of mask value4, objectId = that mask's id
//   25 name1 = old name, name2 = new name
// Class 5, the layer list:
//   27, 29, 30 new layer: layerId = its id, value1 = its index,
//          value2 = the current index before; kept.layer on the redo side
//   28 delete: layerId, value1 = its index; kept.layer on the undo side
//   31 order: value1 = index before, value2 = index after
//   32 merge down: value1 = upper index, value2 = lower index, layerId =
//          the merged layer's id, objectId = the upper layer's id;
//          kept.layer = the other lower layer (old or merged),
//          kept.layer2 = the upper layer on the undo side
//   33 merge visible: indices[k] = old index of layer k (ascending),
//          ids[k] its id, layerId = the merged layer's id; kept.layers[0]
//          = the layer the merged one replaced at indices[0] (the merged one
//          on the redo side), kept.layers[1..] the removed layers (undo side)
//   34, 36 layer replaced: value1 = index, objectId = the id of the layer
//          in the document, kept.layer = the other object
//   35 as 34, and mask value2 moved by (value3, value4) with the layer
//   37 new layer from selection: layerId = source layer, objectId = new
//          layer, value1 = its index, block = the source's other alpha
//          (rect = the grid's size); kept.layer on the redo side
//   38 link levels: value1 = count from layer 0, bytes1 = levels before,
//          bytes2 = levels after
//   39 delete a group's base: layerIndex, layerId, kept.layer (undo side),
//          value3 = layers above whose levels dropped by one
//   40 merge a link group: layerIndex = base, value1 = group size,
//          objectId = merged layer, ids = the group's ids; kept.layers (undo
//          side) or kept.layer (the merged layer, redo side)
//   41 delete a link group: value1 = start, value2 = count, ids; kept.layers
//          on the undo side
//   42 group order: value1 = base before, value2 = the target passed to
//          moveGroup, value3 = group size, value4 = base after, bytes1 =
//          the group's levels before
//   43, 44 group offset: layerIndex = base, value1 = group size, value2,
//          value3 = the move (dx, dy); kept.layers[k] = the other object of
//          a rebuilt member (empty otherwise), ids[k] = the member in the
//          document; 44 also mask value4 (objectId) moved along
//   45..48 visibility: value1 = first layer, bytes1 = the other flags
//   49 image turn: value1 = 1 when the edit turned clockwise
//   50, 52 canvas size, crop: kept.layerList = the other list; every mask
//          offset was increased by (value1, value2) by the edit
//   51 scale: kept.layerList, kept.maskList (optional) = the other lists
// Class 6, the mask list (value1 = mask index, objectId = its id in the
//   document, value3 = current mask before, value4 = current mask after,
//   layerId = the current layer at recording):
//   53, 54 new, duplicate, from layer: kept.mask on the redo side
//   55 delete: kept.mask on the undo side
//   56, 62 content replaced, merged into: kept.mask = the other object
//   57 activate: value1 = current after, value3 = current before
//   58 order: value1 = index before, value2 = index after
//   59 invert in place; 60 offset: moved by (value3, value4)
//   61 selection flags: value1 = enabled << 16 | shown to restore, value2
//   63 name: name1 = old name, name2 = new name
#include <cstdint>

#include "core/rect.h"
#include "document/undo_data.h"

namespace pg {

class CLayerData;
class CLayerMngr;
class IUndoDocument;

// The in-place transform of one layer by code 7 mirror, 8 flip, 9 colour
// inversion, 10 half turn, 11 alpha inversion over a rectangle of its image.
// Mirror, flip and half turn also mirror the layer's offset, so the forward
// edit and its undo move the layer alike. False for another code or when the
// image cannot be transformed.
[[nodiscard]] bool applyInPlaceTransform(CLayerData& layer, int code, const SRectXYWH& rect);

// Applies a record of class 2 to 6 in its current direction. `layer` is the
// record's layer when the layer list found it (null otherwise); `rect`
// receives the changed rectangle in that layer's image coordinates and
// `index` the layer to refresh. Classes 3 to 6 flip the record's direction
// on success; class 2 swaps its data with the image (and stays on its side).
[[nodiscard]] bool applyUndoRecord(CUndoData& rec, IUndoDocument& doc, CLayerMngr& layers, CLayerData* layer, TRect& rect,
                     int32_t& index);

// A record of the alpha bytes of a rectangle of the layer's image; null when
// the rectangle misses the image or memory is short.
[[nodiscard]] std::unique_ptr<CUndoData> makeAlphaRecord(const CLayerData& layer, const SRectXYWH& rect, int kind);

}  // namespace pg
