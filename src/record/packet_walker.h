#pragma once
// Walks a stream of event packets by the size rule: header, body length from
// the catalogue (reading the length field where the rule says so), next
// packet. A stream is well formed when the walk ends exactly at its end with
// no unknown packet. Every length comes from the stream and is untrusted: the
// walker checks each against the bytes that remain and reads nothing past them.
#include <cstdint>
#include <functional>

namespace pg {

// Random access to the bytes of a stream (a flat buffer, or the segments of
// the event store).
class PacketSource {
 public:
  virtual ~PacketSource() = default;
  // Copies count bytes from pos; false (and nothing copied) when any of them
  // lies past the end of the stream.
  [[nodiscard]] virtual bool read(uint64_t pos, void *destination,
                                  uint32_t count) const = 0;
};

class MemoryPacketSource final : public PacketSource {
 public:
  MemoryPacketSource(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}
  [[nodiscard]] bool read(uint64_t pos, void *destination,
                          uint32_t count) const override;

private:
  const uint8_t* data_;
  uint64_t size_;
};

struct SPacketInfo {
  uint64_t offset = 0;  // of the header
  uint8_t type = 0;
  uint8_t subcode = 0;
  uint64_t bodyLength = 0;
  uint64_t bodyOffset() const { return offset + 2; }
  uint64_t end() const { return offset + 2 + bodyLength; }
};

enum class WalkStatus : uint8_t {
  Complete,       // the walk ended exactly at the end of the range
  UnknownPacket,  // a header not in the catalogue, or a length field past the end
  Truncated,      // a header or body that runs past the end of the range
  Stopped,        // the visitor asked to stop
};

struct SWalkResult {
  WalkStatus status = WalkStatus::Complete;
  uint64_t offset = 0;   // where the walk ended: the range end, or the bad packet
  uint64_t packets = 0;  // packets walked whole
  [[nodiscard]] bool wellFormed() const {
    return status == WalkStatus::Complete;
  }
};

// Called for every whole packet; answer false to stop the walk.
using PacketVisitor = std::function<bool(const SPacketInfo&)>;

// Walks the packets of [from, to) of the source.
[[nodiscard]] SWalkResult walkPackets(const PacketSource& source, uint64_t from, uint64_t to, const PacketVisitor& visit = {});

// Walks a whole flat stream.
[[nodiscard]] SWalkResult walkPackets(const uint8_t* data, uint64_t size, const PacketVisitor& visit = {});

}  // namespace pg
