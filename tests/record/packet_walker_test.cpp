#include "record/packet_walker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "record/packet_catalogue.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes packet(uint8_t type, uint8_t subcode, const Bytes& body) {
  Bytes out(2 + body.size());
  out[0] = type;
  out[1] = subcode;
  std::copy(body.begin(), body.end(), out.begin() + 2);
  return out;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

// A small stream of one stroke event and one command event.
Bytes sampleStream() {
  Bytes version(12, 0);
  version[0] = 4;
  version[2] = 58;
  return join({
      packet(0, 0, version),
      packet(1, 17, join({le32(16), Bytes(16, 1)})),
      packet(2, 254, {}),
      packet(23, 0, {1, 0, 0, 0}),
      packet(17, 16, Bytes(192, 2)),
      packet(18, 1, Bytes(12, 3)),
      packet(4, 19, join({{0, 0, 4, 0}, {'a', 'b', 'c', 0}})),
      packet(2, 255, {}),
  });
}

TEST(PacketWalker, WalksAWellFormedStream) {
  Bytes s = sampleStream();
  std::vector<std::pair<int, int>> seen;
  SWalkResult r = walkPackets(s.data(), s.size(), [&](const SPacketInfo& p) {
    seen.emplace_back(p.type, p.subcode);
    return true;
  });
  EXPECT_TRUE(r.wellFormed());
  EXPECT_EQ(r.packets, 8u);
  EXPECT_EQ(r.offset, s.size());
  const std::vector<std::pair<int, int>> expected = {{0, 0},  {1, 17}, {2, 254}, {23, 0},
                                                     {17, 16}, {18, 1}, {4, 19},  {2, 255}};
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(walkPackets(nullptr, 0).wellFormed());
}

TEST(PacketWalker, FindsTheFirstBadPacket) {
  Bytes good = sampleStream();
  struct Case {
    const char* what;
    Bytes tail;
    WalkStatus status;
  };
  const Case cases[] = {
      {"unknown subcode", packet(2, 12, {}), WalkStatus::UnknownPacket},
      {"unknown type", packet(50, 0, {}), WalkStatus::UnknownPacket},
      {"stroke begin with a subcode", packet(16, 1, {0, 0, 0, 0}), WalkStatus::UnknownPacket},
      {"lone header byte", {2}, WalkStatus::Truncated},
      {"body cut short", packet(4, 16, {1, 2, 3}), WalkStatus::Truncated},
      {"length field cut", packet(38, 0, {0, 0, 50}), WalkStatus::UnknownPacket},
      {"length past the end", packet(1, 0, le32(0xFFFFFFFF)), WalkStatus::Truncated},
      {"points past the end", packet(17, 255, Bytes(100, 0)), WalkStatus::Truncated},
  };
  for (const Case& c : cases) {
    Bytes s = join({good, c.tail});
    SWalkResult r = walkPackets(s.data(), s.size());
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.offset, good.size()) << c.what;
    EXPECT_EQ(r.packets, 8u) << c.what;
    EXPECT_FALSE(r.wellFormed()) << c.what;
  }
}

TEST(PacketWalker, EveryPrefixOfAWellFormedStreamEndsCleanlyOrShort) {
  Bytes s = sampleStream();
  std::vector<size_t> ends;
  ASSERT_TRUE(walkPackets(s.data(), s.size(), [&](const SPacketInfo& p) {
                ends.push_back(p.end());
                return true;
              }).wellFormed());
  for (size_t cut = 0; cut <= s.size(); ++cut) {
    SWalkResult r = walkPackets(s.data(), cut);
    bool onBoundary = cut == 0 || std::find(ends.begin(), ends.end(), cut) != ends.end();
    EXPECT_EQ(r.wellFormed(), onBoundary) << cut;
    // Cut inside a body: short; cut inside a length field: unknown.
    if (!onBoundary) {
      EXPECT_TRUE(r.status == WalkStatus::Truncated || r.status == WalkStatus::UnknownPacket) << cut;
    }
  }
}

TEST(PacketWalker, VisitorCanStopAndRangesCanStartInside) {
  Bytes s = sampleStream();
  SWalkResult r = walkPackets(s.data(), s.size(), [](const SPacketInfo& p) { return p.type != 17; });
  EXPECT_EQ(r.status, WalkStatus::Stopped);
  EXPECT_EQ(r.packets, 4u);

  MemoryPacketSource source(s.data(), s.size());
  uint64_t second = 2 + 12;  // the data packet
  r = walkPackets(source, second, s.size());
  EXPECT_TRUE(r.wellFormed());
  EXPECT_EQ(r.packets, 7u);
}

}  // namespace
}  // namespace pg
