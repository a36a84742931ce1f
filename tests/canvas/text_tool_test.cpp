// The text tool without its window: rendering at the clicked point, the
// preview, and the placement into the layer or the selection as one
// recorded, undoable step.
#include "canvas/text_tool.h"

#include <gtest/gtest.h>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "canvas_fixture.h"
#include "core/block_image.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "record/event_store.h"

namespace pg::test {
namespace {

uint32_t eventsOf(TPaper& doc) { return static_cast<CDocEventRecorder*>(doc.events())->store().committedCount(); }

std::vector<uint32_t> layerPixels(TPaper& doc) {
  const CLayerData* l = doc.currentLayer();
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < doc.height; ++y)
    for (int32_t x = 0; x < doc.width; ++x) out.push_back(l->image->getPixel(x + l->offsetX, y + l->offsetY));
  return out;
}

// Dark pixels of the layer inside a document rectangle.
int darkIn(TPaper& doc, const TRect& r) {
  const CLayerData* l = doc.currentLayer();
  int n = 0;
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x) n += (l->image->getPixel(x + l->offsetX, y + l->offsetY) & 0xFF) < 128;
  return n;
}

STextToolSettings japanese(bool vertical) {
  STextToolSettings s;
  s.faceName = "IPAGothic";
  s.charSet = kShiftJisCharSet;
  s.size = 32;
  s.vertical = vertical;
  s.text = "日本語\nかな";
  return s;
}

TEST(TextTool, TextIsPlacedInOneRecordedStepThatUndoes) {
  for (bool vertical : {false, true}) {
    CanvasFixture f;
    f.shared.setMainColor(0x000000);
    const std::vector<uint32_t> blank = layerPixels(f.doc());
    const uint32_t before = eventsOf(f.doc());
    std::vector<uint32_t> placed;
    {
      CTextToolSession session(*f.window, {150, 100}, false);
      SRectXYWH bounds{};
      ASSERT_GT(session.render(japanese(vertical), bounds), 0) << vertical;
      ASSERT_TRUE(session.commit(japanese(vertical))) << vertical;
      EXPECT_GT(darkIn(f.doc(), xywhToRect(bounds)), 50) << vertical;
      placed = layerPixels(f.doc());
    }
    EXPECT_EQ(eventsOf(f.doc()), before + 1) << vertical;
    // The same text at the same place gives the same pixels (what a replay of
    // the recorded text does).
    CanvasFixture g;
    g.shared.setMainColor(0x000000);
    {
      CTextToolSession again(*g.window, {150, 100}, false);
      ASSERT_TRUE(again.commit(japanese(vertical)));
    }
    EXPECT_EQ(layerPixels(g.doc()), placed) << vertical;
    ASSERT_TRUE(f.window->undo());
    EXPECT_EQ(layerPixels(f.doc()), blank) << vertical;
  }
}

TEST(TextTool, VerticalTextRunsDownAndLinesGoLeft) {
  CanvasFixture f;
  CTextToolSession session(*f.window, {200, 40}, false);
  SRectXYWH h{}, v{};
  ASSERT_GT(session.render(japanese(false), h), 0);
  ASSERT_GT(session.render(japanese(true), v), 0);
  EXPECT_GT(h.Width, h.Height);
  EXPECT_GT(v.Height, v.Width);
}

TEST(TextTool, TheSelectToolMakesTheTextASelection) {
  CanvasFixture f;
  const std::vector<uint32_t> blank = layerPixels(f.doc());
  const uint32_t before = eventsOf(f.doc());
  {
    CTextToolSession session(*f.window, {100, 100}, true);
    ASSERT_TRUE(session.commit(japanese(false)));
  }
  EXPECT_EQ(eventsOf(f.doc()), before + 1);
  EXPECT_TRUE(f.doc().hasSelection());
  EXPECT_EQ(layerPixels(f.doc()), blank);
  ASSERT_TRUE(f.window->undo());
  EXPECT_FALSE(f.doc().hasSelection());
}

TEST(TextTool, AnEmptyTextNeverDrawsAndRemovesThePreview) {
  CanvasFixture f;
  const std::vector<uint32_t> blank = layerPixels(f.doc());
  CTextToolSession session(*f.window, {100, 100}, false);
  session.updatePreview(japanese(false));
  EXPECT_TRUE(session.preview().shown());
  EXPECT_EQ(layerPixels(f.doc()), blank);  // the preview is over the view only
  STextToolSettings empty = japanese(false);
  empty.text.clear();
  session.updatePreview(empty);
  EXPECT_FALSE(session.preview().shown());
  EXPECT_FALSE(session.commit(empty));
  EXPECT_FALSE(f.window->canUndo());
}

TEST(TextTool, TheTextToolNeedsItsWindow) {
  CCanvasShared shared;
  EXPECT_FALSE(shared.selectMode(ToolMode::TextDraw));
  shared.runTextTool = [](TDrawWindow&, TPoint, bool) {};
  EXPECT_TRUE(shared.selectMode(ToolMode::TextDraw));
}

}  // namespace
}  // namespace pg::test
