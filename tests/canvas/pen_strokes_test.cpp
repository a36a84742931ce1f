// Strokes of every paint kind painted through a document window with the
// brush the tool window hands over: the pen-method kinds through the
// document's pen engine over the shared renderer, the others through the
// dab-table walker. Each replays to the same pixels from the live recording,
// from an event file in another window and from a native file; and each
// control of the nib reaches the painted pixels.
#include <gtest/gtest.h>

#include <functional>

#include "brush/paint_param.h"
#include "brush/paint_param_kinds.h"
#include "brush/pen_render.h"
#include "brush/pen_shape_obj.h"
#include "canvas/pen_tools.h"
#include "canvas_fixture.h"
#include "core/random.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "io/thumbnail_document.h"
#include "record/event_file.h"
#include "replay/replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

using ParamEdit = std::function<void(TPaintParam&)>;

// A window over shared state that has the main window's renderer, so that
// its documents get their pen engine.
struct PenCanvas {
  PenCanvas() {
    shared.usePenRender(render);
    window = std::make_unique<TDrawWindow>(shared, &host);
    window->resize({300, 240});
    EXPECT_TRUE(window->newDocument("pen", 64, 48, 72));
    window->paintPending();
  }
  TPaper& doc() { return window->paper(); }

  // The tool window's part: the brush of a kind with some values of its
  // own, handed over as the options panel does, and the engine switched
  // by the kind's family.
  void useBrush(uint8_t kind, const ParamEdit& edit = {}) {
    param = std::make_unique<TPaintParam>(kind);
    param->setSize(7.0f);
    param->setMinSize(0.2f);
    param->setOpacity(0.8f);
    param->setSpacing(0.15f);
    param->setEffect(60.0f);
    param->setEnv(40.0f);
    param->setSpeed(30.0f);
    param->setPressureSize(true);
    param->setPressureOpacity(true);
    if (edit) edit(*param);
    shared.penEngineLevel = paintKindFamily(kind) == 2 ? 2 : 1;
    ASSERT_TRUE(window->selectPenEngine(shared.penEngineLevel));
    shared.setMainColor(0x00C04020u);
    shared.setSecondColor(0x0030A0F0u);
    shared.penTools()->applyStrokeParams(*param, shared.toolStroke(), doc().penEngine());
  }
  // A stroke with pressure through the window's stroke input (image
  // coordinates converted to the window's).
  void stroke(float x0, float y0, float x1, float y1, int n) {
    TStroke& s = shared.toolStroke();
    for (int i = 0; i <= n; ++i) {
      const float t = float(i) / float(n);
      const TPointF at = window->imageToClient({x0 + (x1 - x0) * t, y0 + (y1 - y0) * t});
      (void)window->strokePoint(s, false, at.X, at.Y, 0.15f + 0.8f * t);
    }
    const TPointF end = window->imageToClient({x1, y1});
    window->strokeEnd(s, false, end.X, end.Y);
  }
  // A painted surface: the background mixed a little, then two strokes.
  void paintWork() {
    stroke(6, 8, 56, 38, 24);
    stroke(58, 6, 10, 42, 18);
  }

  CPenRender render;
  CCanvasShared shared;
  FakeHost host;
  std::unique_ptr<TDrawWindow> window;
  std::unique_ptr<TPaintParam> param;
};

// A seeded nib image with a hole, so that the nib's shape shows.
std::unique_ptr<TChannel> nibImage(uint32_t seed) {
  auto nib = std::make_unique<TChannel>(12, 9);
  SRandomRange rng;
  initRandomRange(rng, seed, 0, 199);
  for (int32_t y = 0; y < nib->Height; ++y)
    for (int32_t x = 0; x < nib->Width; ++x)
      *nib->pixelAt(x, y) = (x + y) % 5 == 0 ? 255 : uint8_t(nextRandomInRange(rng));
  return nib;
}

// Replays the document's recording into a fresh document (through the
// live store, an event file and a native file) and into a window sharing
// the renderer; each must give the document's picture.
void expectReplaysAlike(PenCanvas& c, const std::string& label) {
  pg::testing::TempFolder dir;
  TPaper& doc = c.doc();
  const std::string want = picture(doc);
  CPaperEventDocument events(doc);
  ASSERT_TRUE(saveEventFile(dir.file("work.ke4"), events, false).saved()) << label;
  ASSERT_TRUE(writeNativeFile(dir.file("work.kci"), doc, kNativeLayers | kNativeMasks | kNativeEvents)) << label;
  for (const char* name : {"work.ke4", "work.kci"}) {
    RecordedDoc y(nullptr);
    y.window.replaying = true;
    CReplaySession session(*y.doc, *y.flow);
    ASSERT_EQ(session.open(dir.file(name)), ReplayStart::Started) << label << " " << name;
    EXPECT_EQ(session.step(100000), ReplayStep::End) << label << " " << name;
    EXPECT_EQ(picture(*y.doc), want) << label << " replayed from " << name;
  }
  // In a window of the same program: the document's own engine paints the
  // replay with the recording's renderer.
  FakeHost host;
  TDrawWindow other(c.shared, &host);
  other.resize({300, 240});
  ASSERT_TRUE(other.newDocument("other", 8, 8, 72));
  uint32_t now = 1000;
  ASSERT_TRUE(other.openEventFile(dir.file("work.ke4"), now)) << label;
  for (int guard = 0; guard < 100000 && other.isReplaying(); ++guard) (void)other.replayStep(now += 1);
  EXPECT_FALSE(other.isReplaying());
  EXPECT_EQ(picture(other.paper()), want) << label << " replayed in a window";
}

TEST(PenStrokes, EveryPaintKindPaintedInAWindowReplaysByteForByte) {
  for (uint8_t kind = 0; kind < kPaintKindCount; ++kind) {
    PenCanvas c;
    // Something under the brush for the kinds that move or pick up colour.
    c.useBrush(3);  // the airbrush
    c.stroke(2, 24, 62, 24, 12);
    c.useBrush(kind);
    const std::string before = picture(c.doc());
    c.paintWork();
    // The walker's second blur lays no coverage down: it paints nothing.
    if (paintKindStrokeKind(kind) != skBlur2) {
      EXPECT_NE(picture(c.doc()), before) << "kind " << int(kind) << " painted nothing";
    }
    EXPECT_EQ(c.doc().strokeState().engineMode(), paintKindFamily(kind) == 2 ? 2 : 1) << "kind " << int(kind);
    expectReplaysAlike(c, "kind " + std::to_string(kind));
  }
}

// A change of each nib control changes the pixels of a pen-method stroke,
// and the changed stroke replays as painted.
TEST(PenStrokes, EveryNibControlReachesThePaintedPixels) {
  struct Case {
    const char* name;
    ParamEdit edit;
  };
  const auto withNib = [](TPaintParam& p) {
    const auto image = nibImage(7);
    p.setNibImage(image.get());
    p.setNibScale(2.0f);
  };
  const std::vector<Case> cases = {
      {"aspect", [](TPaintParam& p) { p.setAspect(0.35f); }},
      {"angle", [](TPaintParam& p) {
         p.setAspect(0.4f);
         p.setAngle(60.0f);
       }},
      {"hard edge", [](TPaintParam& p) { p.setHardEdge(true); }},
      {"falloff", [](TPaintParam& p) {
         p.setFalloff(4);
         p.setFalloffValue1(0.3f);
       }},
      {"nib image", withNib},
      {"another nib image", [&](TPaintParam& p) {
         withNib(p);
         const auto other = nibImage(99);
         p.setNibImage(other.get());
       }},
  };
  for (uint8_t kind : {uint8_t(9), uint8_t(12)}) {
    PenCanvas plain;
    plain.useBrush(kind);
    plain.paintWork();
    const std::string base = picture(plain.doc());
    std::string last = base;
    for (const Case& c : cases) {
      PenCanvas changed;
      changed.useBrush(kind, c.edit);
      changed.paintWork();
      const std::string got = picture(changed.doc());
      EXPECT_NE(got, base) << c.name << " of kind " << int(kind) << " changed nothing";
      EXPECT_NE(got, last) << c.name << " of kind " << int(kind) << " painted as the case before";
      last = got;
      expectReplaysAlike(changed, std::string(c.name) + " kind " + std::to_string(kind));
    }
  }
}

// The nib object keeps its id while the brush's nib stays the same, so that
// a recording defines a nib image once; a new image gives a new id.
TEST(PenStrokes, TheNibObjectChangesOnlyWithTheBrushNib) {
  PenCanvas c;
  const auto image = nibImage(3);
  c.useBrush(9, [&](TPaintParam& p) { p.setNibImage(image.get()); });
  const uint32_t id = c.shared.penTools()->penShape().id();
  ASSERT_TRUE(c.shared.penTools()->penShape().isImageNib());
  c.shared.penTools()->applyStrokeParams(*c.param, c.shared.toolStroke(), c.doc().penEngine());
  EXPECT_EQ(c.shared.penTools()->penShape().id(), id);
  const auto other = nibImage(4);
  c.param->setNibImage(other.get());
  c.shared.penTools()->applyStrokeParams(*c.param, c.shared.toolStroke(), c.doc().penEngine());
  EXPECT_NE(c.shared.penTools()->penShape().id(), id);
  EXPECT_TRUE(c.render.hasNib());
}

// The brush-size drag works on the active brush: its size and its own
// limits come from the tool window, and each new size goes back to it.
TEST(PenStrokes, TheBrushSizeDragUsesTheActiveBrushsLimits) {
  CanvasFixture f;
  std::vector<float> sizes;
  f.shared.brushSizeRange = [](SBrushSizeRange& r) {
    r = SBrushSizeRange{20.0f, 10.0f, 60.0f};
    return true;
  };
  f.shared.setBrushSize = [&](float size) { sizes.push_back(size); };
  ASSERT_TRUE(f.shared.selectTool(ToolId::BrushSizeDrag));
  const float width = f.shared.toolStroke().WIDTH;
  // 100 pixels to the right: +100 x 100 / (60 - 10) = +200, held at 60;
  // then 10 to the left of the start: 20 - 20 = 0, held at 10.
  f.drag({{200, 200}, {200, 230}, {300, 200}, {190, 200}});
  EXPECT_EQ(sizes, (std::vector<float>{60.0f, 10.0f}));
  EXPECT_EQ(f.shared.toolStroke().WIDTH, width);  // the tool window applies it, not the drag
  // Without a tool window the drag sets the stroke width within 0.1..200.
  f.shared.brushSizeRange = nullptr;
  f.shared.setBrushSize = nullptr;
  f.shared.toolStroke().setWidth(20.0f);
  f.drag({{200, 200}, {201, 200}});
  EXPECT_NEAR(f.shared.toolStroke().WIDTH, 20.0f + 100.0f / 199.9f, 1e-4);
}

}  // namespace
}  // namespace pg::test
