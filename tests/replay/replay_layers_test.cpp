// Replay of layer attribute and rename packets as the recorder writes them.
#include <gtest/gtest.h>

#include "core/planes.h"
#include "document/color_range.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/paper_ops.h"
#include "document/mask_data.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

TEST(ReplayLayers, AttributesAndNamesReplayAsRecorded) {
  ReplayFixture f;
  f.paint(ReplayFixture::line(5, 5, 50, 30, 20));
  IDocEventRecorder& rec = *eventRecorderOf(f.x.doc->events());
  CLayerData& layer = *f.x.doc->getLayer(0);
  // Each change as the document's operation makes it: the event, then the value.
  ASSERT_TRUE(rec.recordLayerAttribute(0, 5, 16));
  layer.blendMode = 5;
  ASSERT_TRUE(rec.recordLayerAttribute(0, 120, 17));
  layer.opacity = 120;
  ASSERT_TRUE(rec.recordLayerAttribute(0, 1, 20));
  layer.protectAlpha = true;
  ASSERT_TRUE(rec.recordLayerEffect(0, true, 77, 90));
  layer.dissolve = true;
  layer.dissolveAmount = 90;
  layer.seedRandom(77);
  ASSERT_TRUE(rec.recordLayerName(0, "背景 layer"));
  layer.name = "背景 layer";
  ASSERT_TRUE(rec.recordMaskName(0, "選択"));
  f.x.doc->masks()->getMask(0)->name = "選択";
  f.x.doc->redraw(true);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc));
  EXPECT_TRUE(f.y.doc->getLayer(0)->protectAlpha);
}

// Every operation of the document recorded on X, with its picture kept
// after each event, then replayed into Y event by event.
TEST(ReplayLayers, DocumentOperationsReplayEventByEvent) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  std::vector<std::string> expected = {picture(d)};
  auto step = [&](const char* what, bool ok) {
    ASSERT_TRUE(ok) << what;
    expected.push_back(picture(d));
  };
  f.paint(ReplayFixture::line(5, 5, 50, 30, 20));
  expected.push_back(picture(d));
  step("bucket fill", d.bucketFillLayer(flow, 0, TPoint{60, 45}, true, false, f.tool, SRegionFillSettings{}, true));
  step("bucket erase", d.bucketFillLayer(flow, 0, TPoint{2, 45}, false, true, f.tool, SRegionFillSettings{}, true));
  step("magic wand", d.magicWandSelect(flow, 0, TPoint{60, 2}, 0, true, SRegionFillSettings{}, true));
  step("new layer", d.newLayerEx(&flow, 1, true, 200, 3, 48, 64, true));
  f.tool.setColor(0x00FF8000u);
  f.paint(ReplayFixture::line(60, 2, 3, 45, 30));
  expected.push_back(picture(d));
  step("named layer", d.newLayer(&flow, 2, true, "紙", 0x8040A0C0u, 255, 3, 40, 50, true));
  step("blend mode", d.setLayerBlendMode(2, 5, true));
  step("opacity", d.setLayerOpacity(2, 128, true));
  step("protect alpha", d.setProtectAlpha(1, 1, true));
  step("rename", d.setLayerName(0, "下地", true));
  step("duplicate", d.duplicateLayer(&flow, 1, true));
  step("move", d.moveLayer(&flow, 3, 0, true));
  step("show only", d.showOnlyLayer(1, true));
  step("show all", d.showAllLayers(1, true, true));
  step("mirror layer", d.layerCommand(flow, 1, true, 7));
  step("rectangle selection", d.maskFigureRect(flow, 1, TPointF{8, 6}, TPointF{40, 30}, 0, f.tool, true));
  step("invert selection", d.maskInvert(flow, 1, true));
  step("fill colour", d.fillLayerColor(flow, 1, 0x00336699u, f.tool, true, true));
  step("select all", d.maskFillAll(flow, 1, true));
  step("new mask", d.newMask(flow, 1, 0, true));
  step("ellipse selection", d.maskFigureEllipse(flow, 1, TPointF{10, 10}, TPointF{50, 40}, 0.0, 0, f.tool, true));
  {
    SColorRangeEntry picked;
    picked.color = d.getLayer(1)->image->getPixel(30, 20);
    picked.range = 40;
    SColorRangeSettings settings;
    settings.count = 1;
    step("colour range", d.applyColorRangeSelection(flow, 1, true, &picked, settings, -1));
  }
  step("grow selection", d.applySelectExpand(-1, true, 0, 2));
  step("shrink selection", d.applySelectContract(-1, true, 0, 1));
  step("layer from selection", d.newLayerFromSelection(flow, 1, 1, true, -1, true));
  step("magic wand, adding", d.magicWandSelect(flow, 1, TPoint{30, 20}, 1, false, SRegionFillSettings{}, true));
  step("link", d.linkLayer(&flow, 2, true, true));
  step("group visibility", d.setLayerGroupVisible(1, 2, false, true));
  step("group offset", d.offsetLinkGroup(&flow, 1, TPoint{3, 2}, 2, true));
  step("group offset with the selection", d.offsetLinkGroupMask(&flow, 1, TPoint{-2, 1}, 2, -1, true));
  step("unlink", d.linkLayer(&flow, 2, false, true));
  {
    TMTC image(12, 9);
    for (int32_t y = 0; y < 9; ++y)
      for (int32_t x = 0; x < 12; ++x) *image.pixelAt(x, y) = 0xFF000000u | uint32_t(x * 20) << 8 | uint32_t(y * 25);
    step("paste as a layer", d.pasteLayerImage(&flow, image, "貼り付け", nullptr, true));
    step("paste into a layer", d.pasteIntoLayer(&flow, 0, "", nullptr, image, true));
  }
  step("merge down", d.mergeDown(&flow, 2, true));
  step("delete layer", d.deleteLayer(&flow, 0, true));
  step("layer quarter turn", d.rotateLayer90(flow, 0, true, false));
  step("rotate image", d.rotateImage90(flow, true, true));
  step("canvas size", d.resizeCanvas(flow, 60, 70, 4, true));
  step("layers zoom", d.zoomLayers(flow, 66, 63, 2, true));
  // An undo in the middle drops its event from the recording.
  ASSERT_TRUE(d.invertLayerAlpha(flow, 0, true));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(d.undo(flow, index, rect));
  step("merge visible", d.mergeVisible(&flow, true, false, true));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone)
        << "event " << i << " " << int(f.session->engine().lastHeader().type) << "/"
        << int(f.session->engine().lastHeader().subcode) << " reason " << int(f.session->engine().lastError());
    ASSERT_EQ(picture(*f.y.doc), expected[i]) << "after event " << i;
  }
  EXPECT_EQ(f.session->engine().replayNext(), ReplayStep::End);
}

TEST(ReplayLayers, LinkGroupsMergeAndLeaveAsRecorded) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  f.paint(ReplayFixture::line(5, 5, 50, 30, 20));
  for (int32_t i = 1; i <= 4; ++i) {
    ASSERT_TRUE(d.newLayerEx(&flow, i, true, 200, i == 2 ? 0 : 3, 48, 64, true));
    f.tool.setColor(0x00102030u * static_cast<uint32_t>(i));
    f.paint(ReplayFixture::line(60 - 10 * i, 2, 3 + 5 * i, 45, 10));
  }
  ASSERT_TRUE(d.linkLayer(&flow, 2, true, true));
  ASSERT_TRUE(d.linkLayer(&flow, 4, true, true));
  ASSERT_TRUE(d.mergeLinkGroup(&flow, 1, 2, true));
  ASSERT_TRUE(d.removeLinkGroup(&flow, 2, 2, true));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  EXPECT_EQ(d.layerCount(), 2);
  EXPECT_EQ(picture(*f.y.doc), picture(d));
}

// A 54-byte region fill of a 2 x 2 region at (1, 1).
std::vector<uint8_t> regionFill(uint32_t unpackedClaim) {
  const uint8_t grid[4] = {255, 255, 255, 255};
  std::vector<uint8_t> packed;
  uint32_t packedLength = 0;
  EXPECT_TRUE(packForPacket(grid, 4, packed, packedLength));
  std::vector<uint8_t> b(kRegion54Header, 0);
  writeLE32(b.data() + kRegion54Bounds, 1);
  writeLE32(b.data() + kRegion54Bounds + 4, 1);
  writeLE32(b.data() + kRegion54Bounds + 8, 2);
  writeLE32(b.data() + kRegion54Bounds + 12, 2);
  writeLE32(b.data() + kRegion54PackedEven, uint32_t(packed.size()));
  writeLE32(b.data() + kRegion54Unpacked, unpackedClaim);
  writeLE32(b.data() + kRegion54Packed, packedLength);
  b.insert(b.end(), packed.begin(), packed.end());
  return b;
}

TEST(ReplayLayers, RegionFills) {
  {
    RawReplay r(StreamBuilder().imageCreate().packet(kPktRegionFill, 0, regionFill(4)).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    const uint64_t before = imageHash(*r.y.doc->getLayer(0)->image);
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
    EXPECT_NE(imageHash(*r.y.doc->getLayer(0)->image), before);
  }
  const std::vector<StopCase> cases = {
      {"colour range without its data block", StreamBuilder().imageCreate().packet(kPktRegionFill, 32, regionFill(4)),
       ReplayError::BadField},
      {"region larger than its grid", StreamBuilder().imageCreate().packet(kPktRegionFill, 0, regionFill(5)),
       ReplayError::BadField},
      {"region of a different length", StreamBuilder().imageCreate().packet(kPktRegionFill, 0, regionFill(3)),
       ReplayError::BadField},
  };
  expectStops(cases);
  // A placed text paints its coverage into the current layer; the text
  // selection makes it the selection and leaves the pixels.
  for (const uint8_t subcode : {uint8_t(16), uint8_t(17)}) {
    RawReplay r(StreamBuilder().imageCreate().packet(kPktRegionFill, subcode, regionFill(4)).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    const uint64_t before = imageHash(*r.y.doc->getLayer(0)->image);
    EXPECT_FALSE(r.y.doc->hasSelection());
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone) << int(subcode);
    EXPECT_EQ(imageHash(*r.y.doc->getLayer(0)->image) != before, subcode == 16) << int(subcode);
    EXPECT_EQ(r.y.doc->hasSelection(), subcode == 17) << int(subcode);
  }
}

TEST(ReplayLayers, BadFieldsAndMissingLayersStopTheReplay) {
  const std::vector<StopCase> cases = {
      {"blend mode out of range", StreamBuilder().imageCreate().packet(kPktLayer, 16, {0, 0, 200, 255, 1, 0}),
       ReplayError::BadField},
      {"no such layer", StreamBuilder().imageCreate().packet(kPktLayer, 17, {3, 0, 0, 255, 1, 0}),
       ReplayError::OperationFailed},
      {"link data not twice the count",
       StreamBuilder().imageCreate().packet(kPktLayerList, 0,
                                            {0, 0, 2, 0, 0, 0, 1, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2}),
       ReplayError::BadField},
      {"rename of no such mask", StreamBuilder().imageCreate().packet(kPktMask, 12, {9, 0, 2, 0, 'a', 0}),
       ReplayError::OperationFailed},
  };
  expectStops(cases);
}

// Default names count the layers and masks made; an undone one gives its
// number back, since its event leaves the recording and a replay never
// makes it. Redo takes the number again.
TEST(ReplayLayers, UndoneLayersAndMasksGiveTheirDefaultNamesBack) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(d.newLayerCmd(&flow, 0, true));
  ASSERT_TRUE(d.newMask(flow, d.currentLayerIndex(), d.masks()->current(), true));
  const std::string layerName = d.currentLayer()->name;
  const std::string maskName = d.masks()->currentMask()->name;
  ASSERT_TRUE(d.undo(flow, index, rect));
  ASSERT_TRUE(d.undo(flow, index, rect));
  ASSERT_TRUE(d.redo(flow, index, rect));
  EXPECT_EQ(d.currentLayer()->name, layerName);
  ASSERT_TRUE(d.undo(flow, index, rect));
  ASSERT_TRUE(d.newLayerCmd(&flow, 2, true));
  ASSERT_TRUE(d.duplicateMask(flow, d.currentLayerIndex(), 0, true));
  // The numbers of the undone layer and mask again.
  EXPECT_EQ(d.currentLayer()->name, layerName);
  EXPECT_EQ(d.masks()->currentMask()->name, maskName);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  EXPECT_EQ(picture(*f.y.doc), picture(d));
}

}  // namespace
}  // namespace pg::test
