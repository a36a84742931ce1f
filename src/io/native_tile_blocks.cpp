#include "io/native_tile_blocks.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/block_compress.h"
#include "core/block_image.h"
#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "core/mem_utils.h"
#include "core/parallel.h"

namespace pg {

const STileBlockKind kLayerTileBlocks{kTagLayerTiles, 32,          0xFFFFFFFFu,    kRcTileFormat,
                                      kRcNoTiles,     kRcTileEncoding, kRcTileSizes, kRcTileOutside};
const STileBlockKind kMaskTileBlocks{kTagMaskTiles,  64,
                                     0xFFu,          kRcMaskTileFormat,
                                     kRcMaskNoTiles, kRcMaskTileEncoding,
                                     kRcMaskTileSizes, kRcMaskTileOutside};

namespace {

struct BlockFree {
  void operator()(uint8_t* p) const { freeBlock(p); }
};
using WorkBlock = std::unique_ptr<uint8_t, BlockFree>;

WorkBlock workBlock(uint64_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX) return nullptr;
  return WorkBlock(static_cast<uint8_t*>(allocBlock(size_t(bytes))));
}

// The 40-byte head of a tile block ("KBIM" or "KBMK"); the data follows.
struct STileBlockHead {
  uint32_t tag = 0;
  uint32_t size = 0;
  uint32_t tileWidth = 0, tileHeight = 0;
  uint32_t encoding = 0;
  uint32_t tiles = 0;
  uint32_t packed = 0;  // packed bytes (encoding 1)
  uint32_t raw = 0;     // bytes of the tiles, or of the values (encoding 2)
};

void tileBlockHeadFields(CByteCursor& c, STileBlockHead& r) {
  c.field(r.tag).field(r.size).field(r.tileWidth).field(r.tileHeight).field(r.encoding).field(r.tiles);
  c.field(r.packed).field(r.raw).zeros(kTileBlockHeadBytes - 32);
}

void storeBlockHead(uint8_t* head, const STileBlockKind& kind, uint32_t size, uint32_t encoding, uint32_t n,
                    uint32_t packed, uint32_t raw) {
  const STileBlockHead h{kind.tag, size, uint32_t(kind.edge), uint32_t(kind.edge), encoding, n, packed, raw};
  // The buffer holds kTileBlockHeadBytes, exactly what the fields take.
  (void)writeRecord(head, kTileBlockHeadBytes, h, tileBlockHeadFields);
}

// One block to write: a run of tiles [first, first + n), committed (packed)
// or uniform. A packed run's compressed bytes are made before it is written.
struct STileRun {
  int32_t first = 0;
  int32_t n = 0;
  bool packed = false;
  std::vector<uint8_t> bytes;  // packed runs: the compressed tiles
  bool failed = false;         // packed runs: compression failed
};

// Compresses a packed run's tiles, gathered first into raw: the caller's
// buffer for this thread, of the longest run, taken on first use.
void packRun(const CBlockImage& image, STileRun& run, WorkBlock& raw) {
  try {
    if (!raw) raw = workBlock(uint64_t{kMaxPackedRun} * kTileBytes);
    if (!raw) {
      run.failed = true;
      return;
    }
    for (int32_t k = 0; k < run.n; ++k)
      std::memcpy(raw.get() + size_t(k) * kTileBytes, image.tileMemory(image.tileRef(run.first + k)), kTileBytes);
    run.failed = compressToMemory(raw.get(), uint64_t(run.n) * kTileBytes, run.bytes) == 0;
  } catch (const std::bad_alloc&) {
    run.failed = true;
  }
}

// Writes the blocks in one piece each: head, data, padding.
class BlockWriter {
 public:
  BlockWriter(CStream& stream, const STileBlockKind& kind) : stream_(stream), kind_(kind) {}

  // A packed run, its compressed bytes made, as encoding 1.
  FileResult packed(const STileRun& run) {
    if (run.failed) return kRcOutOfMemory;
    const uint64_t p = run.bytes.size();
    const uint64_t body = paddedTo4(p);
    block_.assign(size_t(kTileBlockHeadBytes + body), 0);
    storeBlockHead(block_.data(), kind_, uint32_t(kTileBlockRest + body), kTileEncodingPacked, uint32_t(run.n),
                   uint32_t(p), uint32_t(uint64_t(run.n) * kTileBytes));
    std::memcpy(block_.data() + kTileBlockHeadBytes, run.bytes.data(), size_t(p));
    return flush();
  }

  // Tiles [first, first + n), all uniform, as encoding 2.
  FileResult uniform(const CBlockImage& image, int32_t first, int32_t n) {
    const uint64_t body = uint64_t(n) * 4;
    block_.assign(size_t(kTileBlockHeadBytes + body), 0);
    storeBlockHead(block_.data(), kind_, uint32_t(kTileBlockRest + body), kTileEncodingUniform, uint32_t(n), 0,
                   uint32_t(body));
    for (int32_t k = 0; k < n; ++k)
      putChunkU32(block_.data() + kTileBlockHeadBytes + size_t(k) * 4, image.tileRef(first + k).uniform & kind_.uniformMask);
    return flush();
  }

 private:
  FileResult flush() {
    return stream_.writeExact(block_.data(), int64_t(block_.size())) ? kRcOk : kRcShortWrite;
  }

  CStream& stream_;
  const STileBlockKind& kind_;
  std::vector<uint8_t> block_;
};

// The image's runs in tile order: committed tiles cut at kMaxPackedRun,
// uniform tiles as long as they go.
std::vector<STileRun> tileRuns(const CBlockImage& image) {
  std::vector<STileRun> runs;
  const int32_t count = image.tileCount();
  for (int32_t i = 0; i < count;) {
    int32_t j = i + 1;
    const bool packed = image.tileRef(i).committed();
    if (packed)
      while (j < count && j - i < kMaxPackedRun && image.tileRef(j).committed()) ++j;
    else
      while (j < count && !image.tileRef(j).committed()) ++j;
    STileRun run;
    run.first = i;
    run.n = j - i;
    run.packed = packed;
    runs.push_back(std::move(run));
    i = j;
  }
  return runs;
}

// Runs are compressed this many at a time (on every core), then written in
// order and let go: the memory held stays bounded whatever the image's size.
constexpr size_t kRunsPerBatch = 256;

// The grid position where the next block goes on, and its end.
struct GridCursor {
  int64_t placed = 0;
  int64_t total = 0;
  int64_t left() const { return total - placed; }
};

// Encoding 1: n packed tiles into the image's tiles from the cursor on.
FileResult readPacked(CStream& stream, CBlockImage& image, const STileBlockKind& kind, const STileBlockHead& head,
                   uint32_t body, GridCursor& at) {
  const uint32_t n = head.tiles;
  const uint32_t packedBytes = head.packed;
  const uint64_t rawBytes = head.raw;
  if (n == 0) return kind.rcNoTiles;
  // Writers pack at most kMaxPackedRun tiles a block; more would let a few
  // packed bytes demand a huge buffer.
  if (n > uint32_t(kMaxPackedRun) || rawBytes != uint64_t{n} * kTileBytes || packedBytes < 1 || packedBytes > body)
    return kind.rcSizes;
  if (int64_t{n} > at.left()) return kind.rcOutside;
  if (int64_t{body} > stream.remaining()) return kRcShortRead;
  WorkBlock packed = workBlock(packedBytes);
  WorkBlock raw = workBlock(rawBytes);
  if (!packed || !raw) return kRcOutOfMemory;
  if (!stream.readExact(packed.get(), packedBytes)) return kRcShortRead;
  if (!expandExact(packed.get(), packedBytes, raw.get(), rawBytes)) return kind.rcSizes;
  for (uint32_t k = 0; k < n; ++k) {
    STileRec& t = image.tileRef(int32_t(at.placed + k));
    if (!image.commitTileForOverwrite(t)) return kRcOutOfMemory;
    std::memcpy(image.tileMemory(t), raw.get() + size_t(k) * kTileBytes, kTileBytes);
  }
  at.placed += n;
  return kRcOk;
}

// Encoding 2: one uniform value per tile. A tile that holds pixels takes the
// value as well: it becomes uniform, which shows the same pixels.
FileResult readUniform(CStream& stream, CBlockImage& image, const STileBlockKind& kind, const STileBlockHead& head,
                    uint32_t body, GridCursor& at) {
  const uint32_t n = head.tiles;
  if (n == 0) return kind.rcNoTiles;
  const uint64_t bytes = uint64_t{n} * 4;
  if (bytes > body) return kind.rcSizes;
  if (int64_t{n} > at.left()) return kind.rcOutside;
  if (int64_t{body} > stream.remaining()) return kRcShortRead;
  WorkBlock values = workBlock(bytes);
  if (!values) return kRcOutOfMemory;
  if (!stream.readExact(values.get(), int64_t(bytes))) return kRcShortRead;
  for (uint32_t k = 0; k < n; ++k) {
    STileRec& t = image.tileRef(int32_t(at.placed + k));
    image.decommitTile(t);
    t.uniform = chunkU32(values.get() + size_t(k) * 4) & kind.uniformMask;
  }
  at.placed += n;
  return kRcOk;
}

FileResult readBlock(CStream& stream, CBlockImage& image, const STileBlockKind& kind, GridCursor& at) {
  const int64_t start = stream.position();
  uint8_t bytes[kTileBlockHeadBytes];
  STileBlockHead head;
  if (!stream.readExact(bytes, kTileBlockHeadBytes) ||
      !readRecord(bytes, kTileBlockHeadBytes, head, tileBlockHeadFields))
    return kRcShortRead;
  if (head.tag != kind.tag) return kRcWrongTag;
  if (head.tileWidth != uint32_t(kind.edge) || head.tileHeight != uint32_t(kind.edge)) return kind.rcFormat;
  if (image.tileEdge() != kind.edge) return kind.rcFormat;
  if (head.size < kTileBlockRest) return kind.rcSizes;
  const uint32_t body = head.size - kTileBlockRest;
  FileResult code = kind.rcEncoding;
  switch (head.encoding) {
    case kTileEncodingPacked:
      code = readPacked(stream, image, kind, head, body, at);
      break;
    case kTileEncodingUniform:
      code = readUniform(stream, image, kind, head, body, at);
      break;
    default:
      break;
  }
  if (code != kRcOk) return code;
  // Whatever the data left of the block (its padding) is passed over.
  const int64_t end = start + kChunkHeadBytes + int64_t{head.size};
  return stream.seek(end, SeekOrigin::Begin) == end ? kRcOk : kRcSeekFailed;
}

}  // namespace

FileResult writeTileBlocks(CStream& stream, const CBlockImage& image, const STileBlockKind& kind) {
  if (!image.isValid() || image.tileEdge() != kind.edge || image.tileBytes() != int32_t(kTileBytes))
    return kind.rcFormat;
  try {
    BlockWriter writer(stream, kind);
    std::vector<STileRun> runs = tileRuns(image);
    std::vector<WorkBlock> scratch(static_cast<size_t>(parallelWorkers()));
    for (size_t start = 0; start < runs.size(); start += kRunsPerBatch) {
      const size_t end = std::min(runs.size(), start + kRunsPerBatch);
      // Each run compresses on its own, so the bytes are those of one thread.
      if (!parallelFor(int64_t(end - start), [&](int64_t k, int worker) {
            STileRun& run = runs[start + size_t(k)];
            if (run.packed) packRun(image, run, scratch[size_t(worker)]);
          }))
        return kRcOutOfMemory;
      for (size_t k = start; k < end; ++k) {
        STileRun& run = runs[k];
        const FileResult code = run.packed ? writer.packed(run) : writer.uniform(image, run.first, run.n);
        if (code != kRcOk) return code;
        std::vector<uint8_t>().swap(run.bytes);
      }
    }
    return kRcOk;
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
}

FileResult readTileBlocks(CStream& stream, CBlockImage& image, const STileBlockKind& kind) {
  GridCursor at;
  at.total = image.tileCount();
  while (at.left() > 0)
    if (const FileResult code = readBlock(stream, image, kind, at); code != kRcOk) return code;
  return kRcOk;
}

}  // namespace pg
