#include "core/ring_buffers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace pg {
namespace {

// The values readable from the current slot backwards.
std::vector<uint32_t> backValues(const CRingBufDWORD& ring) {
  std::vector<uint32_t> out;
  uint32_t v;
  for (int32_t n = 0; ring.readRelative(-n, v); ++n) out.push_back(v);
  return out;
}

std::vector<uint32_t> forwardValues(const CRingBufDWORD& ring) {
  std::vector<uint32_t> out;
  uint32_t v;
  for (int32_t n = 1; ring.readRelative(n, v); ++n) out.push_back(v);
  return out;
}

TEST(RingBuf, KeepsTheNewestElementsUpToItsCapacity) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(3, 2));
  for (uint32_t v = 1; v <= 5; ++v) ASSERT_TRUE(ring.put(v));
  EXPECT_EQ(ring.backCount(), 3);
  EXPECT_EQ(ring.forwardCount(), 0);
  uint32_t v = 0;
  EXPECT_TRUE(ring.readRelative(0, v));
  EXPECT_EQ(v, 5u);
  EXPECT_TRUE(ring.readRelative(-1, v));
  EXPECT_EQ(v, 4u);
  EXPECT_TRUE(ring.readRelative(-2, v));
  EXPECT_EQ(v, 3u);
  EXPECT_FALSE(ring.readRelative(-3, v));
  EXPECT_FALSE(ring.readRelative(1, v));  // nothing ahead right after a put
  EXPECT_EQ(ring.current(), 5u);
}

TEST(RingBuf, WrapsAroundAllSlots) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(4, 3));
  for (uint32_t v = 1; v <= 100; ++v) EXPECT_TRUE(ring.put(v));
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{100, 99, 98, 97}));
  EXPECT_TRUE(ring.stepBack());
  EXPECT_TRUE(ring.stepBack());
  EXPECT_TRUE(ring.stepBack());
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{97}));
  EXPECT_EQ(forwardValues(ring), (std::vector<uint32_t>{98, 99, 100}));
}

TEST(RingBuf, StepsBackAndForwardUntilAPutDropsTheForwardElements) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(5, 5));
  for (uint32_t v = 1; v <= 4; ++v) EXPECT_TRUE(ring.put(v));
  EXPECT_TRUE(ring.stepBack());
  EXPECT_TRUE(ring.stepBack());
  EXPECT_EQ(ring.current(), 2u);
  EXPECT_EQ(ring.backCount(), 2);
  EXPECT_EQ(ring.forwardCount(), 2);
  EXPECT_EQ(forwardValues(ring), (std::vector<uint32_t>{3, 4}));
  EXPECT_TRUE(ring.stepForward());
  EXPECT_EQ(ring.current(), 3u);
  EXPECT_TRUE(ring.stepBack());

  EXPECT_TRUE(ring.put(9));
  EXPECT_EQ(ring.forwardCount(), 0);
  EXPECT_FALSE(ring.stepForward());
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{9, 2, 1}));
}

TEST(RingBuf, DropAndDropForward) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(5, 5));
  for (uint32_t v = 1; v <= 4; ++v) EXPECT_TRUE(ring.put(v));
  EXPECT_TRUE(ring.stepBack());
  EXPECT_TRUE(ring.drop());  // back over 3, forward gone
  EXPECT_EQ(ring.current(), 2u);
  EXPECT_EQ(ring.forwardCount(), 0);
  EXPECT_TRUE(ring.stepBack());
  EXPECT_TRUE(ring.stepBack());
  EXPECT_EQ(ring.backCount(), 0);
  EXPECT_FALSE(ring.stepBack());
  EXPECT_FALSE(ring.drop());
  uint32_t v;
  EXPECT_FALSE(ring.readRelative(0, v));  // nothing behind: no current element
  EXPECT_EQ(ring.dropForward(), 2);
  EXPECT_EQ(ring.dropForward(), 0);
}

TEST(RingBuf, ReplaceCurrentStoresInPlace) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(3, 1));
  EXPECT_TRUE(ring.replaceCurrent(7));
  EXPECT_EQ(ring.backCount(), 1);
  EXPECT_EQ(ring.current(), 7u);
  EXPECT_TRUE(ring.put(8));
  EXPECT_TRUE(ring.replaceCurrent(9));
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{9, 7}));
}

TEST(RingBuf, NotReadyRingsRefuseEverything) {
  CRingBufDWORD ring;
  EXPECT_FALSE(ring.isReady());
  EXPECT_FALSE(ring.put(1));
  EXPECT_FALSE(ring.replaceCurrent(1));
  EXPECT_FALSE(ring.stepBack());
  EXPECT_EQ(ring.current(), 0u);
  EXPECT_FALSE(ring.allocate(0, 4));
  CRingBuf bytes(1);
  EXPECT_FALSE(bytes.allocate(0, 4, 0));
  ASSERT_TRUE(ring.allocate(2, 0));
  EXPECT_TRUE(ring.put(1));
  ring.freeBuffer();
  EXPECT_FALSE(ring.isReady());
  EXPECT_EQ(ring.elementSize(), 0);
}

TEST(RingBuf, ElementsOfAnySize) {
  CRingBuf ring(0);
  ASSERT_TRUE(ring.allocate(6, 2, 1));
  EXPECT_EQ(ring.bufferBytes(), 18);
  const char* words[] = {"alpha", "bravo", "charl"};
  for (const char* w : words) EXPECT_TRUE(ring.put(w));
  char out[6];
  ASSERT_TRUE(ring.readRelative(-1, out));
  EXPECT_STREQ(out, "bravo");
  EXPECT_FALSE(ring.readRelative(-2, out));
}

TEST(RingBuf, ResizeKeepsTheNewestElementsInOrder) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(6, 2));
  for (uint32_t v = 1; v <= 9; ++v) EXPECT_TRUE(ring.put(v));  // wrapped
  ASSERT_TRUE(ring.resize(3, 2));
  EXPECT_EQ(ring.capacity(), 3);
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{9, 8, 7}));
  EXPECT_TRUE(ring.put(10));
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{10, 9, 8}));
}

TEST(RingBuf, ResizeKeepsForwardElementsUpToTheExtraSlots) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(8, 4));
  for (uint32_t v = 1; v <= 6; ++v) EXPECT_TRUE(ring.put(v));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(ring.stepBack());  // current 3, ahead 4 5 6
  ASSERT_TRUE(ring.resize(10, 2));
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{3, 2, 1}));
  EXPECT_EQ(forwardValues(ring), (std::vector<uint32_t>{4, 5}));
  EXPECT_TRUE(ring.resize(10, 2));  // unchanged sizes: nothing to do
}

TEST(RingBuf, ResizeRefusesForwardElementsWithNothingBehind) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(4, 4));
  EXPECT_TRUE(ring.put(1));
  EXPECT_TRUE(ring.put(2));
  EXPECT_TRUE(ring.stepBack());
  EXPECT_TRUE(ring.stepBack());  // back 0, forward 2
  EXPECT_FALSE(ring.resize(5, 5));
  EXPECT_EQ(ring.capacity(), 4);
  EXPECT_FALSE(ring.resize(0, 5));
}

TEST(RingBuf, ResizeOfAnEmptyRingStartsOver) {
  CRingBufDWORD ring;
  ASSERT_TRUE(ring.allocate(4, 4));
  EXPECT_TRUE(ring.put(1));
  EXPECT_TRUE(ring.stepBack());
  ring.dropForward();
  ASSERT_TRUE(ring.resize(2, 1));
  EXPECT_EQ(ring.backCount(), 0);
  EXPECT_EQ(ring.forwardCount(), 0);
  EXPECT_TRUE(ring.put(5));
  EXPECT_TRUE(ring.put(6));
  EXPECT_TRUE(ring.put(7));
  EXPECT_EQ(backValues(ring), (std::vector<uint32_t>{7, 6}));
}

TEST(ByteGrid, SetSizeKeepsTheDataWhenTheSizeIsUnchanged) {
  SByteGrid grid;
  ASSERT_TRUE(byteGridSetSize(grid, 3, 2));
  EXPECT_EQ(byteGridByteSize(grid), 6);
  *byteGridRow(grid, 2, 1) = 42;
  ASSERT_TRUE(byteGridSetSize(grid, 3, 2));
  EXPECT_EQ(grid.Data[5], 42);
  ASSERT_TRUE(byteGridSetSize(grid, 2, 3));
  EXPECT_EQ(grid.Data[5], 0);  // new grids are zeroed
  EXPECT_EQ(byteGridRow(grid, 2, 0), nullptr);
  EXPECT_FALSE(byteGridSetSize(grid, -1, 3));
  EXPECT_FALSE(byteGridAllocated(grid));
  EXPECT_FALSE(byteGridSetSize(grid, 1 << 30, 1 << 30));
  EXPECT_EQ(byteGridByteSize(grid), 0);
}

TEST(ByteGrid, AdoptAndDetachHandTheBlockOver) {
  SByteGrid grid;
  std::unique_ptr<uint8_t[]> block(new uint8_t[4]{1, 2, 3, 4});
  uint8_t* raw = block.get();
  byteGridAdopt(grid, 2, 2, std::move(block));
  EXPECT_EQ(*byteGridRow(grid, 1, 1), 4);
  auto out = byteGridDetach(grid);
  EXPECT_EQ(out.get(), raw);
  EXPECT_FALSE(byteGridAllocated(grid));
  EXPECT_EQ(grid.W, 0);
}

// A 4 x 3 channel whose pixel (x, y) holds 10 * y + x.
void numberChannel(TChannel& c) {
  ASSERT_TRUE(c.Resize(4, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) *c.pixelAt(x, y) = uint8_t(10 * y + x);
}

TEST(ByteGrid, FromChannelCopiesTopDownAndClips) {
  TChannel channel;
  numberChannel(channel);
  ASSERT_FALSE(channel.isTopDown());
  SByteGrid grid;
  ASSERT_TRUE(byteGridFromChannel(grid, channel, {1, -1, 2, 3}));  // clipped to rows 0 and 1
  EXPECT_EQ(grid.W, 2);
  EXPECT_EQ(grid.H, 2);
  const uint8_t expected[] = {1, 2, 11, 12};
  EXPECT_TRUE(std::equal(expected, expected + 4, grid.Data.get()));
  EXPECT_FALSE(byteGridFromChannel(grid, channel, {4, 0, 2, 2}));
  TChannel none;
  EXPECT_FALSE(byteGridFromChannel(grid, none, {0, 0, 2, 2}));
}

TEST(ByteGrid, ToChannelWritesTheClippedPart) {
  TChannel channel(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) *channel.pixelAt(x, y) = 0;
  SByteGrid grid;
  ASSERT_TRUE(byteGridSetSize(grid, 3, 2));
  for (int i = 0; i < 6; ++i) grid.Data[size_t(i)] = uint8_t(10 + i);
  // Only grid bytes (1..2, 0) land on the channel, at (0..1, 2).
  ASSERT_TRUE(byteGridToChannel(grid, channel, {-1, 2}));
  EXPECT_EQ(channel.getPixel(0, 2), 11);
  EXPECT_EQ(channel.getPixel(1, 2), 12);
  EXPECT_EQ(channel.getPixel(2, 2), 0);
  EXPECT_EQ(channel.getPixel(0, 1), 0);
  EXPECT_FALSE(byteGridToChannel(grid, channel, {4, 0}));
  SByteGrid empty;
  EXPECT_FALSE(byteGridToChannel(empty, channel, {0, 0}));

  // A grid taken from a channel and written back lands where it came from.
  TChannel source;
  numberChannel(source);
  ASSERT_TRUE(byteGridFromChannel(grid, source, {1, 1, 3, 2}));
  ASSERT_TRUE(byteGridToChannel(grid, channel, {1, 1}));
  for (int y = 1; y < 3; ++y)
    for (int x = 1; x < 4; ++x) EXPECT_EQ(channel.getPixel(x, y), source.getPixel(x, y));
}

}  // namespace
}  // namespace pg
