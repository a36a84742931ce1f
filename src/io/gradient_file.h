#pragma once
// Gradient-set files (".kgs"): a 32-byte header "GRST" and one "KGRD" chunk
// per gradient. The same "KGRD" chunk carries a gradient inside recorded
// events. Little-endian throughout.
//
// Header (32 bytes): "GRST", 24, u8 version 2, u8 0, u16 count, u32 flags
// (0x1: the fixed entry was the current gradient), u16 current index among
// the stored ones, u16 index of the fixed entry (0xFFFF none), 12 zero bytes.
//
// "KGRD" chunk: head (size = 28 + name padded to 4 + 24 x stops), u16 flags
// (0x1 own repeat settings), u8 record version 1, u8 0, u16 shape (0..3),
// u16 mirror (0..2), u16 wrap (0..2), u16 repeat count, 10 zero bytes, u16
// stop count, u8 24, u8 0, u16 name length (no terminator), the name padded
// to 4, then the 24-byte stops.
//
// The fixed two-colour entry of the tool window's list is never stored: it is
// made by the list itself and kept across a replacing load.
#include <cstdint>
#include <string>

#include "brush/gradient.h"
#include "brush/gradient_mngr.h"
#include "core/chunk_head.h"
#include "core/streams.h"
#include "io/preset_common.h"

namespace pg {

inline constexpr uint8_t kGradientSetVersion = 2;
inline constexpr uint8_t kGradientChunkVersion = 1;
inline constexpr int64_t kGradientRecordBytes = 36;  // the head included
inline constexpr int64_t kGradientFileStopBytes = 24;

// Reads the "KGRD" chunk whose head is at the position and leaves the stream
// after the chunk. The stops come back compacted and normalised (only the set
// stops, in order), the name as UTF-8. Codes: 9 short; 16 another tag; 12
// record version 2 or above; 11 a record, name or chunk that does not fit;
// 48 a stop the group refuses (too many); 20 fewer than two set stops, or
// weights that add up to nothing; 1 no memory.
[[nodiscard]] FileResult readGradientChunk(CStream& stream, CColorSlotGroup& stops, SGradRepeat& repeat);
// Writes the stops 0..last index as one "KGRD" chunk: 20 unless there are at
// least two stops and every one is set; 8 for a short write.
[[nodiscard]] FileResult writeGradientChunk(CStream& stream, const CColorSlotGroup& stops, const SGradRepeat& repeat);

// Reads a gradient-set file into the list (replacing its items unless
// appending) and shows how many announced gradients could not be read.
// Codes: 4, 6, 9, 16, 17, 12 (header version above 2), 37 (an announced
// count of 0 or no gradient read), 1, 3. The two current colours come from
// the preferences (black and white without them).
[[nodiscard]] FileResult loadGradientFile(const std::string& path, CGradMngr& mngr, bool append, const IPresetPrefs* prefs = nullptr);
// The same from a stream standing at the header; the list takes path as its
// file name.
[[nodiscard]] FileResult readGradientSet(CStream& in, CGradMngr& mngr, bool append, const IPresetPrefs* prefs, const std::string& path);
// Writes every gradient but the fixed entry: 37 when there is none, 12 for
// more than the header can count, 5, 8, 20, 1, 3. On success the list takes
// the path as its file name and is unmodified.
[[nodiscard]] FileResult saveGradientFile(const std::string& path, CGradMngr& mngr);

// The list's file commands: load (a failure shows the message with the
// code), load the default set (the preferences' file, else "default.kgs" in
// the gradient folder, else in the program's "preset" folder; when nothing
// loads, the built-ins with fallback, and the preferences' file and the
// list's file name are cleared) and save (a failure shows the path in a
// warning).
[[nodiscard]] bool gradMngrLoadFromFile(CGradMngr& mngr, const std::string& path, bool append, const IPresetPrefs* prefs = nullptr);
[[nodiscard]] bool gradMngrLoadDefaultSet(CGradMngr& mngr, bool fallback, IPresetPrefs& prefs);
[[nodiscard]] bool gradMngrSaveToFile(CGradMngr& mngr, const std::string& path);
// The open dialog of gradient sets (kind 6) in the folder of the current
// file, then the load; the save dialog (kind 14), then the save.
[[nodiscard]] bool gradMngrOpenDialog(CGradMngr& mngr, bool append, const PresetFileDialog& dialog,
                        const IPresetPrefs* prefs = nullptr);
[[nodiscard]] bool gradMngrSaveAsDialog(CGradMngr& mngr, const PresetFileDialog& dialog);

}  // namespace pg
