#pragma once
// One selection mask in the native file: the "KMSK" record, followed by the
// "KBMK" blocks of its 64 x 64 tiles when it holds an image
// (native_tile_blocks.h).
//
//   offset  width  field
//      0      4    "KMSK"
//      4      4    72 + name bytes padded to 4
//      8      4    the mask's creation value (its index when written)
//     12      4    flags: 0x1 the mask holds an image (tile blocks follow)
//     16      4    tile width of the mask image, 64; at 20 its height
//                  (both 0 without an image)
//     24      4    tile columns; at 28 tile rows
//     32      4    image width; at 36 image height (0 without an image)
//     40      4    offset x (signed); at 44 offset y
//     48      4    document width; at 52 document height
//     56      4    background value of the mask image, 0
//     60      2    name length in bytes with its terminating zero
//     62      2    record version, 0
//     64     16    zero
//     80      n    name, zero-terminated, zero padding to 4
#include <cstdint>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "record/progress.h"

namespace pg {

class CMaskData;
class CMaskMngr;

inline constexpr int64_t kMaskRecordBytes = 80;
inline constexpr uint32_t kMaskRecordRest = 72;
inline constexpr uint32_t kMaskHasImage = 0x1;
// The most masks a document read from a file may hold, as for layers.
inline constexpr int32_t kMaxFileMasks = 10000;

// The record and, when the mask holds an image, its tile blocks: 0; 30 for
// an image not made of 64-pixel tiles; 1 (memory) or 8 (short write). On
// failure the stream holds part of the mask: the caller cuts it back.
[[nodiscard]] FileResult writeMaskChunks(CStream& stream, const CMaskData& mask, int32_t docWidth, int32_t docHeight);

// Reads a mask whose "KMSK" head (with its size) was just read, with its
// tile blocks, and appends it to the list. Codes: 0; 17 (size below 72),
// 9 (short read), 12 (record version above 0), 29 (an image size outside
// 1..10,000, or no memory for the mask), 30 (tile size other than 64),
// 34 (a tile grid that is not the image's), a tile block code, 28 (no list),
// 35 (the list refused it or holds kMaxFileMasks masks), 1, 3. A mask that
// fails is freed. One progress step in any case.
[[nodiscard]] FileResult readMaskChunk(CStream& stream, CMaskMngr* masks, uint32_t size, IProgress& progress);

}  // namespace pg
