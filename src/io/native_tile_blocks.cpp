#include "io/native_tile_blocks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "core/block_compress.h"
#include "core/block_image.h"
#include "core/block_pool.h"
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

// Room for the packed bytes of the longest run and their padding.
uint64_t packedRoom() { return paddedTo4(packedBound(uint64_t{kMaxPackedRun} * kTileBytes)); }

}  // namespace

namespace {

// A packed run's whole block: its head and the packed bytes' room.
uint64_t blockBufferBytes() { return uint64_t(kTileBlockHeadBytes) + packedRoom(); }

}  // namespace

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

// The memory of tiles [first, first + n) when it is one piece (the pool
// hands out the blocks of a fresh chunk in address order, so a run of tiles
// committed together usually is), else nullptr: such runs are packed from and
// expanded into the tiles themselves, without a copy through a buffer.
[[nodiscard]] uint8_t* contiguousTiles(const CBlockImage& image, int64_t first, int64_t n) {
  uint8_t* const start = image.tileMemory(image.tileRef(int32_t(first)));
  if (start == nullptr) return nullptr;
  for (int64_t k = 1; k < n; ++k)
    if (image.tileMemory(image.tileRef(int32_t(first + k))) != start + size_t(k) * kTileBytes) return nullptr;
  return start;
}

// The buffers that packed bytes are read into (or blocks made in), taken in
// slabs and handed back for the next block instead of to the allocator: memory handed back to
// the system costs a page-table flush that interrupts every core the process
// runs on, and memory taken anew a fault for every fresh page. A reader of a
// whole file shares one stock between its images (CTileBlockBufferScope).
}  // namespace

class PackedBuffers {
 public:
  // Buffers of the given size, the first slab holding firstSlab of them
  // (a reader starts small: most files hold few packed blocks, and a slab's
  // memory is made present when it is taken).
  explicit PackedBuffers(uint64_t bytes, size_t firstSlab = kSlabBuffers) : bytes_(bytes), firstSlab_(firstSlab) {}

  uint64_t bytes() const { return bytes_; }
  // The memory of one slab.
  static uint64_t slabBytes(uint64_t bytes) { return bytes * kSlabBuffers; }

  // A buffer (contents undefined), or nullptr when no memory could be had.
  uint8_t* take() {
    std::lock_guard<std::mutex> lk(m_);
    if (free_.empty() && !grow()) return nullptr;
    uint8_t* p = free_.back();
    free_.pop_back();
    return p;
  }
  // Gives back a buffer from take(); never fails (room is kept for all).
  void give(uint8_t* p) {
    std::lock_guard<std::mutex> lk(m_);
    free_.push_back(p);
  }

 private:
  // Enough for the blocks a reading pipeline holds at once (kAhead waiting,
  // one a thread being expanded and one being read), in one slab large
  // enough to be made present with large pages.
  static constexpr size_t kSlabBuffers = 80;
  static constexpr size_t kSecondSlab = 16;

 public:
  // The first slab of a reader's stock.
  static constexpr size_t kFirstReadSlab = 4;

 private:
  bool grow() {
    try {
      // A file of a few more blocks takes a small slab next; one that
      // keeps a pipeline full takes the large ones.
      const size_t n = slabs_.empty() ? firstSlab_ : slabs_.size() == 1 ? kSecondSlab : kSlabBuffers;
      free_.reserve(count_ + n);
      slabs_.reserve(slabs_.size() + 1);
      WorkBlock slab = workBlock(bytes_ * n);
      if (!slab) return false;
      // Neither grows past the room reserved above: nothing throws from here.
      for (size_t k = 0; k < n; ++k) free_.push_back(slab.get() + k * bytes_);
      slabs_.push_back(std::move(slab));
      count_ += n;
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  const uint64_t bytes_;
  const size_t firstSlab_;
  std::mutex m_;
  std::vector<uint8_t*> free_;    // guarded by m_; room for count_
  std::vector<WorkBlock> slabs_;  // guarded by m_
  size_t count_ = 0;              // buffers in all slabs (guarded by m_)
};

namespace {

thread_local PackedBuffers* tScopeBuffers = nullptr;
thread_local PackedBuffers* tScopeWriteBuffers = nullptr;

// A block's packed bytes: a buffer of the stock, given back when done with,
// or, for more bytes than a writer makes, a block of its own.
class PackedBytes {
 public:
  PackedBytes() = default;
  PackedBytes(PackedBuffers& stock, uint32_t bytes) {
    if (bytes > stock.bytes()) {
      own_ = workBlock(bytes);
      p_ = own_.get();
    } else {
      p_ = stock.take();
      if (p_ != nullptr) stock_ = &stock;
    }
  }
  PackedBytes(PackedBytes&& o) noexcept
      : stock_(std::exchange(o.stock_, nullptr)), p_(std::exchange(o.p_, nullptr)), own_(std::move(o.own_)) {}
  PackedBytes& operator=(PackedBytes&& o) noexcept {
    if (this != &o) {
      release();
      stock_ = std::exchange(o.stock_, nullptr);
      p_ = std::exchange(o.p_, nullptr);
      own_ = std::move(o.own_);
    }
    return *this;
  }
  PackedBytes(const PackedBytes&) = delete;
  PackedBytes& operator=(const PackedBytes&) = delete;
  ~PackedBytes() { release(); }

  uint8_t* get() const { return p_; }

 private:
  void release() {
    if (stock_ != nullptr) stock_->give(p_);
    stock_ = nullptr;
    p_ = nullptr;
    own_.reset();
  }

  PackedBuffers* stock_ = nullptr;
  uint8_t* p_ = nullptr;
  WorkBlock own_;
};

// One block to write: a run of tiles [first, first + n), committed (packed)
// or uniform. A packed run's block is made before it is written.
struct STileRun {
  int32_t first = 0;
  int32_t n = 0;
  bool packed = false;
  PackedBytes block;        // packed runs: the whole block, head, packed tiles and padding
  uint64_t blockBytes = 0;  // of which this many are made
  bool failed = false;      // packed runs: compression failed
};

// Makes a packed run's block in a buffer of blocks (a head, the packed
// bytes' room): the tiles are packed where they lie when their memory is one
// piece, else gathered first into gather, the caller's buffer for this
// thread (kMaxPackedRun tiles, taken on first use).
void packRun(const CBlockImage& image, const STileBlockKind& kind, STileRun& run, WorkBlock& gather,
             PackedBuffers& blocks) {
  try {
    run.block = PackedBytes(blocks, uint32_t(blocks.bytes()));
    uint8_t* const block = run.block.get();
    if (block == nullptr) {
      run.failed = true;
      return;
    }
    const uint64_t rawBytes = uint64_t(run.n) * kTileBytes;
    const uint64_t room = packedRoom();
    uint8_t* const out = block + kTileBlockHeadBytes;
    const uint8_t* source = contiguousTiles(image, run.first, run.n);
    if (source == nullptr) {
      if (!gather) gather = workBlock(uint64_t{kMaxPackedRun} * kTileBytes);
      if (!gather) {
        run.failed = true;
        return;
      }
      for (int32_t k = 0; k < run.n; ++k)
        std::memcpy(gather.get() + size_t(k) * kTileBytes, image.tileMemory(image.tileRef(run.first + k)), kTileBytes);
      source = gather.get();
    }
    const uint64_t p = compressToMemory(source, rawBytes, out, room);
    if (p == 0) {
      run.failed = true;
      return;
    }
    const uint64_t body = paddedTo4(p);
    std::memset(out + p, 0, size_t(body - p));
    storeBlockHead(block, kind, uint32_t(kTileBlockRest + body), kTileEncodingPacked, uint32_t(run.n), uint32_t(p),
                   uint32_t(rawBytes));
    run.blockBytes = kTileBlockHeadBytes + body;
  } catch (const std::bad_alloc&) {
    run.failed = true;
  }
}

// Writes the blocks in one piece each: head, data, padding.
class BlockWriter {
 public:
  BlockWriter(CStream& stream, const STileBlockKind& kind) : stream_(stream), kind_(kind) {}

  // A packed run, its block made, as encoding 1.
  [[nodiscard]] FileResult packed(const STileRun& run) {
    if (run.failed) return kRcOutOfMemory;
    return stream_.writeExact(run.block.get(), int64_t(run.blockBytes)) ? kRcOk : kRcShortWrite;
  }

  // Tiles [first, first + n), all uniform, as encoding 2.
  [[nodiscard]] FileResult uniform(const CBlockImage& image, int32_t first, int32_t n) {
    const uint64_t body = uint64_t(n) * 4;
    block_.assign(size_t(kTileBlockHeadBytes + body), 0);
    storeBlockHead(block_.data(), kind_, uint32_t(kTileBlockRest + body), kTileEncodingUniform, uint32_t(n), 0,
                   uint32_t(body));
    for (int32_t k = 0; k < n; ++k)
      putChunkU32(block_.data() + kTileBlockHeadBytes + size_t(k) * 4, image.tileRef(first + k).uniform & kind_.uniformMask);
    return stream_.writeExact(block_.data(), int64_t(block_.size())) ? kRcOk : kRcShortWrite;
  }

  const STileBlockKind& kind() const { return kind_; }

 private:
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
  RunPipeline(const CBlockImage& image, std::vector<STileRun>& runs, BlockWriter& writer, PackedBuffers& blocks)
      : image_(image), runs_(runs), writer_(writer), blocks_(blocks), ready_(new std::atomic<bool>[runs.size()]),
        scratch_(static_cast<size_t>(parallelWorkers())) {
    for (size_t k = 0; k < runs_.size(); ++k) ready_[k].store(!runs_[k].packed, std::memory_order_relaxed);
  }

  [[nodiscard]] FileResult run() {
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
    if (run.packed) packRun(image_, writer_.kind(), run, scratch_[size_t(worker)], blocks_);
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
        run.block = PackedBytes();  // back to the stock for the runs still to make
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
  PackedBuffers& blocks_;
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

// Packed blocks expanded into their tiles on every core while the calling
// thread goes on reading the file: each block expands on its own, so the
// pixels are those of one thread. The reader resolves every block's tile
// memory when it hands the block over (the pool's own tables may grow while
// blocks expand; the memory of a committed tile never moves), and expands
// blocks itself once kAhead of them wait, so the memory held stays bounded.
// The packed bytes come in buffers of the stock, which an expanded block
// gives back for the blocks still to read.
class ExpandPipeline {
 public:
  explicit ExpandPipeline(PackedBuffers& stock) : stock_(stock) {}

  // Runs read(pipeline) on the calling thread, which hands blocks over with
  // add(), while the other threads expand them; answers the code of the
  // first block (in file order) that failed to expand, else read's code.
  template <class Read>
  [[nodiscard]] FileResult run(Read&& read) {
    const int workers = parallelWorkers();
    scratch_.resize(size_t(workers));
    // Alone, the reader has no one to hand blocks to: each is expanded as
    // soon as it is read, and no more than one buffer is held.
    ahead_ = workers > 1 ? kAhead : 0;
    FileResult readCode = kRcOk;
    const bool ran = parallelFor(workers, [&](int64_t role, int worker) {
      if (role == 0) {
        try {
          worker_ = worker;
          readCode = read(*this);
        } catch (const std::bad_alloc&) {
          readCode = kRcOutOfMemory;
        }
        finishReading();
      }
      expandUntilDone(worker);
    });
    if (!ran) return kRcOutOfMemory;
    return failed_ < blocksAdded_ ? failCode_ : readCode;
  }

  // Whether a block already failed to expand (reading may stop).
  [[nodiscard]] bool failed() {
    std::lock_guard<std::mutex> lk(m_);
    return failed_ != kNone;
  }

  // A buffer for a block's packed bytes (contents undefined); its get() is
  // null when no memory could be had.
  PackedBytes buffer(uint32_t packedBytes) { return PackedBytes(stock_, packedBytes); }

  // A packed block of n tiles from firstTile on, whose tiles are committed.
  void add(PackedBytes packed, uint32_t packedBytes, const CBlockImage& image, int64_t firstTile, uint32_t n,
           FileResult rcSizes) {
    SPending b{std::move(packed), packedBytes, n, contiguousTiles(image, firstTile, n), {}, blocksAdded_, rcSizes};
    if (b.direct == nullptr)
      for (uint32_t k = 0; k < n; ++k) b.tiles[k] = image.tileMemory(image.tileRef(int32_t(firstTile + k)));
    bool expandHere = false;
    bool wake = false;
    {
      std::lock_guard<std::mutex> lk(m_);
      ++blocksAdded_;
      queue_.push_back(std::move(b));
      expandHere = queue_.size() > ahead_;
      wake = queue_.size() % kWakeEvery == 0;
    }
    if (wake) cv_.notify_one();
    if (expandHere) (void)expandOne(worker_);  // the queue just grew past ahead_: a block waits
  }

 private:
  static constexpr size_t kAhead = 64;
  // A sleeping thread is woken each time this many more blocks wait, not for
  // every block: a thread awake takes blocks until none is left, so one that
  // keeps pace with the reader needs no help, and each wake-up costs the
  // reader a system call and often its processor, handed to the thread it
  // woke. Blocks left waiting at the end are taken when reading finishes.
  static constexpr size_t kWakeEvery = 4;
  static constexpr size_t kNone = SIZE_MAX;

  struct SPending {
    PackedBytes packed;
    uint32_t packedBytes = 0;
    uint32_t n = 0;
    uint8_t* direct = nullptr;                     // the tiles' memory when it is one piece
    uint8_t* tiles[size_t(kMaxPackedRun)] = {};  // else each tile's memory
    size_t index = 0;                              // the block's place in the file
    FileResult rcSizes = kRcOk;
  };

  void finishReading() {
    std::lock_guard<std::mutex> lk(m_);
    reading_ = false;
    cv_.notify_all();
  }

  // Takes the oldest waiting block and expands it; false when none waits.
  [[nodiscard]] bool expandOne(int worker) {
    SPending b;
    {
      std::lock_guard<std::mutex> lk(m_);
      if (queue_.empty()) return false;
      b = std::move(queue_.front());
      queue_.pop_front();
    }
    const bool expanded = expand(b, scratch_[size_t(worker)]);
    b.packed = PackedBytes();  // back to the stock for the next block
    if (!expanded) {
      std::lock_guard<std::mutex> lk(m_);
      if (b.index < failed_) {
        failed_ = b.index;
        failCode_ = b.rcSizes;
      }
    }
    return true;
  }

  void expandUntilDone(int worker) {
    for (;;) {
      if (expandOne(worker)) continue;
      std::unique_lock<std::mutex> lk(m_);
      cv_.wait(lk, [&] { return !queue_.empty() || !reading_; });
      if (queue_.empty() && !reading_) return;
    }
  }

  [[nodiscard]] static bool expand(SPending& b, WorkBlock& raw) {
    const uint64_t rawBytes = uint64_t{b.n} * kTileBytes;
    if (b.direct != nullptr) return expandExact(b.packed.get(), b.packedBytes, b.direct, rawBytes);
    if (!raw) raw = workBlock(uint64_t{kMaxPackedRun} * kTileBytes);
    if (!raw) return false;
    if (!expandExact(b.packed.get(), b.packedBytes, raw.get(), rawBytes)) return false;
    for (uint32_t k = 0; k < b.n; ++k) std::memcpy(b.tiles[k], raw.get() + size_t(k) * kTileBytes, kTileBytes);
    return true;
  }

  PackedBuffers& stock_;
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<SPending> queue_;  // guarded by m_
  bool reading_ = true;         // guarded by m_
  size_t blocksAdded_ = 0;      // written by the reader only (read after the run)
  size_t failed_ = kNone;       // the first block that failed (guarded by m_)
  FileResult failCode_ = kRcOk;
  std::vector<WorkBlock> scratch_;  // one buffer a worker, taken on first need
  size_t ahead_ = kAhead;           // blocks left waiting before the reader expands one itself
  int worker_ = 0;                  // the reader's worker number
};

// Encoding 1: n packed tiles into the image's tiles from the cursor on; the
// tiles are committed here and filled when the pipeline expands the block.
[[nodiscard]] FileResult readPacked(CStream& stream, CBlockImage& image, const STileBlockKind& kind, const STileBlockHead& head,
                   uint32_t body, GridCursor& at, ExpandPipeline& pipeline) {
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
  PackedBytes packed = pipeline.buffer(packedBytes);
  if (packed.get() == nullptr) return kRcOutOfMemory;
  if (!stream.readExact(packed.get(), packedBytes)) return kRcShortRead;
  for (uint32_t k = 0; k < n; ++k) {
    if (image.commitTileForOverwrite(image.tileRef(int32_t(at.placed + k)))) continue;
    // Out of memory: but a block whose data is broken answers that first.
    WorkBlock raw = workBlock(rawBytes);
    if (raw && !expandExact(packed.get(), packedBytes, raw.get(), rawBytes)) return kind.rcSizes;
    return kRcOutOfMemory;
  }
  pipeline.add(std::move(packed), packedBytes, image, at.placed, n, kind.rcSizes);
  at.placed += n;
  return kRcOk;
}

// Encoding 2: one uniform value per tile. A tile that holds pixels takes the
// value as well: it becomes uniform, which shows the same pixels.
[[nodiscard]] FileResult readUniform(CStream& stream, CBlockImage& image, const STileBlockKind& kind, const STileBlockHead& head,
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

[[nodiscard]] FileResult readBlock(CStream& stream, CBlockImage& image, const STileBlockKind& kind, GridCursor& at,
                  ExpandPipeline& pipeline) {
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
      code = readPacked(stream, image, kind, head, body, at, pipeline);
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
    std::unique_ptr<PackedBuffers> own;
    PackedBuffers* blocks = tScopeWriteBuffers;
    if (blocks == nullptr) {
      own = std::make_unique<PackedBuffers>(blockBufferBytes());
      blocks = own.get();
    }
    std::vector<STileRun> runs = tileRuns(image);
    RunPipeline pipeline(image, runs, writer, *blocks);
    return pipeline.run();
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
}

FileResult readTileBlocks(CStream& stream, CBlockImage& image, const STileBlockKind& kind) {
  GridCursor at;
  at.total = image.tileCount();
  // The tiles' fresh pages are cleared by the threads that expand into them,
  // not all by the reader before it hands them over.
  const CTilePoolFirstWriteScope firstWrite;
  std::unique_ptr<PackedBuffers> own;
  PackedBuffers* stock = tScopeBuffers;
  if (stock == nullptr) {
    own = std::make_unique<PackedBuffers>(packedRoom(), PackedBuffers::kFirstReadSlab);
    stock = own.get();
  }
  ExpandPipeline pipeline(*stock);
  return pipeline.run([&](ExpandPipeline& p) {
    while (at.left() > 0 && !p.failed())
      if (const FileResult code = readBlock(stream, image, kind, at, p); code != kRcOk) return code;
    return kRcOk;
  });
}

uint64_t leastTileBlockBytes(int64_t tiles) {
  if (tiles <= 0) return 0;
  const uint64_t blocks = (uint64_t(tiles) + kMaxPackedRun - 1) / kMaxPackedRun;
  return blocks * uint64_t(kTileBlockHeadBytes + 4);
}

bool tileBlocksCanFollow(const CStream& stream, uint64_t skip, uint32_t columns, uint32_t rows) {
  const int64_t left = stream.remaining();
  if (left < 0) return false;
  // Both factors come from a checked record (10,000 pixels a side at most),
  // so neither the product nor the sum can overflow.
  return skip + leastTileBlockBytes(int64_t{columns} * rows) <= uint64_t(left);
}

uint64_t packBufferBytes() { return PackedBuffers::slabBytes(blockBufferBytes()); }

// A stock takes no memory before its first buffer is asked for.
CTileBlockBufferScope::CTileBlockBufferScope()
    : buffers_(new PackedBuffers(packedRoom(), PackedBuffers::kFirstReadSlab)), outer_(tScopeBuffers),
      writeBuffers_(new PackedBuffers(blockBufferBytes())), outerWrite_(tScopeWriteBuffers) {
  tScopeBuffers = buffers_;
  tScopeWriteBuffers = writeBuffers_;
}

CTileBlockBufferScope::~CTileBlockBufferScope() {
  tScopeBuffers = outer_;
  tScopeWriteBuffers = outerWrite_;
  delete buffers_;
  delete writeBuffers_;
}

}  // namespace pg
