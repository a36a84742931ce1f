#pragma once
// The block compressor of layer tiles, event blocks and packed packet data.
// A packed block is one zstd frame that carries its unpacked length and a
// checksum, so that expanding detects corrupt, short and foreign input.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pg {

// Where packed bytes go when they are streamed.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // True only when every byte was taken.
  [[nodiscard]] virtual bool write(const void* data, size_t size) = 0;
};

// A sink that appends to a vector.
class VectorSink final : public ByteSink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
  [[nodiscard]] bool write(const void* data, size_t size) override;

 private:
  std::vector<uint8_t>& out_;
};

// Size of the work area through which compressToStream hands its output to the
// sink.
inline constexpr size_t kCompressWorkBytes = 16384;

// Packs length bytes and writes the packed block to the sink in pieces of at
// most kCompressWorkBytes. Answers the packed byte count, 0 on failure (the
// sink may then hold part of the block).
[[nodiscard]] uint64_t compressToStream(const void* source, uint64_t length, ByteSink& stream);

// Packs length bytes into the buffer, which is resized to the packed block.
// Answers the packed byte count, 0 on failure (the buffer is then empty).
[[nodiscard]] uint64_t compressToMemory(const void* source, uint64_t length, std::vector<uint8_t>& buffer);

// Packs length bytes into a buffer of fixed capacity. Answers the packed byte
// count, 0 on failure, also when the block does not fit.
[[nodiscard]] uint64_t compressToMemory(const void* source, uint64_t length, void* buffer, uint64_t capacity);

// The most bytes a packed block of length bytes can take (the capacity that
// compressToMemory into a fixed buffer never lacks).
[[nodiscard]] uint64_t packedBound(uint64_t length);
// Unpacks a block into the destination, never writing past destinationLength.
// Answers the unpacked byte count, or -1 when the block is corrupt, short,
// empty, not a packed block, or unpacks to more than the destination holds.
[[nodiscard]] int64_t expandBlock(const void* source, uint64_t sourceLength, void* destination, uint64_t destinationLength);

// expandBlock that also demands that the block unpacks to exactly
// destinationLength bytes: the form for callers who know the unpacked length.
[[nodiscard]] bool expandExact(const void* source, uint64_t sourceLength, void* destination, uint64_t destinationLength);

}  // namespace pg
