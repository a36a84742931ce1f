#include "core/block_compress.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pg {
namespace block_compress_test {

// Block contents of the kinds the compressor meets: flat, painted-like and noise.
std::vector<uint8_t> makeBlock(size_t size, int kind) {
  std::vector<uint8_t> b(size);
  std::mt19937 rng(uint32_t(size * 31 + kind));
  for (size_t i = 0; i < size; ++i) {
    switch (kind) {
      case 0: b[i] = 0; break;
      case 1: b[i] = uint8_t((i / 64) * 3 + (i % 4 == 3 ? 255 : 0)); break;
      default: b[i] = uint8_t(rng()); break;
    }
  }
  return b;
}

class CountingSink final : public ByteSink {
 public:
  bool write(const void* data, size_t size) override {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
    largestPiece = std::max(largestPiece, size);
    ++pieces;
    return pieces <= failAfter;
  }
  std::vector<uint8_t> bytes;
  size_t largestPiece = 0;
  size_t pieces = 0;
  size_t failAfter = SIZE_MAX;
};

TEST(BlockCompress, RoundTripsBlocksThroughBothOutputs) {
  for (size_t size : {size_t(0), size_t(1), size_t(4096), size_t(65536), size_t(300000)}) {
    for (int kind = 0; kind < 3; ++kind) {
      SCOPED_TRACE(::testing::Message() << "size " << size << " kind " << kind);
      std::vector<uint8_t> block = makeBlock(size, kind);

      std::vector<uint8_t> packed;
      uint64_t n = compressToMemory(block.data(), block.size(), packed);
      ASSERT_GT(n, 0u);
      ASSERT_EQ(packed.size(), n);

      CountingSink sink;
      ASSERT_EQ(compressToStream(block.data(), block.size(), sink), n);
      EXPECT_EQ(sink.bytes, packed);
      EXPECT_LE(sink.largestPiece, kCompressWorkBytes);

      std::vector<uint8_t> out(size + 1, 0xEE);
      EXPECT_EQ(expandBlock(packed.data(), packed.size(), out.data(), out.size()), int64_t(size));
      EXPECT_TRUE(std::equal(block.begin(), block.end(), out.begin()));
      EXPECT_EQ(out[size], 0xEE);  // nothing written past the block
      EXPECT_TRUE(expandExact(packed.data(), packed.size(), out.data(), size));
    }
  }
}

TEST(BlockCompress, FixedBufferRefusesABlockThatDoesNotFit) {
  std::vector<uint8_t> noise = makeBlock(4096, 2);
  std::vector<uint8_t> buffer(8192);
  uint64_t n = compressToMemory(noise.data(), noise.size(), buffer.data(), buffer.size());
  ASSERT_GT(n, 0u);
  std::vector<uint8_t> out(4096);
  EXPECT_TRUE(expandExact(buffer.data(), n, out.data(), out.size()));
  EXPECT_EQ(out, noise);
  EXPECT_EQ(compressToMemory(noise.data(), noise.size(), buffer.data(), 1024), 0u);
}

TEST(BlockCompress, StreamReportsAFailingSink) {
  std::vector<uint8_t> noise = makeBlock(65536, 2);
  CountingSink sink;
  sink.failAfter = 1;
  EXPECT_EQ(compressToStream(noise.data(), noise.size(), sink), 0u);
}

TEST(BlockCompress, ExpandRefusesCorruptShortAndOversizedInput) {
  std::vector<uint8_t> block = makeBlock(65536, 1);
  std::vector<uint8_t> packed;
  ASSERT_GT(compressToMemory(block.data(), block.size(), packed), 0u);
  std::vector<uint8_t> out(65536);

  // Every cut of the block is refused.
  for (size_t cut : {size_t(0), size_t(1), size_t(5), packed.size() / 2, packed.size() - 1})
    EXPECT_EQ(expandBlock(packed.data(), cut, out.data(), out.size()), -1) << "cut " << cut;

  // A flipped byte anywhere is refused (the checksum catches the body).
  for (size_t at : {size_t(4), size_t(8), packed.size() / 2, packed.size() - 2}) {
    std::vector<uint8_t> bad = packed;
    bad[at] ^= 0x5A;
    EXPECT_EQ(expandBlock(bad.data(), bad.size(), out.data(), out.size()), -1) << "at " << at;
  }

  // Trailing bytes after the block are refused.
  std::vector<uint8_t> longer = packed;
  longer.push_back(0);
  EXPECT_EQ(expandBlock(longer.data(), longer.size(), out.data(), out.size()), -1);

  // A destination smaller than the block is never overrun.
  std::vector<uint8_t> small(65535 + 16, 0xEE);
  EXPECT_EQ(expandBlock(packed.data(), packed.size(), small.data(), 65535), -1);
  EXPECT_EQ(small[65535], 0xEE);

  // expandExact wants the length the caller knows.
  std::vector<uint8_t> bigger(70000);
  EXPECT_EQ(expandBlock(packed.data(), packed.size(), bigger.data(), bigger.size()), 65536);
  EXPECT_FALSE(expandExact(packed.data(), packed.size(), bigger.data(), bigger.size()));

  // Bytes that are no packed block at all.
  std::vector<uint8_t> junk = makeBlock(100, 2);
  EXPECT_EQ(expandBlock(junk.data(), junk.size(), out.data(), out.size()), -1);
}

}  // namespace block_compress_test
}  // namespace pg
