#include "record/packet_walker.h"

#include <cstring>

#include "record/packet_catalogue.h"

namespace pg {

bool MemoryPacketSource::read(uint64_t pos, void* destination, uint32_t count) const {
  if (pos > size_ || count > size_ - pos) return false;
  if (count > 0) std::memcpy(destination, data_ + pos, count);
  return true;
}

SWalkResult walkPackets(const PacketSource& source, uint64_t from, uint64_t to, const PacketVisitor& visit) {
  SWalkResult result;
  uint64_t pos = from;
  while (pos < to) {
    result.offset = pos;
    uint8_t header[2];
    if (to - pos < 2 || !source.read(pos, header, 2)) {
      result.status = WalkStatus::Truncated;
      return result;
    }
    SPacketInfo info;
    info.offset = pos;
    info.type = header[0];
    info.subcode = header[1];
    SPacketSizeRule rule = packetSizeRule(info.type, info.subcode);
    if (!rule.known()) {
      result.status = WalkStatus::UnknownPacket;
      return result;
    }
    uint64_t left = to - pos - 2;
    uint32_t field = 0;
    if (rule.needsField()) {
      uint8_t bytes[4] = {};
      uint32_t n = rule.fieldBytes();
      if (left < uint64_t(rule.fieldOffset) + n || !source.read(pos + 2 + rule.fieldOffset, bytes, n)) {
        result.status = WalkStatus::UnknownPacket;
        return result;
      }
      field = n == 4 ? readLE32(bytes) : readLE16(bytes);
    }
    info.bodyLength = packetBodyLength(rule, info.subcode, field);
    if (info.bodyLength > left) {
      result.status = WalkStatus::Truncated;
      return result;
    }
    if (visit && !visit(info)) {
      result.status = WalkStatus::Stopped;
      return result;
    }
    ++result.packets;
    pos = info.end();
  }
  result.offset = pos;
  result.status = WalkStatus::Complete;
  return result;
}

SWalkResult walkPackets(const uint8_t* data, uint64_t size, const PacketVisitor& visit) {
  MemoryPacketSource source(data, size);
  return walkPackets(source, 0, size, visit);
}

}  // namespace pg
