#include "record/event_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <exception>
#include <new>
#include <vector>

#include "core/block_compress.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/event_owner.h"
#include "record/packet_catalogue.h"
#include "record/state_items.h"

namespace pg {

// --- CMemSeg -----------------------------------------------------------------

namespace {

// Blocks of the standard segment size that were freed, kept for the next
// segment: memory fresh from the system costs a page fault per page on first
// touch, which made every new segment cost more than the packets written into
// it. The cache holds at most kSegmentCacheBytes; beyond that blocks go back
// to the system.
constexpr size_t kSegmentCacheBytes = size_t{256} << 20;
constexpr size_t kSegmentCacheBlocks = kSegmentCacheBytes / CEventMngr::kSegmentSize;

struct SegmentCache {
  std::mutex lock;
  std::vector<std::unique_ptr<uint8_t[]>> blocks;
};

// Never destroyed, so that segments freed during static destruction still find it.
SegmentCache& segmentCache() {
  static SegmentCache* cache = new SegmentCache;
  return *cache;
}

[[nodiscard]] std::unique_ptr<uint8_t[]> takeCachedBlock(uint32_t size) {
  if (size != CEventMngr::kSegmentSize) return nullptr;
  SegmentCache& cache = segmentCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (cache.blocks.empty()) return nullptr;
  std::unique_ptr<uint8_t[]> block = std::move(cache.blocks.back());
  cache.blocks.pop_back();
  return block;
}

// Takes the block when it fits the cache; otherwise leaves it to its owner.
void cacheBlock(std::unique_ptr<uint8_t[]>& block, uint32_t size) {
  if (!block || size != CEventMngr::kSegmentSize) return;
  SegmentCache& cache = segmentCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (cache.blocks.size() >= kSegmentCacheBlocks) return;
  try {
    cache.blocks.push_back(std::move(block));
  } catch (...) {
    // No room in the list: the block goes back to the system.
  }
}

}  // namespace

size_t cachedSegmentBlocks() {
  SegmentCache& cache = segmentCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return cache.blocks.size();
}

void releaseCachedSegments() {
  SegmentCache& cache = segmentCache();
  std::vector<std::unique_ptr<uint8_t[]>> blocks;
  {
    std::lock_guard<std::mutex> guard(cache.lock);
    blocks.swap(cache.blocks);
  }
}

bool CMemSeg::allocate(uint32_t size, bool zeroed) {
  if (size == 0) return false;
  std::unique_ptr<uint8_t[]> block = takeCachedBlock(size);
  if (block) {
    // A reused block comes back zeroed, as a fresh one does.
    if (zeroed) std::memset(block.get(), 0, size);
  } else {
    block.reset(zeroed ? new (std::nothrow) uint8_t[size]() : new (std::nothrow) uint8_t[size]);
    if (!block) return false;
  }
  free();
  block_ = std::move(block);
  size_ = size;
  owned_ = 1;
  return true;
}

void CMemSeg::free() {
  cacheBlock(block_, size_);
  block_.reset();
  size_ = 0;
  owned_ = 0;
}

uint32_t CMemSeg::copyIn(uint32_t offset, const void* source, uint32_t count) {
  if (!block_ || offset >= size_) return 0;
  uint32_t n = std::min(count, size_ - offset);
  std::memcpy(block_.get() + offset, source, n);
  return n;
}

uint32_t CMemSeg::copyOut(uint32_t offset, void* destination, uint32_t count) const {
  if (!block_ || offset >= size_) return 0;
  uint32_t n = std::min(count, size_ - offset);
  std::memcpy(destination, block_.get() + offset, n);
  return n;
}

// --- Cached-state bits -------------------------------------------------------

int cachedStateBit(uint8_t subcode) {
  switch (subcode) {
    case 0: return 0;
    case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    case 5: return 4;
    case 8: return 5;
    case 12: return 6;
    case 13: return 7;
    case 16: return 8;
    case 17: return 9;
    case 18: return 10;
    case 32: return 11;
    case 33: return 12;
    case 36: case 37: return 13;
    case 40: return 14;
    case 48: return 15;
    case 50: return 16;
    case 52: return 17;
    case 53: return 18;
    case 44: case 45: return 19;
    case 56: return 20;
    case 57: return 21;
    case 58: return 22;
    case 60: return 23;
    default: return -1;
  }
}

// --- Construction and set-up -------------------------------------------------

CEventMngr::CEventMngr(EventOwner* owner, uint32_t segmentSize, uint32_t initialSize)
    : owner_(owner), segmentSize_(segmentSize) {
  if (segmentSize_ > 0) {
    uint64_t segments = (uint64_t(initialSize) + segmentSize_ - 1) / segmentSize_;
    try {
      segments_.reserve(size_t(std::max<uint64_t>(10, segments)));
    } catch (const std::exception&) {
      // Only a capacity hint.
    }
  }
}

CEventMngr::~CEventMngr() = default;

bool CEventMngr::prepare(TStroke* stroke, CToneMngr* toolTones, int32_t forwardCapacity, int32_t backCapacity) {
  if (!isValid()) return false;
  clear();
  if (!index_.allocate(backCapacity, forwardCapacity)) return false;
  refreshEngines();
  stroke_ = stroke;
  toolTones_ = toolTones;
  try {
    return appendSegment();
  } catch (...) {
    return false;
  }
}

bool CEventMngr::startRecording(TStroke* stroke, CToneMngr* toolTones, int32_t forwardCapacity,
                                int32_t backCapacity) {
  if (!prepare(stroke, toolTones, forwardCapacity, backCapacity)) return false;
  mode_ = EventMode::Recording;
  return recordVersion();
}

void CEventMngr::clear() {
  if (!isValid()) return;
  segments_.clear();
  allocated_ = writePos_ = committedEnd_ = count_ = 0;
  index_.reset();
  cached_ = 0;
  state_ = 0;
  replayFlags_ = 0;
  // A new recording on this store must carry its tones and nibs again.
  toneIds_.removeAll();
  nibIds_.removeAll();
  redoShadow_.clear();
  stopped_ = false;
  mode_ = EventMode::Idle;
}

bool CEventMngr::resizeIndex(int32_t back, int32_t forward) { return index_.resize(back, forward); }

void CEventMngr::refreshEngines() {
  if (!owner_) return;
  strokeMngr_ = owner_->eventStrokeManager();
  penRender_ = owner_->eventPenRenderer();
}

// --- Queries -----------------------------------------------------------------

bool CEventMngr::hasData() const {
  return isValid() && index_.isReady() && allocated_ > 0 && !segments_.empty();
}

uint32_t CEventMngr::committedSegments() const {
  if (!isValid()) return 0;
  return uint32_t((uint64_t(committedEnd_) + segmentSize_ - 1) / segmentSize_);
}

SStateFlags CEventMngr::takeStateFlags() {
  SStateFlags flags{cached_, state_, replayFlags_};
  cached_ &= ~(1u << kCachedLayerMaskBit);
  return flags;
}

bool CEventMngr::isCached(uint8_t subcode) const {
  int bit = cachedStateBit(subcode);
  return bit >= 0 && (cached_ & (1u << bit)) != 0;
}

void CEventMngr::setCached(uint8_t subcode) {
  if (int bit = cachedStateBit(subcode); bit >= 0) cached_ |= 1u << bit;
}

void CEventMngr::clearCached(uint8_t subcode) {
  if (int bit = cachedStateBit(subcode); bit >= 0) cached_ &= ~(1u << bit);
}

// --- Byte level --------------------------------------------------------------

bool CEventMngr::appendSegment() {
  if (allocHook_ && !allocHook_(segments_.size())) return false;
  if (uint64_t(allocated_) + segmentSize_ > UINT32_MAX) return false;
  auto segment = std::make_unique<CMemSeg>();
  // Nothing reads a byte of the stream before it was written, so the
  // segment need not be cleared first.
  if (!segment->allocate(segmentSize_, false)) return false;
  segments_.push_back(std::move(segment));
  allocated_ += segmentSize_;
  return true;
}

bool CEventMngr::redoEnd(uint32_t& end) const {
  int32_t forward = index_.forwardCount();
  return forward > 0 && index_.readRelative(forward, end);
}

void CEventMngr::keepRedoBytes(uint32_t pos, uint32_t end) {
  uint32_t limit;
  if (!redoEnd(limit)) return;
  uint64_t kept = uint64_t(committedEnd_) + redoShadow_.size();
  uint64_t from = std::max<uint64_t>(pos, kept);
  uint64_t to = std::min<uint64_t>(end, limit);
  if (from < committedEnd_ || from >= to || to > allocated_) return;
  size_t old = redoShadow_.size();
  redoShadow_.resize(size_t(to - committedEnd_));
  // From the last kept byte on, so that the shadow stays contiguous.
  copyFromSegments(uint32_t(kept), redoShadow_.data() + old, uint32_t(to - kept));
}

namespace {

// Walks count bytes from pos across the segments: move(segment, offset in it,
// bytes done so far) moves what it can there and answers how many; a move of
// nothing ends the walk.
template <class Segments, class Move>
void walkSegments(const Segments& segments, uint32_t segmentSize, uint32_t pos, uint32_t count, Move&& move) {
  uint32_t done = 0;
  while (done < count) {
    uint32_t at = pos + done;
    uint32_t n = move(*segments[at / segmentSize], at % segmentSize, done);
    if (n == 0) break;
    done += n;
  }
}

}  // namespace

void CEventMngr::copyFromSegments(uint32_t pos, uint8_t* destination, uint32_t count) const {
  // The caller keeps pos + count within the allocated bytes.
  walkSegments(segments_, segmentSize_, pos, count, [&](const CMemSeg& seg, uint32_t offset, uint32_t done) {
    return seg.copyOut(offset, destination + done, count - done);
  });
}

void CEventMngr::copyToSegments(uint32_t pos, const uint8_t* source, uint32_t count) {
  walkSegments(segments_, segmentSize_, pos, count, [&](CMemSeg& seg, uint32_t offset, uint32_t done) {
    return seg.copyIn(offset, source + done, count - done);
  });
}

uint32_t CEventMngr::writeAtImpl(uint32_t pos, const void* source, uint32_t count) {
  if (count == 0 || count > segmentSize_ || !source) return 0;
  if (pos > writePos_) return 0;  // never leave a gap
  uint64_t end = uint64_t(pos) + count;
  if (end > UINT32_MAX) return 0;
  while (end >= allocated_) {
    if (!appendSegment()) return 0;
  }
  if (index_.forwardCount() > 0) keepRedoBytes(pos, uint32_t(end));
  uint32_t seg = pos / segmentSize_;
  uint32_t offset = pos % segmentSize_;
  const auto* src = static_cast<const uint8_t*>(source);
  uint32_t first = std::min(count, segmentSize_ - offset);
  uint32_t written = segments_[seg]->copyIn(offset, src, first);
  if (written == first && first < count) written += segments_[seg + 1]->copyIn(0, src + first, count - first);
  return written;
}

uint32_t CEventMngr::appendImpl(const void* source, uint32_t count) {
  const auto* src = static_cast<const uint8_t*>(source);
  uint32_t total = 0;
  while (total < count) {
    uint32_t piece = std::min(count - total, segmentSize_);
    uint32_t n = writeAtImpl(writePos_, src + total, piece);
    writePos_ += n;
    total += n;
    if (n < piece) break;
  }
  return total;
}

uint32_t CEventMngr::writeAt(uint32_t pos, const void* source, uint32_t count) {
  try {
    return writeAtImpl(pos, source, count);
  } catch (...) {
    return 0;
  }
}

uint32_t CEventMngr::append(const void* source, uint32_t count) {
  if (!isValid()) return 0;
  uint32_t start = writePos_;
  try {
    return appendImpl(source, count);
  } catch (...) {
    return writePos_ - start;
  }
}

uint32_t CEventMngr::readBytes(uint32_t pos, void* destination, uint32_t count) const {
  if (count == 0 || !destination || uint64_t(pos) + count > writePos_) return 0;
  auto* dst = static_cast<uint8_t*>(destination);
  uint32_t done = 0;
  while (done < count) {
    uint32_t at = pos + done;
    uint32_t n = segments_[at / segmentSize_]->copyOut(at % segmentSize_, dst + done, count - done);
    if (n == 0) return 0;
    done += n;
  }
  return done;
}

uint32_t CEventMngr::readRange(uint32_t pos, void* destination, uint32_t count) const {
  auto* dst = static_cast<uint8_t*>(destination);
  uint32_t total = 0;
  while (total < count) {
    uint32_t piece = std::min(count - total, segmentSize_);
    uint32_t n = readBytes(pos + total, dst + total, piece);
    total += n;
    if (n < piece) break;
  }
  return total;
}

uint64_t CEventMngr::saveStream(ByteSink& sink) const {
  uint64_t written = 0;
  for (size_t i = 0; i < segments_.size() && written < committedEnd_; ++i) {
    uint32_t n = uint32_t(std::min<uint64_t>(segmentSize_, committedEnd_ - written));
    if (!sink.write(segments_[i]->data(), n)) break;
    written += n;
  }
  return written;
}

bool CEventMngr::loadStream(std::vector<std::unique_ptr<CMemSeg>>& segments, uint32_t length, uint32_t count,
                            uint8_t version, uint16_t reserved) {
  if (!isValid() || !index_.isReady() || segments.empty()) return false;
  const uint64_t allocated = uint64_t(segments.size()) * segmentSize_;
  if (allocated > UINT32_MAX || length > allocated) return false;
  for (const auto& segment : segments)
    if (!segment || !segment->isAllocated() || segment->size() != segmentSize_) return false;
  const EventMode mode = mode_;
  clear();
  mode_ = mode;
  segments_.swap(segments);
  allocated_ = uint32_t(allocated);
  writePos_ = committedEnd_ = length;
  count_ = count;
  version_ = version;
  reserved_ = reserved;
  return true;
}

bool CEventMngr::StoreSource::read(uint64_t pos, void* destination, uint32_t count) const {
  if (count == 0) return pos <= store_.writePos_;
  if (pos > UINT32_MAX) return false;
  return store_.readBytes(uint32_t(pos), destination, count) == count;
}

// --- Packet level ------------------------------------------------------------

bool CEventMngr::writePacketOpen(uint8_t type, uint8_t subcode, uint32_t dataLength, const void* data,
                                 uint32_t payloadSize, const void* payload) {
  if (!isRecording()) return true;
  if (payloadSize > 0 && !payload) return false;
  // The path of every stroke point: the packet fits the current segment,
  // needs no new one and overwrites no undone event.
  const uint64_t total = 2 + uint64_t(payloadSize) + (data ? dataLength : 0);
  const uint32_t offset = writePos_ % segmentSize_;
  if (index_.forwardCount() == 0 && offset + total <= segmentSize_ && writePos_ + total < allocated_) {
    CMemSeg& segment = *segments_[writePos_ / segmentSize_];
    const uint8_t head[2] = {type, subcode};
    // The packet was checked to fit this segment whole: every copy is complete.
    (void)segment.copyIn(offset, head, 2);  // see above
    if (payloadSize > 0) (void)segment.copyIn(offset + 2, payload, payloadSize);  // see above
    if (data && dataLength > 0) (void)segment.copyIn(offset + 2 + payloadSize, data, dataLength);  // see above
    writePos_ += uint32_t(total);
    return true;
  }
  try {
    // Header and a small payload go in one piece.
    uint8_t head[256];
    head[0] = type;
    head[1] = subcode;
    bool ok;
    if (payloadSize <= sizeof head - 2) {
      if (payloadSize > 0) std::memcpy(head + 2, payload, payloadSize);
      ok = appendImpl(head, payloadSize + 2) == payloadSize + 2;
    } else {
      ok = appendImpl(head, 2) == 2 && appendImpl(payload, payloadSize) == payloadSize;
    }
    if (ok && dataLength > 0 && data) ok = appendImpl(data, dataLength) == dataLength;
    if (!ok) {
      rollbackOpenEvent();
      return false;
    }
    return true;
  } catch (...) {
    // Nothing more is recorded for this document: the user is told once, and
    // the stream keeps its last whole event.
    rollbackOpenEvent();
    stopped_ = true;
    showWarning(resString(kResRecordingException));
    return false;
  }
}

bool CEventMngr::writePacket(uint8_t type, uint8_t subcode, uint32_t dataLength, const void* data,
                             uint32_t payloadSize, const void* payload) {
  if (!writePacketOpen(type, subcode, dataLength, data, payloadSize, payload)) return false;
  return commit();
}

bool CEventMngr::commit() {
  if (!isRecording()) return true;
  bool ok = index_.backCount() == 0 && index_.forwardCount() == 0 ? index_.replaceCurrent(committedEnd_)
                                                                   : index_.put(committedEnd_);
  if (!ok) return false;
  ++count_;
  committedEnd_ = writePos_;
  redoShadow_.clear();
  return true;
}

bool CEventMngr::writeDataPacket(uint8_t subcode, uint32_t length, const void* data) {
  uint8_t len[4];
  writeLE32(len, length);
  return writePacketOpen(kPktData, subcode, length, data, 4, len);
}

bool CEventMngr::writeStatePacket(uint8_t subcode, const void* body, uint32_t size) {
  if (!writePacketOpen(kPktState, subcode, 0, nullptr, size, body)) return false;
  setCached(subcode);
  return true;
}

bool CEventMngr::recordVersion() {
  if (isCached(kStateVersion)) return true;
  std::array<uint8_t, 12> body{};
  if (body.size() != stateItemBytes<SVersionItem>() || !writeRecord(body.data(), body.size(), SVersionItem{}, SVersionItem::fields))
    return false;
  return writeStatePacket(kStateVersion, body.data(), uint32_t(body.size()));
}

bool CEventMngr::walkDiscarded(uint32_t from, uint32_t to) {
  bool ok = true;
  SWalkResult walk = walkPackets(source_, from, to, [&](const SPacketInfo& p) {
    if (p.type != kPktState) return true;
    if (p.subcode == kStateFilterImage1 || p.subcode == kStateFilterImage2 || p.subcode == kStateColorRange)
      return true;
    int bit = cachedStateBit(p.subcode);
    if (bit < 0) {
      ok = false;
      return false;
    }
    cached_ &= ~(1u << bit);
    if (p.subcode == kStateTone || p.subcode == kStateNib) {
      uint8_t key[4];
      bool removed = p.bodyLength >= 4 && readBytes(uint32_t(p.bodyOffset()), key, 4) == 4 &&
                     (p.subcode == kStateTone ? toneIds_ : nibIds_).removeKey(readLE32(key));
      if (!removed) {
        ok = false;
        return false;
      }
    }
    return true;
  });
  return ok && walk.wellFormed();
}

bool CEventMngr::restoreDefinedIds(uint32_t from, uint32_t to) {
  struct SDefined {
    CMapDD* ids;
    uint32_t id, at;
  };
  std::vector<SDefined> defined;
  bool ok = true;
  try {
    const SWalkResult walk = walkPackets(source_, from, to, [&](const SPacketInfo& p) {
      if (p.type != kPktState || (p.subcode != kStateTone && p.subcode != kStateNib)) return true;
      uint8_t key[4];
      ok = p.bodyLength >= 4 && readBytes(uint32_t(p.bodyOffset()), key, 4) == 4;
      if (ok) defined.push_back({p.subcode == kStateTone ? &toneIds_ : &nibIds_, readLE32(key), uint32_t(p.offset)});
      return ok;
    });
    if (!ok || !walk.wellFormed()) {
      // Bytes the recorder did not write: as an undo over them does, the
      // cached state is forgotten and the redo goes on.
      forgetCachedState();
      return true;
    }
  } catch (const std::exception&) {
    return false;
  }
  for (size_t i = 0; i < defined.size(); ++i) {
    if (defined[i].ids->setAt(defined[i].id, defined[i].at)) continue;
    for (size_t k = 0; k < i; ++k) (void)defined[k].ids->removeKey(defined[k].id);  // each was set just now
    return false;
  }
  return true;
}

void CEventMngr::forgetCachedState() {
  // When a discarded range cannot be walked, nobody knows which items it
  // recorded: record every item and every id again.
  cached_ = 0;
  toneIds_.removeAll();
  nibIds_.removeAll();
}

void CEventMngr::dropRedoShadow() { redoShadow_.clear(); }

void CEventMngr::rollbackOpenEvent() {
  try {
    if (writePos_ > committedEnd_ && !walkDiscarded(committedEnd_, writePos_)) forgetCachedState();
  } catch (...) {
    forgetCachedState();
  }
  if (!redoShadow_.empty()) {
    copyToSegments(committedEnd_, redoShadow_.data(), uint32_t(redoShadow_.size()));
    redoShadow_.clear();
  }
  writePos_ = committedEnd_;
  state_ &= uint8_t(~kEvStrokeOpen);
}

// --- Event undo and redo -----------------------------------------------------

bool CEventMngr::undoEvent() {
  if (count_ == 0 || index_.backCount() == 0) return false;
  if (writePos_ > committedEnd_) rollbackOpenEvent();
  if (index_.forwardCount() == 0) {
    // Keep the end of the newest event so that redo can return to it.
    if (!index_.put(committedEnd_)) return false;
    (void)index_.stepBack();  // the put just made one step back possible
  }
  uint32_t start = index_.current();
  if (!walkDiscarded(start, committedEnd_)) forgetCachedState();
  (void)index_.stepBack();  // backCount() > 0 was checked above
  writePos_ = committedEnd_ = start;
  --count_;
  return true;
}

bool CEventMngr::redoEvent() {
  if (index_.forwardCount() <= 1) return false;
  if (writePos_ > committedEnd_) rollbackOpenEvent();
  (void)index_.stepForward();  // forwardCount() > 1 was checked above
  uint32_t end;
  if (!index_.readRelative(1, end) || end < committedEnd_ || end > allocated_) {
    (void)index_.stepBack();  // back over the step just taken
    return false;
  }
  const uint32_t start = committedEnd_;
  writePos_ = committedEnd_ = end;
  if (!restoreDefinedIds(start, end)) {
    writePos_ = committedEnd_ = start;
    (void)index_.stepBack();  // the event was put just above: there is one to step back over
    return false;
  }
  ++count_;
  return true;
}

bool CEventMngr::discardRedo() {
  // The undone events are given up, so their overwritten bytes need not come back.
  dropRedoShadow();
  return index_.dropForward() > 0;
}

bool CEventMngr::dropLastEvent() {
  if (count_ == 0 || index_.backCount() == 0) return false;
  if (writePos_ > committedEnd_) rollbackOpenEvent();
  uint32_t start = index_.current();
  if (!walkDiscarded(start, committedEnd_)) forgetCachedState();
  (void)index_.drop();  // backCount() > 0 was checked above
  writePos_ = committedEnd_ = start;
  --count_;
  return true;
}

SPacketHeader CEventMngr::firstCommandOfLastEvent() const {
  SPacketHeader found;
  if (count_ == 0 || index_.backCount() == 0) return found;
  // The walk stops at the first command; a damaged event leaves {0, 0}.
  (void)walkPackets(source_, index_.current(), committedEnd_, [&](const SPacketInfo& p) {
    if (p.type == kPktState || p.type == kPktData) return true;
    found = {p.type, p.subcode};
    return false;
  });
  return found;
}

// --- Sealing -----------------------------------------------------------------

bool CEventMngr::seal() {
  if (!isRecording()) return false;
  if (!writePacket(kPktDocument, kDocSeal, 0, nullptr, 0, nullptr)) return false;
  mode_ = EventMode::Sealed;
  return true;
}

bool CEventMngr::resume() {
  if (mode_ != EventMode::Sealed) return false;
  if (firstCommandOfLastEvent() != SPacketHeader{kPktDocument, kDocSeal}) return false;
  if (!dropLastEvent()) return false;
  mode_ = EventMode::Recording;
  return true;
}

}  // namespace pg
