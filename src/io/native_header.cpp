#include "io/native_header.h"

#include <algorithm>

#include "core/chunk_head.h"
#include "core/limits.h"

namespace pg {

void storeNativeHeader(uint8_t* bytes, const SNativeHeader& header) {
  std::fill(bytes, bytes + kNativeHeaderBytes, uint8_t{0});
  storeChunkHead(bytes, {kTagNativeHeader, kNativeHeaderRest});
  putChunkU32(bytes + 8, header.width);
  putChunkU32(bytes + 12, header.height);
  putChunkU32(bytes + 16, header.version);
  putChunkU16(bytes + 20, kNativeWriterMajor);
  putChunkU16(bytes + 22, kNativeWriterMinor);
  putChunkU32(bytes + 24, header.flags);
  putChunkU32(bytes + 28, header.paperColor);
  putChunkU16(bytes + 32, header.currentLayer);
  putChunkU16(bytes + 34, header.currentMask);
  putChunkU16(bytes + 36, header.resolution);
  putChunkU16(bytes + 40, header.layerCount);
  putChunkU16(bytes + 42, header.layerNameCounter);
  putChunkU16(bytes + 44, header.maskCount);
  putChunkU16(bytes + 46, header.maskNameCounter);
}

SNativeHeader parseNativeHeader(const uint8_t* bytes) {
  SNativeHeader h;
  h.width = chunkU32(bytes + 8);
  h.height = chunkU32(bytes + 12);
  h.version = chunkU32(bytes + 16);
  h.flags = chunkU32(bytes + 24);
  h.paperColor = chunkU32(bytes + 28);
  h.currentLayer = chunkU16(bytes + 32);
  h.currentMask = chunkU16(bytes + 34);
  h.resolution = chunkU16(bytes + 36);
  h.layerCount = chunkU16(bytes + 40);
  h.layerNameCounter = chunkU16(bytes + 42);
  h.maskCount = chunkU16(bytes + 44);
  h.maskNameCounter = chunkU16(bytes + 46);
  return h;
}

uint8_t checkNativeHeader(const uint8_t* bytes) {
  if (const uint8_t code = checkChunkHead(parseChunkHead(bytes), kTagNativeHeader, kNativeHeaderRest); code != kRcOk)
    return code;
  const SNativeHeader h = parseNativeHeader(bytes);
  if (h.version > kNativeFormatVersion) return kRcVersion;
  // A document has at least one pixel a side: an empty size is as unusable
  // as one above the limit.
  if (h.width < 1 || h.height < 1 || h.width > uint32_t(kMaxImageWidth) || h.height > uint32_t(kMaxImageHeight))
    return kRcTooLarge;
  return kRcOk;
}

}  // namespace pg
