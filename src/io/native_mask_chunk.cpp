#include "io/native_mask_chunk.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "io/native_header.h"
#include "io/native_tile_blocks.h"
#include "platform/message_service.h"

namespace pg {

namespace {

constexpr uint32_t kMaskEdge = 64;

size_t storedNameBytes(const CMaskData& mask) { return std::min<size_t>(mask.name.size(), 65534); }

uint32_t tilesFor(uint32_t side) { return (side + kMaskEdge - 1) / kMaskEdge; }

// The 80 bytes of a mask record "KMSK" as stored; the name follows. A mask
// without an image stores no image fields (all zero).
struct SMaskWire {
  uint32_t tag = kTagMask;
  uint32_t size = 0;
  uint32_t index = 0;
  uint32_t flags = 0;
  uint32_t tileWidth = 0, tileHeight = 0;
  uint32_t columns = 0, rows = 0;
  uint32_t imageWidth = 0, imageHeight = 0;
  uint32_t offsetX = 0, offsetY = 0;
  uint32_t documentWidth = 0, documentHeight = 0;
  uint16_t nameBytes = 0;  // with the terminating zero
  uint16_t version = 0;
};

void maskRecordFields(CByteCursor& c, SMaskWire& r) {
  c.field(r.tag).field(r.size).field(r.index).field(r.flags).field(r.tileWidth).field(r.tileHeight);
  c.field(r.columns).field(r.rows).field(r.imageWidth).field(r.imageHeight).field(r.offsetX).field(r.offsetY);
  c.field(r.documentWidth).field(r.documentHeight).zeros(4).field(r.nameBytes).field(r.version).zeros(16);
}

}  // namespace

FileResult writeMaskChunks(CStream& stream, const CMaskData& mask, int32_t docWidth, int32_t docHeight) {
  const bool withImage = mask.hasImage();
  if (withImage && mask.image->tileEdge() != int32_t(kMaskEdge)) return kRcMaskTileFormat;
  try {
    const size_t nameBytes = storedNameBytes(mask);
    std::vector<uint8_t> record(size_t(kMaskRecordBytes + paddedTo4(nameBytes + 1)), 0);
    SMaskWire w;
    w.size = uint32_t(record.size() - kChunkHeadBytes);
    w.index = uint32_t(std::max(mask.index, 0));
    if (withImage) {
      w.flags = kMaskHasImage;
      w.tileWidth = w.tileHeight = kMaskEdge;
      w.columns = uint32_t(mask.image->columns());
      w.rows = uint32_t(mask.image->rows());
      w.imageWidth = uint32_t(mask.imageWidth());
      w.imageHeight = uint32_t(mask.imageHeight());
    }
    w.offsetX = uint32_t(mask.offsetX);
    w.offsetY = uint32_t(mask.offsetY);
    w.documentWidth = uint32_t(docWidth);
    w.documentHeight = uint32_t(docHeight);
    w.nameBytes = uint16_t(nameBytes + 1);
    if (!writeRecord(record.data(), kMaskRecordBytes, w, maskRecordFields)) return kRcShortWrite;
    std::memcpy(record.data() + kMaskRecordBytes, mask.name.data(), nameBytes);
    if (!stream.writeExact(record.data(), int64_t(record.size()))) return kRcShortWrite;
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
  return withImage ? writeTileBlocks(stream, *mask.image, kMaskTileBlocks) : kRcOk;
}

namespace {

// Reads the record, the name and the tiles into a new mask.
[[nodiscard]] FileResult readMask(CStream& stream, uint32_t size, IProgress& progress, std::unique_ptr<CMaskData>& mask) {
  if (size < kMaskRecordRest) return kRcHeaderSize;
  uint8_t f[kMaskRecordBytes] = {};  // from the head on
  SMaskWire r;
  if (!stream.readExact(f + kChunkHeadBytes, kMaskRecordRest) || !readRecord(f, kMaskRecordBytes, r, maskRecordFields))
    return kRcShortRead;
  if (r.version > 0) return kRcVersion;
  std::string name;
  const uint32_t nameBytes = size - kMaskRecordRest;
  if (const FileResult code = readCountedString(stream, nameBytes, name, nameBytes); code != kRcOk) return code;

  const bool withImage = (r.flags & kMaskHasImage) != 0;
  const uint32_t w = r.imageWidth;
  const uint32_t h = r.imageHeight;
  // Either no image at all, or one of 1..10,000 a side; the tiles follow
  // only for an image.
  const bool noImage = w == 0 && h == 0;
  const bool sized = w >= 1 && h >= 1 && w <= uint32_t(kMaxImageWidth) && h <= uint32_t(kMaxImageHeight);
  if (noImage ? withImage : !sized) return kRcMaskCreate;
  if (withImage) {
    if (r.tileWidth != kMaskEdge || r.tileHeight != kMaskEdge) return kRcMaskTileFormat;
    if (r.columns != tilesFor(w) || r.rows != tilesFor(h)) return kRcMaskTileOutside;
    if (!tileBlocksCanFollow(stream, 0, r.columns, r.rows)) return kRcShortRead;
  }
  mask = CMaskData::createSized(int32_t(r.index), int32_t(w), int32_t(h));
  if (!mask) return kRcMaskCreate;
  mask->offsetX = clampStoredOffset(int32_t(r.offsetX));
  mask->offsetY = clampStoredOffset(int32_t(r.offsetY));
  mask->name = std::move(name);
  progress.setText(formatRes(kResNativeLoadingText, {mask->name}));
  if (withImage) {
    if (const FileResult code = readTileBlocks(stream, *mask->image, kMaskTileBlocks); code != kRcOk) return code;
    mask->image->compact();
  }
  return kRcOk;
}

}  // namespace

FileResult readMaskChunk(CStream& stream, CMaskMngr* masks, uint32_t size, IProgress& progress) {
  FileResult code;
  try {
    std::unique_ptr<CMaskData> mask;
    code = readMask(stream, size, progress, mask);
    if (code == kRcOk && masks == nullptr) code = kRcNoMaskList;
    if (code == kRcOk) {
      (void)masks->updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
      if (masks->count() >= kMaxFileMasks || masks->insertMask(masks->count(), std::move(mask)) < 0)
        code = kRcMaskAdd;
      else
        masks->renumber();
    }
  } catch (const std::bad_alloc&) {
    code = kRcOutOfMemory;
  } catch (...) {
    code = kRcException;
  }
  progress.step(1);
  return code;
}

}  // namespace pg
