#include "record/event_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/block_compress.h"
#include "core/mem_utils.h"
#include "platform/message_service.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// ---- Streams -------------------------------------------------------------------

Bytes randomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& v : b) v = uint8_t(rng());
  return b;
}

// A recorder that records, with its version item written.
struct Recorder {
  CEventMngr store{nullptr};
  Recorder() { EXPECT_TRUE(store.startRecording(nullptr, nullptr, 40, 40)); }

  // One event: a data packet of n bytes, then a committing layer command.
  void addEvent(uint32_t n, uint32_t seed = 1) {
    const Bytes data = randomBytes(n, seed);
    const uint8_t body[4] = {uint8_t(seed), 0, 0, 0};
    ASSERT_TRUE(store.writeDataPacket(5, n, n ? data.data() : nullptr));
    ASSERT_TRUE(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
  }
};

// An event's bytes on top of the version item: 6 + n + 6.
constexpr uint32_t kVersionItem = 14;
constexpr uint32_t eventBytes(uint32_t n) { return 6 + n + 6; }

Bytes committed(const CEventMngr& store) {
  Bytes b(store.committedEnd());
  if (!b.empty()) {
    EXPECT_EQ(store.readRange(0, b.data(), uint32_t(b.size())), b.size());
  }
  return b;
}

Bytes written(const CEventMngr& store) {
  Bytes b(store.writePosition());
  if (!b.empty()) {
    EXPECT_EQ(store.readRange(0, b.data(), uint32_t(b.size())), b.size());
  }
  return b;
}

// Everything a reader may not change when it fails.
struct StoreState {
  Bytes bytes;
  uint32_t writePos, committedEnd, count;
  uint8_t version;
  uint16_t reserved;
  EventMode mode;
  explicit StoreState(const CEventMngr& s)
      : bytes(written(s)),
        writePos(s.writePosition()),
        committedEnd(s.committedEnd()),
        count(s.committedCount()),
        version(s.streamVersion()),
        reserved(s.reservedWord()),
        mode(s.mode()) {}
  bool operator==(const StoreState&) const = default;
};

Bytes packedFile(const CEventMngr& store, int32_t reserved = -1, int32_t version = -1) {
  CMemoryStream out;
  EXPECT_EQ(writeEvents(out, store, 640, 480, nullProgress(), reserved, version), kRcOk);
  return out.bytes();
}

Bytes containerFile(const CEventMngr& store) {
  CMemoryStream out;
  EXPECT_EQ(writeEventContainer(out, store, 640, 480), kRcOk);
  return out.bytes();
}

FileResult readBytes(const Bytes& file, CEventMngr* store, int64_t* endPosition = nullptr) {
  CFixedMemStream in(file.data(), int64_t(file.size()));
  FileResult code = readEvents(in, store, nullProgress());
  if (endPosition) *endPosition = in.position();
  return code;
}

uint32_t u32At(const Bytes& b, size_t at) { return chunkU32(b.data() + at); }
void setU32(Bytes& b, size_t at, uint32_t v) { putChunkU32(b.data() + at, v); }
void setU16(Bytes& b, size_t at, uint16_t v) { putChunkU16(b.data() + at, v); }

struct BlockInfo {
  size_t at;
  uint32_t lengthField, offset, unpacked, packed;
};

// The blocks of a packed file without a thumbnail.
std::vector<BlockInfo> blocksOf(const Bytes& file) {
  std::vector<BlockInfo> blocks;
  size_t at = kEventHeaderBytes;
  while (at + kEventBlockHeadBytes <= file.size()) {
    EXPECT_EQ(u32At(file, at), kTagEventBlock);
    BlockInfo b{at, u32At(file, at + 4), u32At(file, at + 8), u32At(file, at + 12), u32At(file, at + 16)};
    blocks.push_back(b);
    at += 8 + b.lengthField;
  }
  EXPECT_EQ(at, file.size());
  return blocks;
}

// A thumbnail chunk as the reader meets it: head, 40 bytes of description, data.
Bytes fakeThumbnail() {
  Bytes t(48 + 12, 0x5A);
  putChunkU32(t.data(), kTagThumbnail);
  putChunkU32(t.data() + 4, 40 + 12);
  return t;
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---- Round trips -------------------------------------------------------------------

TEST(EventFile, RoundTripAcrossSegmentBoundaries) {
  Recorder source;
  // Packets straddle the 64 KB boundaries, data packets larger than a segment included.
  for (uint32_t i = 0; i < 20; ++i) source.addEvent(9000 + i * 7, i + 1);
  source.addEvent(70000, 99);
  source.addEvent(0, 100);
  ASSERT_GT(source.store.committedEnd(), 3u * 65536);
  const Bytes file = packedFile(source.store, 9, 41);

  EXPECT_EQ(u32At(file, 0), kTagEventsPacked);
  EXPECT_EQ(u32At(file, 4), 48u);
  EXPECT_EQ(u32At(file, 8), 640u);
  EXPECT_EQ(u32At(file, 12), 480u);
  EXPECT_EQ(chunkU16(file.data() + 16), 41);
  EXPECT_EQ(chunkU16(file.data() + 18), 9);
  EXPECT_EQ(chunkU16(file.data() + 20), 4);
  EXPECT_EQ(chunkU16(file.data() + 22), 58);
  EXPECT_EQ(u32At(file, 24), source.store.committedCount());
  EXPECT_EQ(u32At(file, 28), source.store.committedEnd());
  EXPECT_EQ(u32At(file, 40), source.store.committedSegments());
  EXPECT_EQ(u32At(file, 44), 65536u);
  EXPECT_EQ(Bytes(file.begin() + 32, file.begin() + 40), Bytes(8, 0));
  EXPECT_EQ(Bytes(file.begin() + 48, file.begin() + 56), Bytes(8, 0));
  const auto blocks = blocksOf(file);
  ASSERT_EQ(blocks.size(), source.store.committedSegments());
  for (size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(blocks[i].offset, i * 65536u);
    EXPECT_EQ(blocks[i].lengthField, 20 + paddedTo4(blocks[i].packed));
  }

  Recorder target;
  target.addEvent(10);  // replaced by the file's stream
  int64_t end = 0;
  ASSERT_EQ(readBytes(file, &target.store, &end), kRcOk);
  EXPECT_EQ(end, int64_t(file.size()));
  EXPECT_EQ(committed(target.store), committed(source.store));
  EXPECT_EQ(target.store.writePosition(), source.store.committedEnd());
  EXPECT_EQ(target.store.committedCount(), source.store.committedCount());
  EXPECT_EQ(target.store.streamVersion(), 41);
  EXPECT_EQ(target.store.reservedWord(), 9);
  EXPECT_EQ(target.store.undoCount(), 0);  // loaded events are not undone
  EXPECT_TRUE(target.store.isRecording());

  // Recording goes on after the loaded events.
  target.addEvent(20, 7);
  EXPECT_EQ(target.store.committedEnd(), source.store.committedEnd() + eventBytes(20));
  EXPECT_TRUE(walkPackets(target.store.source(), 0, target.store.writePosition()).wellFormed());
}

TEST(EventFile, OneBlockPerSegmentAtTheEdges) {
  struct Case {
    uint32_t length;
    std::vector<uint32_t> unpacked;
  };
  const Case cases[] = {
      {65535, {65535}},
      {65536, {65536}},
      {65537, {65536, 1}},
      {3 * 65536, {65536, 65536, 65536}},
  };
  for (const Case& c : cases) {
    Recorder source;
    source.addEvent(c.length - kVersionItem - eventBytes(0));
    ASSERT_EQ(source.store.committedEnd(), c.length);
    const Bytes file = packedFile(source.store);
    std::vector<uint32_t> unpacked;
    for (const BlockInfo& b : blocksOf(file)) unpacked.push_back(b.unpacked);
    EXPECT_EQ(unpacked, c.unpacked) << c.length;
    EXPECT_EQ(u32At(file, 40), c.unpacked.size());

    Recorder target;
    ASSERT_EQ(readBytes(file, &target.store), kRcOk) << c.length;
    EXPECT_EQ(committed(target.store), committed(source.store)) << c.length;
    // A loaded stream that fills its last segment still takes the next packet.
    target.addEvent(3, 3);
    EXPECT_EQ(target.store.committedEnd(), c.length + eventBytes(3));
  }
}

TEST(EventFile, PackedLengthIsPaddedToFourBytes) {
  // Search for a stream whose one block packs to 4,097 bytes.
  uint32_t found = 0;
  for (uint32_t n = 3900; n < 4300 && !found; ++n) {
    Recorder probe;
    probe.addEvent(n, 77);
    std::vector<uint8_t> packed;
    const Bytes stream = committed(probe.store);
    if (compressToMemory(stream.data(), stream.size(), packed) == 4097) found = n;
  }
  ASSERT_NE(found, 0u);
  Recorder source;
  source.addEvent(found, 77);
  const Bytes file = packedFile(source.store);
  const auto blocks = blocksOf(file);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].packed, 4097u);
  EXPECT_EQ(blocks[0].lengthField, 4120u);
  EXPECT_EQ(Bytes(file.end() - 3, file.end()), Bytes(3, 0));
  Recorder target;
  EXPECT_EQ(readBytes(file, &target.store), kRcOk);
  EXPECT_EQ(committed(target.store), committed(source.store));
}

TEST(EventFile, ThumbnailBeforeTheHeaderIsSkipped) {
  Recorder source;
  source.addEvent(100);
  const Bytes plain = packedFile(source.store);
  const Bytes withThumbnail = concat(fakeThumbnail(), plain);
  Recorder a, b;
  ASSERT_EQ(readBytes(plain, &a.store), kRcOk);
  ASSERT_EQ(readBytes(withThumbnail, &b.store), kRcOk);
  EXPECT_EQ(StoreState(a.store), StoreState(b.store));
}

TEST(EventFile, NothingCommittedIsNotWritten) {
  Recorder source;  // the version item is still open
  CMemoryStream out;
  EXPECT_EQ(writeEvents(out, source.store, 1, 1, nullProgress()), kRcNoEvents);
  EXPECT_EQ(writeEventsToNative(out, source.store, 1, 1, nullProgress()), kRcNoEvents);
  EXPECT_EQ(out.size(), 0);
}

TEST(EventFile, ShortWritesAreReported) {
  Recorder source;
  source.addEvent(5000);
  const size_t full = packedFile(source.store).size();
  for (size_t room : {size_t(0), size_t(30), size_t(56 + 10), full - 1}) {
    Bytes block(room + 1);
    CFixedMemStream sink(static_cast<void*>(block.data()), int64_t(room));
    EXPECT_EQ(writeEvents(sink, source.store, 1, 1, nullProgress()), kRcShortWrite) << room;
  }
  Bytes block(41);
  CFixedMemStream sink(static_cast<void*>(block.data()), 41);
  EXPECT_EQ(writeEventContainer(sink, source.store, 1, 1), kRcShortWrite);
}

TEST(EventFile, ContainerRoundTrip) {
  Recorder source;
  source.addEvent(70001, 5);
  source.addEvent(3, 6);  // the stream length is not a multiple of 4
  const Bytes file = containerFile(source.store);
  const uint32_t length = source.store.committedEnd();
  ASSERT_NE(length % 4, 0u);
  EXPECT_EQ(u32At(file, 0), kTagEventsRaw);
  EXPECT_EQ(u32At(file, 4), paddedTo4(length) + 32);
  EXPECT_EQ(file[16], 43);
  EXPECT_EQ(file[17], 0);
  EXPECT_EQ(chunkU16(file.data() + 18), 0);
  EXPECT_EQ(chunkU16(file.data() + 20), 4);
  EXPECT_EQ(chunkU16(file.data() + 22), 58);
  EXPECT_EQ(u32At(file, 24), source.store.committedCount());
  EXPECT_EQ(u32At(file, 28), length);
  EXPECT_EQ(file.size(), 40 + paddedTo4(length));

  // Inside a native file, between other chunks.
  const Bytes before(12, 0xEE);
  const Bytes native = concat(concat(before, file), {'K', 'L', 'Y', 'R'});
  CFixedMemStream in(native.data(), int64_t(native.size()));
  ASSERT_EQ(in.seek(12, SeekOrigin::Begin), 12);
  Recorder target;
  ASSERT_EQ(readEventsFromNative(in, &target.store, nullProgress()), kRcOk);
  EXPECT_EQ(in.position(), int64_t(12 + file.size()));
  EXPECT_EQ(committed(target.store), committed(source.store));
  EXPECT_EQ(target.store.committedCount(), source.store.committedCount());
  EXPECT_EQ(target.store.streamVersion(), 43);

  // An empty recording travels as an empty container.
  Recorder empty;
  const Bytes emptyFile = containerFile(empty.store);
  EXPECT_EQ(emptyFile.size(), 40u);
  ASSERT_EQ(readBytes(emptyFile, &target.store), kRcOk);
  EXPECT_EQ(target.store.writePosition(), 0u);
  EXPECT_TRUE(target.store.hasData());
}

TEST(EventFile, ModeStaysAsItWasBeforeLoading) {
  Recorder source;
  source.addEvent(10);
  const Bytes file = packedFile(source.store);
  for (EventMode mode : {EventMode::Idle, EventMode::Recording, EventMode::Replaying, EventMode::Sealed}) {
    Recorder target;
    target.store.setMode(mode);
    ASSERT_EQ(readBytes(file, &target.store), kRcOk);
    EXPECT_EQ(target.store.mode(), mode);
  }
}

// ---- Reader errors -------------------------------------------------------------------

struct BadFile {
  const char* name;
  Bytes file;
  FileResult code;
};

// A stream that does not walk: a packet type the catalogue does not know.
Bytes unknownPacketContainer() {
  Bytes f(40, 0);
  putChunkU32(f.data(), kTagEventsRaw);
  putChunkU32(f.data() + 4, 32 + 4);
  f[16] = 43;
  putChunkU32(f.data() + 28, 4);
  f.insert(f.end(), {0x63, 0, 0, 0});
  return f;
}

std::vector<BadFile> badFiles() {
  Recorder source;
  source.addEvent(70000, 3);
  source.addEvent(100, 4);
  const Bytes good = packedFile(source.store);
  const Bytes container = containerFile(source.store);
  const auto blocks = blocksOf(good);
  const size_t second = blocks[1].at;
  std::vector<BadFile> cases;
  auto with = [&](const char* name, const Bytes& base, auto change, FileResult code) {
    Bytes f = base;
    change(f);
    cases.push_back({name, f, code});
  };
  auto none = [](Bytes&) {};

  cases.push_back({"empty", {}, kRcShortRead});
  cases.push_back({"cut in the first 40 bytes", Bytes(good.begin(), good.begin() + 39), kRcShortRead});
  cases.push_back({"cut in the header", Bytes(good.begin(), good.begin() + 50), kRcShortRead});
  cases.push_back({"cut in a block head", Bytes(good.begin(), good.begin() + second + 10), kRcShortRead});
  cases.push_back({"cut in packed data", Bytes(good.begin(), good.end() - 5), kRcShortRead});
  cases.push_back({"thumbnail, then nothing", fakeThumbnail(), kRcShortRead});
  // The header's version is refused before any block is read.
  with("version 44", Bytes(good.begin(), good.begin() + 56), [](Bytes& f) { setU16(f, 16, 44); }, kRcVersion);
  with("container version 44", container, [](Bytes& f) { f[16] = 44; }, kRcVersion);
  with("container reserved word 1", container, [](Bytes& f) { setU16(f, 18, 1); }, kRcPictureKind);
  with("foreign tag", good, [](Bytes& f) { f[3] = 'X'; }, kRcWrongTag);
  with("foreign block tag", good, [&](Bytes& f) { f[second] = 'X'; }, kRcWrongTag);
  cases.push_back({"thumbnail, then a foreign chunk", concat(fakeThumbnail(), Bytes(40, 'Q')), kRcWrongTag});
  with("header length 40", good, [](Bytes& f) { setU32(f, 4, 40); }, kRcHeaderSize);
  with("container shorter than its stream", container,
       [&](Bytes& f) { setU32(f, 4, 32 + source.store.committedEnd() - 1); }, kRcHeaderSize);
  with("container length field below 32", container, [](Bytes& f) { setU32(f, 4, 8); }, kRcHeaderSize);
  {
    Bytes t = fakeThumbnail();
    setU32(t, 4, 20);
    cases.push_back({"thumbnail chunk too small", concat(t, good), kRcHeaderSize});
  }
  with("container stream cut", Bytes(container.begin(), container.end() - 20), none, kRcStreamShort);
  with("no blocks", good, [](Bytes& f) { setU32(f, 40, 0); }, kRcNoEvents);
  with("other segment size", good, [](Bytes& f) { setU32(f, 44, 32768); }, kRcSegmentSize);
  with("corrupt packed data", good, [&](Bytes& f) { f[second + 28 + 6] ^= 0x55; }, kRcUnpackedLength);
  {
    // A block that claims a full segment but packs fewer bytes.
    Bytes f(good.begin(), good.begin() + second);
    const Bytes few(100, 0);
    std::vector<uint8_t> packed;
    const uint64_t p = compressToMemory(few.data(), few.size(), packed);
    Bytes head(28, 0);
    putChunkU32(head.data(), kTagEventBlock);
    putChunkU32(head.data() + 4, uint32_t(20 + paddedTo4(p)));
    putChunkU32(head.data() + 8, 65536);
    putChunkU32(head.data() + 12, blocks[1].unpacked);
    putChunkU32(head.data() + 16, uint32_t(p));
    f = concat(concat(f, head), packed);
    f.resize(f.size() + paddedTo4(p) - p, 0);
    cases.push_back({"block unpacks short", f, kRcUnpackedLength});
  }
  with("block count above the stream's", good, [](Bytes& f) { setU32(f, 40, 3); }, kRcBadEventBlock);
  with("block count of 4 GB", good, [](Bytes& f) { setU32(f, 40, 0xFFFFFFFFu); }, kRcBadEventBlock);
  with("stream of 4 GB", good, [](Bytes& f) {
    setU32(f, 28, 0xFFFFFFFFu);
    setU32(f, 40, 65536);
  }, kRcBadEventBlock);
  with("block at the wrong offset", good, [&](Bytes& f) { setU32(f, second + 8, 65535); }, kRcBadEventBlock);
  with("block unpacked length other than the segment's", good, [&](Bytes& f) { setU32(f, 28, 65536 + 50); },
       kRcBadEventBlock);
  with("block length field below 20", good, [&](Bytes& f) { setU32(f, second + 4, 4); }, kRcBadEventBlock);
  with("packed length past the block", good, [&](Bytes& f) { setU32(f, second + 16, blocks[1].packed + 4); },
       kRcBadEventBlock);
  cases.push_back({"stream that does not walk", unknownPacketContainer(), kRcBadEventBlock});
  {
    // A whole packed file around the same unwalkable stream.
    Bytes stream = {0x63, 0, 0, 0};
    std::vector<uint8_t> packed;
    const uint64_t p = compressToMemory(stream.data(), stream.size(), packed);
    Bytes f(56, 0);
    putChunkU32(f.data(), kTagEventsPacked);
    putChunkU32(f.data() + 4, 48);
    putChunkU32(f.data() + 28, 4);
    putChunkU32(f.data() + 40, 1);
    putChunkU32(f.data() + 44, 65536);
    Bytes head(28, 0);
    putChunkU32(head.data(), kTagEventBlock);
    putChunkU32(head.data() + 4, uint32_t(20 + paddedTo4(p)));
    putChunkU32(head.data() + 12, 4);
    putChunkU32(head.data() + 16, uint32_t(p));
    f = concat(concat(f, head), packed);
    f.resize(f.size() + paddedTo4(p) - p, 0);
    cases.push_back({"packed stream that does not walk", f, kRcBadEventBlock});
  }
  return cases;
}

TEST(EventFileReader, EveryErrorLeavesTheRecorderAsItWas) {
  for (const BadFile& c : badFiles()) {
    Recorder target;
    target.addEvent(300, 8);
    ASSERT_TRUE(target.store.undoEvent());  // with an undone event to redo
    const StoreState before(target.store);
    CFixedMemStream in(c.file.data(), int64_t(c.file.size()));
    EXPECT_EQ(readEventsFromNative(in, &target.store, nullProgress()), c.code) << c.name;
    EXPECT_EQ(in.position(), 0) << c.name;
    EXPECT_TRUE(StoreState(target.store) == before) << c.name;
    EXPECT_EQ(target.store.redoCount(), 1) << c.name;
  }
}

TEST(EventFileReader, RecorderThatCannotTakeTheStream) {
  Recorder source;
  source.addEvent(10);
  for (const Bytes& file : {packedFile(source.store), containerFile(source.store)}) {
    EXPECT_EQ(readBytes(file, nullptr), kRcNoRecorder);
    CEventMngr unprepared(nullptr);  // never set up: no event index
    EXPECT_EQ(readBytes(file, &unprepared), kRcNoRecorder);
  }
}

TEST(EventFileReader, WorkBufferThatCannotBeHad) {
  Recorder source;
  source.addEvent(10);
  const Bytes file = packedFile(source.store);
  Recorder target;
  const StoreState before(target.store);
  AllocFailHook previous = setAllocFailHook([](size_t) { return true; });
  EXPECT_EQ(readBytes(file, &target.store), kRcOutOfMemory);
  setAllocFailHook(previous);
  EXPECT_TRUE(StoreState(target.store) == before);
}

// A packed file whose header declares a stream of `length` bytes and which
// holds the given segments, each packed as one block.
Bytes packedFileOf(uint32_t length, const std::vector<Bytes>& segments) {
  Bytes f(56, 0);
  putChunkU32(f.data(), kTagEventsPacked);
  putChunkU32(f.data() + 4, 48);
  putChunkU32(f.data() + 28, length);
  putChunkU32(f.data() + 40, uint32_t((uint64_t{length} + 65535) / 65536));
  putChunkU32(f.data() + 44, 65536);
  uint32_t offset = 0;
  for (const Bytes& segment : segments) {
    std::vector<uint8_t> packed;
    const uint64_t p = compressToMemory(segment.data(), segment.size(), packed);
    Bytes head(28, 0);
    putChunkU32(head.data(), kTagEventBlock);
    putChunkU32(head.data() + 4, uint32_t(20 + paddedTo4(p)));
    putChunkU32(head.data() + 8, offset);
    putChunkU32(head.data() + 12, uint32_t(segment.size()));
    putChunkU32(head.data() + 16, uint32_t(p));
    f = concat(concat(f, head), packed);
    f.resize(f.size() + paddedTo4(p) - p, 0);
    offset += uint32_t(segment.size());
  }
  return f;
}

// Counts the work blocks a read takes: one for unpacking, one per packed block read.
struct WorkBlockCounter {
  int count = 0;
  AllocFailHook previous;
  WorkBlockCounter() {
    previous = setAllocFailHook([this](size_t) {
      ++count;
      return false;
    });
  }
  ~WorkBlockCounter() { setAllocFailHook(previous); }
};

TEST(EventFileReader, ABombIsRefusedBeforeItsBlocksAreExpanded) {
  // Segments of one unknown packet type pack to a few bytes each.
  const Bytes unwalkable(65536, 0x63);
  struct Case {
    const char* name;
    Bytes file;
    FileResult code;
    int mostWorkBlocks;
  };
  const Case cases[] = {
      // A header that declares 4 GB in a file that holds 200 tiny blocks:
      // the declared blocks cannot fit in what is left of the file.
      {"declares more blocks than the file can hold", packedFileOf(65535u * 65536u, std::vector<Bytes>(200, unwalkable)),
       kRcShortRead, 1},
      // Every block is there, but the stream breaks in the first one.
      {"stream breaks in its first block", packedFileOf(200u * 65536u, std::vector<Bytes>(200, unwalkable)),
       kRcBadEventBlock, 2},
  };
  for (const Case& c : cases) {
    Recorder target;
    const StoreState before(target.store);
    WorkBlockCounter blocks;
    CFixedMemStream in(c.file.data(), int64_t(c.file.size()));
    EXPECT_EQ(readEventsFromNative(in, &target.store, nullProgress()), c.code) << c.name;
    EXPECT_LE(blocks.count, c.mostWorkBlocks) << c.name;
    EXPECT_EQ(in.position(), 0) << c.name;
    EXPECT_TRUE(StoreState(target.store) == before) << c.name;
  }
}

TEST(EventFileReader, AFlatPicturePacksFarAndStillReads) {
  // A recording that holds a picture of one colour (a document opened from a
  // flat image) packs each segment to a few bytes, over a thousand times: it
  // is what the recorder wrote and must open again.
  Recorder source;
  const Bytes flat(200u * 65536u, 0x7F);
  const uint8_t body[4] = {};
  ASSERT_TRUE(source.store.writeDataPacket(5, uint32_t(flat.size()), flat.data()));
  ASSERT_TRUE(source.store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
  const Bytes file = packedFile(source.store);
  ASSERT_LT(file.size() * 1000, flat.size());
  Recorder target;
  EXPECT_EQ(readBytes(file, &target.store), kRcOk);
  EXPECT_EQ(committed(target.store), committed(source.store));
}

TEST(EventFileReader, AStreamWhosePacketsCrossBlocksIsReadWhole) {
  // One data packet longer than two segments: the walk of each block must
  // wait for the packet's end in a later block.
  Recorder source;
  source.addEvent(140000, 5);
  source.addEvent(10, 6);
  const Bytes file = packedFile(source.store);
  ASSERT_EQ(blocksOf(file).size(), 3u);
  Recorder target;
  EXPECT_EQ(readBytes(file, &target.store), kRcOk);
  EXPECT_EQ(committed(target.store), committed(source.store));
}

// ---- Files and the save routine ----------------------------------------------------

class RecordingProgress final : public IProgress {
 public:
  struct Log {
    std::string title, text;
    int64_t total = 0, steps = 0;
  };
  explicit RecordingProgress(Log& log) : log_(log) {}
  void setCaption(const std::string&) override {}
  void setTitle(const std::string& t) override { log_.title = t; }
  void setText(const std::string& t) override { log_.text = t; }
  void setTotal(int64_t total, int64_t) override { log_.total = total; }
  void step(int64_t n) override { log_.steps += n; }
  void setPosition(int64_t) override {}

 private:
  Log& log_;
};

class RecordingProgressService final : public ProgressService {
 public:
  std::unique_ptr<IProgress> showProgress(int64_t total, const std::string& title,
                                          const std::string& message) override {
    logs.push_back({title, message, total, 0});
    return std::make_unique<RecordingProgress>(logs.back());
  }
  std::vector<RecordingProgress::Log> logs;  // reserved so that pointers hold
  RecordingProgressService() { logs.reserve(16); }
};

class FakeDocument final : public EventDocument {
 public:
  CEventMngr* eventStore() override { return store; }
  uint32_t eventImageWidth() const override { return 800; }
  uint32_t eventImageHeight() const override { return 600; }
  void clearRedoList() override {
    ++redoCleared;
    if (store) (void)store->discardRedo();  // none to drop is fine
  }
  FileResult writeThumbnailChunk(CStream& stream) override {
    if (thumbnailCode != kRcOk) {
      stream.write("KTNL", 4);  // a partial chunk that must not reach the file
      return thumbnailCode;
    }
    const Bytes t = fakeThumbnail();
    return stream.writeExact(t.data(), int64_t(t.size())) ? kRcOk : kRcShortWrite;
  }

  CEventMngr* store = nullptr;
  FileResult thumbnailCode = kRcOk;
  int redoCleared = 0;
};

class EventFileSave : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("pg_event_file_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    document.store = &recorder.store;
    previousProgress = setProgressService(&progress);
  }
  void TearDown() override {
    setProgressService(previousProgress);
    fs::remove_all(dir);
  }
  std::string path(const char* name) const { return (dir / name).string(); }
  static Bytes fileBytes(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  size_t filesInDir() const { return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

  fs::path dir;
  Recorder recorder;
  FakeDocument document;
  RecordingProgressService progress;
  ProgressService* previousProgress = nullptr;
  RecordingMessageService messages;
  ScopedMessageService installMessages{messages};
};

TEST_F(EventFileSave, SavesSealedAndGoesOnRecording) {
  recorder.addEvent(80000, 1);
  recorder.addEvent(10, 2);
  recorder.addEvent(10, 3);
  ASSERT_TRUE(recorder.store.undoEvent());
  const Bytes before = committed(recorder.store);
  const std::string file = path("rec.ke4");

  SEventSaveResult r = saveEventFile(file, document, true);
  EXPECT_TRUE(r.complete());
  EXPECT_EQ(document.redoCleared, 1);
  EXPECT_TRUE(recorder.store.isRecording());
  EXPECT_EQ(committed(recorder.store), before);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(filesInDir(), 1u);  // no temporary left behind

  const Bytes saved = fileBytes(file);
  const Bytes thumb = fakeThumbnail();
  ASSERT_GT(saved.size(), thumb.size() + 56);
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + thumb.size()), thumb);
  EXPECT_EQ(u32At(saved, thumb.size() + 8), 800u);
  EXPECT_EQ(chunkU16(saved.data() + thumb.size() + 16), 43);
  EXPECT_EQ(chunkU16(saved.data() + thumb.size() + 18), 0);

  ASSERT_EQ(progress.logs.size(), 1u);
  EXPECT_EQ(progress.logs[0].title, "イベント保存中 (rec.ke4)");
  EXPECT_EQ(progress.logs[0].text, "イベントデータを保存しています...");
  EXPECT_EQ(progress.logs[0].total, 2 + 1);
  EXPECT_EQ(progress.logs[0].steps, 3);

  // The saved stream is the sealed one.
  Recorder target;
  EXPECT_EQ(readEventFile(file, &target.store), kRcOk);
  Bytes sealed = before;
  sealed.insert(sealed.end(), {kPktDocument, kDocSeal});
  EXPECT_EQ(committed(target.store), sealed);
  EXPECT_EQ(target.store.committedCount(), recorder.store.committedCount() + 1);
  ASSERT_EQ(progress.logs.size(), 2u);
  EXPECT_EQ(progress.logs[1].title, "イベントロード中 (rec.ke4)");
  EXPECT_EQ(progress.logs[1].text, "イベントデータをロードしています...");
  EXPECT_EQ(progress.logs[1].total, 2);
  EXPECT_EQ(progress.logs[1].steps, 2);

  uint32_t w = 0, h = 0;
  int64_t thumbnailAt = -1;
  EXPECT_EQ(readEventFileHeader(file, [&](CStream& s) { thumbnailAt = s.position(); }, w, h), kRcOk);
  EXPECT_EQ(w, 800u);
  EXPECT_EQ(h, 600u);
  EXPECT_EQ(thumbnailAt, 0);
}

TEST_F(EventFileSave, CallersReservedWordAndVersion) {
  recorder.addEvent(10);
  const std::string file = path("batch.ke4");
  ASSERT_TRUE(saveEventFile(file, document, false, 513, 30).complete());
  const Bytes saved = fileBytes(file);
  EXPECT_EQ(u32At(saved, 0), kTagEventsPacked);
  EXPECT_EQ(chunkU16(saved.data() + 16), 30);
  EXPECT_EQ(chunkU16(saved.data() + 18), 513);
  Recorder target;
  ASSERT_EQ(readEventFile(file, &target.store), kRcOk);
  EXPECT_EQ(target.store.streamVersion(), 30);
  EXPECT_EQ(target.store.reservedWord(), 513);

  // Values out of range stand for none given.
  ASSERT_TRUE(saveEventFile(file, document, false, 70000, 44).complete());
  const Bytes again = fileBytes(file);
  EXPECT_EQ(chunkU16(again.data() + 16), 43);
  EXPECT_EQ(chunkU16(again.data() + 18), 0);
}

TEST_F(EventFileSave, ContainerForm) {
  recorder.addEvent(10);
  const std::string file = path("rec.ke4");
  ASSERT_TRUE(saveEventFile(file, document, false, -1, -1, false).complete());
  const Bytes saved = fileBytes(file);
  EXPECT_EQ(u32At(saved, 0), kTagEventsRaw);
  Recorder target;
  EXPECT_EQ(readEventFile(file, &target.store), kRcOk);
  Bytes sealed = committed(recorder.store);
  sealed.insert(sealed.end(), {kPktDocument, kDocSeal});
  EXPECT_EQ(committed(target.store), sealed);
}

TEST_F(EventFileSave, FailedThumbnailLeavesNothingOfItself) {
  recorder.addEvent(10);
  document.thumbnailCode = kRcOutOfMemory;
  const std::string file = path("rec.ke4");
  SEventSaveResult r = saveEventFile(file, document, true);
  EXPECT_TRUE(r.saved());
  EXPECT_FALSE(r.complete());
  EXPECT_EQ(r.thumbnail, kRcOutOfMemory);
  EXPECT_EQ(u32At(fileBytes(file), 0), kTagEventsPacked);
}

TEST_F(EventFileSave, FailedSaveKeepsTheOldFile) {
  const std::string file = path("rec.ke4");
  { std::ofstream(file, std::ios::binary) << "an older recording"; }
  // Nothing committed: the version item is still open. Nothing is sealed or
  // written then.
  SEventSaveResult r = saveEventFile(file, document, true);
  EXPECT_EQ(r.events, kRcNoEvents);
  EXPECT_FALSE(r.saved());
  EXPECT_EQ(fileBytes(file), Bytes({'a', 'n', ' ', 'o', 'l', 'd', 'e', 'r', ' ', 'r', 'e', 'c', 'o', 'r', 'd', 'i',
                                    'n', 'g'}));
  EXPECT_EQ(filesInDir(), 1u);
  EXPECT_TRUE(recorder.store.isRecording());
  EXPECT_EQ(recorder.store.committedEnd(), 0u);

  recorder.addEvent(10);
  EXPECT_EQ(saveEventFile(path("missing/rec.ke4"), document, false).events, kRcCannotCreate);
  EXPECT_TRUE(recorder.store.isRecording());
}

TEST_F(EventFileSave, OnlyWhileRecording) {
  recorder.addEvent(10);
  recorder.store.setMode(EventMode::Replaying);
  EXPECT_EQ(saveEventFile(path("rec.ke4"), document, false).events, kRcNoRecorder);
  document.store = nullptr;
  EXPECT_EQ(saveEventFile(path("rec.ke4"), document, false).events, kRcNoRecorder);
  EXPECT_EQ(filesInDir(), 0u);
}

TEST_F(EventFileSave, FileErrors) {
  Recorder target;
  EXPECT_EQ(readEventFile(path("none.ke4"), &target.store), kRcFileMissing);
  EXPECT_EQ(readEventFile(dir.string(), &target.store), kRcCannotOpen);
  uint32_t w = 0, h = 0;
  EXPECT_EQ(readEventFileHeader(path("none.ke4"), {}, w, h), kRcFileMissing);
  EXPECT_EQ(readEventFileHeader(dir.string(), {}, w, h), kRcCannotOpen);
  { std::ofstream(path("short.ke4"), std::ios::binary) << "KEVP"; }
  EXPECT_EQ(readEventFileHeader(path("short.ke4"), {}, w, h), kRcShortRead);
  EXPECT_EQ(readEventFile(path("short.ke4"), &target.store), kRcShortRead);
}

// ---- Progress ----------------------------------------------------------------------

TEST(ProgressCounter, PercentOfTheTotal) {
  struct Case {
    int64_t total;
    int64_t position;
    int percent;
  };
  const Case cases[] = {
      {0, 1, 100},  // a total of 0 counts as 1
      {3, 1, 33},  {3, 2, 66},  {3, 3, 100}, {3, 7, 100},
      {1, 0, 0},   {int64_t(1) << 62, int64_t(1) << 61, 50},
      {10, -5, 0},
  };
  for (const Case& c : cases) {
    CProgressCounter p;
    p.setTotal(c.total, 0);
    p.step(c.position);
    EXPECT_EQ(p.percent(), c.percent) << c.total << " " << c.position;
    EXPECT_GE(p.total(), 1);
  }
}

TEST(ProgressCounter, WithoutAServiceNothingIsShown) {
  ProgressService* previous = setProgressService(nullptr);
  auto p = showProgressDlg(5, "title", "text");
  ASSERT_NE(p, nullptr);
  p->step(3);
  p->setText("more");
  setProgressService(previous);
}

}  // namespace
}  // namespace pg
