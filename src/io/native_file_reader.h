#pragma once
// Reading a native layered image (".kci") into a document.
//
// Everything read is untrusted: the header is checked before the document
// is touched, and the layers and masks are built in lists of their own that
// take the document's place only when the whole file has been walked, so the
// caller never sees a document half set up. A layer or mask that cannot be
// read is reported ("%sの読み込みに失敗しました! (err=%d)") and left out,
// and the rest of the file is still read; a chunk loop that ended with an
// error is reported ("読み込み中にエラーが検出されました! (err=%d)") and
// the document keeps what was read. The reports of one file go in one
// message that names the file and says what the failure means.
#include <cstdint>
#include <string>
#include <vector>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "record/progress.h"

namespace pg {

class CLayerMngr;
class CMaskMngr;
class CEventMngr;
class TMTC;
class TPaper;

// Reads the file into a document the caller has just made (empty). Codes:
// 0 (read, perhaps with reported chunk errors); 4 (no such file); 6 (cannot
// be opened); 9, 16, 17, 12, 13 (header: short, tag, size, version, size
// outside 1..10,000) with the document untouched; 13 as well, after the
// chunks were read, for a document past 2048 x 2048 pixels of which nothing
// was read (no layer, mask or recording); 1 or 3 when memory failed
// or an exception was caught outside any one item (the document's lists are
// then untouched).
[[nodiscard]] FileResult readNativeFile(const std::string& path, TPaper& doc);
// The same from a stream at its start; name becomes the document's name.
[[nodiscard]] FileResult readNativeStream(CStream& stream, TPaper& doc, const std::string& name);

// What the top-level chunk loop reads into.
struct SNativeReadTarget {
  CLayerMngr* layers = nullptr;
  CMaskMngr* masks = nullptr;
  TPaper* eventDocument = nullptr;  // whose recording takes the events (may be null)
};

// What the chunk loop found wrong, for the one message about the file: the
// lines to show and the code whose meaning ends the message (Ok for none).
struct SNativeReadNotes {
  std::vector<std::string> lines;
  FileResult cause = kRcOk;
  // Layer, mask and recording chunks read whole.
  int32_t itemsRead = 0;
};

// The top-level chunk loop, from the position to the end of the stream:
// layers, masks and events are read; stray tile and event blocks are
// skipped with 2, thumbnails with 19, unknown chunks with 16 (counted and
// reported once at the end with the last unknown tag). Answers the code of
// the last chunk handled, or 9 (short head), 11 (a chunk past the end) or
// 10 (seek failed), which end the loop. The chunks that could not be read
// are noted in notes, not shown.
[[nodiscard]] FileResult readNativeChunks(CStream& stream, const SNativeReadTarget& target, IProgress& progress,
                                          SNativeReadNotes& notes);

// Only the recording of a native file, into the store: the layer and mask
// chunks are stepped over unread, so a file's pictures cost nothing when only
// its recording is wanted. Codes: 4, 6, the header's codes, 9 or 11 for a
// chunk cut short, 42 when the file holds no recording, else the last events
// chunk's code.
[[nodiscard]] FileResult readNativeRecording(const std::string& path, CEventMngr& store);
// For the open dialog's preview: the document size from the header and the
// document thumbnail, if the file holds one (picture empty otherwise).
// Codes: 4, 6, the header's codes, or findThumbnail's.
[[nodiscard]] FileResult readNativeThumbnail(const std::string& path, TMTC& picture, uint32_t& width, uint32_t& height);

}  // namespace pg
