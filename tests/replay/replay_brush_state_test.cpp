// Replay of the brush items: tones and image nibs defined once by id, the
// gradient, the pen renderer's records and their hand-over to the tool
// window.
#include <gtest/gtest.h>

#include "brush/pen_render.h"
#include "brush/pen_shape_obj.h"
#include "brush/tone_list.h"
#include "brush/tone_patterns.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

// (0, 36): a stored 8 x 8 tile of the id.
std::vector<uint8_t> toneDefinition(uint32_t id) {
  std::vector<uint8_t> tile(64);
  for (size_t i = 0; i < tile.size(); ++i) tile[i] = uint8_t(i * 4);
  SToneDefinition def;
  def.id = id;
  writeLE16(def.record.data(), 8);       // bit depth
  writeLE32(def.record.data() + 12, 100);  // value
  writeLE32(def.record.data() + 24, 8);
  writeLE32(def.record.data() + 28, 8);
  std::vector<uint8_t> packed;
  EXPECT_TRUE(packForPacket(tile.data(), tile.size(), packed, def.packedLength));
  def.unpackedLength = 64;
  def.paddedLength = uint32_t(packed.size());
  std::vector<uint8_t> body(kToneDefineBytes);
  def.encode(body.data());
  body.insert(body.end(), packed.begin(), packed.end());
  return body;
}

std::vector<uint8_t> toneSelection(uint32_t id, int32_t originX) {
  SToneSelection sel;
  sel.id = id;
  sel.value = 50;
  sel.originX = originX;
  std::vector<uint8_t> body(kToneSelectBytes);
  sel.encode(body.data());
  return body;
}

std::vector<uint8_t> gradient(uint16_t dataLength) {
  std::vector<uint8_t> body(kGradientHeadBytes + dataLength, 0);
  SGradientHeader{uint16_t(dataLength / kGradientStopBytes), dataLength}.encode(body.data());
  for (uint16_t i = 0; i + kGradientStopBytes <= dataLength; i += kGradientStopBytes) {
    SColorSlot slot;
    slot.Used = slot.Enabled = 1;
    slot.Color = 0x000000FFu << (i / 3);
    slot.Weight = 1;
    encodeColorSlot(slot, body.data() + kGradientHeadBytes + i);
  }
  return body;
}

struct StateReplay {
  explicit StateReplay(StreamBuilder s) : r(s.paperColor(0).seal()) {
    EXPECT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  }
  ReplayStep step() { return r.engine->replayNext(); }
  RawReplay r;
};

TEST(ReplayBrushState, TonesAreDefinedOnceAndSelectedById) {
  StateReplay ok(StreamBuilder().imageCreate()
                     .packet(kPktState, kStateTone, toneDefinition(5))
                     .packet(kPktState, kStateToneSelect, toneSelection(5, 3)));
  EXPECT_EQ(ok.step(), ReplayStep::EventDone);
  CToneMngr& tones = ok.r.engine->replayTones();
  ASSERT_EQ(tones.count(), 1);
  EXPECT_EQ(tones.currentIndex(), 0);
  EXPECT_EQ(tones.current()->OffsetX, 3);
  EXPECT_EQ(tones.current()->Scale, 50);

  struct Case {
    const char* what;
    StreamBuilder stream;
    ReplayStep expected;
  };
  const Case cases[] = {
      {"selected before defined",
       StreamBuilder().imageCreate().packet(kPktState, kStateToneSelect, toneSelection(5, 0)), ReplayStep::Error},
      {"defined twice",
       StreamBuilder().imageCreate().packet(kPktState, kStateTone, toneDefinition(5)).paperColor(0).packet(
           kPktState, kStateTone, toneDefinition(5)),
       ReplayStep::Error},
      {"defined again after a reset point",
       StreamBuilder().imageCreate().packet(kPktState, kStateTone, toneDefinition(5)).packet(kPktDocument, kDocReset)
           .packet(kPktState, kStateTone, toneDefinition(5)),
       ReplayStep::EventDone},
  };
  for (const Case& c : cases) {
    StateReplay r(c.stream);
    ReplayStep last = ReplayStep::EventDone;
    for (int i = 0; i < 3 && last == ReplayStep::EventDone; ++i) last = r.step();
    EXPECT_EQ(last == ReplayStep::Error, c.expected == ReplayStep::Error) << c.what;
  }
}

TEST(ReplayBrushState, GradientLengths) {
  for (uint16_t length : {0, 25, 48}) {
    StateReplay r(StreamBuilder().imageCreate().packet(kPktState, kStateGradient, gradient(length)));
    const ReplayStep s = r.step();
    if (length == 48) {
      ASSERT_EQ(s, ReplayStep::EventDone);
      EXPECT_EQ(r.r.engine->activeReplayGradient().lastIndex(), 1);
    } else {
      EXPECT_EQ(s, ReplayStep::Error) << length;
      EXPECT_EQ(r.r.engine->lastError(), ReplayError::BadField);
    }
  }
}

TEST(ReplayBrushState, OldStreamsTakeTheGradientFromTheStrokeColours) {
  std::vector<uint8_t> colour(8, 0);
  writeLE32(colour.data(), 0x00112233u);
  writeF32(colour.data() + 4, 1.0f);
  StateReplay r(StreamBuilder().version(2, 81).imageCreate().packet(kPktState, kStateStrokeColor, colour));
  ASSERT_EQ(r.step(), ReplayStep::EventDone);
  r.r.engine->replayStroke().subColor = 0x00445566u;
  const CColorSlotGroup& g = r.r.engine->activeReplayGradient();
  ASSERT_EQ(g.lastIndex(), 1);
  EXPECT_EQ(g.getSlot(0)->Color & 0xFFFFFFu, pixelToColor(0x00112233u));
  EXPECT_EQ(g.getSlot(1)->Color & 0xFFFFFFu, pixelToColor(0x00445566u));
}

class FakeToolWindow final : public IReplayToolWindow {
 public:
  void loadPaintParamFields(const SReplayPenState& s) override {
    state = s;
    ++calls;
  }
  SReplayPenState state;
  int calls = 0;
};

TEST(ReplayBrushState, PenStateReachesTheRendererAndTheToolWindow) {
  std::vector<uint8_t> falloff(8, 0);
  encodeFalloff(SGradeMapParam{2, 300, 700}, falloff.data());
  std::vector<uint8_t> shape(12, 0);
  SPenShapeParam p;
  p.size = 1200;
  p.aspect = 500;
  p.angle = 300;
  p.minSize = 200;
  encodeNibShape(p, true, shape.data());
  std::vector<uint8_t> strokeParam(16, 0);
  SStrokeParam sp;
  sp.opacity = 700;
  sp.spacing = 150;
  encodeStrokeParam(sp, strokeParam.data());
  StateReplay r(StreamBuilder()
                    .imageCreate()
                    .packet(kPktState, kStateFalloff, falloff)
                    .packet(kPktState, kStateNibShape, shape)
                    .packet(kPktState, kStateStrokeParam, strokeParam));
  FakeToolWindow tool;
  r.r.engine->setToolWindow(&tool);
  ASSERT_EQ(r.step(), ReplayStep::EventDone);
  EXPECT_EQ(r.r.engine->refreshFlags() & (kRefreshPenShape | kRefreshPenMethod), kRefreshPenShape | kRefreshPenMethod);
  EXPECT_EQ(r.r.engine->replayRenderer().getShapeParam().size, 1200);
  EXPECT_EQ(r.r.engine->replayRenderer().getGradeMapParam().value2, 700);
  // The image-nib byte without an image nib: the parametric nib.
  ASSERT_NE(r.r.engine->activeReplayNib(), nullptr);
  EXPECT_FALSE(r.r.engine->activeReplayNib()->isImageNib());
  SReplayPenState handed;
  r.r.engine->applyPenStateToToolWindow(handed);
  EXPECT_EQ(tool.calls, 1);
  EXPECT_EQ(tool.state.stroke.opacity, 700);
  EXPECT_EQ(handed.stroke.spacing, 150);
  EXPECT_EQ(tool.state.falloff.type, 2);
}

TEST(ReplayBrushState, ImageNibsAreDefinedAndSelected) {
  std::vector<uint8_t> image(12 * 10);
  for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i);
  SNibDefinition def;
  def.id = 9;
  def.scale = 150;
  def.width = 12;
  def.height = 10;
  def.imageBytes = 120;
  std::vector<uint8_t> packed;
  ASSERT_TRUE(packForPacket(image.data(), image.size(), packed, def.packedLength));
  def.paddedLength = uint32_t(packed.size());
  std::vector<uint8_t> body(kNibDefineBytes);
  def.encode(body.data());
  body.insert(body.end(), packed.begin(), packed.end());
  std::vector<uint8_t> shape(12, 0);
  encodeNibShape(SPenShapeParam{1000, 1000, 0, 1000}, true, shape.data());
  std::vector<uint8_t> select(kNibSelectBytes);
  SNibSelection{9, 80, 12, 10}.encode(select.data());
  std::vector<uint8_t> unknown(kNibSelectBytes);
  SNibSelection{10, 80, 12, 10}.encode(unknown.data());
  StateReplay r(StreamBuilder()
                    .imageCreate()
                    .packet(kPktState, kStateNib, body)
                    .packet(kPktState, kStateNibShape, shape)
                    .paperColor(1)
                    .packet(kPktState, kStateNibSelect, select)
                    .paperColor(2)
                    .packet(kPktState, kStateNibSelect, unknown));
  ASSERT_EQ(r.step(), ReplayStep::EventDone);
  const CPenShapeObj* nib = r.r.engine->activeReplayNib();
  ASSERT_TRUE(nib->isImageNib());
  EXPECT_EQ(nib->image()->Width, 12);
  EXPECT_EQ(r.step(), ReplayStep::EventDone);
  EXPECT_EQ(r.step(), ReplayStep::Error);
  EXPECT_EQ(r.r.engine->lastError(), ReplayError::BadField);
}

}  // namespace
}  // namespace pg::test
