#include "core/streams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_support/temp_folder.h"

namespace pg {
namespace streams_test {

namespace fs = std::filesystem;

using testing::TempFolder;

std::string slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// ------------------------------------------------------------------ TMyMemory

TEST(TMyMemory, GrowsByTheLargerOfNeedAndGrowStep) {
  TMyMemory m(16);
  EXPECT_EQ(m.capacity(), 16);
  EXPECT_EQ(m.growStep(), 16);
  uint8_t bytes[20] = {};
  ASSERT_TRUE(m.write(bytes, 20));
  EXPECT_EQ(m.capacity(), 36);  // 16 + max(20, 16)
  ASSERT_TRUE(m.write(bytes, 1));
  EXPECT_EQ(m.capacity(), 36);
  ASSERT_TRUE(m.write(bytes, 16));
  EXPECT_EQ(m.capacity(), 52);  // 37 + 16 > 36: grows by the step
  EXPECT_EQ(m.size(), 37);
}

TEST(TMyMemory, GrowthKeepsEveryByteWritten) {
  TMyMemory m(3);
  std::vector<uint8_t> expected;
  for (int i = 0; i < 100; ++i) {
    uint8_t b = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(m.write(&b, 1));
    expected.push_back(b);
  }
  ASSERT_EQ(m.size(), 100);
  EXPECT_EQ(0, std::memcmp(m.memory(), expected.data(), expected.size()));
}

TEST(TMyMemory, WordsAreLittleEndianAndNegativeOffsetsPatch) {
  TMyMemory m(8);
  ASSERT_TRUE(m.writeWord(0x1111));
  ASSERT_TRUE(m.writeWord(0x2222));
  ASSERT_TRUE(m.writeWord(0x3333));
  ASSERT_TRUE(m.writeWord(0xBEEF, -4));  // the word written two words ago
  EXPECT_EQ(m.size(), 6);
  EXPECT_EQ(m.memory()[2], 0xEF);
  EXPECT_EQ(m.memory()[3], 0xBE);
  EXPECT_EQ(m.readWord(), 0x1111);
  EXPECT_EQ(m.readWord(), 0xBEEF);
  EXPECT_EQ(m.readSmallInt(), 0x3333);
  // A positive offset would write past the reserved word; one before the start too.
  EXPECT_FALSE(m.writeWord(1, 2));
  EXPECT_FALSE(m.writeWord(1, -8));
  EXPECT_EQ(m.size(), 6);
}

TEST(TMyMemory, ReadsPeekAtOffsetsAndAdvanceOnlyAtZero) {
  TMyMemory m(4);
  const uint8_t bytes[] = {10, 20, 0xFE, 0xFF};
  ASSERT_TRUE(m.write(bytes, 4));
  EXPECT_EQ(m.readByte(1), 20);  // peek
  EXPECT_EQ(m.readPos(), 0);
  EXPECT_EQ(m.readByte(), 10);
  EXPECT_EQ(m.readPos(), 1);
  EXPECT_EQ(m.readByte(-1), 10);  // peek behind
  EXPECT_EQ(m.readSmallInt(1), -2);
  EXPECT_EQ(m.readWord(1), 0xFFFE);
  EXPECT_EQ(m.remaining(), 3);
  EXPECT_FALSE(m.readFailed());
}

TEST(TMyMemory, ReadsPastTheWrittenBytesFailWithoutMoving) {
  struct Case {
    const char* what;
    int64_t skipFirst;
    int kind;  // 0 byte, 1 word, 2 small int
    int64_t offset;
  };
  const Case cases[] = {
      {"byte at the end", 3, 0, 0},       {"word straddling the end", 2, 1, 0},
      {"peek past the end", 0, 0, 3},     {"peek before the start", 0, 1, -1},
      {"huge offset", 0, 0, INT64_MAX},   {"huge negative offset", 1, 2, INT64_MIN + 1},
      {"word after a skip past", 5, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMyMemory m(8);
    const uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(m.write(bytes, 3));
    ASSERT_TRUE(m.skip(c.skipFirst));
    int64_t before = m.readPos();
    int value = c.kind == 0 ? m.readByte(c.offset) : c.kind == 1 ? m.readWord(c.offset) : m.readSmallInt(c.offset);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(m.readFailed());
    EXPECT_EQ(m.readPos(), before);
  }
}

TEST(TMyMemory, SkipReservesForwardAndRefusesStepsBeforeTheStart) {
  TMyMemory m(4);
  ASSERT_TRUE(m.skip(10));  // reserves 10 after Size 0
  EXPECT_EQ(m.readPos(), 10);
  EXPECT_EQ(m.capacity(), 14);
  ASSERT_TRUE(m.skip(-4));
  EXPECT_EQ(m.readPos(), 6);
  EXPECT_FALSE(m.skip(-7));
  EXPECT_EQ(m.readPos(), 6);
  m.rewind();
  EXPECT_EQ(m.readPos(), 0);
}

TEST(TMyMemory, DirectWritesAtTheEndPointerAndSizeChecks) {
  TMyMemory m(4);
  ASSERT_TRUE(m.reserve(6));
  std::memcpy(m.endPointer(), "abcdef", 6);
  ASSERT_TRUE(m.extend(6));
  EXPECT_EQ(m.size(), 6);
  EXPECT_EQ(0, std::memcmp(m.memory(), "abcdef", 6));
  EXPECT_FALSE(m.extend(m.capacity()));  // would pass the block
  EXPECT_FALSE(m.setSize(m.capacity() + 1));
  EXPECT_FALSE(m.setSize(-1));
  ASSERT_TRUE(m.setSize(2));
  m.clear();
  EXPECT_EQ(m.size(), 0);
  EXPECT_EQ(m.readPos(), 0);
  EXPECT_EQ(m.capacity(), 10);  // the block is kept
}

TEST(TMyMemory, LoadFromFileReplacesContentsOrReportsFailure) {
  TempFolder dir;
  spit(dir.file("a.bin"), std::string("\x01\x02\x03\x04\x05", 5));
  TMyMemory m(4);
  ASSERT_TRUE(m.write("xy", 2));
  ASSERT_TRUE(m.skip(1));
  ASSERT_TRUE(m.loadFromFile(dir.file("a.bin")));
  EXPECT_EQ(m.size(), 5);
  EXPECT_EQ(m.capacity(), 5);
  EXPECT_EQ(m.readPos(), 0);
  EXPECT_EQ(m.readByte(4), 5);

  EXPECT_FALSE(m.loadFromFile(dir.file("missing.bin")));
  EXPECT_FALSE(m.loadFromFile(dir.file("")));  // a folder, not a file
  EXPECT_EQ(m.size(), 5);  // kept
  EXPECT_EQ(m.readByte(), 1);

  spit(dir.file("empty.bin"), "");
  ASSERT_TRUE(m.loadFromFile(dir.file("empty.bin")));
  EXPECT_EQ(m.size(), 0);
  EXPECT_EQ(m.readByte(), 0);
  EXPECT_TRUE(m.readFailed());
}

// -------------------------------------------------------------------- TMyFile

TEST(TMyFile, WritesReplaceTheTargetOnlyWhenClosed) {
  TempFolder dir;
  const std::string target = dir.file("out.bin");
  spit(target, "old contents");
  {
    TMyFile f;
    ASSERT_TRUE(f.openWrite(target));
    ASSERT_TRUE(f.write("new", 3));
    EXPECT_EQ(slurp(target), "old contents");  // still the old file while writing
    EXPECT_TRUE(f.close());
  }
  EXPECT_EQ(slurp(target), "new");
  EXPECT_EQ(dir.entries(), 1u);  // no temporary left behind

  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  {
    TMyFile f;
    ASSERT_TRUE(f.openWrite(target));
    ASSERT_TRUE(f.write("private", 7));
    EXPECT_TRUE(f.close());
  }
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  {
    TMyFile abandoned;
    ASSERT_TRUE(abandoned.openWrite(target));
    ASSERT_TRUE(abandoned.write("partial", 7));
  }  // destroyed without close: nothing replaced
  EXPECT_EQ(slurp(target), "private");
  EXPECT_EQ(dir.entries(), 1u);
}

TEST(TMyFile, ReadsAreAllOrNothingAndCloseIsIdempotent) {
  TempFolder dir;
  spit(dir.file("in.bin"), std::string("\x78\x56\x34\x12\xAA", 5));
  TMyFile f;
  EXPECT_FALSE(f.openRead(dir.file("missing")));
  ASSERT_TRUE(f.openRead(dir.file("in.bin")));
  EXPECT_EQ(f.readInt32(), 0x12345678);
  EXPECT_EQ(f.readInt32(), 0);  // only one byte left
  uint8_t b;
  EXPECT_FALSE(f.read(&b, 1));
  EXPECT_FALSE(f.write("x", 1));  // opened for reading
  EXPECT_TRUE(f.close());
  EXPECT_TRUE(f.close());
  EXPECT_FALSE(f.read(&b, 1));
}

TEST(TMyFile, OpenWriteFailsWhereNoFileCanGo) {
  TempFolder dir;
  TMyFile f;
  EXPECT_FALSE(f.openWrite(dir.file("no-such-folder/out.bin")));
  EXPECT_FALSE(f.openWrite(dir.file("")));  // the folder itself
  EXPECT_FALSE(f.openWrite(""));
}

// ---------------------------------------------------------------- CFileStream

TEST(CFileStream, RefusedArgumentsAndALostFolderAreReported) {
  TempFolder dir;
  const std::string target = dir.file("t.bin");
  spit(target, "keep");
  auto s = CFileStream::open(target, CFileStream::Mode::Create);
  ASSERT_TRUE(s);
  ASSERT_TRUE(s->writeExact("abc", 3));
  EXPECT_FALSE(s->writeExact("x", -1));
  EXPECT_EQ(s->seek(-1, SeekOrigin::Begin), -1);
  s->discard();
  EXPECT_FALSE(s->writeExact("x", 1));  // after discard nothing more goes in
  EXPECT_FALSE(s->commit());
  EXPECT_EQ(slurp(target), "keep");
  EXPECT_EQ(dir.entries(), 1u);

  // The folder disappears while the file is written: the rename fails and says so.
  fs::create_directory(dir.file("sub"));
  auto lost = CFileStream::open(dir.file("sub/x.bin"), CFileStream::Mode::Create);
  ASSERT_TRUE(lost);
  ASSERT_TRUE(lost->writeExact("abc", 3));
  fs::remove_all(dir.file("sub"));
  EXPECT_FALSE(lost->commit());
  EXPECT_TRUE(lost->failed());
}

TEST(CFileStream, SeekAndPatchThenReadBack) {
  TempFolder dir;
  const std::string target = dir.file("p.bin");
  auto w = openFileStream(target, CFileStream::Mode::Create);
  ASSERT_TRUE(w);
  ASSERT_TRUE(writeStringToStream(*w, "header-body"));
  ASSERT_EQ(w->seek(0, SeekOrigin::Begin), 0);
  ASSERT_TRUE(writeStringToStream(*w, "HEADER"));
  EXPECT_EQ(w->seek(0, SeekOrigin::End), 11);
  EXPECT_EQ(w->size(), 11);
  ASSERT_TRUE(w->commit());

  auto r = openFileStream(target, CFileStream::Mode::Read);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->size(), 11);
  EXPECT_EQ(getFileSize(target), 11);
  char buf[16] = {};
  EXPECT_EQ(r->seek(-4, SeekOrigin::End), 7);
  EXPECT_EQ(r->read(buf, 16), 4);
  EXPECT_STREQ(buf, "body");
  EXPECT_EQ(r->remaining(), 0);
  EXPECT_EQ(getFileSize(dir.file("missing")), -1);
}

// Reads of every size, in order and after seeks back and forth, give the
// file's own bytes whatever part of them a read before already took in.
TEST(CFileStream, ReadsAndSeeksGiveTheFileBytesWhereverTheyStart) {
  TempFolder dir;
  const std::string name = dir.file("r.bin");
  std::string bytes(100000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
  spit(name, bytes);
  struct Step {
    int64_t seekTo;  // -1: read on from where the last read ended
    int64_t count;
  };
  const Step steps[] = {
      {-1, 40},     {-1, 3},      {-1, 30000},  {-1, 1},     {10, 8},     {-1, 70000},  // up to the end and over it
      {99990, 50},  {50000, 0},   {-1, 16384},  {-1, 16384}, {49990, 20}, {120000, 5},  // past the end: nothing
      {0, 100000},  {100000, 1},  {65536, 4096}, {65530, 12},
  };
  auto r = openFileStream(name, CFileStream::Mode::Read);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->size(), 100000);
  int64_t at = 0;
  std::vector<char> got;
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << "seek " << step.seekTo << " read " << step.count);
    if (step.seekTo >= 0) {
      ASSERT_EQ(r->seek(step.seekTo, SeekOrigin::Begin), step.seekTo);
      at = step.seekTo;
    }
    got.assign(size_t(step.count), '\x55');
    const int64_t expected = std::clamp<int64_t>(int64_t(bytes.size()) - at, 0, step.count);
    ASSERT_EQ(r->read(got.data(), step.count), expected);
    EXPECT_EQ(std::string(got.data(), size_t(expected)), bytes.substr(size_t(std::min<int64_t>(at, 100000)), size_t(expected)));
    at += expected;
    EXPECT_EQ(r->position(), at);
  }
}

// ------------------------------------------------------------ memory streams

TEST(CFixedMemStream, ReadsTheCallersBlockAndRefusesWritesPastIt) {
  uint8_t block[6] = {1, 2, 3, 4, 5, 6};
  CFixedMemStream s(static_cast<void*>(block), 6);
  uint8_t buf[8] = {};
  EXPECT_EQ(s.read(buf, 4), 4);
  EXPECT_EQ(s.write("\x09\x09\x09", 3), 0);  // would pass the end: refused whole
  EXPECT_EQ(block[4], 5);
  EXPECT_EQ(s.write("\x09\x09", 2), 2);
  EXPECT_EQ(block[5], 9);
  EXPECT_EQ(s.read(buf, 8), 0);
  EXPECT_EQ(s.seek(100, SeekOrigin::Begin), 100);  // past the end reads nothing
  EXPECT_EQ(s.read(buf, 1), 0);
  EXPECT_EQ(s.write("z", 1), 0);
  EXPECT_EQ(s.seek(-1, SeekOrigin::Current), 99);
  EXPECT_EQ(s.seek(-200, SeekOrigin::Current), -1);
  EXPECT_EQ(s.detach(), block);
  EXPECT_EQ(s.size(), 0);

  const uint8_t readOnly[2] = {7, 8};
  CFixedMemStream r(readOnly, 2);
  EXPECT_EQ(r.write("a", 1), 0);
  EXPECT_EQ(r.read(buf, 2), 2);
  EXPECT_EQ(buf[1], 8);
}

TEST(CMemoryStream, WritesExtendAndSeekingPastTheEndLeavesAZeroGap) {
  CMemoryStream s;
  ASSERT_TRUE(writeStringToStream(s, "ab"));
  ASSERT_EQ(s.seek(2, SeekOrigin::Current), 4);
  ASSERT_TRUE(writeStringToStream(s, "c"));
  EXPECT_EQ(s.bytes(), (std::vector<uint8_t>{'a', 'b', 0, 0, 'c'}));
  EXPECT_FALSE(s.setSize(-1));
  EXPECT_EQ(s.write("x", INT64_MAX), 0);
}

TEST(StreamRoutines, StreamToGlobalMemTakesExactlyTheBytesOrNothing) {
  const uint8_t block[5] = {1, 2, 3, 4, 5};
  CFixedMemStream s(block, 5);
  ASSERT_EQ(s.seek(1, SeekOrigin::Begin), 1);
  auto got = streamToGlobalMem(s, 3);
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, (std::vector<uint8_t>{2, 3, 4}));
  EXPECT_FALSE(streamToGlobalMem(s, 2));  // only one byte left
  EXPECT_FALSE(streamToGlobalMem(s, -1));
  EXPECT_FALSE(streamToGlobalMem(s, INT64_MAX));

  uint8_t overlap[6] = {1, 2, 0, 0, 0, 0};
  memCopyBytes(overlap, overlap + 2, 4);  // forward copy repeats the first two bytes
  EXPECT_EQ(std::vector<uint8_t>(overlap, overlap + 6), (std::vector<uint8_t>{1, 2, 1, 2, 1, 2}));
}

}  // namespace streams_test
}  // namespace pg
