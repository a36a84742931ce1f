#include "io/native_tile_blocks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
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

// The runs compressed on every core while the writer puts the finished ones
// into the stream in order (and compresses too whenever the run it waits
// for is not yet taken). Each run compresses on its own, so the bytes are
// those of one thread; at most kRunsAhead runs beyond the last one written
// are taken, so the memory held stays bounded whatever the image's size.
class RunPipeline {
 public:
  RunPipeline(const CBlockImage& image, std::vector<STileRun>& runs, BlockWriter& writer)
      : image_(image), runs_(runs), writer_(writer), ready_(new std::atomic<bool>[runs.size()]),
        scratch_(static_cast<size_t>(parallelWorkers())) {
    for (size_t k = 0; k < runs_.size(); ++k) ready_[k].store(!runs_[k].packed, std::memory_order_relaxed);
  }

  FileResult run() {
    if (runs_.empty()) return kRcOk;
    const bool ran = parallelFor(parallelWorkers(), [&](int64_t role, int worker) {
      if (role == 0) {
        writerRole(worker);
      } else {
        compressorRole(worker);
      }
    });
    return !ran && code_ == kRcOk ? kRcOutOfMemory : code_;
  }

 private:
  static constexpr size_t kRunsAhead = 256;

  void compress(size_t j, int worker) {
    STileRun& run = runs_[j];
    if (run.packed) packRun(image_, run, scratch_[size_t(worker)]);
    ready_[j].store(true, std::memory_order_release);
    { std::lock_guard<std::mutex> lk(m_); }  // a waiter between its test and its wait sees the store
    cv_.notify_all();
  }

  void compressorRole(int worker) {
    const size_t n = runs_.size();
    for (;;) {
      {
        std::unique_lock<std::mutex> lk(m_);
        cv_.wait(lk, [&] { return stop_ || next_.load() >= n || next_.load() < written_ + kRunsAhead; });
        if (stop_) return;
      }
      const size_t j = next_.fetch_add(1);
      if (j >= n) return;
      compress(j, worker);
    }
  }

  void writerRole(int worker) {
    FileResult code = kRcOk;
    try {
      for (size_t k = 0; k < runs_.size() && code == kRcOk; ++k) {
        while (!ready_[k].load(std::memory_order_acquire)) {
          size_t j = next_.load();
          if (j <= k && next_.compare_exchange_strong(j, j + 1)) {
            compress(j, worker);
            continue;
          }
          std::unique_lock<std::mutex> lk(m_);
          cv_.wait(lk, [&] { return ready_[k].load(std::memory_order_acquire); });
        }
        STileRun& run = runs_[k];
        code = run.packed ? writer_.packed(run) : writer_.uniform(image_, run.first, run.n);
        std::vector<uint8_t>().swap(run.bytes);
        std::lock_guard<std::mutex> lk(m_);
        written_ = k + 1;
        cv_.notify_all();
      }
    } catch (const std::bad_alloc&) {
      code = kRcOutOfMemory;
    }
    std::lock_guard<std::mutex> lk(m_);
    code_ = code;
    stop_ = true;
    cv_.notify_all();
  }

  const CBlockImage& image_;
  std::vector<STileRun>& runs_;
  BlockWriter& writer_;
  std::unique_ptr<std::atomic<bool>[]> ready_;
  std::vector<WorkBlock> scratch_;
  std::atomic<size_t> next_{0};  // the next run to take
  std::mutex m_;
  std::condition_variable cv_;
  size_t written_ = 0;  // runs written (guarded by m_)
  bool stop_ = false;   // the writer is done (guarded by m_)
  FileResult code_ = kRcOk;
};

// The grid position where the next block goes on, and its end.
struct GridCursor {
  int64_t placed = 0;
  int64_t total = 0;
  int64_t left() const { return total - placed; }
};

// Packed blocks read and their tiles committed, waiting to be expanded into
// the tiles: each block expands on its own, so a batch of them expands on
// every core with the very pixels of one thread. The pool and the image are
// only read while a batch expands.
class PackedBatch {
 public:
  // Whether the batch should be expanded before more blocks are read.
  bool full() const { return blocks_.size() >= kBlocks || bytes_ >= kBytes; }

  void add(WorkBlock packed, uint32_t packedBytes, int64_t firstTile, uint32_t n) {
    blocks_.push_back({std::move(packed), packedBytes, firstTile, n, kRcOk});
    bytes_ += packedBytes;
  }

  // Expands every block of the batch into its tiles and empties the batch;
  // answers the code of the first block (in file order) that failed.
  FileResult expand(CBlockImage& image, const STileBlockKind& kind) {
    if (blocks_.empty()) return kRcOk;
    // One buffer a thread that the largest block unpacks into.
    uint32_t most = 0;
    for (const SPending& b : blocks_) most = std::max(most, b.n);
    std::vector<WorkBlock> scratch(static_cast<size_t>(std::min<int64_t>(parallelWorkers(), int64_t(blocks_.size()))));
    for (WorkBlock& raw : scratch) {
      raw = workBlock(uint64_t{most} * kTileBytes);
      if (!raw) {
        clear();
        return kRcOutOfMemory;
      }
    }
    const bool ran = parallelFor(int64_t(blocks_.size()), [&](int64_t i, int worker) {
      SPending& b = blocks_[size_t(i)];
      WorkBlock& raw = scratch[size_t(worker)];
      const uint64_t rawBytes = uint64_t{b.n} * kTileBytes;
      if (!expandExact(b.packed.get(), b.packedBytes, raw.get(), rawBytes)) {
        b.code = kind.rcSizes;
        return;
      }
      for (uint32_t k = 0; k < b.n; ++k)
        std::memcpy(image.tileMemory(image.tileRef(int32_t(b.firstTile + k))), raw.get() + size_t(k) * kTileBytes,
                    kTileBytes);
    });
    FileResult code = ran ? kRcOk : kRcOutOfMemory;
    for (const SPending& b : blocks_)
      if (code == kRcOk) code = b.code;
    clear();
    return code;
  }

 private:
  void clear() {
    blocks_.clear();
    bytes_ = 0;
  }

  static constexpr size_t kBlocks = 256;
  static constexpr uint64_t kBytes = 16u << 20;

  struct SPending {
    WorkBlock packed;
    uint32_t packedBytes;
    int64_t firstTile;
    uint32_t n;
    FileResult code;
  };
  std::vector<SPending> blocks_;
  uint64_t bytes_ = 0;
};

// Encoding 1: n packed tiles into the image's tiles from the cursor on; the
// tiles are committed here and filled when the batch expands.
FileResult readPacked(CStream& stream, CBlockImage& image, const STileBlockKind& kind, const STileBlockHead& head,
                   uint32_t body, GridCursor& at, PackedBatch& batch) {
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
  if (!packed) return kRcOutOfMemory;
  if (!stream.readExact(packed.get(), packedBytes)) return kRcShortRead;
  for (uint32_t k = 0; k < n; ++k) {
    if (image.commitTileForOverwrite(image.tileRef(int32_t(at.placed + k)))) continue;
    // Out of memory: but a block whose data is broken answers that first.
    WorkBlock raw = workBlock(rawBytes);
    if (raw && !expandExact(packed.get(), packedBytes, raw.get(), rawBytes)) return kind.rcSizes;
    return kRcOutOfMemory;
  }
  batch.add(std::move(packed), packedBytes, at.placed, n);
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

FileResult readBlock(CStream& stream, CBlockImage& image, const STileBlockKind& kind, GridCursor& at,
                  PackedBatch& batch) {
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
      code = readPacked(stream, image, kind, head, body, at, batch);
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
    RunPipeline pipeline(image, runs, writer);
    return pipeline.run();
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
}

FileResult readTileBlocks(CStream& stream, CBlockImage& image, const STileBlockKind& kind) {
  GridCursor at;
  at.total = image.tileCount();
  PackedBatch batch;
  while (at.left() > 0) {
    if (const FileResult code = readBlock(stream, image, kind, at, batch); code != kRcOk) {
      // A block read before this one that fails to expand is the first fault.
      const FileResult earlier = batch.expand(image, kind);
      return earlier != kRcOk ? earlier : code;
    }
    if (batch.full())
      if (const FileResult code = batch.expand(image, kind); code != kRcOk) return code;
  }
  return batch.expand(image, kind);
}

}  // namespace pg
