#include "record/command_recorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "brush/gradient.h"
#include "brush/stroke_settings.h"
#include "core/block_compress.h"
#include "core/ring_buffers.h"
#include "platform/fonts.h"
#include "platform/message_service.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"
#include "record_test_util.h"

namespace pg::test {
namespace {

Bytes f32s(std::initializer_list<float> values) {
  Bytes out(values.size() * 4);
  size_t i = 0;
  for (float v : values) writeF32(&out[4 * i++], v);
  return out;
}

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes zeros(size_t n) { return Bytes(n, 0); }

class CommandRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SLayerAttrValues layer;
    layer.blendMode = 3;
    layer.opacity = 200;
    layer.offsetX = 5;
    layer.offsetY = -6;
    doc.layers[1] = layer;
    ASSERT_TRUE(store.startRecording(&stroke, nullptr, 64, 64));
    // Everything the state sets carry is recorded once.
    ASSERT_TRUE(state.recordFullState());
    ASSERT_TRUE(store.commit());
  }

  // The packets one call wrote; its event is committed whole.
  std::vector<SPacket> recordedBy(const std::function<bool(CCommandRecorder&)>& call) {
    const uint32_t from = store.writePosition();
    EXPECT_TRUE(call(commands));
    EXPECT_EQ(store.committedEnd(), store.writePosition());
    return packetsOf(store, from);
  }

  RecordingMessageService messages;
  ScopedMessageService installMessages{messages};
  TStroke stroke;
  FakeDocSource doc;
  FakeToolSource tools;
  CEventMngr store{nullptr};
  CStateRecorder state{store, doc, &tools};
  CCommandRecorder commands{store, state, doc};
};

// The state set a command records before its packet.
enum class StateSet { Version, Document, Full };

// A call and the packet it writes. A family of subcodes sharing one body is
// one case; `structural` lists the subcodes after which the current layer and
// mask are recorded again.
struct CommandCase {
  const char* name;
  std::function<bool(CCommandRecorder&, uint8_t subcode)> call;
  uint8_t type;
  std::vector<uint8_t> subcodes;
  Bytes body;
  StateSet set = StateSet::Document;
  std::vector<uint8_t> structural = {};
};

template <class T>
bool contains(const std::vector<T>& list, T value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

std::vector<CommandCase> commandCases() {
  const TPointF p1{1.5f, 2.0f};
  const TPointF p2{-1.0f, 0.25f};
  const std::array<TPointF, 2> polygon{p1, p2};
  SEventRecord record;
  EXPECT_TRUE(initEventHeader(record, 1, 2, 4, 1));
  const Bytes recordBytes(record.begin(), record.end());
  using D = StateSet;
  return {
      {"paper colour", [](auto& c, uint8_t) { return c.recordPaperColor(0xFF123456); }, 2, {1}, {0x56, 0x34, 0x12, 0}},
      {"image create", [](auto& c, uint8_t) { return c.recordImageCreate(640, 480, true, false, 72, 300, 400); }, 2,
       {8}, cat({{0x80, 2, 0, 0, 0xE0, 1, 0, 0, 0x90, 1, 0, 0, 0x2C, 1, 0, 0, 72, 0, 0, 0, 255, 0}, zeros(6)}),
       D::Version},
      {"canvas resize", [](auto& c, uint8_t) { return c.recordCanvasResize(640, 480, 1, 2); }, 2, {2},
       {1, 2, 0x80, 2, 0, 0, 0xE0, 1, 0, 0}},
      {"image scale", [](auto& c, uint8_t s) { return c.recordImageScale(100, 200, s, 7); }, 2, {3, 9},
       {7, 0, 100, 0, 0, 0, 200, 0, 0, 0}},
      {"crop", [](auto& c, uint8_t) { return c.recordImageCrop(1, 9, TRect{2, 3, 40, 50}); }, 2, {11},
       {1, 0, 9, 0, 2, 0, 0, 0, 3, 0, 0, 0, 40, 0, 0, 0, 50, 0, 0, 0}},
      {"turns and flips", [](auto& c, uint8_t s) { return c.recordDocumentEvent(s); }, 2,
       {4, 5, 16, 17, 18, 19, 32, 33, 34, 35}, {}},
      {"merge visible", [](auto& c, uint8_t s) { return c.recordMergeVisible(s, 1, 2, {.value = 3, .option = 4}); }, 2, {10},
       {1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0}},
      {"visibility of all", [](auto& c, uint8_t s) { return c.recordDocumentEventValue(3, 1, s); }, 2, {24, 25, 26},
       {3, 0, 1, 0}, D::Document, {24, 25, 26}},
      {"new layer", [](auto& c, uint8_t) { return c.recordLayerNewEx(2, {.width = 640, .height = 480, .opacity = 200, .blendMode = 3, .visible = true}); }, 4, {0},
       {2, 0, 0x80, 2, 0, 0, 0xE0, 1, 0, 0, 200, 3, 1, 0}, D::Document, {0}},
      {"new named layer",
       [](auto& c, uint8_t) {
         const SNewLayer layer{.width = 10, .height = 20, .opacity = 30, .blendMode = 40, .visible = false,
                               .protectAlpha = true, .colour = 50};
         return c.recordLayerNew(1, layer, "L");
       }, 4, {11},
       cat({{1, 0, 10, 0, 0, 0, 20, 0, 0, 0}, zeros(8), {30, 40, 2, 0, 50, 0, 0, 0}, zeros(14), {2, 0, 'L', 0}}),
       D::Document, {11}},
      {"layer commands", [](auto& c, uint8_t s) { return c.recordLayerCommand(1, 5, s); }, 4,
       {1, 2, 3, 4, 5, 8, 9, 24, 25, 32, 33, 34, 35, 36, 37}, {1, 0, 5, 0}, D::Document, {1, 3, 4, 5}},
      {"wide layer commands", [](auto& c, uint8_t s) { return c.recordLayerCommandEx(1, 2, s, {900, 0xFFFFFFFF}); },
       4, {10, 38, 39, 48, 49, 50, 51}, {1, 0, 2, 0, 0x84, 3, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, D::Document, {10}},
      {"blend mode", [](auto& c, uint8_t s) { return c.recordLayerAttribute(1, 7, s); }, 4, {16},
       {1, 0, 7, 200, 1, 0}},
      {"opacity", [](auto& c, uint8_t s) { return c.recordLayerAttribute(1, 128, s); }, 4, {17}, {1, 0, 3, 128, 1, 0}},
      {"visibility", [](auto& c, uint8_t s) { return c.recordLayerAttribute(1, 0, s); }, 4, {18}, {1, 0, 3, 200, 0, 0},
       D::Document, {18}},
      {"protect alpha", [](auto& c, uint8_t s) { return c.recordLayerAttribute(1, 1, s); }, 4, {20},
       {1, 0, 3, 200, 3, 0}},
      {"effect", [](auto& c, uint8_t) { return c.recordLayerEffect(1, true, 0xDEADBEEF, 77); }, 4, {21},
       cat({{1, 0, 3, 200, 0x11, 0, 77, 0, 0xEF, 0xBE, 0xAD, 0xDE}, zeros(6)})},
      {"offset", [](auto& c, uint8_t) { return c.recordLayerOffset(1, TPoint{-1, 2}); }, 4, {6},
       {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0}},
      {"offset rebuilt", [](auto& c, uint8_t) { return c.recordLayerOffsetApply(1, 4, 5, TPoint{3, 4}); }, 4, {7},
       {1, 0, 4, 5, 3, 0, 0, 0, 4, 0, 0, 0}},
      {"offset with mask", [](auto& c, uint8_t) { return c.recordLayerMaskOffset(1, 2, TPoint{3, 4}); }, 4, {12},
       cat({{1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0}, zeros(8)})},
      {"offset with mask rebuilt",
       [](auto& c, uint8_t) { return c.recordLayerMaskOffsetApply(1, 2, TPoint{3, 4}, 9); }, 4, {13},
       cat({{1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0, 9, 0}, zeros(6)})},
      {"layer name", [](auto& c, uint8_t) { return c.recordLayerName(1, "ab"); }, 4, {19},
       {1, 0, 4, 0, 'a', 'b', 0, 0}},
      {"link",
       [](auto& c, uint8_t s) {
         const uint16_t levels[2] = {3, 4};
         return c.recordLayerLink(1, s == 1, levels, 2);
       },
       5, {0, 1}, cat({{1, 0, 2, 0, 0, 0, 1, 2, 0, 0, 0, 0, 4, 0, 0, 0}, zeros(8), {3, 0, 4, 0}}), D::Full},
      {"group commands", [](auto& c, uint8_t s) { return c.recordLayerListOp(s, 1, 2, {3, 4}); }, 5,
       {8, 11, 12, 13, 16}, {1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0}, D::Full},
      {"group offsets", [](auto& c, uint8_t s) { return c.recordLayerListOpEx(s, 1, 2, TPoint{5, 6}, {7, 8}); }, 5,
       {9, 10}, {1, 0, 2, 0, 5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0}, D::Full},
      {"layer image",
       [](auto& c, uint8_t s) {
         TMTC image(1, 1);
         *image.pixelAt(0, 0) = 0x44332211u;
         return c.recordLayerImage(1, image, s, "", nullptr);
       },
       12, {0, 1, 2}, {1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 32, 0, 4, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0x11, 0x22, 0x33, 0x44},
       D::Document, {0, 1, 2}},
      {"area edits", [](auto& c, uint8_t s) { return c.recordLayerEdit(1, 0xFF0000, s, nullptr, nullptr); }, 6,
       {0, 1, 3, 5, 6}, cat({{1, 0, 0, 0, 0xFF, 0}, zeros(16)}), D::Full},
      {"rectangle", [=](auto& c, uint8_t s) { return c.recordLayerEdit(1, 0, s, &p1, &p2); }, 6, {1},
       cat({{1, 0, 0, 0, 0, 0}, f32s({1.5f, 2.0f, -1.0f, 0.25f})}), D::Full},
      {"polygon", [=](auto& c, uint8_t) { return c.recordPolygonFill(1, polygon.data(), 2); }, 6, {4},
       cat({{1, 0, 2, 0}, f32s({1.5f, 2.0f, -1.0f, 0.25f})}), D::Full},
      {"mask commands", [](auto& c, uint8_t s) { return c.recordMaskCommand(1, 3, s); }, 10,
       {0, 1, 2, 3, 4, 5, 6, 11, 20, 21}, {1, 0, 3, 0}, D::Document, {0, 2, 4, 5, 11}},
      {"wide mask commands", [](auto& c, uint8_t s) { return c.recordMaskCommandEx(1, 2, s, {3, 4}); }, 10,
       {7, 8, 9, 10, 13, 14, 22, 24, 25, 26}, {1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0}, D::Document, {7, 9, 22, 24}},
      {"mask shapes", [=](auto& c, uint8_t s) { return c.recordMaskShape(1, 2, s, 3, p1, p2); }, 10, {16, 17, 19},
       cat({{1, 0, 2, 0, 3, 0}, f32s({1.5f, 2.0f, -1.0f, 0.25f})})},
      {"mask polygon", [=](auto& c, uint8_t) { return c.recordMaskPolygon(1, 2, 3, polygon.data(), 2); }, 10, {18},
       cat({{1, 0, 2, 0, 3, 0, 2, 0}, f32s({1.5f, 2.0f, -1.0f, 0.25f})})},
      {"mask name", [](auto& c, uint8_t) { return c.recordMaskName(2, "m"); }, 10, {12}, {2, 0, 2, 0, 'm', 0}},
      {"filter", [](auto& c, uint8_t s) { return c.recordFilter(1, 2, s); }, 32, {64}, {1, 0, 2, 0}, D::Full},
      {"filter 2", [](auto& c, uint8_t s) { return c.recordFilter2(1, 2, {3, 4}, s); }, 33, {2},
       {1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0}, D::Full},
      {"filter 4", [](auto& c, uint8_t s) { return c.recordFilter4(1, 2, {3, 4, 5, 6}, s); }, 34, {3},
       {1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0}, D::Full},
      {"filter 6", [](auto& c, uint8_t s) { return c.recordFilter6(1, 2, {3, 4, 5, 6, 7, 8}, s); }, 35, {16},
       {1, 0, 2, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0}, D::Full},
      {"filter record",
       [=](auto& c, uint8_t s) {
         const uint8_t data[4] = {9, 8, 7, 6};
         return c.recordFilterRecord(s, record, data);
       },
       38, {39, 51, 54, 74}, cat({recordBytes, {9, 8, 7, 6}}), D::Full},
  };
}

TEST_F(CommandRecorderTest, EveryCallWritesItsPacket) {
  // Each command starts from a stream that carries no state, so that the
  // state set it records shows whole.
  ASSERT_TRUE(store.undoEvent());
  for (const CommandCase& c : commandCases()) {
    for (uint8_t subcode : c.subcodes) {
      SCOPED_TRACE(::testing::Message() << c.name << " " << int(subcode));
      const std::vector<SPacket> packets = recordedBy([&](CCommandRecorder& r) { return c.call(r, subcode); });
      ASSERT_FALSE(packets.empty());
      // State items first, the command last.
      std::vector<int> state;
      for (size_t i = 0; i + 1 < packets.size(); ++i) {
        EXPECT_LE(packets[i].type, kPktData);
        state.push_back(hdr(packets[i].type, packets[i].subcode));
      }
      EXPECT_EQ(packets.back().type, c.type);
      EXPECT_EQ(packets.back().subcode, subcode);
      EXPECT_EQ(packets.back().body, c.body);
      const bool layerAndMask = contains(state, hdr(kPktState, kStateLayerMask));
      const bool stroke = contains(state, hdr(kPktState, 13));
      EXPECT_EQ(stroke, c.set == StateSet::Full);
      EXPECT_EQ(layerAndMask, c.set != StateSet::Version);
      if (c.set != StateSet::Version) {
        EXPECT_EQ(store.isCached(kStateLayerMask), !contains(c.structural, subcode));
      }
      expectCatalogueSizes(store);
      ASSERT_TRUE(store.undoEvent());
    }
  }
}

TEST_F(CommandRecorderTest, FiltersTakeExactlyTheCodesOfTheirPacketType) {
  const std::function<bool(CCommandRecorder&, uint8_t)> calls[] = {
      [](auto& c, uint8_t code) { return c.recordFilter(1, 2, code); },
      [](auto& c, uint8_t code) { return c.recordFilter2(1, 2, {3, 4}, code); },
      [](auto& c, uint8_t code) { return c.recordFilter4(1, 2, {3, 4, 5, 6}, code); },
      [](auto& c, uint8_t code) { return c.recordFilter6(1, 2, {3, 4, 5, 6, 7, 8}, code); },
  };
  for (uint8_t n = 0; n < 4; ++n) {
    const uint8_t type = uint8_t(kPktFilter0 + n);
    for (int code = 0; code < 256; ++code) {
      SCOPED_TRACE(::testing::Message() << int(type) << "," << code);
      const SPacketSizeRule rule = packetSizeRule(type, uint8_t(code));
      const bool known = rule.rule == BodyRule::Fixed && rule.base == 4u + 8u * n;
      const uint32_t from = store.writePosition();
      EXPECT_EQ(calls[n](commands, uint8_t(code)), known);
      if (!known) {
        EXPECT_EQ(store.writePosition(), from);
        continue;
      }
      const std::vector<SPacket> packets = packetsOf(store, from);
      ASSERT_FALSE(packets.empty());
      EXPECT_EQ(hdr(packets.back().type, packets.back().subcode), hdr(type, code));
      EXPECT_EQ(packets.back().body.size(), 4u + 8u * n);
    }
  }
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, SubcodesOutsideACallsListWriteNothing) {
  const TPointF p{1, 1};
  TChannel region(4, 4);
  const std::array<TPoint, 3> three{};
  const std::function<bool(CCommandRecorder&)> calls[] = {
      [](auto& c) { return c.recordLayerCommand(1, 0, 6); },
      [](auto& c) { return c.recordLayerCommandEx(1, 0, 11, {}); },
      [](auto& c) { return c.recordLayerAttribute(1, 0, 19); },
      [](auto& c) { return c.recordLayerAttribute(99, 0, 16); },  // no such layer
      [](auto& c) { return c.recordFilter(1, 0, 2); },             // a code of type 33
      [](auto& c) { return c.recordFilter2(1, 0, {0, 0}, 64); },
      [](auto& c) { return c.recordFilter6(1, 0, {}, 3); },
      [](auto& c) { return c.recordFilterRecord(40, SEventRecord{}, nullptr); },
      [](auto& c) { return c.recordDocumentEvent(6); },
      [](auto& c) { return c.recordDocumentEventValue(1, 0, 27); },
      [](auto& c) { return c.recordMergeVisible(7, 0, 0, {}); },
      [](auto& c) { return c.recordImageScale(1, 1, 2, 0); },
      [](auto& c) { return c.recordMaskCommand(1, 0, 7); },
      [](auto& c) { return c.recordMaskCommandEx(1, 0, 5, {}); },
      [=](auto& c) { return c.recordMaskShape(1, 0, 18, 0, p, p); },
      [](auto& c) { return c.recordLayerListOp(9, 1, 0, {}); },
      [](auto& c) { return c.recordLayerListOpEx(8, 1, 0, TPoint{}, {}); },
      [=](auto& c) { return c.recordLayerEdit(1, 0, 4, &p, &p); },
      [](auto& c) { return c.recordPolygonFill(1, nullptr, -1); },
      [&](auto& c) { return c.recordFillRegion(1, 0, 2, SFillArgs{}, nullptr, region, SRectXYWH{0, 0, 4, 4}); },
      [&](auto& c) { return c.recordFillRegionEx(1, 0, 0, SFillArgs{}, three, region, SRectXYWH{0, 0, 4, 4}); },
      [&](auto& c) { return c.recordTextFill(1, 0, 0, SLogFont{}, 0, 0, "x", TPoint{}, region, {0, 0, 4, 4}, 0); },
      [&](auto& c) { return c.recordLayerImage(1, TMTC(2, 2), 3, "", nullptr); },
      [&](auto& c) { return c.recordLayerImage(1, TMTC(), 0, "", nullptr); },  // no pixels
      [&](auto& c) { return c.recordFillRegion(1, 0, 0, SFillArgs{}, nullptr, region, SRectXYWH{9, 9, 2, 2}); },
  };
  const uint32_t end = store.writePosition();
  for (size_t i = 0; i < std::size(calls); ++i) {
    EXPECT_FALSE(calls[i](commands)) << "call " << i;
    EXPECT_EQ(store.writePosition(), end) << "call " << i;
  }
}

TEST_F(CommandRecorderTest, StructuralCommandsHaveTheLayerAndMaskRecordedAgain) {
  struct Case {
    std::function<bool(CCommandRecorder&)> call;
    bool clears;
  };
  const Case cases[] = {
      {[](auto& c) { return c.recordLayerCommand(1, 0, 1); }, true},
      {[](auto& c) { return c.recordLayerCommand(1, 0, 2); }, false},
      {[](auto& c) { return c.recordLayerCommandEx(1, 0, 10, {}); }, true},
      {[](auto& c) { return c.recordLayerCommandEx(1, 0, 38, {}); }, false},
      {[](auto& c) { return c.recordLayerAttribute(1, 1, 18); }, true},
      {[](auto& c) { return c.recordLayerAttribute(1, 1, 17); }, false},
      {[](auto& c) { return c.recordMaskCommand(1, 0, 11); }, true},
      {[](auto& c) { return c.recordMaskCommand(1, 0, 3); }, false},
      {[](auto& c) { return c.recordMaskCommandEx(1, 0, 24, {}); }, true},
      {[](auto& c) { return c.recordMaskCommandEx(1, 0, 13, {}); }, false},
      {[](auto& c) { return c.recordDocumentEventValue(1, 0, 26); }, true},
      {[](auto& c) { return c.recordLayerNewEx(1, SNewLayer{}); }, true},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_TRUE(cases[i].call(commands));
    EXPECT_EQ(store.isCached(kStateLayerMask), !cases[i].clears) << "case " << i;
  }
}

TEST_F(CommandRecorderTest, DocumentCommandsCarryTheDocumentSetAndEditsTheFullSet) {
  ASSERT_TRUE(store.undoEvent());  // the state recorded in SetUp is gone
  std::vector<SPacket> packets = recordedBy([](auto& c) { return c.recordLayerCommand(1, 0, 2); });
  EXPECT_EQ(headersOf(packets), (std::vector<int>{hdr(0, 0), hdr(0, 2), hdr(0, 3), hdr(0, 4), hdr(0, 5), hdr(0, 8),
                                                   hdr(0, 12), hdr(4, 2)}));
  stroke.WIDTH = 30.0f;
  packets = recordedBy([](auto& c) { return c.recordLayerEdit(1, 0, 1, nullptr, nullptr); });
  EXPECT_EQ(headersOf(packets), (std::vector<int>{hdr(0, 8), hdr(0, 13), hdr(0, 16), hdr(0, 17), hdr(0, 18),
                                                   hdr(6, 1)}));
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, TheResetPointCarriesTheStartTime) {
  using namespace std::chrono;
  const sys_days day{year{2024} / 2 / 29};
  commands.setClock([=] { return system_clock::time_point(day + 13h + 45min + 6s + 789ms); });
  const std::vector<SPacket> packets = recordedBy([](auto& c) { return c.recordReset(); });
  ASSERT_GE(packets.size(), 3u);
  const SPacket& time = packets[packets.size() - 2];
  EXPECT_EQ(time.type, kPktData);
  EXPECT_EQ(time.subcode, kDataStartTime);
  // 2024-02-29 is a Thursday.
  EXPECT_EQ(time.body, (Bytes{16, 0, 0, 0, 0xE8, 7, 2, 0, 4, 0, 29, 0, 13, 0, 45, 0, 6, 0, 0x15, 3}));
  EXPECT_EQ(packets.back().type, kPktDocument);
  EXPECT_EQ(packets.back().subcode, kDocReset);
}

// The grid a region fill carries, unpacked.
Bytes unpackRegion(const SPacket& p, uint32_t bounds, uint32_t packedAt, uint32_t header) {
  const uint32_t w = readLE32(p.body.data() + bounds + 8);
  const uint32_t h = readLE32(p.body.data() + bounds + 12);
  Bytes grid(size_t(w) * h);
  EXPECT_EQ(readLE32(p.body.data() + packedAt - 4), w * h);
  EXPECT_TRUE(expandExact(p.body.data() + header, readLE32(p.body.data() + packedAt), grid.data(), grid.size()));
  EXPECT_EQ(readLE32(p.body.data() + packedAt - 8), p.body.size() - header);
  return grid;
}

TEST_F(CommandRecorderTest, RegionFillsCarryTheirRegionPacked) {
  TChannel channel(10, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 10; ++x) *channel.pixelAt(x, y) = uint8_t(10 * y + x);
  // The part (2, 3, 5, 4), top-down.
  Bytes expected;
  for (int32_t y = 3; y < 7; ++y)
    for (int32_t x = 2; x < 7; ++x) expected.push_back(uint8_t(10 * y + x));

  const TPoint seed{10, 11};
  const SFillArgs args{2, 7, true, 300};
  std::vector<SPacket> packets =
      recordedBy([&](auto& c) { return c.recordFillRegion(1, 3, 1, args, &seed, channel, SRectXYWH{2, 3, 5, 4}); });
  const SPacket& fill = packets.back();
  ASSERT_EQ(hdr(fill.type, fill.subcode), hdr(13, 1));
  EXPECT_EQ(Bytes(fill.body.begin(), fill.body.begin() + 42),
            (Bytes{1, 0, 3, 0, 5, 0, 0, 0, 0xFA, 0xFF, 0xFF, 0xFF, 10, 0, 0, 0, 11, 0, 0, 0, 1, 2, 7, 1, 0x2C, 1,
                   2, 0, 0, 0, 3, 0, 0, 0, 5, 0, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(unpackRegion(fill, kRegion54Bounds, kRegion54Packed, kRegion54Header), expected);

  const std::array<TPoint, 3> points{TPoint{1, 2}, TPoint{3, 4}, TPoint{5, 6}};
  packets = recordedBy(
      [&](auto& c) { return c.recordFillRegionEx(1, 0, 3, args, points, channel, SRectXYWH{2, 3, 5, 4}); });
  const SPacket& grow = packets.back();
  ASSERT_EQ(hdr(grow.type, grow.subcode), hdr(13, 3));
  EXPECT_EQ(Bytes(grow.body.begin(), grow.body.begin() + 44),
            cat({{1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0}, zeros(8),
                 {5, 2, 7, 1, 0x2C, 1, 0, 0}}));
  EXPECT_EQ(unpackRegion(grow, kRegion72Bounds, kRegion72Packed, kRegion72Header), expected);
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, RegionFillsNameTheirKindAfterTheSubcode) {
  TChannel region(4, 4);
  const std::array<TPoint, 3> points{};
  struct Case {
    uint8_t subcode;
    bool wide;
    uint8_t kind;
  };
  const Case cases[] = {{0, false, 0}, {1, false, 1}, {4, false, 0}, {16, false, 2}, {17, false, 3},
                        {32, false, 6}, {2, true, 4},  {3, true, 5},  {5, true, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.subcode));
    const std::vector<SPacket> packets = recordedBy([&](auto& r) {
      return c.wide ? r.recordFillRegionEx(1, 0, c.subcode, SFillArgs{}, points, region, {0, 0, 4, 4})
                    : r.recordFillRegion(1, 0, c.subcode, SFillArgs{}, nullptr, region, {0, 0, 4, 4});
    });
    const SPacket& fill = packets.back();
    EXPECT_EQ(hdr(fill.type, fill.subcode), hdr(kPktRegionFill, c.subcode));
    EXPECT_EQ(fill.body[c.wide ? kRegion72Kind : kRegion54Kind], c.kind);
    EXPECT_FALSE(store.isCached(kStateLayerMask));
  }
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, ARegionThatPacksTooLargeIsNotRecorded) {
  TChannel noise(512, 512);
  std::mt19937 random(7);
  for (int64_t i = 0; i < noise.ByteSize(); ++i) noise.Bits[i] = uint8_t(random());
  const uint32_t end = store.writePosition();
  EXPECT_FALSE(commands.recordFillRegion(1, 0, 0, SFillArgs{}, nullptr, noise, SRectXYWH{0, 0, 512, 512}));
  EXPECT_EQ(store.writePosition(), end);
  EXPECT_EQ(store.committedEnd(), end);
}

TEST_F(CommandRecorderTest, TextFillsCarryFontTextAndCoverage) {
  TChannel coverage(4, 4);
  SLogFont font;
  font.Height = -12;
  std::vector<SPacket> packets = recordedBy([&](auto& c) {
    return c.recordTextFill(1, 0, 17, font, 2, 3, "Ab", TPoint{7, 8}, coverage, SRectXYWH{0, 0, 4, 4}, 2);
  });
  ASSERT_GE(packets.size(), 3u);
  EXPECT_EQ(hdr(packets[0].type, packets[0].subcode), hdr(0, kStateFont));
  EXPECT_EQ(hdr(packets[1].type, packets[1].subcode), hdr(0, kStateText));
  EXPECT_EQ(packets[1].body, (Bytes{4, 0, 'A', 'b', 0, 0}));
  const SPacket& fill = packets.back();
  ASSERT_EQ(hdr(fill.type, fill.subcode), hdr(13, 17));
  EXPECT_EQ(fill.body[kRegion54Kind], 3);
  EXPECT_EQ(fill.body[21], 2);  // the selection's combine mode
  EXPECT_EQ(readLE32(fill.body.data() + 12), 7u);
}

TEST_F(CommandRecorderTest, AColourRangeSelectionCarriesItsParametersFirst) {
  TChannel region(3, 3);
  std::array<uint8_t, 20> range{};
  range[0] = 0x42;
  const uint8_t entries[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  std::vector<SPacket> packets =
      recordedBy([&](auto& c) { return c.recordColorRangeMask(1, 4, range, entries, 2, region, {0, 0, 3, 3}); });
  ASSERT_GE(packets.size(), 2u);
  const SPacket& data = packets[packets.size() - 2];
  ASSERT_EQ(hdr(data.type, data.subcode), hdr(0, kStateColorRange));
  EXPECT_EQ(readLE32(data.body.data()), 36u);
  EXPECT_EQ(data.body[4], 0x42);
  EXPECT_EQ(Bytes(data.body.begin() + 24, data.body.end()), Bytes(entries, entries + 16));
  EXPECT_EQ(hdr(packets.back().type, packets.back().subcode), hdr(13, 32));
  EXPECT_EQ(packets.back().body[kRegion54Kind], 6);
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, LayerImagesCarryTheirPixels) {
  TMTC image(3, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) *image.pixelAt(x, y) = 0x01020304u * uint32_t(1 + x + 3 * y);
  std::array<uint8_t, 72> attributes{};
  attributes[0] = 0x77;
  std::vector<SPacket> packets =
      recordedBy([&](auto& c) { return c.recordLayerImage(1, image, 1, "img", attributes.data()); });
  const SPacket& p = packets.back();
  ASSERT_EQ(hdr(p.type, p.subcode), hdr(12, 1));
  EXPECT_EQ(Bytes(p.body.begin(), p.body.begin() + 22),
            (Bytes{1, 0, 3, 0, 0, 0, 2, 0, 0, 0, 32, 1, 100, 0, 0, 0, 4, 0, 24, 0, 0, 0}));
  EXPECT_EQ(p.body[22], 0x77);
  EXPECT_EQ(Bytes(p.body.begin() + 94, p.body.begin() + 98), (Bytes{'i', 'm', 'g', 0}));
  EXPECT_EQ(Bytes(p.body.begin() + 98, p.body.end()), Bytes(image.Bits, image.Bits + 24));
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, FilterImagesComeBeforeTheirRecord) {
  TMTC texture(2, 2);
  std::array<uint8_t, 63> params{};
  params[0] = 5;
  std::vector<SPacket> packets = recordedBy([&](auto& c) {
    return c.recordFilterWithImages(1, 2, params, 11, 12, SFilterImage{&texture, "tex"}, SFilterImage{});
  });
  ASSERT_GE(packets.size(), 2u);
  const SPacket& image = packets[packets.size() - 2];
  ASSERT_EQ(hdr(image.type, image.subcode), hdr(0, kStateFilterImage1));
  EXPECT_EQ(readLE16(image.body.data() + 16), 4);  // the name "tex"
  const SPacket& rec = packets.back();
  ASSERT_EQ(hdr(rec.type, rec.subcode), hdr(38, 40));
  EXPECT_EQ(Bytes(rec.body.begin(), rec.body.begin() + 10), (Bytes{1, 0, 2, 0, 63, 0, 1, 0, 63, 0}));
  EXPECT_EQ(readLE16(rec.body.data() + 18), 11);
  EXPECT_EQ(readLE16(rec.body.data() + 20), 12);
  EXPECT_EQ(rec.body[50], 5);
  EXPECT_EQ(rec.body.size(), 50u + 63u);
  expectCatalogueSizes(store);
}

TEST_F(CommandRecorderTest, AGradientFillWhoseGradientCannotBeWrittenWritesNothing) {
  CColorSlotGroup stops(4);
  ASSERT_TRUE(stops.putColor(0, 0, 255, 0x10000));
  ASSERT_TRUE(stops.putColor(1, 0xFFFFFF, 255, 0x10000));
  ASSERT_TRUE(stops.normalize());
  tools.gradient = &stops;
  std::vector<SPacket> packets = recordedBy([](auto& c) { return c.recordLayerEdit(1, 0, 2, nullptr, nullptr); });
  ASSERT_GE(packets.size(), 2u);
  EXPECT_EQ(hdr(packets[packets.size() - 2].type, packets[packets.size() - 2].subcode), hdr(0, kStateGradient));

  // The gradient is the first packet that does not fit: the whole event goes.
  CEventMngr small{nullptr, 128, 128};
  CStateRecorder smallState{small, doc, &tools};
  CCommandRecorder smallCommands{small, smallState, doc};
  ASSERT_TRUE(small.startRecording(&stroke, nullptr, 8, 8));
  ASSERT_TRUE(small.commit());
  small.setSegmentAllocHook([](size_t index) { return index == 0; });
  EXPECT_FALSE(smallCommands.recordLayerEdit(1, 0, 2, nullptr, nullptr));
  EXPECT_EQ(small.writePosition(), small.committedEnd());
  EXPECT_FALSE(small.isCached(kStateGradient));
  EXPECT_FALSE(small.isCached(kStateStrokeEffect));
}

}  // namespace
}  // namespace pg::test
