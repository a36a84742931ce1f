#pragma once
// Pen-method files (".pmt"): a 32-byte header "PMST", then per method a
// "PMTD" chunk, followed by its icon as a "KTNL" chunk and by its own nib as
// a "PSHP" chunk (pen_shape_file.h) when it has them. Little-endian.
//
// Header: "PMST", 24, u8 version 1, u8 0, u16 0, u16 count at 12, u16 current
// index at 14, u32 flags at 16 (0x1 a second selection is stored, 0x2 the
// five slot indices are stored), u16 second selection at 20, the five slot
// indices as one byte each at 22, 5 zero bytes.
//
// "PMTD" chunk: head, a 72-byte record, the name (no terminator) padded to
// 4; size = 72 + padded name. Record offsets: u16 0 at 0, u16 name length at
// 2, u16 record version 0 at 4 (readers take up to 1), u32 flags at 8 (0x1 a
// nib follows, 0x2 an icon follows, 0x10 the work-plane switch, 0x100 and
// 0x200 the gradation and tone switches, 0x10000 and 0x20000 the
// pressure-size and pressure-opacity switches), the render method, sub-mode
// and shape flag at 16..18, u32 effect, environment and speed at 20, 24, 28,
// and u16 opacity, gamma, spacing, dab-every-step and split-step at 40..48.
#include <cstdint>
#include <memory>
#include <string>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "io/preset_common.h"

namespace pg {

class CPenMethodMngr;
class CPenMethodObj;

inline constexpr uint8_t kPenMethodFileVersion = 1;
inline constexpr uint16_t kPenMethodRecordVersion = 0;
inline constexpr uint16_t kPenMethodMaxRecordVersion = 1;
inline constexpr int64_t kPenMethodRecordBytes = 72;

// Reads the "PMTD" chunk whose head was just read (the stream stands after
// it), and the icon and nib chunks that follow it as its flags say, into a
// new method; the stream ends after what was read. Codes: 11 a record or
// name that does not fit the chunk; 9 short; 12 record version above 1; 16 a
// nib that is not announced by "PSHP"; 13 a picture past the budget; the
// picture and nib readers' codes; 1 no memory.
[[nodiscard]] FileResult readPenMethodChunk(CStream& stream, const SChunkHead& head, std::unique_ptr<CPenMethodObj>& method,
                           SPresetPictureBudget& budget);
// Writes the method's chunk, its icon and its nib: 8 short write; the
// picture and nib writers' codes.
[[nodiscard]] FileResult writePenMethodChunk(CStream& stream, const CPenMethodObj& method);

// Reads a pen-method file into the list (replacing its methods unless
// appending). Codes: 4, 6, 9, 16, 17, 12, 37 (an announced count of 0 or no
// method read), 1, 3.
[[nodiscard]] FileResult loadPenMethodFile(const std::string& path, CPenMethodMngr& list, bool append);
// The same from a stream standing at the header; the list takes path as its
// file name.
[[nodiscard]] FileResult readPenMethodSet(CStream& in, CPenMethodMngr& list, bool append, const std::string& path);
// Writes every method: 37 without any, 12 for more than the header can
// count, 5, 8 and the chunk writers' codes. On success the list takes the
// path as its file name and is unmodified.
[[nodiscard]] FileResult savePenMethodFile(const std::string& path, CPenMethodMngr& list);

}  // namespace pg
