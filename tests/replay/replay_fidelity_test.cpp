// A piece of work recorded on one document replays into a fresh one to the
// same pixels, at the end and after every replayed event in between, from
// the live recording, from an event file and from a native file.
#include <gtest/gtest.h>

#include "core/block_pool.h"
#include "filters/distort_filters.h"
#include "filters/filter_table.h"
#include "filters/floor_command.h"
#include "filters/floor_filter.h"
#include "filters/noise_filters.h"
#include "document/paper_ops.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "io/thumbnail_document.h"
#include "record/event_file.h"
#include "replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

// The scripted work: strokes of both engines and of every stroke kind with
// pressure, with smoothing on and off, a tone and a gradation, colour and
// size changes, the paper colour, layers added, changed, moved, merged and
// deleted, the selection and masks with fills and strokes inside them, an
// undo and a redo in the middle, and filters. `expected` gets the picture
// after every event the recording keeps.
void scriptedWork(ReplayFixture& f, std::vector<std::string>& expected) {
  auto keep = [&] { expected.push_back(picture(*f.x.doc)); };
  expected.push_back(picture(*f.x.doc));  // after the reset point
  f.paint(ReplayFixture::line(5, 5, 50, 30, 40));
  keep();
  f.tool.setColor(0x0000FF00u);
  f.tool.setWidth(3.0f);
  f.tool.setPressureSize(true);
  f.paint(ReplayFixture::line(60, 2, 3, 45, 17, 0.1f, 0.9f));
  keep();
  ASSERT_TRUE(f.x.doc->setPaperColor(PaperColor::fromRgb(250, 240, 200), true));
  keep();
  // An undone stroke leaves the recording with its event.
  f.tool.setColor(0x00FF0000u);
  f.paint(ReplayFixture::line(2, 40, 60, 40, 12));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.x.doc->undo(*f.x.flow, index, rect));
  f.tool.straightInput = 1;
  f.tool.exactPoints = 1;
  f.paint(ReplayFixture::line(10, 44, 40, 4, 33, 1.0f, 0.2f));
  keep();
  f.tool.straightInput = 0;
  f.tool.exactPoints = 0;
  // The pen-method engine.
  f.usePenEngine();
  f.tool.setColor(0x00802010u);
  f.tool.setWidth(8.0f);
  f.paintEngine(ReplayFixture::line(4, 24, 60, 20, 25, 0.5f, 1.0f));
  keep();
  // Unsmoothed input: the canvas switches the engine's interpolation off.
  f.tool.straightInput = 1;
  f.x.doc->penEngine()->setInterpolateMode(0);
  f.paintEngine(ReplayFixture::line(30, 2, 34, 46, 9, 1.0f, 0.4f));
  keep();
  f.x.doc->penEngine()->setInterpolateMode(1);
  f.tool.straightInput = 0;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  auto step = [&](const char* what, bool ok) {
    ASSERT_TRUE(ok) << what;
    keep();
  };
  // Every stroke kind of the dab walker, with pressure.
  for (uint8_t kind = 0; kind <= 8; ++kind) {
    f.tool.setKind(kind);
    f.tool.setColor(0x00103050u + kind * 0x00140A00u);
    f.paint(ReplayFixture::line(2.0f + kind * 6, 4, 10.0f + kind * 5, 44, 14, 0.2f, 1.0f));
    keep();
  }
  f.tool.setKind(skAirbrush);
  // A screen tone and a gradation over strokes, and a gradient fill.
  f.useTone(4, 40);
  f.tool.setWidth(12.0f);
  f.paint(ReplayFixture::line(4, 30, 60, 34, 18, 0.6f, 1.0f));
  keep();
  f.tool.setUseTone(false, true);
  f.tool.setSubColor(0x0000E0E0u);
  f.tool.setUseGradation(true, true);
  f.paint(ReplayFixture::line(6, 10, 58, 12, 18, 0.9f, 0.4f));
  keep();
  f.tool.setUseGradation(false, true);
  f.tool.setWidth(6.0f);
  // Layers: add, paint, attributes, duplicate, move, merge, delete.
  step("new layer", d.newLayerEx(&flow, 1, true, 200, 3, 48, 64, true));
  f.paint(ReplayFixture::line(50, 4, 12, 40, 16));
  keep();
  step("gradient fill", d.fillLayerGradient(flow, d.currentLayerIndex(), TPointF{4, 4}, TPointF{40, 30}, false, f.tool, true));
  step("opacity", d.setLayerOpacity(1, 140, true));
  step("blend mode", d.setLayerBlendMode(1, 2, true));
  step("name", d.setLayerName(1, "上塗り", true));
  step("protect alpha", d.setProtectAlpha(1, 1, true));
  step("hide", d.setLayerVisible(1, false, true));
  step("show", d.setLayerVisible(1, true, true));
  step("dissolve", d.setLayerEffect(1, true, 60, true));
  step("duplicate", d.duplicateLayer(&flow, 1, true));
  step("move", d.moveLayer(&flow, 2, 0, true));
  step("merge down", d.mergeDown(&flow, 2, true));
  step("delete", d.deleteLayer(&flow, 0, true));
  // The selection and masks: shapes, invert, fills and strokes inside it.
  step("rectangle selection", d.maskFigureRect(flow, d.currentLayerIndex(), TPointF{8, 6}, TPointF{40, 30}, 0, f.tool, true));
  f.tool.setColor(0x00E03020u);
  f.paint(ReplayFixture::line(2, 2, 62, 46, 20));
  keep();
  step("invert selection", d.maskInvert(flow, d.currentLayerIndex(), true));
  step("fill in the selection", d.fillLayerColor(flow, d.currentLayerIndex(), 0x00336699u, f.tool, true, true));
  step("erase the selection", d.deleteSelection(flow, d.currentLayerIndex(), 0x00F0E0D0u, f.tool, true, true));
  step("new mask", d.newMask(flow, d.currentLayerIndex(), 0, true));
  step("ellipse selection",
       d.maskFigureEllipse(flow, d.currentLayerIndex(), TPointF{10, 10}, TPointF{50, 40}, 0.0, 0, f.tool, true));
  step("bucket fill", d.bucketFillLayer(flow, d.currentLayerIndex(), TPoint{30, 24}, true, false, f.tool,
                                        SRegionFillSettings{}, true));
  step("select all", d.maskFillAll(flow, d.currentLayerIndex(), true));
  // Undo and redo in the middle: the redone stroke is in the recording again.
  f.tool.setColor(0x0020A040u);
  f.paint(ReplayFixture::line(60, 40, 4, 8, 15, 1.0f, 0.3f));
  {
    int32_t layer = 0;
    TRect changed{};
    ASSERT_TRUE(d.undo(flow, layer, changed));
    ASSERT_TRUE(d.redo(flow, layer, changed));
  }
  keep();
  // Filters, with and without parameters.
  auto filter = [&](const char* command, std::vector<uint8_t> params) {
    const FilterDialog dialog = [&](const SFilterEntry&, CFlt4Core&, std::vector<uint8_t>& out) {
      out = params;
      return true;
    };
    ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, f.x.doc->currentLayerIndex(), *filterByCommand(command), false, dialog),
              FilterResult::Done)
        << command;
    keep();
  };
  filter("filterMosaic", {4, 0, 0, 0, 0, 0, 0, 0});
  filter("filterInvert", {});
  filter("filterTwirl", {50, 0, 1, 0, 0, 0, 0, 0});
  filter("filterBlur", {});
  // The floor: a copy of the layer on the ceiling, a file's image on the
  // floor (which travels with the event).
  {
    SFltFloor floor = floorDesignValues();
    floor.Pitch = 0.2f;
    floor.TextureFromFile = 2;
    floor.FloorTexWidth = 40;
    floor.FloorTexHeight = 30;
    auto image = std::make_shared<TMTC>(40, 30);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) *image->pixelAt(x, y) = 0xFF000000u | uint32_t(x * 6) << 16 | uint32_t(y * 8);
    floorRememberedTextures()[1] = SFloorFileTexture{image, "tiles.png"};
    std::vector<uint8_t> bytes(SFltFloor::kSize);
    floor.write(bytes.data());
    filter("filterFloor", bytes);
    floorRememberedTextures() = {};
  }
  f.paint(ReplayFixture::line(5, 40, 58, 8, 20));
  keep();
}

TEST(ReplayFidelity, EveryEventReplaysToThePixelsOfTheOriginal) {
  ReplayFixture f;
  const std::string blank = picture(*f.x.doc);
  std::vector<std::string> expected;
  scriptedWork(f, expected);
  EXPECT_NE(expected.back(), blank);
  f.replayEachAgainst(expected);
}

TEST(ReplayFidelity, SavedRecordingsReplayFromBothFileKinds) {
  pg::testing::TempFolder dir;
  ReplayFixture f;
  std::vector<std::string> expected;
  scriptedWork(f, expected);
  CPaperEventDocument events(*f.x.doc);
  ASSERT_TRUE(saveEventFile(dir.file("work.ke4"), events, false).saved());
  ASSERT_TRUE(writeNativeFile(dir.file("work.kci"), *f.x.doc, kNativeLayers | kNativeMasks | kNativeEvents));
  for (const char* name : {"work.ke4", "work.kci"}) {
    RecordedDoc y(nullptr);
    y.window.replaying = true;
    CReplaySession session(*y.doc, *y.flow);
    ASSERT_EQ(session.open(dir.file(name)), ReplayStart::Started) << name;
    // Seven events at a time, compared at every stop on the way.
    size_t done = 0;
    while (done + 7 <= expected.size()) {
      ASSERT_EQ(session.step(7), ReplayStep::EventDone) << name;
      done += 7;
      ASSERT_EQ(picture(*y.doc), expected[done - 1]) << name << " after " << done << " events";
    }
    EXPECT_EQ(session.step(1000), ReplayStep::End) << name;
    EXPECT_FALSE(session.isRunning());
    EXPECT_EQ(picture(*y.doc), expected.back()) << name;
  }
}

// A stroke whose pixels cannot be stored (no tile memory) after its event was
// written takes the event back: the recording is byte for byte what it was
// before the stroke, and it replays to the document's pixels.
TEST(ReplayFidelity, AStrokeThatCannotBeStoredLeavesNoEventBehind) {
  struct Case {
    const char* what;
    bool engine;
  };
  for (const Case& c : {Case{"the dab walker", false}, Case{"the pen engine", true}}) {
    ReplayFixture f;
    if (c.engine) f.usePenEngine();
    const auto stroke = [&](float y) {
      const std::vector<SStrokePoint> pts = ReplayFixture::line(4, y, 60, y + 6, 12);
      if (c.engine) {
        f.paintEngine(pts);
      } else {
        f.paint(pts);
      }
    };
    stroke(10);
    CEventMngr& store = f.x.store();
    const auto stream = [&] {
      std::vector<uint8_t> b(store.committedEnd());
      EXPECT_EQ(store.readRange(0, b.data(), uint32_t(b.size())), b.size());
      return b;
    };
    const uint32_t events = store.committedCount();
    const std::vector<uint8_t> bytes = stream();
    const std::string painted = picture(*f.x.doc);
    {
      CTilePoolFailScope noTiles(0);
      const std::vector<SStrokePoint> pts = ReplayFixture::line(4, 30, 60, 40, 12);
      TPaper& doc = *f.x.doc;
      f.tool.layerIndex = doc.currentLayerIndex();
      const bool begun = c.engine ? doc.beginEngineStroke(*f.x.flow, f.tool, true, pts[0].x, pts[0].y, pts[0].pressure)
                                  : doc.beginStroke(*f.x.flow, f.tool, true, pts[0].x, pts[0].y, pts[0].pressure);
      ASSERT_TRUE(begun) << c.what;
      for (size_t i = 1; i < pts.size(); ++i) {
        const bool on = c.engine ? doc.continueEngineStroke(*f.x.flow, f.tool, true, true, pts[i].x, pts[i].y, pts[i].pressure)
                                 : doc.continueStroke(*f.x.flow, f.tool, true, true, pts[i].x, pts[i].y, pts[i].pressure);
        ASSERT_TRUE(on) << c.what;
      }
      SRectXYWH r{};
      const bool ended = c.engine ? doc.endEngineStroke(*f.x.flow, f.tool, true, r, true)
                                  : doc.endStroke(*f.x.flow, f.tool, true, r, true);
      EXPECT_FALSE(ended) << c.what;
    }
    EXPECT_EQ(picture(*f.x.doc), painted) << c.what;
    EXPECT_EQ(store.committedCount(), events) << c.what;
    EXPECT_EQ(stream(), bytes) << c.what;
    // The recording goes on from there.
    stroke(20);
    ASSERT_EQ(f.startReplay(), ReplayStart::Started) << c.what;
    EXPECT_EQ(f.replayAll(), ReplayStep::End) << c.what;
    EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc)) << c.what;
  }
}

}  // namespace
}  // namespace pg::test
