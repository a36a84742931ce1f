#include "record/event_file.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

#include "core/block_compress.h"
#include "core/byte_cursor.h"
#include "core/mem_utils.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/packet_walker.h"

namespace pg {

namespace {

// Resource texts of the progress window.
constexpr uint32_t kResSavingTitle = 65218;   // "%s保存中 (%s)"
constexpr uint32_t kResSavingText = 65219;    // "%sを保存しています..."
constexpr uint32_t kResLoadingTitle = 65220;  // "%sロード中 (%s)"
constexpr uint32_t kResLoadingText = 65221;   // "%sをロードしています..."
constexpr uint32_t kResThumbnailWord = 65265;
constexpr uint32_t kResEventWord = 65266;
constexpr uint32_t kResEventDataWord = 65267;

constexpr uint32_t kHeaderRest = kEventHeaderBytes - kChunkHeadBytes;  // 48
constexpr uint32_t kBlockRest = kEventBlockHeadBytes - kChunkHeadBytes;  // 20
constexpr uint32_t kContainerRest = kEventContainerBytes - kChunkHeadBytes;  // 32

// ---- Records --------------------------------------------------------------------

// The 56-byte header "KEVP" of the packed form.
struct SEventHeader {
  uint32_t tag = kTagEventsPacked;
  uint32_t length = kHeaderRest;
  uint32_t width = 0, height = 0;
  uint16_t version = kEventStreamVersion;
  uint16_t reserved = 0;
  uint16_t writerMajor = kEventWriterMajor, writerMinor = kEventWriterMinor;
  uint32_t count = 0;         // committed events
  uint32_t streamLength = 0;  // committed bytes
  uint32_t blocks = 0;
  uint32_t segmentSize = 0;
};

void eventHeaderFields(CByteCursor& c, SEventHeader& r) {
  c.field(r.tag).field(r.length).field(r.width).field(r.height).field(r.version).field(r.reserved);
  c.field(r.writerMajor).field(r.writerMinor).field(r.count).field(r.streamLength).zeros(8);
  c.field(r.blocks).field(r.segmentSize).zeros(8);
}

// The 40-byte head "KEVS" of the unpacked container; the raw stream follows.
struct SEventContainer {
  uint32_t tag = kTagEventsRaw;
  uint32_t length = 0;
  uint32_t width = 0, height = 0;
  uint8_t version = kEventStreamVersion;
  uint16_t reserved = 0;
  uint16_t writerMajor = kEventWriterMajor, writerMinor = kEventWriterMinor;
  uint32_t count = 0;
  uint32_t streamLength = 0;
};

void eventContainerFields(CByteCursor& c, SEventContainer& r) {
  c.field(r.tag).field(r.length).field(r.width).field(r.height).field(r.version).zeros(1).field(r.reserved);
  c.field(r.writerMajor).field(r.writerMinor).field(r.count).field(r.streamLength).zeros(8);
}

// The 28-byte head "KBEV" of one block: a segment of the stream, packed.
struct SEventBlockHead {
  uint32_t tag = kTagEventBlock;
  uint32_t length = 0;  // kBlockRest + the packed bytes with their padding
  uint32_t offset = 0;  // in the stream
  uint32_t unpacked = 0;
  uint32_t packed = 0;
};

void eventBlockHeadFields(CByteCursor& c, SEventBlockHead& r) {
  c.field(r.tag).field(r.length).field(r.offset).field(r.unpacked).field(r.packed).zeros(8);
}

// A work block from the program's allocator, freed when it goes.
struct BlockFree {
  void operator()(uint8_t* p) const { freeBlock(p); }
};
using WorkBlock = std::unique_ptr<uint8_t, BlockFree>;

WorkBlock workBlock(uint64_t bytes) { return WorkBlock(static_cast<uint8_t*>(allocBlock(size_t(bytes)))); }

using Segments = std::vector<std::unique_ptr<CMemSeg>>;

// The stream being loaded, segment by segment, before it goes to the recorder.
class StagedSource final : public PacketSource {
 public:
  StagedSource(const Segments& segments, uint32_t segmentSize, uint64_t length)
      : segments_(segments), segmentSize_(segmentSize), length_(length) {}

  [[nodiscard]] bool read(uint64_t pos, void* destination, uint32_t count) const override {
    if (pos > length_ || count > length_ - pos) return false;
    auto* dst = static_cast<uint8_t*>(destination);
    uint32_t done = 0;
    while (done < count) {
      const uint64_t at = pos + done;
      uint32_t n = segments_[size_t(at / segmentSize_)]->copyOut(uint32_t(at % segmentSize_), dst + done, count - done);
      if (n == 0) return false;
      done += n;
    }
    return true;
  }

 private:
  const Segments& segments_;
  uint32_t segmentSize_;
  uint64_t length_;
};

class StreamSink final : public ByteSink {
 public:
  explicit StreamSink(CStream& stream) : stream_(stream) {}
  [[nodiscard]] bool write(const void* data, size_t size) override { return stream_.writeExact(data, int64_t(size)); }

 private:
  CStream& stream_;
};

std::string baseName(const std::string& fileName) { return std::filesystem::path(fileName).filename().string(); }

[[nodiscard]] bool fileExists(const std::string& fileName) {
  std::error_code ec;
  return std::filesystem::exists(fileName, ec);
}

// The recorder can take a loaded stream: it was set up with an event index.
[[nodiscard]] bool usableStore(const CEventMngr* store) { return store && store->isValid() && store->eventIndex().isReady(); }


// Appends a fresh segment holding the n bytes; false when it cannot be had.
[[nodiscard]] bool stageSegment(Segments& segments, uint32_t segmentSize, const uint8_t* bytes, uint32_t n) {
  auto segment = std::make_unique<CMemSeg>();
  if (!segment->allocate(segmentSize)) return false;
  if (n > 0 && segment->copyIn(0, bytes, n) != n) return false;
  segments.push_back(std::move(segment));
  return true;
}

// The staged stream must walk whole before it replaces the recorder's.
[[nodiscard]] FileResult adoptStaged(CEventMngr& store, Segments& segments, uint32_t length, uint32_t count, uint8_t version,
                    uint16_t reserved) {
  if (segments.empty() && !stageSegment(segments, store.segmentSize(), nullptr, 0)) return kRcOutOfMemory;
  StagedSource source(segments, store.segmentSize(), length);
  if (!walkPackets(source, 0, length).wellFormed()) return kRcBadEventBlock;
  return store.loadStream(segments, length, count, version, reserved) ? kRcOk : kRcNoRecorder;
}

// Segments a stream of the length needs; 0 for an empty stream.
uint64_t segmentsFor(uint64_t length, uint32_t segmentSize) { return (length + segmentSize - 1) / segmentSize; }

// One "KBEV" block at the position, unpacked and staged as the next segment.
[[nodiscard]] FileResult readBlock(CStream& source, Segments& segments, uint32_t segmentSize, uint64_t done, uint64_t length,
                  uint8_t* unpacked) {
  uint8_t bytes[kEventBlockHeadBytes];
  SEventBlockHead head;
  if (!source.readExact(bytes, kEventBlockHeadBytes) ||
      !readRecord(bytes, kEventBlockHeadBytes, head, eventBlockHeadFields))
    return kRcShortRead;
  if (head.tag != kTagEventBlock) return kRcWrongTag;
  const uint32_t lengthField = head.length;
  const uint32_t offset = head.offset;
  const uint32_t unpackedLength = head.unpacked;
  const uint32_t packedLength = head.packed;
  // Every block is exactly the next segment, and its sizes agree.
  if (lengthField < kBlockRest) return kRcBadEventBlock;
  const uint32_t body = lengthField - kBlockRest;
  if (body != paddedTo4(packedLength) || offset != done ||
      unpackedLength != std::min<uint64_t>(segmentSize, length - done))
    return kRcBadEventBlock;
  if (int64_t{body} > source.remaining()) return kRcShortRead;
  WorkBlock packed = workBlock(std::max<uint32_t>(body, 1));
  if (!packed) return kRcOutOfMemory;
  if (!source.readExact(packed.get(), body)) return kRcShortRead;
  if (expandBlock(packed.get(), packedLength, unpacked, unpackedLength) != int64_t{unpackedLength})
    return kRcUnpackedLength;
  return stageSegment(segments, segmentSize, unpacked, unpackedLength) ? kRcOk : kRcOutOfMemory;
}

// Walks the packets staged so far, from the first one not yet walked whole.
// A packet that runs on past the staged bytes waits for the next block; false
// when the stream cannot be walked, so that a bad stream stops at the first
// block that breaks it instead of being expanded to its declared end.
[[nodiscard]] bool walkStaged(const Segments& segments, uint32_t segmentSize, uint64_t staged, uint64_t length, uint64_t& walked) {
  StagedSource source(segments, segmentSize, staged);
  const SWalkResult walk = walkPackets(source, walked, staged);
  if (walk.wellFormed()) {
    walked = staged;
    return true;
  }
  if (staged == length) return false;
  if (walk.status == WalkStatus::Truncated) {
    walked = walk.offset;
    return true;
  }
  // An unknown packet, or a known one whose length field lies past the staged bytes.
  uint8_t header[2];
  if (walk.status != WalkStatus::UnknownPacket || !source.read(walk.offset, header, 2) ||
      !packetSizeRule(header[0], header[1]).known())
    return false;
  walked = walk.offset;
  return true;
}

// The packed form: the header (its first 40 bytes already read), then blocks.
[[nodiscard]] FileResult readPacked(CStream& source, const SEventChunk& chunk, CEventMngr* store, IProgress& progress) {
  uint8_t bytes[kEventHeaderBytes];
  std::copy(chunk.bytes.begin(), chunk.bytes.end(), bytes);
  SEventHeader header;
  if (!source.readExact(bytes + kEventContainerBytes, kEventHeaderBytes - kEventContainerBytes) ||
      !readRecord(bytes, kEventHeaderBytes, header, eventHeaderFields))
    return kRcShortRead;
  if (header.length != kHeaderRest) return kRcHeaderSize;
  const uint16_t version = header.version;
  if (version > kEventStreamVersion) return kRcVersion;
  if (!usableStore(store)) return kRcNoRecorder;
  const uint32_t blocks = header.blocks;
  if (blocks == 0) return kRcNoEvents;
  const uint32_t segmentSize = store->segmentSize();
  if (header.segmentSize != segmentSize) return kRcSegmentSize;
  const uint32_t length = header.streamLength;
  if (blocks != segmentsFor(length, segmentSize) || blocks > kMaxEventBlocks) return kRcBadEventBlock;
  // Each block takes at least its head and one padded word of packed bytes: a
  // header that declares more blocks than the rest of the source can hold is
  // refused before anything is expanded. That is also the whole bound on
  // expansion: a recording that holds a flat picture packs well over a
  // thousand times, as a made-up stream of zeros does, so no ratio between
  // the two can refuse one and keep the other.
  constexpr uint64_t kSmallestBlock = kEventBlockHeadBytes + 4;
  const uint64_t rest = uint64_t(std::max<int64_t>(source.remaining(), 0));
  if (uint64_t{blocks} * kSmallestBlock > rest) return kRcShortRead;

  WorkBlock unpacked = workBlock(segmentSize);
  if (!unpacked) return kRcOutOfMemory;
  progress.setTotal(blocks, 0);
  Segments segments;
  uint64_t done = 0;
  uint64_t walked = 0;
  while (done < length) {
    const int64_t blockStart = source.position();
    const FileResult code = readBlock(source, segments, segmentSize, done, length, unpacked.get());
    if (code != kRcOk) {
      (void)source.seek(blockStart, SeekOrigin::Begin);  // as far as it goes: the failure is answered anyway
      return code;
    }
    done += std::min<uint64_t>(segmentSize, length - done);
    if (!walkStaged(segments, segmentSize, done, length, walked)) {
      (void)source.seek(blockStart, SeekOrigin::Begin);  // as above
      return kRcBadEventBlock;
    }
    progress.step(1);
  }
  return adoptStaged(*store, segments, length, header.count, uint8_t(version), header.reserved);
}

// The container form: the raw stream follows the 40 bytes already read.
[[nodiscard]] FileResult readContainer(CStream& source, const SEventChunk& chunk, CEventMngr* store) {
  SEventContainer head;
  if (!readRecord(chunk.bytes.data(), chunk.bytes.size(), head, eventContainerFields)) return kRcShortRead;
  const uint8_t version = head.version;
  if (version > kEventStreamVersion) return kRcVersion;
  if (head.reserved != 0) return kRcPictureKind;
  const uint32_t length = head.streamLength;
  if (int64_t{head.length} - int64_t{length} - int64_t{kContainerRest} < 0) return kRcHeaderSize;
  if (!usableStore(store)) return kRcNoRecorder;
  const uint32_t segmentSize = store->segmentSize();
  if (segmentsFor(length, segmentSize) > kMaxEventBlocks) return kRcBadEventBlock;
  if (int64_t{length} > source.remaining()) return kRcStreamShort;

  WorkBlock piece = workBlock(segmentSize);
  if (!piece) return kRcOutOfMemory;
  Segments segments;
  for (uint64_t done = 0; done < length;) {
    const uint32_t n = uint32_t(std::min<uint64_t>(segmentSize, length - done));
    if (!source.readExact(piece.get(), n)) return kRcStreamShort;
    if (!stageSegment(segments, segmentSize, piece.get(), n)) return kRcOutOfMemory;
    done += n;
  }
  // The padding, as far as the source holds it.
  const int64_t chunkEnd = std::min(chunk.start + kChunkHeadBytes + int64_t{chunk.length()}, source.size());
  if (chunkEnd > source.position() && source.seek(chunkEnd, SeekOrigin::Begin) != chunkEnd) return kRcSeekFailed;
  return adoptStaged(*store, segments, length, head.count, version, 0);
}

uint16_t headerVersion(int32_t version) {
  return version >= 0 && version <= kEventStreamVersion ? uint16_t(version) : kEventStreamVersion;
}

uint16_t headerReserved(int32_t reserved) { return reserved >= 0 && reserved <= 0xFFFF ? uint16_t(reserved) : 0; }

}  // namespace

// ---- Writers ------------------------------------------------------------------------

FileResult writeEventBlocks(CStream& sink, const CEventMngr& store, IProgress& progress) {
  return guardedCode([&]() -> FileResult {
    const uint32_t segmentSize = store.segmentSize();
    WorkBlock raw = workBlock(std::max<uint32_t>(segmentSize, 1));
    if (!raw) return kRcOutOfMemory;
    std::vector<uint8_t> packed;
    if (store.segmentCount() == 0 || store.committedEnd() < 1) return kRcNoEvents;
    uint64_t written = 0;
    for (size_t i = 0; i < store.segmentCount() && written < store.committedEnd(); ++i) {
      const CMemSeg& segment = store.segment(i);
      const uint32_t n = uint32_t(std::min<uint64_t>(segment.size(), store.committedEnd() - written));
      if (n > segmentSize) return kRcSegmentSize;
      if (segment.copyOut(0, raw.get(), n) != n) return kRcSegmentCopy;
      const uint64_t p = compressToMemory(raw.get(), n, packed);
      if (p == 0 || p > UINT32_MAX - kBlockRest - 3) return kRcOutOfMemory;
      SEventBlockHead head;
      head.length = uint32_t(kBlockRest + paddedTo4(p));
      head.offset = uint32_t(written);
      head.unpacked = n;
      head.packed = uint32_t(p);
      uint8_t bytes[kEventBlockHeadBytes];
      if (!writeRecord(bytes, kEventBlockHeadBytes, head, eventBlockHeadFields)) return kRcShortWrite;
      if (!sink.writeExact(bytes, kEventBlockHeadBytes) || !sink.writeExact(packed.data(), int64_t(p)) ||
          writeChunkPadding(sink, p) != kRcOk)
        return kRcShortWrite;
      written += n;
      progress.step(1);
    }
    return written == store.committedEnd() ? kRcOk : kRcSegmentCopy;
  });
}

FileResult writeEvents(CStream& sink, const CEventMngr& store, uint32_t width, uint32_t height, IProgress& progress,
                    int32_t reservedWord, int32_t streamVersion) {
  return guardedCode([&]() -> FileResult {
    if (store.committedEnd() == 0 || store.segmentCount() == 0) return kRcNoEvents;
    SEventHeader header;
    header.width = width;
    header.height = height;
    header.version = headerVersion(streamVersion);
    header.reserved = headerReserved(reservedWord);
    header.count = store.committedCount();
    header.streamLength = store.committedEnd();
    header.blocks = store.committedSegments();
    header.segmentSize = store.segmentSize();
    uint8_t bytes[kEventHeaderBytes];
    if (!writeRecord(bytes, kEventHeaderBytes, header, eventHeaderFields)) return kRcShortWrite;
    if (!sink.writeExact(bytes, kEventHeaderBytes)) return kRcShortWrite;
    return writeEventBlocks(sink, store, progress);
  });
}

FileResult writeEventContainer(CStream& sink, const CEventMngr& store, uint32_t width, uint32_t height) {
  return guardedCode([&]() -> FileResult {
    const uint32_t length = store.committedEnd();
    SEventContainer head;
    head.length = uint32_t(paddedTo4(length) + kContainerRest);
    head.width = width;
    head.height = height;
    head.count = store.committedCount();
    head.streamLength = length;
    uint8_t bytes[kEventContainerBytes];
    if (!writeRecord(bytes, kEventContainerBytes, head, eventContainerFields)) return kRcShortWrite;
    if (!sink.writeExact(bytes, kEventContainerBytes)) return kRcShortWrite;
    StreamSink streamSink(sink);
    if (store.saveStream(streamSink) != length) return kRcShortWrite;
    return writeChunkPadding(sink, length);
  });
}

FileResult writeEventsToNative(CStream& sink, const CEventMngr& store, uint32_t width, uint32_t height,
                            IProgress& progress) {
  const int64_t start = sink.position();
  const FileResult code = writeEvents(sink, store, width, height, progress);
  if (code != kRcOk) (void)sink.seek(start, SeekOrigin::Begin);  // as far as it goes: the failure is answered anyway
  return code;
}

SEventSaveResult saveEventFile(const std::string& fileName, EventDocument& document, bool withThumbnail,
                               int32_t reservedWord, int32_t streamVersion, bool packed) {
  SEventSaveResult result;
  CEventMngr* store = document.eventStore();
  if (!store || !store->isRecording()) {
    result.events = kRcNoRecorder;
    return result;
  }
  // An empty recording is refused before anything happens, so that no file
  // is touched for it.
  if (store->committedEnd() == 0) {
    result.events = kRcNoEvents;
    return result;
  }
  document.clearRedoList();
  if (!store->seal()) {
    result.events = kRcOutOfMemory;
    return result;
  }
  result.events = guardedCode([&]() -> FileResult {
    const std::string title = formatRes(kResSavingTitle, {resString(kResEventWord), baseName(fileName)});
    const std::string eventText = formatRes(kResSavingText, {resString(kResEventDataWord)});
    const int64_t total = int64_t{store->committedSegments()} + (withThumbnail ? 1 : 0);
    std::unique_ptr<IProgress> progress = showProgressDlg(
        total, title, withThumbnail ? formatRes(kResSavingText, {resString(kResThumbnailWord)}) : eventText);
    std::unique_ptr<CFileStream> file = CFileStream::open(fileName, CFileStream::Mode::Create);
    if (!file) return kRcCannotCreate;
    if (withThumbnail) {
      // The thumbnail is built apart, so that a failed one leaves nothing of
      // itself in the file; the events are saved all the same.
      CMemoryStream picture;
      result.thumbnail = guardedCode([&] { return document.writeThumbnailChunk(picture); });
      if (result.thumbnail == kRcOk && !file->writeExact(picture.memory(), picture.size()))
        result.thumbnail = kRcShortWrite;
      progress->step(1);
    }
    progress->setText(eventText);
    const uint32_t width = document.eventImageWidth();
    const uint32_t height = document.eventImageHeight();
    FileResult code = packed ? writeEvents(*file, *store, width, height, *progress, reservedWord, streamVersion)
                          : writeEventContainer(*file, *store, width, height);
    if (code == kRcOk && !file->commit()) code = kRcShortWrite;
    if (code != kRcOk) file->discard();
    return code;
  });
  if (!store->resume()) showWarning("Alert: failed to remove EventFin!");
  return result;
}

// ---- Readers ------------------------------------------------------------------------

FileResult locateEvents(CStream& source, SEventChunk& chunk) {
  return guardedCode([&]() -> FileResult {
    chunk.start = source.position();
    if (!source.readExact(chunk.bytes.data(), kEventContainerBytes)) return kRcShortRead;
    if (chunk.tag() == kTagThumbnail) {
      // A thumbnail chunk has at least its 40 bytes of description.
      if (chunk.length() < kContainerRest + kChunkHeadBytes) return kRcHeaderSize;
      const int64_t next = chunk.start + kChunkHeadBytes + int64_t{chunk.length()};
      if (source.seek(next, SeekOrigin::Begin) != next) return kRcShortRead;
      chunk.start = next;
      if (!source.readExact(chunk.bytes.data(), kEventContainerBytes)) return kRcShortRead;
    }
    return chunk.tag() == kTagEventsPacked || chunk.tag() == kTagEventsRaw ? kRcOk : kRcWrongTag;
  });
}

FileResult readEvents(CStream& source, CEventMngr* store, IProgress& progress) {
  return guardedCode([&]() -> FileResult {
    SEventChunk chunk;
    if (const FileResult code = locateEvents(source, chunk); code != kRcOk) return code;
    return chunk.tag() == kTagEventsRaw ? readContainer(source, chunk, store)
                                        : readPacked(source, chunk, store, progress);
  });
}

FileResult readEventsFromNative(CStream& source, CEventMngr* store, IProgress& progress) {
  const int64_t start = source.position();
  const FileResult code = readEvents(source, store, progress);
  if (code != kRcOk) (void)source.seek(start, SeekOrigin::Begin);  // as far as it goes: the failure is answered anyway
  return code;
}

FileResult readEventFile(const std::string& fileName, CEventMngr* store) {
  return guardedCode([&]() -> FileResult {
    if (!fileExists(fileName)) return kRcFileMissing;
    if (!usableStore(store)) return kRcNoRecorder;
    std::unique_ptr<IProgress> progress =
        showProgressDlg(1, formatRes(kResLoadingTitle, {resString(kResEventWord), baseName(fileName)}),
                        formatRes(kResLoadingText, {resString(kResEventDataWord)}));
    std::unique_ptr<CFileStream> file = CFileStream::open(fileName, CFileStream::Mode::Read);
    if (!file) return kRcCannotOpen;
    return readEvents(*file, store, *progress);
  });
}

FileResult readEventFileHeader(const std::string& fileName, const ThumbnailChunkReader& readThumbnail, uint32_t& width,
                            uint32_t& height) {
  return guardedCode([&]() -> FileResult {
    if (!fileExists(fileName)) return kRcFileMissing;
    std::unique_ptr<CFileStream> file = CFileStream::open(fileName, CFileStream::Mode::Read);
    if (!file) return kRcCannotOpen;
    SEventChunk chunk;
    if (const FileResult code = locateEvents(*file, chunk); code != kRcOk) return code;
    width = chunk.width();
    height = chunk.height();
    if (readThumbnail && file->seek(0, SeekOrigin::Begin) == 0) readThumbnail(*file);
    return kRcOk;
  });
}

}  // namespace pg
