#include "io/native_mask_chunk.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/block_image.h"
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

}  // namespace

uint8_t writeMaskChunks(CStream& stream, const CMaskData& mask, int32_t docWidth, int32_t docHeight) {
  const bool withImage = mask.hasImage();
  if (withImage && mask.image->tileEdge() != int32_t(kMaskEdge)) return kRcMaskTileFormat;
  try {
    const size_t nameBytes = storedNameBytes(mask);
    std::vector<uint8_t> record(size_t(kMaskRecordBytes + paddedTo4(nameBytes + 1)), 0);
    uint8_t* r = record.data();
    storeChunkHead(r, {kTagMask, uint32_t(record.size() - kChunkHeadBytes)});
    putChunkU32(r + 8, uint32_t(std::max(mask.index, 0)));
    if (withImage) {
      putChunkU32(r + 12, kMaskHasImage);
      putChunkU32(r + 16, kMaskEdge);
      putChunkU32(r + 20, kMaskEdge);
      putChunkU32(r + 24, uint32_t(mask.image->columns()));
      putChunkU32(r + 28, uint32_t(mask.image->rows()));
      putChunkU32(r + 32, uint32_t(mask.imageWidth()));
      putChunkU32(r + 36, uint32_t(mask.imageHeight()));
    }
    putChunkU32(r + 40, uint32_t(mask.offsetX));
    putChunkU32(r + 44, uint32_t(mask.offsetY));
    putChunkU32(r + 48, uint32_t(docWidth));
    putChunkU32(r + 52, uint32_t(docHeight));
    putChunkU16(r + 60, uint16_t(nameBytes + 1));
    std::memcpy(r + kMaskRecordBytes, mask.name.data(), nameBytes);
    if (!stream.writeExact(record.data(), int64_t(record.size()))) return kRcShortWrite;
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
  return withImage ? writeTileBlocks(stream, *mask.image, kMaskTileBlocks) : kRcOk;
}

namespace {

// Reads the record, the name and the tiles into a new mask.
uint8_t readMask(CStream& stream, uint32_t size, IProgress& progress, std::unique_ptr<CMaskData>& mask) {
  if (size < kMaskRecordRest) return kRcHeaderSize;
  uint8_t f[kMaskRecordBytes] = {};  // from the head on, so that offsets are the table's
  if (!stream.readExact(f + kChunkHeadBytes, kMaskRecordRest)) return kRcShortRead;
  if (chunkU16(f + 62) > 0) return kRcVersion;
  std::string name;
  const uint32_t nameBytes = size - kMaskRecordRest;
  if (const uint8_t code = readCountedString(stream, nameBytes, name, nameBytes); code != kRcOk) return code;

  const bool withImage = (chunkU32(f + 12) & kMaskHasImage) != 0;
  const uint32_t w = chunkU32(f + 32);
  const uint32_t h = chunkU32(f + 36);
  // Either no image at all, or one of 1..10,000 a side; the tiles follow
  // only for an image.
  const bool noImage = w == 0 && h == 0;
  const bool sized = w >= 1 && h >= 1 && w <= uint32_t(kMaxImageWidth) && h <= uint32_t(kMaxImageHeight);
  if (noImage ? withImage : !sized) return kRcMaskCreate;
  if (withImage) {
    if (chunkU32(f + 16) != kMaskEdge || chunkU32(f + 20) != kMaskEdge) return kRcMaskTileFormat;
    if (chunkU32(f + 24) != tilesFor(w) || chunkU32(f + 28) != tilesFor(h)) return kRcMaskTileOutside;
  }
  mask = CMaskData::createSized(int32_t(chunkU32(f + 8)), int32_t(w), int32_t(h));
  if (!mask) return kRcMaskCreate;
  mask->offsetX = clampStoredOffset(int32_t(chunkU32(f + 40)));
  mask->offsetY = clampStoredOffset(int32_t(chunkU32(f + 44)));
  mask->name = std::move(name);
  progress.setText(formatRes(kResNativeLoadingText, {mask->name}));
  if (withImage) {
    if (const uint8_t code = readTileBlocks(stream, *mask->image, kMaskTileBlocks); code != kRcOk) return code;
    mask->image->compact();
  }
  return kRcOk;
}

}  // namespace

uint8_t readMaskChunk(CStream& stream, CMaskMngr* masks, uint32_t size, IProgress& progress) {
  uint8_t code;
  try {
    std::unique_ptr<CMaskData> mask;
    code = readMask(stream, size, progress, mask);
    if (code == kRcOk && masks == nullptr) code = kRcNoMaskList;
    if (code == kRcOk) {
      masks->updateMaskThumbnail(*mask);
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
