#pragma once
// Pen-shape files (".psh"): a 32-byte header "PSST" (24, u8 version 1, u8 0,
// u16 0, u16 count at 12, u16 current index at 14, 16 zero bytes), then per
// nib a "PSHP" chunk, followed for an image nib by a "KTNL" chunk holding
// the nib's 8-bit image. Pen-method files embed the same "PSHP" chunk.
//
// "PSHP" chunk: head, a 120-byte record, the name (no terminator) padded to
// 4; size = 120 + padded name. Record offsets: u16 kind (0 parametric, 1
// image nib) at 0, u16 name length at 2, u16 version 1 at 4; the grade map's
// profile type (low byte) at 16, its values at 20 and 22; the shape's size
// (hundredths of a pixel), minimum size, aspect and angle at 40, 42, 44, 46;
// u32 edge switch at 64; an image nib's scale, scale minimum and maximum at
// 88, 92 and 94 (per cent); everything else zero.
//
// A nib has no name of its own: a stored name is read past and none is
// written.
#include <cstdint>
#include <string>

#include "brush/pen_shape_obj.h"
#include "core/chunk_head.h"
#include "core/streams.h"
#include "io/preset_common.h"

namespace pg {

class CPenShapeMngr;

inline constexpr uint8_t kPenShapeFileVersion = 1;
inline constexpr uint16_t kPenShapeRecordVersion = 1;
inline constexpr int64_t kPenShapeRecordBytes = 120;

// Reads the "PSHP" chunk whose head was just read (the stream stands after
// it) into shape, and for an image nib the "KTNL" chunk that follows; the
// stream ends after the chunk (and the picture). Codes: 11 a record or name
// that does not fit the chunk; 9 short; 12 record version above 1; 15 a kind
// other than 0 and 1, or a picture of another kind; 13 a picture past the
// budget; the picture reader's codes; 48 a picture no nib can be made of.
[[nodiscard]] FileResult readPenShapeChunk(CStream& stream, const SChunkHead& head, CPenShapeObj& shape, SPresetPictureBudget& budget);
// Writes the nib as a "PSHP" chunk, and an image nib's picture after it.
// Codes: 20 a kind of 2 or more; 8 short write; the picture writer's codes.
[[nodiscard]] FileResult writePenShapeChunk(CStream& stream, const CPenShapeObj& shape);

// Reads a pen-shape file into the list (replacing its nibs unless
// appending). Codes: 4, 6, 9, 16, 17, 12, 37 (an announced count of 0 or no
// nib read), 1, 3.
[[nodiscard]] FileResult loadPenShapeFile(const std::string& path, CPenShapeMngr& list, bool append);
// The same from a stream standing at the header; the list takes path as its
// file name.
[[nodiscard]] FileResult readPenShapeSet(CStream& in, CPenShapeMngr& list, bool append, const std::string& path);
// Writes every nib: 37 without any, 12 for more than the header can count,
// 5, 8, 20 and the picture writer's codes. On success the list takes the
// path as its file name and is unmodified.
[[nodiscard]] FileResult savePenShapeFile(const std::string& path, CPenShapeMngr& list);

}  // namespace pg
