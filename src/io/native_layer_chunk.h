#pragma once
// One layer in the native file: the "KLYR" record, followed directly by the
// "KBIM" tile blocks of its image (native_tile_blocks.h). The record alone
// also travels on the clipboard.
//
//   offset  width  field
//      0      4    "KLYR"
//      4      4    72 + name bytes padded to 4
//      8      4    the layer's index in the list (0 = bottom)
//     12      2    flags: 0x1 visible, 0x2 protect alpha, 0x10 always set
//                  (the fields at 64 and 68 and flag 0x20 are valid),
//                  0x20 dissolve; the clipboard adds 0x40
//     14      1    blend mode 0..21
//     15      1    opacity
//     16      4    tile width of the layer image, 32; at 20 its height
//     24      4    tile columns, ceil(image width / 32); at 28 tile rows
//     32      4    image width; at 36 image height
//     40      4    offset x (signed); at 44 offset y
//     48      4    nominal width (the document's); at 52 nominal height
//     56      4    background colour of the image, 0x00FFFFFF
//     60      2    name length in bytes with its terminating zero
//     62      2    record version: 0 for blend modes 0..3, else 1
//     64      1    dissolve amount
//     65      3    zero
//     68      4    the seed of the dissolve random state
//     72      8    zero
//     80      n    name, zero-terminated, zero padding to 4
#include <cstdint>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "record/progress.h"

namespace pg {

class CLayerData;
class CLayerMngr;

inline constexpr int64_t kLayerRecordBytes = 80;
inline constexpr uint32_t kLayerRecordRest = 72;  // the record's size without a name
inline constexpr uint16_t kLayerAlwaysSet = 0x10;
// The record's flag that marks a clipboard copy.
inline constexpr uint16_t kLayerClipboardFlag = 0x40;

// The bytes of the layer's record with its name (80 + padded name).
[[nodiscard]] uint64_t layerRecordBytes(const CLayerData& layer);

// The record alone at the position, with extraFlags added to its flags: 0,
// or 8 for a short write.
[[nodiscard]] FileResult writeLayerRecord(CStream& stream, const CLayerData& layer, uint16_t extraFlags = 0);

// The record and the tile blocks of the layer's image: 0; 22 for an image
// that is missing or not made of 32-pixel tiles; 1 (memory) or 8 (short
// write). On failure the stream holds part of the layer: the caller cuts it
// back.
[[nodiscard]] FileResult writeLayerChunks(CStream& stream, const CLayerData& layer);

// Reads a layer whose "KLYR" head (with its size) was just read, with its
// tile blocks, into the list at the stored index (an index past the end
// appends). Codes: 0; 17 (size below 72), 9 (short read), 12 (record version
// 2 or more), 22 (tile size other than 32), 21 (an image size outside
// 1..10,000, a full list, or no memory for the layer), 26 (a tile grid that
// is not the image's), 1, 3, or a tile block code. A layer that fails is
// taken out of the list again. One progress step in any case.
[[nodiscard]] FileResult readLayerChunk(CStream& stream, CLayerMngr& layers, uint32_t size, IProgress& progress);

}  // namespace pg
