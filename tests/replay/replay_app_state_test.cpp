// Replay of application-state and data packets: the recorder version and
// what depends on it, the start time, and image payloads.
#include <gtest/gtest.h>

#include <limits>

#include "core/planes.h"
#include "document/layer_data.h"
#include "record/state_items.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

std::vector<uint8_t> u16(uint16_t v) { return {uint8_t(v), uint8_t(v >> 8)}; }

TEST(ReplayAppState, StreamsWithoutVersionCarryProtectAlphaInTheSwitches) {
  for (bool versioned : {false, true}) {
    StreamBuilder s;
    if (versioned) s.version(4, 58);
    s.imageCreate().packet(kPktState, kStateSwitches, u16(4)).paperColor(5).seal();
    RawReplay r(s);
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    EXPECT_EQ(r.engine->recorderVersion(), versioned ? 458 : 200);
    ASSERT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
    EXPECT_EQ(r.y.doc->getLayer(0)->protectAlpha, !versioned);
    EXPECT_EQ(r.engine->replayStroke().opaque != 0, !versioned);
  }
}

TEST(ReplayAppState, LayerItemWithCurrentMarkersKeepsTheCurrentLayer) {
  RawReplay r(StreamBuilder().imageCreate().packet(kPktState, kStateLayerMask, {0xFF, 0xFF, 0xFF, 0xFF}).paperColor(5).seal());
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  r.y.doc->getLayer(0)->protectAlpha = true;
  ASSERT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
  EXPECT_EQ(r.y.doc->currentLayerIndex(), 0);
  EXPECT_EQ(r.engine->replayStroke().layerIndex, 0);
  EXPECT_NE(r.engine->replayStroke().opaque, 0);
}

// The effect item's last byte carries the stroke settings' creation code:
// streams written before it held 0 and keep the kinds' fixed smallest-dab
// ratios; the tool window's settings (2) replay with their own minimum.
TEST(ReplayAppState, TheEffectItemCarriesTheCreationCode) {
  const std::pair<uint8_t, uint8_t> cases[] = {{0, 0}, {2, 2}, {1, 0}, {255, 0}};
  for (const auto& [stored, expected] : cases) {
    std::vector<uint8_t> body(22, 0);
    writeF32(body.data() + 12, 1.0f);  // gamma
    writeF32(body.data() + 16, 0.1f);  // spacing
    body[20] = 3;
    body[21] = stored;
    RawReplay r(StreamBuilder().imageCreate().packet(kPktState, kStateStrokeEffect, body).paperColor(5).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    ASSERT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
    EXPECT_EQ(r.engine->replayStroke().creationCode, expected) << int(stored);
  }
}

TEST(ReplayAppState, StartTimeAndOtherDataPackets) {
  std::vector<uint8_t> time = {16, 0, 0, 0};
  for (int i = 0; i < 16; ++i) time.push_back(uint8_t(i + 1));
  std::vector<uint8_t> odd = {3, 0, 0, 0, 9, 9, 9};
  RawReplay r(StreamBuilder().imageCreate().packet(kPktData, 5, odd).packet(kPktData, 17, {2, 0, 0, 0, 7, 7})
                  .packet(kPktData, 17, time).paperColor(5).seal());
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  ASSERT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
  ASSERT_TRUE(r.engine->hasStartTime());
  EXPECT_EQ(r.engine->startTime()[0], 1);
  EXPECT_EQ(r.engine->startTime()[15], 16);
}

// A type-0 image payload of w x h with `pixels` bytes of data.
std::vector<uint8_t> imagePayload(uint32_t w, uint32_t h, uint8_t kind, uint32_t pixels) {
  std::vector<uint8_t> b(22, 0);
  writeLE32(b.data() + 2, w);
  writeLE32(b.data() + 6, h);
  b[11] = kind;
  const uint32_t record = kind == 1 ? 72 : 0;
  writeLE32(b.data() + 12, record + pixels);
  writeLE32(b.data() + 18, pixels);
  b.resize(22 + record + pixels, 0x5A);
  return b;
}

TEST(ReplayAppState, ImagePayloads) {
  struct Case {
    const char* what;
    std::vector<uint8_t> body;
    bool ok;
  };
  const Case cases[] = {
      {"whole image", imagePayload(4, 3, 0, 48), true},
      {"with its record", imagePayload(4, 3, 1, 48), true},
      // The recorder writes every pixel; fewer would let a few bytes ask for
      // a plane of the largest size.
      {"short pixel data", imagePayload(4, 3, 0, 20), false},
      {"no pixel data", imagePayload(4, 3, 0, 0), false},
      {"kind 2", imagePayload(4, 3, 2, 48), false},
      {"more pixels than the image", imagePayload(2, 2, 0, 20), false},
      {"wider than any image", imagePayload(20000, 1, 0, 0), false},
  };
  for (const Case& c : cases) {
    RawReplay r(StreamBuilder().imageCreate().packet(kPktState, kStateFilterImage1, c.body).paperColor(5).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started) << c.what;
    EXPECT_EQ(r.engine->replayNext() == ReplayStep::EventDone, c.ok) << c.what;
    if (!c.ok) continue;
    const TMTC* image = r.engine->imageSlot(1);
    ASSERT_NE(image, nullptr) << c.what;
    EXPECT_EQ(image->getPixel(0, 0), 0x5A5A5A5Au) << c.what;
    EXPECT_EQ(image->getPixel(3, 2), 0x5A5A5A5Au) << c.what;
    EXPECT_EQ(r.engine->freeImageSlots(), 1);
    EXPECT_EQ(r.engine->freeImageSlots(), 0);
  }
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

template <class Item>
std::vector<uint8_t> itemBytes(const Item& item) {
  std::vector<uint8_t> out(stateItemBytes<Item>());
  EXPECT_TRUE(writeRecord(out.data(), out.size(), item, Item::fields));
  return out;
}

// One bad item in the middle of a recording stops the replay there with
// its reason; nothing after it runs (not the paper colour, not a larger
// image set-up), and a further step only answers the error again.
TEST(ReplayAppState, ABadItemMidStreamStopsTheReplayThere) {
  struct Case {
    const char* what;
    uint8_t subcode;
    std::vector<uint8_t> body;
    ReplayError reason;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {"opacity not a number", kStateStrokeColor, itemBytes(SStrokeColourItem{SColour24::of(0x123456), 0, nan}),
       ReplayError::BadField},
      {"no such stroke kind", kStateStrokeColor, itemBytes(SStrokeColourItem{SColour24::of(0x123456), 250, 1.0f}),
       ReplayError::BadField},
      {"infinite width", kStateStrokeSize, itemBytes(SStrokeSizeItem{inf, 1.0f}), ReplayError::BadField},
      {"spacing not a number", kStateStrokeEffect, itemBytes(SStrokeEffectItem{1, 1, 1, 1, nan, 0, 0}),
       ReplayError::BadField},
      {"extensions unknown", kStateVersion, itemBytes(SVersionItem{4, 58, 1}), ReplayError::Version},
  };
  for (const Case& c : cases) {
    StreamBuilder s;
    s.imageCreate().paperColor(0x00A0B0C0);
    s.packet(kPktState, c.subcode, c.body).paperColor(0x00102030).imageCreate(400, 300);
    RawReplay r(s.seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started) << c.what;
    ReplayStep step = ReplayStep::EventDone;
    for (int guard = 0; guard < 10 && step == ReplayStep::EventDone; ++guard) step = r.engine->replayNext();
    EXPECT_EQ(step, ReplayStep::Error) << c.what;
    EXPECT_EQ(r.engine->lastError(), c.reason) << c.what;
    EXPECT_EQ(r.y.doc->paperColor().pixel() & 0xFFFFFFu, 0x00A0B0C0u) << c.what;
    EXPECT_EQ(r.y.doc->width(), 32) << c.what;
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::Error) << c.what;
    EXPECT_EQ(r.y.doc->paperColor().pixel() & 0xFFFFFFu, 0x00A0B0C0u) << c.what;
  }
}

}  // namespace
}  // namespace pg::test
