#include "core/chunk_head.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/mem_utils.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;

void appendU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// A chunk: tag, size, then the body.
void appendChunk(Bytes& b, const char (&tag)[5], const Bytes& body) {
  b.insert(b.end(), tag, tag + 4);
  appendU32(b, uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
}

TEST(ChunkHead, TagIsTheLittleEndianValueOfItsFileBytes) {
  EXPECT_EQ(chunkTag("KLYR"), 0x52594C4Bu);
  const uint8_t bytes[8] = {'K', 'E', 'V', 'P', 48, 0, 0, 0};
  SChunkHead head = parseChunkHead(bytes);
  EXPECT_EQ(head.tag, kTagEventsPacked);
  EXPECT_EQ(head.size, 48u);
  uint8_t back[8];
  storeChunkHead(back, head);
  EXPECT_EQ(Bytes(back, back + 8), Bytes(bytes, bytes + 8));
}

// Messages show these numbers and the fuzz corpora and recordings were made
// with them, so a renumbering must fail here rather than in a user's report.
TEST(FileResult, NumbersAreTheOnesMessagesShow) {
  struct Case {
    FileResult result;
    int number;
  };
  const Case cases[] = {
      {kRcOk, 0},           {kRcOutOfMemory, 1},     {kRcException, 3},     {kRcFileMissing, 4},
      {kRcShortWrite, 8},   {kRcShortRead, 9},       {kRcVersion, 12},      {kRcWrongTag, 16},
      {kRcHeaderSize, 17},  {kRcTileOutside, 26},    {kRcMaskAdd, 35},      {kRcBadEventBlock, 39},
      {kRcItemRefused, 48}, {kRcPaletteWrite, 64},
  };
  for (const Case& c : cases) EXPECT_EQ(int{fileResultNumber(c.result)}, c.number);
}

TEST(FileResult, GuardTurnsExceptionsIntoCodes) {
  EXPECT_EQ(guardedCode([] { return kRcShortRead; }), kRcShortRead);
  EXPECT_EQ(guardedCode([]() -> FileResult { throw std::bad_alloc(); }), kRcOutOfMemory);
  EXPECT_EQ(guardedCode([]() -> FileResult { throw std::runtime_error("x"); }), kRcException);
}

TEST(ChunkHead, ChecksOfTagAndSize) {
  struct Case {
    SChunkHead head;
    uint32_t tag;
    uint32_t size;
    FileResult tagCode;
    FileResult headCode;
  };
  const Case cases[] = {
      {{kTagNativeHeader, 48}, kTagNativeHeader, 48, kRcOk, kRcOk},
      {{kTagNativeHeader, 40}, kTagNativeHeader, 48, kRcOk, kRcHeaderSize},
      {{kTagLayer, 48}, kTagNativeHeader, 48, kRcWrongTag, kRcWrongTag},
      {{kTagLayer, 40}, kTagNativeHeader, 48, kRcWrongTag, kRcWrongTag},
      {{chunkTag("kpim"), 48}, kTagNativeHeader, 48, kRcWrongTag, kRcWrongTag},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(checkChunkTag(c.head, c.tag), c.tagCode);
    EXPECT_EQ(checkChunkHead(c.head, c.tag, c.size), c.headCode);
  }
}

TEST(ChunkHead, ReadAndWriteThroughStreams) {
  CMemoryStream out;
  EXPECT_EQ(writeChunkHead(out, {kTagMask, 76}), kRcOk);
  EXPECT_EQ(writeChunkPadding(out, 5), kRcOk);
  EXPECT_EQ(out.size(), 8 + 3);

  CFixedMemStream in(out.memory(), out.size());
  SChunkHead head;
  EXPECT_EQ(readChunkHead(in, head), kRcOk);
  EXPECT_EQ(head.tag, kTagMask);
  EXPECT_EQ(head.size, 76u);
  EXPECT_EQ(readChunkHead(in, head), kRcShortRead);  // 3 bytes left

  uint8_t small[6];
  CFixedMemStream full(static_cast<void*>(small), sizeof small);
  EXPECT_EQ(writeChunkHead(full, {kTagMask, 1}), kRcShortWrite);
}

TEST(ChunkHead, PaddingToFourBytes) {
  const uint64_t cases[][2] = {{0, 0}, {1, 4}, {3, 4}, {4, 4}, {4097, 4100}, {0xFFFFFFFFull, 0x100000000ull}};
  for (const auto& c : cases) {
    EXPECT_EQ(paddedTo4(c[0]), c[1]) << c[0];
    CMemoryStream s;
    EXPECT_EQ(writeChunkPadding(s, c[0] % 16), kRcOk);
    EXPECT_EQ(uint64_t(s.size()), paddedTo4(c[0] % 16) - c[0] % 16);
  }
}

TEST(CountedString, GoodAndBadInputs) {
  struct Case {
    const char* name;
    Bytes stored;    // the bytes in the stream
    uint32_t n;      // the count from the record
    int64_t limit;   // bytes left in the chunk, -1 for none
    FileResult code;
    std::string text;
    int64_t position;  // after the read
  };
  const Case cases[] = {
      {"terminated", {'a', 'b', 'c', 0}, 4, -1, kRcOk, "abc", 4},
      {"padded after", {'a', 'b', 'c', 0, 0, 0, 0, 0}, 4, -1, kRcOk, "abc", 4},
      {"zero inside", {'a', 'b', 0, 'c'}, 4, -1, kRcOk, "ab", 4},
      {"no terminator", {'a', 'b', 'c', 'd'}, 4, -1, kRcOk, "abcd", 4},
      {"empty", {}, 0, -1, kRcOk, "", 0},
      {"code page bytes kept", {0x83, 0x8C, 0x83, 0x43, 0}, 5, -1, kRcOk, "\x83\x8C\x83\x43", 5},
      {"within its chunk", {'a', 'b', 0, 0}, 3, 4, kRcOk, "ab", 3},
      {"short", {'a', 'b'}, 4, -1, kRcShortRead, "", 0},
      {"count of 4 GB", {'a', 'b'}, 0xFFFFFFFFu, -1, kRcShortRead, "", 0},
      {"past its chunk", {'a', 'b', 'c', 0, 0, 0, 0, 0}, 8, 4, kRcChunkPastEnd, "", 0},
  };
  for (const Case& c : cases) {
    CFixedMemStream s(c.stored.data(), int64_t(c.stored.size()));
    std::string text = "unchanged";
    EXPECT_EQ(readCountedString(s, c.n, text, c.limit), c.code) << c.name;
    EXPECT_EQ(text, c.code == kRcOk ? c.text : "unchanged") << c.name;
    EXPECT_EQ(s.position(), c.position) << c.name;
  }
}

TEST(CountedString, BufferThatCannotBeHad) {
  const Bytes stored = {'a', 'b', 0, 0};
  CFixedMemStream s(stored.data(), 4);
  AllocFailHook previous = setAllocFailHook([](size_t) { return true; });
  std::string text;
  EXPECT_EQ(readCountedString(s, 3, text), kRcOutOfMemory);
  setAllocFailHook(previous);
}

// A preset reader that records what it saw: the body's first byte says what
// the parse does (0 parse whole, 1 fail, 2 parse only the first 4 bytes,
// 3 parse and then read one more chunk that belongs to the item, 4 throw),
// and the list refuses the items whose second byte is 1.
class FakeParser final : public PresetChunkParser {
 public:
  FileResult parseChunk(CStream& stream, const SChunkHead& head, int64_t chunkStart) override {
    EXPECT_EQ(stream.position(), chunkStart);
    uint8_t b[2];
    if (!stream.readExact(b, 2)) return kRcShortRead;
    current_ = b[1];
    switch (b[0]) {
      case 1:
        return kRcVersion;
      case 2:
        stream.seek(chunkStart + 4, SeekOrigin::Begin);
        return kRcOk;
      case 3: {
        stream.seek(chunkStart + head.size, SeekOrigin::Begin);
        SChunkHead picture;
        if (readChunkHead(stream, picture) != kRcOk) return kRcShortRead;
        stream.seek(picture.size, SeekOrigin::Current);
        return kRcOk;
      }
      case 4:
        throw std::runtime_error("parse");
      default:
        stream.seek(chunkStart + head.size, SeekOrigin::Begin);
        return kRcOk;
    }
  }
  bool offerItem() override {
    offered.push_back(current_);
    if (current_ == 1) return false;
    taken.push_back(current_);
    return true;
  }

  std::vector<uint8_t> offered;
  std::vector<uint8_t> taken;

 private:
  uint8_t current_ = 0;
};

TEST(PresetChunkLoop, WalksChunksAsTheFileAnnounces) {
  const uint32_t want = chunkTag("KGRD");
  // Bodies: {what the parse does, item value, ...padding}.
  const Bytes whole5 = {0, 5, 0, 0}, whole6 = {0, 6, 0, 0}, whole7 = {0, 7, 0, 0};
  struct Case {
    const char* name;
    Bytes file;
    int32_t wanted;
    FileResult code;
    std::vector<uint8_t> taken;
  };
  std::vector<Case> cases;
  {
    Bytes f;
    appendChunk(f, "XXXX", {0, 9, 9, 9});
    appendChunk(f, "KGRD", whole5);
    cases.push_back({"foreign chunk, then the wanted one", f, 1, kRcOk, {5}});
  }
  {
    Bytes f;
    appendChunk(f, "KGRD", whole5);
    appendChunk(f, "KGRD", whole6);
    cases.push_back({"fewer chunks than announced", f, 3, kRcOk, {5, 6}});
    cases.push_back({"announced count reached first", f, 1, kRcOk, {5}});
    cases.push_back({"nothing announced", f, 0, kRcOk, {}});
  }
  {
    Bytes f;
    appendChunk(f, "KGRD", whole5);
    f.insert(f.end(), {'K', 'G', 'R', 'D', 200, 0, 0, 0, 0, 6});
    cases.push_back({"chunk past the end keeps earlier items", f, 3, kRcSeekFailed, {5}});
  }
  {
    Bytes f;
    appendChunk(f, "KGRD", whole5);
    f.insert(f.end(), {'K', 'G', 'R'});
    cases.push_back({"short head", f, 3, kRcShortRead, {5}});
  }
  {
    Bytes f;
    appendChunk(f, "KGRD", {1, 5, 0, 0});
    appendChunk(f, "KGRD", {4, 5, 0, 0});
    appendChunk(f, "KGRD", whole6);
    cases.push_back({"failed and throwing items do not end the loop", f, 3, kRcOk, {6}});
  }
  {
    Bytes f;
    appendChunk(f, "KGRD", {0, 1, 0, 0});
    appendChunk(f, "KGRD", whole6);
    cases.push_back({"refused item", f, 2, kRcOk, {6}});
  }
  {
    // The first item parses only 4 of its 12 bytes, which look like a head.
    Bytes f;
    appendChunk(f, "KGRD", {2, 5, 0, 0, 'K', 'G', 'R', 'D', 0, 0, 0, 0});
    appendChunk(f, "KGRD", whole6);
    cases.push_back({"a short parse goes on at the chunk's end", f, 3, kRcOk, {5, 6}});
  }
  {
    Bytes f;
    appendChunk(f, "KGRD", {3, 5, 0, 0});
    appendChunk(f, "KGRD", {0, 8, 0, 0});  // belongs to item 5: never an item of its own
    appendChunk(f, "KGRD", whole7);
    cases.push_back({"an item's picture chunk is consumed with it", f, 3, kRcOk, {5, 7}});
  }
  for (const Case& c : cases) {
    CFixedMemStream s(c.file.data(), int64_t(c.file.size()));
    FakeParser parser;
    SPresetLoopResult r = readPresetChunks(s, want, c.wanted, parser);
    EXPECT_EQ(r.code, c.code) << c.name;
    EXPECT_EQ(r.itemsRead, int32_t(c.taken.size())) << c.name;
    EXPECT_EQ(parser.taken, c.taken) << c.name;
  }
}

}  // namespace
}  // namespace pg
