#include "io/thumbnail_chunk.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "core/block_compress.h"
#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "core/limits.h"
#include "core/planes.h"

namespace pg {

namespace {

constexpr uint32_t kDescRest = kThumbnailDescBytes;  // the size of an empty chunk

// Every complete group of `group` bytes of the piece reversed.
void reverseGroups(uint8_t* p, uint64_t length, uint8_t group) {
  if (group < 2 || group > length) return;
  for (uint64_t i = 0; i + group <= length; i += group) std::reverse(p + i, p + i + group);
}

// Every (step + 1)-th byte from the first XORed with the complement of key.
void xorEvery(uint8_t* p, uint64_t length, uint8_t key, uint8_t step) {
  if (key == 0) return;
  const uint8_t mask = uint8_t(~key);
  for (uint64_t i = 0; i < length; i += uint64_t{step} + 1) p[i] ^= mask;
}

template <class Piece>
void forEachPiece(uint8_t* data, uint64_t length, uint8_t tail, Piece piece) {
  const uint64_t n = length > tail ? length - tail : 0;
  for (uint64_t at = 0; at < n; at += kScramblePiece) piece(data + at, std::min<uint64_t>(kScramblePiece, n - at));
}


// The largest side a picture of the kind may have.
uint32_t maxSide(uint16_t kind) {
  return kind == kPictureDocument ? uint32_t(kDocumentThumbnailSide) : uint32_t(kMaxImageWidth);
}

}  // namespace

namespace {

// The 40 bytes after the chunk head that describe the picture.
void thumbnailDescFields(CByteCursor& c, SThumbnailDesc& d) {
  c.field(d.format).field(d.kind).field(d.group).field(d.key).field(d.step).field(d.tail);
  c.field(d.sourceWidth).field(d.sourceHeight).field(d.width).field(d.height).field(d.stored).field(d.raw);
  c.zeros(kThumbnailDescBytes - 32);
}

}  // namespace

void storeThumbnailDesc(uint8_t* bytes, const SThumbnailDesc& d) {
  // The buffer holds kThumbnailDescBytes, exactly what the fields take.
  (void)writeRecord(bytes, kThumbnailDescBytes, d, thumbnailDescFields);
}

SThumbnailDesc parseThumbnailDesc(const uint8_t* bytes) {
  SThumbnailDesc d;
  // The bytes are the description's own size: its fields fit.
  (void)readRecord(bytes, kThumbnailDescBytes, d, thumbnailDescFields);
  return d;
}

uint32_t pictureBytesPerPixel(uint16_t kind) {
  switch (kind) {
    case kPictureDocument:
    case kPictureIcon:
      return 4;
    case 2:
    case kPictureNib:
      return 1;
    default:
      return 0;
  }
}

void scrambleThumbnailData(uint8_t* data, uint64_t length, const SThumbnailDesc& d) {
  forEachPiece(data, length, d.tail, [&](uint8_t* p, uint64_t n) {
    reverseGroups(p, n, d.group);
    xorEvery(p, n, d.key, d.step);
  });
}

void unscrambleThumbnailData(uint8_t* data, uint64_t length, const SThumbnailDesc& d) {
  forEachPiece(data, length, d.tail, [&](uint8_t* p, uint64_t n) {
    xorEvery(p, n, d.key, d.step);
    reverseGroups(p, n, d.group);
  });
}

FileResult writeThumbnailChunk(CStream& stream, const SThumbnailDesc& desc, const uint8_t* pixels) {
  const int64_t start = stream.position();
  const FileResult code = guardedCode([&]() -> FileResult {
    if (desc.format != kThumbnailPlain && desc.format != kThumbnailScrambled) return kRcThumbFormat;
    const uint32_t bpp = pictureBytesPerPixel(desc.kind);
    if (bpp == 0) return kRcPictureKind;
    const uint64_t raw = uint64_t{desc.width} * desc.height * bpp;
    if (raw == 0 || pixels == nullptr) return kRcNothing;
    if (raw > std::numeric_limits<uint32_t>::max()) return kRcTooLarge;
    std::vector<uint8_t> packed;
    const uint64_t p = compressToMemory(pixels, raw, packed);
    if (p == 0) return kRcOutOfMemory;
    SThumbnailDesc d = desc;
    d.tail = 0;
    d.stored = uint32_t(p);
    d.raw = uint32_t(raw);
    if (d.format == kThumbnailPlain) d.group = d.key = d.step = 0;
    const uint64_t body = paddedTo4(p);
    std::vector<uint8_t> chunk(size_t(kThumbnailHeadBytes + body), 0);
    storeChunkHead(chunk.data(), {kTagThumbnail, uint32_t(kDescRest + body)});
    storeThumbnailDesc(chunk.data() + kChunkHeadBytes, d);
    std::memcpy(chunk.data() + kThumbnailHeadBytes, packed.data(), size_t(p));
    if (d.format == kThumbnailScrambled) scrambleThumbnailData(chunk.data() + kThumbnailHeadBytes, p, d);
    return stream.writeExact(chunk.data(), int64_t(chunk.size())) ? kRcOk : kRcShortWrite;
  });
  // Back to where the chunk began, as far as the stream can go: the failure
  // is answered either way.
  if (code != kRcOk) (void)stream.seek(start, SeekOrigin::Begin);
  return code;
}

FileResult readThumbnailChunk(CStream& stream, SThumbnailDesc& desc, std::vector<uint8_t>& pixels,
                           int64_t& chunkLength) {
  return guardedCode([&]() -> FileResult {
    const int64_t start = stream.position();
    uint8_t head[kThumbnailHeadBytes];
    if (!stream.readExact(head, kThumbnailHeadBytes)) return kRcShortRead;
    const SChunkHead chunk = parseChunkHead(head);
    if (chunk.tag != kTagThumbnail) return kRcWrongTag;
    desc = parseThumbnailDesc(head + kChunkHeadBytes);
    if (desc.format != kThumbnailPlain && desc.format != kThumbnailScrambled) return kRcThumbFormat;
    const uint32_t bpp = pictureBytesPerPixel(desc.kind);
    if (bpp == 0) return kRcPictureKind;
    const uint32_t side = maxSide(desc.kind);
    if (desc.width < 1 || desc.height < 1 || desc.width > side || desc.height > side) return kRcTooLarge;
    // Every count must agree before memory is taken.
    if (uint64_t{desc.raw} != uint64_t{desc.width} * desc.height * bpp || desc.stored < 1 ||
        desc.tail > desc.stored || uint64_t{desc.stored} + kDescRest > chunk.size)
      return kRcHeaderSize;
    if (int64_t{desc.stored} > stream.remaining()) return kRcShortRead;
    std::vector<uint8_t> stored(desc.stored);
    if (!stream.readExact(stored.data(), desc.stored)) return kRcShortRead;
    const int64_t end = start + kChunkHeadBytes + int64_t{chunk.size};
    if (end > stream.size() || stream.seek(end, SeekOrigin::Begin) != end) return kRcSeekFailed;
    if (desc.format == kThumbnailScrambled) unscrambleThumbnailData(stored.data(), stored.size(), desc);
    std::vector<uint8_t> picture(desc.raw);
    if (!expandExact(stored.data(), stored.size(), picture.data(), picture.size())) return kRcHeaderSize;
    pixels = std::move(picture);
    chunkLength = end - start;
    return kRcOk;
  });
}

namespace {

// Reads a picture of one of two kinds into a plane of its size, copying the
// bytes in the plane's memory order.
template <class Plane>
[[nodiscard]] FileResult readPlane(CStream& stream, SThumbnailDesc& desc, Plane& picture, int64_t& chunkLength, uint32_t bpp) {
  return guardedCode([&]() -> FileResult {
    std::vector<uint8_t> pixels;
    if (const FileResult code = readThumbnailChunk(stream, desc, pixels, chunkLength); code != kRcOk) return code;
    if (pictureBytesPerPixel(desc.kind) != bpp) return kRcPictureKind;
    if (!picture.Resize(int32_t(desc.width), int32_t(desc.height))) return kRcOutOfMemory;
    // Bits is the start of the plane's block whatever its row order.
    std::memcpy(picture.Bits, pixels.data(), size_t(std::min<int64_t>(picture.ByteSize(), int64_t(pixels.size()))));
    return kRcOk;
  });
}

}  // namespace

FileResult readThumbnail(CStream& stream, TMTC& picture) {
  SThumbnailDesc desc;
  int64_t length = 0;
  return readPlane(stream, desc, picture, length, 4);
}

FileResult readChannelThumbnail(CStream& stream, SThumbnailDesc& desc, TChannel& picture, int64_t& chunkLength) {
  return readPlane(stream, desc, picture, chunkLength, 1);
}

FileResult findThumbnail(CStream& stream, TMTC& picture) {
  return guardedCode([&]() -> FileResult {
    while (stream.position() < stream.size()) {
      const int64_t start = stream.position();
      SChunkHead head;
      if (readChunkHead(stream, head) != kRcOk) return kRcShortRead;
      if (head.tag == kTagThumbnail) {
        uint8_t desc[kThumbnailDescBytes];
        if (!stream.readExact(desc, kThumbnailDescBytes)) return kRcShortRead;
        if (parseThumbnailDesc(desc).kind == kPictureDocument) {
          if (stream.seek(start, SeekOrigin::Begin) != start) return kRcSeekFailed;
          return readThumbnail(stream, picture);
        }
      }
      const int64_t next = start + kChunkHeadBytes + int64_t{head.size};
      if (next > stream.size()) return kRcChunkPastEnd;
      if (stream.seek(next, SeekOrigin::Begin) != next) return kRcSeekFailed;
    }
    return kRcOk;
  });
}

}  // namespace pg
