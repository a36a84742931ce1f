#pragma once
// Helpers of the recorder tests: the packets of a stream as a list, a
// document source with plain values, and a check that a stream walks whole
// with every packet sized exactly as the catalogue says.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/packet_walker.h"
#include "record/record_sources.h"

namespace pg::test {

using Bytes = std::vector<uint8_t>;

struct SPacket {
  uint8_t type = 0;
  uint8_t subcode = 0;
  Bytes body;
};

// The packets of [from, write position) of the store; fails the test when
// the range does not walk whole.
inline std::vector<SPacket> packetsOf(const CEventMngr& store, uint32_t from = 0) {
  std::vector<SPacket> out;
  const SWalkResult walk = walkPackets(store.source(), from, store.writePosition(), [&](const SPacketInfo& p) {
    SPacket packet{p.type, p.subcode, Bytes(size_t(p.bodyLength))};
    if (p.bodyLength > 0) {
      EXPECT_TRUE(store.source().read(p.bodyOffset(), packet.body.data(), uint32_t(p.bodyLength)));
    }
    out.push_back(std::move(packet));
    return true;
  });
  EXPECT_TRUE(walk.wellFormed()) << "walk stopped at " << walk.offset;
  return out;
}

// The headers of a packet list, as (type << 8 | subcode).
inline std::vector<int> headersOf(const std::vector<SPacket>& packets) {
  std::vector<int> out;
  for (const SPacket& p : packets) out.push_back(p.type << 8 | p.subcode);
  return out;
}

inline int hdr(int type, int subcode) { return type << 8 | subcode; }

// The whole stream walks to its end, and each packet's body has the size the
// catalogue gives for it.
inline void expectCatalogueSizes(const CEventMngr& store) {
  uint64_t packets = 0;
  const SWalkResult walk = walkPackets(store.source(), 0, store.writePosition(), [&](const SPacketInfo& p) {
    const SPacketSizeRule rule = packetSizeRule(p.type, p.subcode);
    EXPECT_TRUE(rule.known()) << int(p.type) << "," << int(p.subcode);
    uint8_t field[4] = {};
    if (rule.needsField()) {
      EXPECT_TRUE(store.source().read(p.bodyOffset() + rule.fieldOffset, field, rule.fieldBytes()));
    }
    const uint32_t value = rule.fieldBytes() == 4 ? readLE32(field) : readLE16(field);
    EXPECT_EQ(p.bodyLength, packetBodyLength(rule, p.subcode, value)) << int(p.type) << "," << int(p.subcode);
    ++packets;
    return true;
  });
  EXPECT_TRUE(walk.wellFormed()) << "walk stopped at " << walk.offset;
  EXPECT_EQ(walk.offset, store.writePosition());
  EXPECT_GT(packets, 0u);
}

class FakeDocSource final : public IDocStateSource {
 public:
  SDocStateValues documentState() const override { return values; }
  bool layerAttributes(int32_t index, SLayerAttrValues& out) const override {
    auto it = layers.find(index);
    if (it == layers.end()) return false;
    out = it->second;
    return true;
  }
  SDocStateValues values;
  std::map<int32_t, SLayerAttrValues> layers;
};

class FakeToolSource final : public IToolStateSource {
 public:
  bool penState(SPenStateValues& out) const override {
    if (!hasPen) return false;
    out = pen;
    return true;
  }
  const CColorSlotGroup* currentGradientStops() const override { return gradient; }
  bool hasPen = false;
  SPenStateValues pen;
  const CColorSlotGroup* gradient = nullptr;
};

}  // namespace pg::test
