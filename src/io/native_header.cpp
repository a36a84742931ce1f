#include "io/native_header.h"

#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "core/limits.h"

namespace pg {

namespace {

// The 56-byte header "KPIM". The writer's version is written as this one's
// and not kept when read.
void nativeHeaderFields(CByteCursor& c, SNativeHeader& h) {
  uint32_t tag = kTagNativeHeader;
  uint32_t rest = kNativeHeaderRest;
  uint16_t writerMajor = kNativeWriterMajor, writerMinor = kNativeWriterMinor;
  c.field(tag).field(rest).field(h.width).field(h.height).field(h.version).field(writerMajor).field(writerMinor);
  c.field(h.flags).field(h.paperColor).field(h.currentLayer).field(h.currentMask).field(h.resolution).zeros(2);
  c.field(h.layerCount).field(h.layerNameCounter).field(h.maskCount).field(h.maskNameCounter).zeros(8);
}

}  // namespace

void storeNativeHeader(uint8_t* bytes, const SNativeHeader& header) {
  // The buffer holds kNativeHeaderBytes, exactly what the fields take.
  (void)writeRecord(bytes, kNativeHeaderBytes, header, nativeHeaderFields);
}

SNativeHeader parseNativeHeader(const uint8_t* bytes) {
  SNativeHeader h;
  // The bytes are the header's own size: its fields fit.
  (void)readRecord(bytes, kNativeHeaderBytes, h, nativeHeaderFields);
  return h;
}

FileResult checkNativeHeader(const uint8_t* bytes) {
  if (const FileResult code = checkChunkHead(parseChunkHead(bytes), kTagNativeHeader, kNativeHeaderRest); code != kRcOk)
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
