#pragma once
// The chunk head that opens every chunk of our binary files (the native image,
// the event file and the gradient, pen-shape and pen-method presets), the two
// tag checks, the counted-string reader, the chunk loop of the preset files,
// and the one-byte result codes every file reader and writer answers.
//
// A chunk head is 8 bytes, little-endian: a tag of four ASCII characters in
// file order, compared as one 32-bit value, and the byte count of everything
// after the head up to the chunk's end. The next chunk starts at
// start + 8 + size. Variable parts are padded with zeros to a multiple of 4
// bytes, the padding counted in the size.
#include <cstdint>
#include <iosfwd>
#include <new>
#include <string>

#include "core/streams.h"

namespace pg {

// ---- Result codes --------------------------------------------------------------
// One byte; Ok (0) is success. Callers turn a failure into a message that shows
// the number, so the numbers are part of what the user sees and never change.
// The event file's own codes (40-45) sit here too, so that every file reader
// and writer answers the one type. The type itself is [[nodiscard]], so no
// caller, helper or lambda that answers one can have its result dropped.
enum class [[nodiscard]] FileResult : uint8_t {
  Ok = 0,
  OutOfMemory = 1,         // a buffer or object could not be had
  Skipped = 2,             // chunk not read at this level
  Exception = 3,           // an exception was caught at the item or file boundary
  FileMissing = 4,         // the file does not exist
  CannotCreate = 5,        // the file could not be created
  CannotOpen = 6,          // the file could not be opened
  ShortWrite = 8,          // a write wrote fewer bytes than asked
  ShortRead = 9,           // a read returned fewer bytes than asked
  SeekFailed = 10,         // seek to the next chunk failed; preset chunk past what remains
  ChunkPastEnd = 11,       // a chunk's end lies past the stream; a name past its chunk
  Version = 12,            // unsupported version of a header or record
  TooLarge = 13,           // width or height above 10,000
  ThumbFormat = 14,        // thumbnail format other than 1 or 2
  PictureKind = 15,        // unknown picture, pen shape or palette kind
  WrongTag = 16,           // wrong tag; unknown chunk at the native file's top level
  HeaderSize = 17,         // header size differs from the expected one
  ThumbSkipped = 19,       // thumbnail met by the layer and mask chunk loop
  BadGradient = 20,        // invalid gradient; pen shape kind 2 or more on writing
  LayerCreate = 21,        // a layer could not be created
  TileFormat = 22,         // tile size or layer image depth not supported
  NoTiles = 23,            // a tile block holds no tiles
  TileEncoding = 24,       // unknown layer tile encoding
  TileSizes = 25,          // a tile block's sizes do not agree
  TileOutside = 26,        // a tile lies outside the layer image
  NoMaskList = 28,         // the document has no mask list
  MaskCreate = 29,         // a mask could not be created
  MaskTileFormat = 30,     // mask tile size or channel format not supported
  MaskNoTiles = 31,        // a mask tile block holds no tiles
  MaskTileEncoding = 32,   // unknown mask tile encoding
  MaskTileSizes = 33,      // a mask tile block's sizes do not agree
  MaskTileOutside = 34,    // a mask tile lies outside the mask image
  MaskAdd = 35,            // the mask could not be added to the mask list
  Nothing = 37,            // nothing to save, or nothing read
  BadEventBlock = 39,      // a block of the recorded events is not valid
  NoRecorder = 40,         // no usable recorder, or it cannot take the stream
  StreamShort = 41,        // the container's stream could not be read whole
  NoEvents = 42,           // nothing to write; the header gives no blocks
  SegmentCopy = 43,        // a segment could not be copied out whole
  SegmentSize = 44,        // segment larger than the work buffer; segment sizes differ
  UnpackedLength = 45,     // a block did not unpack to its stated length
  ItemRefused = 48,        // a gradient stop or a list item was refused
  PaletteWrite = 64,       // the palette writer failed
};

// The number of a result, for the messages that show it and for code that
// stores or compares the number itself.
constexpr uint8_t fileResultNumber(FileResult r) { return static_cast<uint8_t>(r); }
// Prints the number (test diagnostics).
std::ostream& operator<<(std::ostream& out, FileResult r);

// The short names most readers and writers use.
inline constexpr FileResult kRcOk = FileResult::Ok;
inline constexpr FileResult kRcOutOfMemory = FileResult::OutOfMemory;
inline constexpr FileResult kRcSkipped = FileResult::Skipped;
inline constexpr FileResult kRcException = FileResult::Exception;
inline constexpr FileResult kRcFileMissing = FileResult::FileMissing;
inline constexpr FileResult kRcCannotCreate = FileResult::CannotCreate;
inline constexpr FileResult kRcCannotOpen = FileResult::CannotOpen;
inline constexpr FileResult kRcShortWrite = FileResult::ShortWrite;
inline constexpr FileResult kRcShortRead = FileResult::ShortRead;
inline constexpr FileResult kRcSeekFailed = FileResult::SeekFailed;
inline constexpr FileResult kRcChunkPastEnd = FileResult::ChunkPastEnd;
inline constexpr FileResult kRcVersion = FileResult::Version;
inline constexpr FileResult kRcTooLarge = FileResult::TooLarge;
inline constexpr FileResult kRcThumbFormat = FileResult::ThumbFormat;
inline constexpr FileResult kRcPictureKind = FileResult::PictureKind;
inline constexpr FileResult kRcWrongTag = FileResult::WrongTag;
inline constexpr FileResult kRcHeaderSize = FileResult::HeaderSize;
inline constexpr FileResult kRcThumbSkipped = FileResult::ThumbSkipped;
inline constexpr FileResult kRcBadGradient = FileResult::BadGradient;
inline constexpr FileResult kRcLayerCreate = FileResult::LayerCreate;
inline constexpr FileResult kRcTileFormat = FileResult::TileFormat;
inline constexpr FileResult kRcNoTiles = FileResult::NoTiles;
inline constexpr FileResult kRcTileEncoding = FileResult::TileEncoding;
inline constexpr FileResult kRcTileSizes = FileResult::TileSizes;
inline constexpr FileResult kRcTileOutside = FileResult::TileOutside;
inline constexpr FileResult kRcNoMaskList = FileResult::NoMaskList;
inline constexpr FileResult kRcMaskCreate = FileResult::MaskCreate;
inline constexpr FileResult kRcMaskTileFormat = FileResult::MaskTileFormat;
inline constexpr FileResult kRcMaskNoTiles = FileResult::MaskNoTiles;
inline constexpr FileResult kRcMaskTileEncoding = FileResult::MaskTileEncoding;
inline constexpr FileResult kRcMaskTileSizes = FileResult::MaskTileSizes;
inline constexpr FileResult kRcMaskTileOutside = FileResult::MaskTileOutside;
inline constexpr FileResult kRcMaskAdd = FileResult::MaskAdd;
inline constexpr FileResult kRcNothing = FileResult::Nothing;
inline constexpr FileResult kRcBadEventBlock = FileResult::BadEventBlock;
inline constexpr FileResult kRcItemRefused = FileResult::ItemRefused;
inline constexpr FileResult kRcPaletteWrite = FileResult::PaletteWrite;

// Runs an operation that answers a result code; an exception becomes 1 (memory)
// or 3 (anything else), so that none crosses the operation's boundary.
template <typename Op>
[[nodiscard]] FileResult guardedCode(Op&& op) noexcept {
  try {
    return op();
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  } catch (...) {
    return kRcException;
  }
}

// ---- Chunk head --------------------------------------------------------------

inline constexpr int64_t kChunkHeadBytes = 8;

// The 32-bit value of a tag written as four characters in file order.
constexpr uint32_t chunkTag(const char (&text)[5]) {
  return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 | uint32_t(uint8_t(text[2])) << 16 |
         uint32_t(uint8_t(text[3])) << 24;
}

inline constexpr uint32_t kTagNativeHeader = chunkTag("KPIM");
inline constexpr uint32_t kTagLayer = chunkTag("KLYR");
inline constexpr uint32_t kTagLayerTiles = chunkTag("KBIM");
inline constexpr uint32_t kTagMask = chunkTag("KMSK");
inline constexpr uint32_t kTagMaskTiles = chunkTag("KBMK");
inline constexpr uint32_t kTagThumbnail = chunkTag("KTNL");
inline constexpr uint32_t kTagEventsPacked = chunkTag("KEVP");
inline constexpr uint32_t kTagEventsRaw = chunkTag("KEVS");
inline constexpr uint32_t kTagEventBlock = chunkTag("KBEV");
inline constexpr uint32_t kTagGradientSet = chunkTag("GRST");
inline constexpr uint32_t kTagGradient = chunkTag("KGRD");
inline constexpr uint32_t kTagPenShape = chunkTag("PSHP");
inline constexpr uint32_t kTagPenShapeHeader = chunkTag("PSST");
inline constexpr uint32_t kTagPenMethod = chunkTag("PMTD");

struct SChunkHead {
  uint32_t tag = 0;
  uint32_t size = 0;  // bytes after the head up to the chunk's end
};

// Little-endian fields of chunk records.
inline uint16_t chunkU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t chunkU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void putChunkU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void putChunkU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

SChunkHead parseChunkHead(const uint8_t* bytes);
void storeChunkHead(uint8_t* bytes, const SChunkHead& head);

// Reads 8 bytes at the position: 0, or 9 when fewer could be read.
[[nodiscard]] FileResult readChunkHead(CStream& stream, SChunkHead& head);
// 0, or 8 when the write was short.
[[nodiscard]] FileResult writeChunkHead(CStream& stream, const SChunkHead& head);

// 0 when the head's tag is tag, else 16.
[[nodiscard]] FileResult checkChunkTag(const SChunkHead& head, uint32_t tag);
// 16 when the tag differs, 17 when the tag matches and the size differs, else 0.
[[nodiscard]] FileResult checkChunkHead(const SChunkHead& head, uint32_t tag, uint32_t size);

// n rounded up to a multiple of 4 (64-bit: a u32 size cannot wrap).
constexpr uint64_t paddedTo4(uint64_t n) { return (n + 3) & ~uint64_t{3}; }
// Writes the 0..3 zero bytes that bring length to a multiple of 4: 0, or 8.
[[nodiscard]] FileResult writeChunkPadding(CStream& stream, uint64_t length);

// ---- Counted string ----------------------------------------------------------
// A stored string is a byte count n kept in a record field, then n bytes whose
// last is the terminating zero, then zero padding to 4. Reads the n bytes at
// the position and answers the text up to the first zero (all n bytes when
// none is zero); the bytes keep their code page. Codes: 0; 1 when the buffer
// cannot be had; 9 when fewer than n bytes remain in the stream (checked
// before anything is allocated); 11 when n exceeds limit, the bytes left in
// the caller's chunk (a negative limit means no chunk limit).
[[nodiscard]] FileResult readCountedString(CStream& stream, uint32_t n, std::string& text, int64_t limit = -1);

// ---- Preset chunk loop -------------------------------------------------------

// One preset reader's side of the loop: it parses the chunks of its tag and
// hands what it parsed to its list. It owns an item it parsed until the list
// takes it, and frees one that no list took.
class PresetChunkParser {
 public:
  virtual ~PresetChunkParser() = default;
  // Parses the chunk whose head was just read; the stream stands after the
  // head, at chunkStart. The parser may step back over the head, and may also
  // read a picture chunk that follows and belongs to the item. Answers a code
  // (0 when an item was parsed); an exception counts as code 3.
  [[nodiscard]] virtual FileResult parseChunk(CStream& stream, const SChunkHead& head, int64_t chunkStart) = 0;
  // Finishes the parsed item and offers it to the list; true when the list
  // took it (it then belongs to the list).
  [[nodiscard]] virtual bool offerItem() = 0;
};

struct SPresetLoopResult {
  FileResult code = kRcOk;
  int32_t itemsRead = 0;
};

// Walks the chunks from the position (after the file's own header) while
// wanted > 0 and bytes remain. Chunks of another tag are skipped; a wanted
// chunk goes to the parser. A failed parse puts the stream back where it began
// and goes on at the chunk's end; a successful one goes on at its own end or
// the chunk's end, whichever lies further, so that a parser that reads less
// than its chunk cannot make the loop read a head inside it. An item the list
// refuses (48) or that fails to parse does not end the loop, and its code is
// dropped when the loop ends normally. Codes: 0 when wanted items or the data
// ran out; 9 for a short head; 10 for a chunk larger than what remains, or a
// seek that failed. Items read before an error stay in the list.
SPresetLoopResult readPresetChunks(CStream& stream, uint32_t tag, int32_t wanted, PresetChunkParser& parser);

}  // namespace pg
