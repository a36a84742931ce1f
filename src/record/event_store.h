#pragma once
// The event store: the drawing process of one document as one append-only
// stream of event packets, kept in fixed-size memory segments that are never
// moved. The store knows which bytes are committed (whole events) and which
// belong to the event under way, keeps the start of every committed event in a
// ring so that the document's undo and redo move the end of the recording back
// and forth, and carries the mode that says whether the document is recording.
//
// Every recorder, the replay driver and the file readers and writers reach the
// stream through the operations of this class.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/map_dd.h"
#include "core/ring_buffers.h"
#include "record/packet_walker.h"

namespace pg {

class ByteSink;
class EventOwner;
class CStrokeMngr;
class CPenRender;
class TStroke;
class CToneMngr;

// One segment of the stream.
class CMemSeg {
 public:
  CMemSeg() = default;
  ~CMemSeg() { free(); }
  CMemSeg(const CMemSeg&) = delete;
  CMemSeg& operator=(const CMemSeg&) = delete;

  // Frees any previous block and allocates a zeroed one (contents undefined
  // when not `zeroed`); false when the allocation fails, leaving the segment
  // as it was.
  [[nodiscard]] bool allocate(uint32_t size, bool zeroed = true);
  void free();
  [[nodiscard]] bool isAllocated() const { return block_ != nullptr; }
  // Copy min(count, size - offset) bytes and answer that number; 0 when the
  // segment is unallocated or offset >= size.
  [[nodiscard]] uint32_t copyIn(uint32_t offset, const void* source, uint32_t count);
  [[nodiscard]] uint32_t copyOut(uint32_t offset, void* destination, uint32_t count) const;

  [[nodiscard]] const uint8_t* data() const { return block_.get(); }
  uint32_t size() const { return size_; }
  [[nodiscard]] bool owned() const { return owned_ != 0; }

private:
  std::unique_ptr<uint8_t[]> block_;
  uint32_t size_ = 0;
  uint8_t owned_ = 0;
};

// Freed blocks of the standard segment size are kept (up to 256 MiB) for the
// next segments of any store. The number kept, and giving them all back to the
// system (memory pressure, tests).
size_t cachedSegmentBlocks();
void releaseCachedSegments();

enum class EventMode : uint8_t { Idle = 0, Recording = 1, Replaying = 2, Sealed = 3 };

// A packet header as it lies in the stream.
struct SPacketHeader {
  uint8_t type = 0;
  uint8_t subcode = 0;
  friend bool operator==(const SPacketHeader&, const SPacketHeader&) = default;
};

// Bits of the state byte.
inline constexpr uint8_t kEvStrokeOpen = 1 << 1;        // a recorded stroke is open
inline constexpr uint8_t kEvStepPoints = 1 << 3;        // replay steps point by point
inline constexpr uint8_t kEvPaused = 1 << 4;            // replay paused
inline constexpr uint8_t kEvReplayStarted = 1 << 5;     // replay was started on this stream
inline constexpr uint8_t kEvEndReached = 1 << 6;        // end of stream reached during replay
inline constexpr uint8_t kEvReplayStrokeOpen = 1 << 7;  // a replayed stroke is open

// Bits of the replay flags.
inline constexpr uint8_t kRfStopAtPoints = 1 << 0;
inline constexpr uint8_t kRfLastChunk = 1 << 1;
inline constexpr uint8_t kRfResetStrokeMngr = 1 << 2;

// Cached bit of the current layer and mask item (type-0 subcode 8).
inline constexpr int kCachedLayerMaskBit = 5;

// The cached-state bit of a type-0 subcode; -1 for subcodes without one.
int cachedStateBit(uint8_t subcode);

struct SStateFlags {
  uint32_t cached = 0;  // 24 bits, one per application-state item
  uint8_t state = 0;
  uint8_t replayFlags = 0;
};

class CEventMngr {
 public:
  static constexpr uint32_t kSegmentSize = 65536;
  static constexpr uint32_t kInitialSize = 1048576;
  static constexpr uint8_t kStreamVersion = 43;
  // Resource text of the warning shown when a write raised an exception.
  static constexpr uint32_t kResRecordingException = 65154;

  // The document passes itself, 65,536 and 1,048,576. The owner may be null
  // (the store then fetches no engines).
  explicit CEventMngr(EventOwner* owner, uint32_t segmentSize = kSegmentSize, uint32_t initialSize = kInitialSize);
  ~CEventMngr();
  CEventMngr(const CEventMngr&) = delete;
  CEventMngr& operator=(const CEventMngr&) = delete;

  // --- Set-up ---------------------------------------------------------------
  // Clears the store, sizes the event index (back and forward capacity),
  // fetches the engines from the owner, keeps the shared stroke settings and
  // the tool window's tone set, and appends the first segment.
  [[nodiscard]] bool prepare(TStroke *stroke, CToneMngr *toolTones,
                             int32_t forwardCapacity, int32_t backCapacity);
  // prepare, then recording mode and the version item; false only when the
  // version item cannot be written.
  [[nodiscard]] bool startRecording(TStroke *stroke, CToneMngr *toolTones,
                                    int32_t forwardCapacity,
                                    int32_t backCapacity);
  // Deletes every segment and position, the event index, the cached state and
  // the recorded ids; mode idle.
  void clear();
  // New index capacities keeping its entries (the undo count preference changed).
  [[nodiscard]] bool resizeIndex(int32_t back, int32_t forward);
  void refreshEngines();

  // --- Queries --------------------------------------------------------------
  [[nodiscard]] bool isValid() const { return segmentSize_ > 0; }
  [[nodiscard]] bool hasData() const;
  // Recording mode, and recording not stopped by an exception.
  [[nodiscard]] bool isRecording() const { return mode_ == EventMode::Recording && !stopped_; }
  [[nodiscard]] bool hasEvents() const { return hasData() && isRecording(); }
  // True once a write raised an exception: the store then records nothing
  // more, and the stream ends at the last whole event before the failure.
  [[nodiscard]] bool recordingStopped() const { return stopped_; }
  EventMode mode() const { return mode_; }
  // The replay driver enters replaying (2) and, at the end of the stream, 3.
  void setMode(EventMode mode) { mode_ = mode; }
  uint32_t committedSegments() const;
  [[nodiscard]] bool isStrokeOpen() const { return (state_ & kEvStrokeOpen) != 0; }
  // The cached-state set with the state byte and the replay flags; clears the
  // cached bit of the current layer and mask so that they are recorded again
  // before the next event.
  SStateFlags takeStateFlags();

  uint32_t segmentSize() const { return segmentSize_; }
  size_t segmentCount() const { return segments_.size(); }
  const CMemSeg& segment(size_t index) const { return *segments_[index]; }
  uint32_t allocatedBytes() const { return allocated_; }
  uint32_t writePosition() const { return writePos_; }
  uint32_t committedEnd() const { return committedEnd_; }
  uint32_t committedCount() const { return count_; }
  uint8_t streamVersion() const { return version_; }
  uint16_t reservedWord() const { return reserved_; }
  uint8_t stateByte() const { return state_; }
  void setStateBits(uint8_t bits, bool on) { state_ = on ? uint8_t(state_ | bits) : uint8_t(state_ & ~bits); }
  uint8_t replayFlags() const { return replayFlags_; }
  void setReplayFlags(uint8_t flags) { replayFlags_ = flags; }
  const CRingBufDWORD& eventIndex() const { return index_; }
  [[nodiscard]] EventOwner* owner() const { return owner_; }
  [[nodiscard]] TStroke* strokeSettings() const { return stroke_; }
  [[nodiscard]] CToneMngr* toolTones() const { return toolTones_; }
  [[nodiscard]] CStrokeMngr* strokeManager() const { return strokeMngr_; }
  [[nodiscard]] CPenRender* penRenderer() const { return penRender_; }

  // --- Cached application state ----------------------------------------------
  uint32_t cachedState() const { return cached_; }
  [[nodiscard]] bool isCached(uint8_t subcode) const;
  void setCached(uint8_t subcode);
  void clearCached(uint8_t subcode);
  // Ids of tones (type-0 subcode 36) and nibs (44) that the stream carries.
  CMapDD& recordedToneIds() { return toneIds_; }
  CMapDD& recordedNibIds() { return nibIds_; }

  // --- Byte level -----------------------------------------------------------
  // Writes count bytes (at most one segment) at pos, which may not lie past the
  // write position. Appends a segment first when the write reaches the end of
  // the allocated bytes, so that a write ending on a segment boundary also has
  // the next segment. The write position does not move. Answers the bytes
  // written: 0 for count 0, count above the segment size, or a failure.
  [[nodiscard]] uint32_t writeAt(uint32_t pos, const void* source, uint32_t count);
  // Writes at the write position in pieces of at most one segment, moving the
  // write position after each; stops at the first short piece.
  [[nodiscard]] uint32_t append(const void* source, uint32_t count);
  // Answers count when pos + count lies within the written bytes, else 0.
  [[nodiscard]] uint32_t readBytes(uint32_t pos, void* destination, uint32_t count) const;
  // Reads in pieces of at most one segment; stops at the first short piece.
  [[nodiscard]] uint32_t readRange(uint32_t pos, void* destination, uint32_t count) const;
  // Writes the committed bytes, segment by segment; answers the bytes written.
  [[nodiscard]] uint64_t saveStream(ByteSink& sink) const;
  // Replaces the stream with a loaded one: the segments (at least one, each
  // allocated with this store's segment size) hold `length` bytes from the
  // first on, which become the committed stream of `count` events with the
  // stream version and reserved word. The event index, the cached state, the
  // recorded ids and the state bits start afresh; the mode stays, so that a
  // document that was recording goes on recording after its loaded events.
  // The segments are taken over on success; on false (the index is not ready
  // or the segments do not fit) the store and the segments are as they were.
  [[nodiscard]] bool loadStream(std::vector<std::unique_ptr<CMemSeg>> &segments,
                                uint32_t length, uint32_t count,
                                uint8_t version, uint16_t reserved);
  // The written bytes [0, write position) for walks.
  const PacketSource& source() const { return source_; }

  // --- Packet level ---------------------------------------------------------
  // While not recording: true, nothing written. Otherwise writes the header,
  // the payload, then the data (when its length and pointer are non-zero),
  // uncommitted. A failed write rolls the whole open event back (see
  // rollbackOpenEvent) and answers false; an exception also shows the warning
  // and stops the recording for good.
  [[nodiscard]] bool writePacketOpen(uint8_t type, uint8_t subcode,
                                     uint32_t dataLength, const void *data,
                                     uint32_t payloadSize, const void *payload);
  // writePacketOpen, then commit.
  [[nodiscard]] bool writePacket(uint8_t type, uint8_t subcode,
                                 uint32_t dataLength, const void *data,
                                 uint32_t payloadSize, const void *payload);
  // Everything written since the previous commit becomes one event: its start
  // enters the index (dropping the index's redo entries), the committed end
  // moves to the write position. False only when the index cannot take it.
  [[nodiscard]] bool commit();
  // A type-1 packet (u32 length, then the data), uncommitted.
  [[nodiscard]] bool writeDataPacket(uint8_t subcode, uint32_t length,
                                     const void *data);
  // An application-state item as an uncommitted type-0 packet; its cached bit
  // is set only once the write succeeded (or when nothing is recorded).
  [[nodiscard]] bool writeStatePacket(uint8_t subcode, const void *body,
                                      uint32_t size);
  // The version item (type 0, subcode 0), unless already recorded.
  [[nodiscard]] bool recordVersion();
  // Drops the packets of the event under way: the write position goes back to
  // the committed end, the cached bits of the dropped state items and the ids
  // they recorded are cleared, bytes of undone events that the dropped packets
  // overwrote are put back (so redo still finds them), and an open stroke is
  // closed. Recorders call it when they fail after writing part of an event.
  void rollbackOpenEvent();

  // --- Event undo and redo --------------------------------------------------
  int32_t undoCount() const { return index_.backCount(); }
  int32_t redoCount() const { return index_.forwardCount() > 1 ? index_.forwardCount() - 1 : 0; }
  [[nodiscard]] bool undoEvent();
  [[nodiscard]] bool redoEvent();
  // Drops the index's redo entries; true when there were any.
  [[nodiscard]] bool discardRedo();
  // As undoEvent, but the event is dropped for good.
  [[nodiscard]] bool dropLastEvent();
  // The header of the first packet of the last committed event that is not
  // application state or data; {0, 0} when there is none.
  SPacketHeader firstCommandOfLastEvent() const;

  // --- Sealing --------------------------------------------------------------
  // While recording: writes the committed seal packet (2, 255) and enters
  // mode 3. False when not recording or when the write failed.
  [[nodiscard]] bool seal();
  // In mode 3 with a seal as the last event: drops it and records again.
  [[nodiscard]] bool resume();

  // Tests: called before each segment is allocated with the number of
  // segments held; answer false to make the allocation fail, or throw to
  // stand for an exception inside the write.
  using SegmentAllocHook = std::function<bool(size_t segmentIndex)>;
  void setSegmentAllocHook(SegmentAllocHook hook) { allocHook_ = std::move(hook); }

 private:
  class StoreSource final : public PacketSource {
   public:
    explicit StoreSource(const CEventMngr& store) : store_(store) {}
    [[nodiscard]] bool read(uint64_t pos, void *destination,
                            uint32_t count) const override;

  private:
    const CEventMngr& store_;
  };

  [[nodiscard]] bool appendSegment(); // may throw
  [[nodiscard]] uint32_t writeAtImpl(uint32_t pos, const void* source, uint32_t count);  // may throw
  [[nodiscard]] uint32_t appendImpl(const void* source, uint32_t count);                 // may throw
  void keepRedoBytes(uint32_t pos, uint32_t end);                          // may throw
  void copyFromSegments(uint32_t pos, uint8_t* destination, uint32_t count) const;
  void copyToSegments(uint32_t pos, const uint8_t* source, uint32_t count);
  [[nodiscard]] bool walkDiscarded(uint32_t from, uint32_t to);
  // The tone and nib definitions of a redone range are in the stream again:
  // their ids are known again, so that none is defined a second time. A range
  // that does not walk forgets the cached state instead. False (no id
  // changed) only when an id cannot be kept.
  [[nodiscard]] bool restoreDefinedIds(uint32_t from, uint32_t to);
  void forgetCachedState();
  void dropRedoShadow();
  // Where the newest undone event ends, when events can be redone.
  [[nodiscard]] bool redoEnd(uint32_t &end) const;

  EventOwner* owner_;
  TStroke* stroke_ = nullptr;
  CToneMngr* toolTones_ = nullptr;
  CStrokeMngr* strokeMngr_ = nullptr;
  CPenRender* penRender_ = nullptr;
  CMapDD toneIds_{10};
  CMapDD nibIds_{10};
  EventMode mode_ = EventMode::Idle;
  bool stopped_ = false;
  uint8_t version_ = kStreamVersion;
  uint16_t reserved_ = 0;
  uint32_t segmentSize_;
  std::vector<std::unique_ptr<CMemSeg>> segments_;
  CRingBufDWORD index_;
  uint32_t allocated_ = 0;
  uint32_t writePos_ = 0;
  uint32_t committedEnd_ = 0;
  uint32_t count_ = 0;
  uint32_t cached_ = 0;
  uint8_t state_ = 0;
  uint8_t replayFlags_ = 0;
  // Bytes of undone events overwritten by the event under way, from the
  // committed end on; put back when that event is rolled back.
  std::vector<uint8_t> redoShadow_;
  SegmentAllocHook allocHook_;
  StoreSource source_{*this};
};

}  // namespace pg
