#pragma once
// The tile blocks of the native file: "KBIM" blocks of 32 x 32 layer tiles
// (four bytes a pixel) and "KBMK" blocks of 64 x 64 mask tiles (one byte a
// pixel). Both tiles hold 4096 bytes, and both blocks share one 40-byte head:
//
//   offset  width  field
//      0      4    tag
//      4      4    32 + data bytes (+ padding for encoding 1)
//      8      4    tile width (32 or 64)
//     12      4    tile height
//     16      4    encoding: 1 compressed pixels, 2 one value per tile
//     20      4    number of tiles n (> 0)
//     24      4    encoding 1: compressed byte count; encoding 2: 0
//     28      4    encoding 1: n x 4096; encoding 2: n x 4
//     32      8    zero
//     40      ...  data
//
// Tiles are numbered row by row over the image's tile grid; the blocks of one
// image follow each other in tile order and together cover every tile once.
// Encoding 1 holds the n tiles' bytes (rows top-down) packed by the block
// compressor, padded with zeros to 4; encoding 2 holds one little-endian
// 32-bit value per tile: the colour of a uniform layer tile, or a mask tile's
// value in the low byte.
#include <cstdint>

#include "core/chunk_head.h"
#include "core/streams.h"

namespace pg {

class CBlockImage;

inline constexpr int64_t kTileBlockHeadBytes = 40;
inline constexpr uint32_t kTileBlockRest = 32;
inline constexpr uint32_t kTileBytes = 4096;
// A run of committed tiles is written as soon as it reaches this many tiles.
inline constexpr int32_t kMaxPackedRun = 16;
inline constexpr uint32_t kTileEncodingPacked = 1;
inline constexpr uint32_t kTileEncodingUniform = 2;

// The memory a save takes at once for the blocks of an image's packed runs,
// one slab of buffers each holding a block's head and the packed bytes of
// the longest run with their padding (a further slab only when the threads
// that pack get that far ahead of the writer).
[[nodiscard]] uint64_t packBufferBytes();

// What tells the layer blocks from the mask blocks: the tag, the tile edge,
// the mask applied to uniform values, and the result codes of each check.
struct STileBlockKind {
  uint32_t tag;
  int32_t edge;
  uint32_t uniformMask;
  FileResult rcFormat;    // tile size or image depth not supported
  FileResult rcNoTiles;   // a block holds no tiles
  FileResult rcEncoding;  // unknown encoding
  FileResult rcSizes;     // the block's sizes do not agree
  FileResult rcOutside;   // a tile lies outside the image
};

extern const STileBlockKind kLayerTileBlocks;  // "KBIM", 32, codes 22..26
extern const STileBlockKind kMaskTileBlocks;   // "KBMK", 64, codes 30..34

// Writes every tile of the image as blocks at the position: runs of
// committed tiles (cut at kMaxPackedRun) with encoding 1, runs of uniform
// tiles (as long as they go) with encoding 2. Codes: 0; rcFormat for an image
// whose tiles are not of the kind's edge; 1 when memory fails; 8 for a short
// write.
[[nodiscard]] FileResult writeTileBlocks(CStream& stream, const CBlockImage& image, const STileBlockKind& kind);

// The fewest bytes the blocks of an image of this many tiles can take: a
// packed block carries at most kMaxPackedRun tiles in its head and at least
// one packed byte padded to 4, and a uniform block four bytes a tile besides
// its head, which is never less. A record whose image declares more tiles
// than the bytes left in the file can carry is refused before the image is
// made, so that a few bytes cannot demand a large image.
[[nodiscard]] uint64_t leastTileBlockBytes(int64_t tiles);

// Whether the stream still holds skip bytes and then the blocks of an image
// of columns x rows tiles (leastTileBlockBytes).
[[nodiscard]] bool tileBlocksCanFollow(const CStream& stream, uint64_t skip, uint32_t columns, uint32_t rows);

class PackedBuffers;

// While one lives, the tile-block reads of its thread share the buffers they
// read packed bytes into, and its writes the buffers they make blocks in: a
// file of many layers and masks takes them once (memory taken anew costs a
// fault for every fresh page, and memory handed back a page-table flush).
class CTileBlockBufferScope {
 public:
  CTileBlockBufferScope();
  ~CTileBlockBufferScope();
  CTileBlockBufferScope(const CTileBlockBufferScope&) = delete;
  CTileBlockBufferScope& operator=(const CTileBlockBufferScope&) = delete;

 private:
  PackedBuffers* buffers_;
  PackedBuffers* outer_;
  PackedBuffers* writeBuffers_;
  PackedBuffers* outerWrite_;
};

// Reads blocks at the position until every tile of the image is placed; the
// caller made the image with the grid the record announced. A packed block
// holds at most kMaxPackedRun tiles (as every writer writes them). Each stored tile
// commits its image tile; each stored uniform value makes its tile uniform.
// Every size is checked against the block, the stream and the grid before
// memory is taken. Codes: 0; 9 (short read), 16 (another tag), 1 (memory),
// or one of the kind's codes. On failure the image holds what was placed.
[[nodiscard]] FileResult readTileBlocks(CStream& stream, CBlockImage& image, const STileBlockKind& kind);

}  // namespace pg
