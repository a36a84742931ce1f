#pragma once
// The thumbnail chunk "KTNL": a small picture packed by the block
// compressor. The native file and the event file keep the document's
// thumbnail in it, the pen-method and pen-shape files their icons and nib
// images, and the open dialog's preview reads it.
//
//   offset  width  field
//      0      4    "KTNL"
//      4      4    40 + stored bytes + padding
//      8      2    format: 1 plain, 2 scrambled
//     10      2    picture kind: 0 document thumbnail, 3 pen-method icon
//                  (4 bytes a pixel); 2 and 4 pen-shape images (1 byte)
//     12      1    group size G (format 2)
//     13      1    key byte K (format 2)
//     14      1    step S (format 2)
//     15      1    tail count T
//     16      4    source width (the document's); at 20 its height
//     24      4    picture width; at 28 picture height
//     32      4    stored bytes (packed bytes + T)
//     36      4    raw bytes (width x height x bytes a pixel)
//     40      8    zero
//     48      ...  the packed picture, scrambled in format 2, zero padding to 4
//
// The 40 bytes from offset 8 are the description readers hand back.
// 32-bit pictures are B, G, R, A with rows top-down (a TMTC's memory);
// 8-bit pictures are stored in a TChannel's memory order (rows bottom-up).
//
// Scrambling works in pieces of at most 16,384 bytes over all but the last T
// stored bytes: in each piece every complete group of G bytes (G >= 2 and
// not larger than the piece) is reversed, then every byte whose position in
// the piece is a multiple of S + 1 is XORed with the complement of K (when
// K is not 0). Unscrambling XORs first and then reverses.
#include <cstdint>
#include <vector>

#include "core/chunk_head.h"
#include "core/streams.h"

namespace pg {

class TChannel;
class TMTC;

inline constexpr int64_t kThumbnailHeadBytes = 48;
inline constexpr uint32_t kThumbnailDescBytes = 40;
inline constexpr uint16_t kThumbnailPlain = 1;
inline constexpr uint16_t kThumbnailScrambled = 2;
inline constexpr uint16_t kPictureDocument = 0;
inline constexpr uint16_t kPictureIcon = 3;
inline constexpr uint16_t kPictureNib = 4;
inline constexpr uint32_t kScramblePiece = 16384;
// The side the document thumbnail is fitted into.
inline constexpr int32_t kDocumentThumbnailSide = 256;
// The key byte every writer of this system stores.
inline constexpr uint8_t kThumbnailKey = 0xA7;

struct SThumbnailDesc {
  uint16_t format = kThumbnailScrambled;
  uint16_t kind = kPictureDocument;
  uint8_t group = 0;
  uint8_t key = 0;
  uint8_t step = 0;
  uint8_t tail = 0;
  uint32_t sourceWidth = 0;
  uint32_t sourceHeight = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t stored = 0;
  uint32_t raw = 0;
};

void storeThumbnailDesc(uint8_t* bytes, const SThumbnailDesc& desc);
SThumbnailDesc parseThumbnailDesc(const uint8_t* bytes);

// Bytes a pixel of a picture kind: 4 for kinds 0 and 3, 1 for kinds 2 and 4,
// 0 for any other kind.
uint32_t pictureBytesPerPixel(uint16_t kind);

// Scrambles or unscrambles length stored bytes in place with the
// description's G, K, S and T.
void scrambleThumbnailData(uint8_t* data, uint64_t length, const SThumbnailDesc& desc);
void unscrambleThumbnailData(uint8_t* data, uint64_t length, const SThumbnailDesc& desc);

// Writes a picture as a chunk at the position. The description gives the
// format, kind, G, K, S, T and the sizes; the stored and raw counts are
// worked out here. pixels holds width x height x bytes a pixel. Codes: 0;
// 14 (format other than 1 or 2), 15 (unknown kind), 37 (an empty picture),
// 1 (memory), 8 (short write: the stream goes back to where the chunk began).
[[nodiscard]] FileResult writeThumbnailChunk(CStream& stream, const SThumbnailDesc& desc, const uint8_t* pixels);

// Reads the chunk at the position: its description, the unpacked picture
// (exactly raw bytes) and the chunk's whole length (head included); the
// position ends after the chunk. Codes: 0; 9 (short read), 16 (another tag),
// 14 (format other than 1 or 2), 15 (unknown kind), 13 (a picture side
// outside 1..10,000, or above 256 for a document thumbnail), 17 (counts that
// disagree with each other, with the chunk or with the unpacked data),
// 10 (the chunk's end cannot be reached), 1, 3.
[[nodiscard]] FileResult readThumbnailChunk(CStream& stream, SThumbnailDesc& desc, std::vector<uint8_t>& pixels,
                           int64_t& chunkLength);

// A 32-bit picture (kind 0 or 3, else 15) into a plane of its size.
[[nodiscard]] FileResult readThumbnail(CStream& stream, TMTC& picture);
// An 8-bit picture (kind 2 or 4, else 15) into a channel of its size.
[[nodiscard]] FileResult readChannelThumbnail(CStream& stream, SThumbnailDesc& desc, TChannel& picture, int64_t& chunkLength);

// Walks the chunks from the position to the first document thumbnail
// (kind 0) and reads it. 0 with an empty picture when the chunks end without
// one; 9 (short head), 11 (a chunk past the end), 10 (seek failed), or the
// reader's code.
[[nodiscard]] FileResult findThumbnail(CStream& stream, TMTC& picture);

}  // namespace pg
