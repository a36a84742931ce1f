#include "core/block_compress.h"

#include <zstd.h>

#include <memory>
#include <new>

namespace pg {

namespace {

// Fast enough for tile and event traffic, and still a good ratio on paintings.
constexpr int kLevel = 1;

struct CCtxFree {
  void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
};
struct DCtxFree {
  void operator()(ZSTD_DCtx* d) const { ZSTD_freeDCtx(d); }
};

// One context of each kind per thread, reused from call to call.
ZSTD_CCtx* compressContext() {
  thread_local std::unique_ptr<ZSTD_CCtx, CCtxFree> ctx(ZSTD_createCCtx());
  return ctx.get();
}

ZSTD_DCtx* expandContext() {
  thread_local std::unique_ptr<ZSTD_DCtx, DCtxFree> ctx(ZSTD_createDCtx());
  return ctx.get();
}

// Prepares the context for one frame of the given length; false on failure.
ZSTD_CCtx* startFrame(uint64_t length) {
  ZSTD_CCtx* cctx = compressContext();
  if (!cctx) return nullptr;
  ZSTD_CCtx_reset(cctx, ZSTD_reset_session_and_parameters);
  if (ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, kLevel)) ||
      ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 1)) ||
      ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_contentSizeFlag, 1)) ||
      ZSTD_isError(ZSTD_CCtx_setPledgedSrcSize(cctx, length)))
    return nullptr;
  return cctx;
}

}  // namespace

bool VectorSink::write(const void* data, size_t size) {
  try {
    const auto* p = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), p, p + size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

uint64_t compressToStream(const void* source, uint64_t length, ByteSink& stream) {
  if (!source && length > 0) return 0;
  ZSTD_CCtx* cctx = startFrame(length);
  if (!cctx) return 0;
  uint8_t work[kCompressWorkBytes];
  ZSTD_inBuffer in{source, size_t(length), 0};
  uint64_t produced = 0;
  for (;;) {
    ZSTD_outBuffer out{work, sizeof work, 0};
    size_t left = ZSTD_compressStream2(cctx, &out, &in, ZSTD_e_end);
    if (ZSTD_isError(left)) return 0;
    if (out.pos > 0) {
      if (!stream.write(work, out.pos)) return 0;
      produced += out.pos;
    }
    if (left == 0) return produced;
  }
}

uint64_t compressToMemory(const void* source, uint64_t length, std::vector<uint8_t>& buffer) {
  buffer.clear();
  VectorSink sink(buffer);
  uint64_t produced = compressToStream(source, length, sink);
  if (produced == 0) buffer.clear();
  return produced;
}

uint64_t compressToMemory(const void* source, uint64_t length, void* buffer, uint64_t capacity) {
  if ((!source && length > 0) || !buffer) return 0;
  ZSTD_CCtx* cctx = startFrame(length);
  if (!cctx) return 0;
  size_t produced = ZSTD_compress2(cctx, buffer, size_t(capacity), source, size_t(length));
  return ZSTD_isError(produced) ? 0 : produced;
}

uint64_t packedBound(uint64_t length) { return ZSTD_compressBound(size_t(length)); }

int64_t expandBlock(const void* source, uint64_t sourceLength, void* destination, uint64_t destinationLength) {
  if (!source || sourceLength == 0 || (!destination && destinationLength > 0)) return -1;
  // The frame states its unpacked length; refuse a block that claims more than
  // the destination holds before touching it.
  unsigned long long claimed = ZSTD_getFrameContentSize(source, size_t(sourceLength));
  if (claimed == ZSTD_CONTENTSIZE_ERROR || claimed == ZSTD_CONTENTSIZE_UNKNOWN || claimed > destinationLength)
    return -1;
  ZSTD_DCtx* dctx = expandContext();
  if (!dctx) return -1;
  ZSTD_DCtx_reset(dctx, ZSTD_reset_session_only);
  size_t produced = ZSTD_decompressDCtx(dctx, destination, size_t(destinationLength), source, size_t(sourceLength));
  if (ZSTD_isError(produced) || produced != claimed) return -1;
  return int64_t(produced);
}

bool expandExact(const void* source, uint64_t sourceLength, void* destination, uint64_t destinationLength) {
  return expandBlock(source, sourceLength, destination, destinationLength) == int64_t(destinationLength);
}

}  // namespace pg
