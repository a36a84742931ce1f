#pragma once
// The drawing process on disk: the event file (".ke4"), and the two forms in
// which a recording travels inside a native file.
//
// Event file: an optional thumbnail chunk "KTNL", the 56-byte header "KEVP",
// then one block "KBEV" per 64 KB segment of committed stream: a 28-byte block
// header, the packed bytes and zero padding to 4. Native files carry the same
// header and blocks, or the unpacked container "KEVS": a 40-byte chunk head
// followed by the raw stream and its padding. All numbers are little-endian.
//
// The readers take every field as untrusted. Blocks are unpacked into fresh
// segments beside the recorder, and the stream they make must walk whole by
// the packet size rule before it replaces the recorder's content: a bad file
// leaves the recorder exactly as it was.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "record/progress.h"

namespace pg {

class CEventMngr;

// ---- Results beyond the shared codes ------------------------------------------
// (Their numbers are in FileResult with the others.)
// Writers: 0, 1 (work buffers), 8, 42, 43, 44. Readers: 0, 1, 4, 6, 9, 12, 15,
// 16, 17, 39, 40, 41, 42, 44, 45.
inline constexpr FileResult kRcNoRecorder = FileResult::NoRecorder;  // no usable recorder, or it cannot take the stream
inline constexpr FileResult kRcStreamShort = FileResult::StreamShort;  // the container's stream could not be read whole
inline constexpr FileResult kRcNoEvents = FileResult::NoEvents;  // nothing to write; the header gives no blocks
inline constexpr FileResult kRcSegmentCopy = FileResult::SegmentCopy;  // a segment could not be copied out whole
inline constexpr FileResult kRcSegmentSize = FileResult::SegmentSize;  // segment larger than the work buffer; segment sizes differ
inline constexpr FileResult kRcUnpackedLength = FileResult::UnpackedLength;  // a block did not unpack to its stated length
// 15 (kRcPictureKind) doubles as "the container's reserved word is not 0", and
// 39 (kRcBadEventBlock) is every block or stream that does not hold together:
// block fields that disagree with the header or with each other, a block
// count other than the one the stream length needs, a stream longer than
// kMaxEventBlocks segments, or a stream that does not walk whole.

// ---- Layout ---------------------------------------------------------------------
inline constexpr uint32_t kEventHeaderBytes = 56;
inline constexpr uint32_t kEventBlockHeadBytes = 28;
inline constexpr uint32_t kEventContainerBytes = 40;
inline constexpr uint32_t kEventFileSegmentSize = 65536;
// The newest stream version this system reads and writes.
inline constexpr uint16_t kEventStreamVersion = 43;
// The version of the writing system stamped into every header.
inline constexpr uint16_t kEventWriterMajor = 4;
inline constexpr uint16_t kEventWriterMinor = 58;
// The most segments a stream may have: as many as the recorder's 32-bit
// stream positions address with 64 KB segments (a stream just under 4 GB),
// so that whatever was recorded can be loaded again. A reader takes memory
// only for blocks that are really in the file and unpack to their full stated
// length, one segment at a time.
inline constexpr uint32_t kMaxEventBlocks = 65535;

// The first 40 bytes of a "KEVP" or "KEVS" chunk, where locateEvents found it.
struct SEventChunk {
  std::array<uint8_t, kEventContainerBytes> bytes{};
  int64_t start = 0;  // stream position of the tag
  uint32_t tag() const { return chunkU32(bytes.data()); }
  uint32_t length() const { return chunkU32(bytes.data() + 4); }
  uint32_t width() const { return chunkU32(bytes.data() + 8); }
  uint32_t height() const { return chunkU32(bytes.data() + 12); }
};

// What saving an event file needs of the document.
class EventDocument {
 public:
  virtual ~EventDocument() = default;
  // The document's recorder; null when it has none.
  [[nodiscard]] virtual CEventMngr* eventStore() = 0;
  virtual uint32_t eventImageWidth() const = 0;
  virtual uint32_t eventImageHeight() const = 0;
  // Empties the document's redo list (its undo records and the recorder's
  // undone events) before the recording is sealed.
  virtual void clearRedoList() = 0;
  // Writes the document's thumbnail chunk "KTNL" at the position; answers
  // the thumbnail writer's code.
  [[nodiscard]] virtual FileResult writeThumbnailChunk(CStream& stream) = 0;
};

// ---- Writers ----------------------------------------------------------------------

// The outcome of saveEventFile, item by item.
struct SEventSaveResult {
  // The event writer's result; also 40 (not recording), 42 (nothing
  // committed: nothing is sealed or written), 1 (the seal could not be
  // written), 5 (the file could not be created) and 8 (the file could not be
  // completed). The file replaced its target exactly when this is 0.
  FileResult events = kRcOk;
  // The thumbnail writer's result, 0 when none was asked. A failed thumbnail
  // is left out of the file and does not stop the save.
  FileResult thumbnail = kRcOk;
  [[nodiscard]] bool saved() const { return events == kRcOk; }
  // Every item that was asked for is in the file.
  [[nodiscard]] bool complete() const { return events == kRcOk && thumbnail == kRcOk; }
};

// Saves the document's recording while it records: empties the redo list,
// seals the stream, writes a temporary file beside the target (the thumbnail
// when asked, then the events: packed as header and blocks, or as the
// container) and renames it over the target only when the events were written
// whole; then resumes recording (the warning "Alert: failed to remove
// EventFin!" when that fails). A reserved word in 0..65535 and a stream
// version in 0..43 go into the header; any other value (-1) means none given:
// reserved word 0, version 43. A save that fails leaves the target as it was
// and the document recording.
[[nodiscard]] SEventSaveResult saveEventFile(const std::string& fileName, EventDocument& document, bool withThumbnail,
                               int32_t reservedWord = -1, int32_t streamVersion = -1, bool packed = true);

// The 56-byte header and the blocks of the committed stream; 42 when nothing
// is committed (nothing written then).
[[nodiscard]] FileResult writeEvents(CStream& sink, const CEventMngr& store, uint32_t width, uint32_t height, IProgress& progress,
                    int32_t reservedWord = -1, int32_t streamVersion = -1);
// One block per segment of committed stream, one progress step each.
[[nodiscard]] FileResult writeEventBlocks(CStream& sink, const CEventMngr& store, IProgress& progress);
// The container chunk, the committed stream and its padding: 0 or 8.
[[nodiscard]] FileResult writeEventContainer(CStream& sink, const CEventMngr& store, uint32_t width, uint32_t height);
// writeEvents at the sink's position; on failure the sink goes back to where
// it began. For the native writer.
[[nodiscard]] FileResult writeEventsToNative(CStream& sink, const CEventMngr& store, uint32_t width, uint32_t height,
                            IProgress& progress);

// ---- Readers ----------------------------------------------------------------------

// Finds the events at the position: reads 40 bytes, steps over one thumbnail
// chunk, and answers 0 with the "KEVP" or "KEVS" chunk found, the position
// just after its first 40 bytes; 9 when short, 16 for another tag, 17 for a
// thumbnail chunk too small to be one.
[[nodiscard]] FileResult locateEvents(CStream& source, SEventChunk& chunk);

// Reads either form at the position into the store (see the codes above).
// On success the position follows the last block or the container's padding.
[[nodiscard]] FileResult readEvents(CStream& source, CEventMngr* store, IProgress& progress);
// readEvents; on failure the source goes back to where it began. For the
// native reader, with the position on the chunk's head.
[[nodiscard]] FileResult readEventsFromNative(CStream& source, CEventMngr* store, IProgress& progress);
// Opens an event file and reads it into the store with a progress window:
// 4 when the file does not exist, 40 without a usable recorder, 6 when it
// cannot be opened, else readEvents' result.
[[nodiscard]] FileResult readEventFile(const std::string& fileName, CEventMngr* store);

// Reads the thumbnail chunk at the stream position into the caller's picture.
using ThumbnailChunkReader = std::function<void(CStream& stream)>;
// For the open dialog's preview: 4, 6 or locateEvents' result; on 0 the
// document size from the events chunk, and the thumbnail reader (when given)
// called with the file's position back at its start.
[[nodiscard]] FileResult readEventFileHeader(const std::string& fileName, const ThumbnailChunkReader& readThumbnail, uint32_t& width,
                            uint32_t& height);

}  // namespace pg
