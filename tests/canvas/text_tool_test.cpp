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
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "io/thumbnail_document.h"
#include "record/event_file.h"
#include "record/event_store.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace text_tool_test {

uint32_t eventsOf(TPaper& doc) { return static_cast<CDocEventRecorder*>(doc.events())->store().committedCount(); }

std::vector<uint32_t> layerPixels(TPaper& doc) {
  const CLayerData* l = doc.currentLayer();
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < doc.height(); ++y)
    for (int32_t x = 0; x < doc.width(); ++x) out.push_back(l->image->getPixel(x + l->offsetX, y + l->offsetY));
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

// The mask values of the current selection over the document.
std::vector<uint8_t> selectionValues(TPaper& doc) {
  std::vector<uint8_t> out;
  const CMaskData* m = doc.masks()->currentMask();
  if (m == nullptr || !m->hasImage()) return out;
  for (int32_t y = 0; y < doc.height(); ++y)
    for (int32_t x = 0; x < doc.width(); ++x) out.push_back(m->image->getPixel(x - m->offsetX, y - m->offsetY));
  return out;
}

// Saves f's recording as an event file and replays it to the end in g.
void replaySavedEvents(CanvasFixture& f, const std::string& path, CanvasFixture& g) {
  CPaperEventDocument events(f.doc());
  ASSERT_TRUE(saveEventFile(path, events, false).saved());
  uint32_t now = 1000;
  ASSERT_TRUE(g.window->openEventFile(path, now));
  for (int guard = 0; guard < 10000 && g.window->isReplaying(); ++guard) (void)g.window->replayStep(now += 1);
  EXPECT_FALSE(g.window->isReplaying());
  ASSERT_EQ(g.host.summaries.size(), 1u);
  EXPECT_EQ(g.host.summaries[0].kind, ReplayEndKind::Normal);
}

// Japanese text, vertical and across, in red on a second layer and as a
// selection, recorded and saved as an event file; a second window replays
// the file to the same layer pixels and the same selection.
TEST(TextTool, RecordedTextReplaysToTheSamePixels) {
  pg::testing::TempFolder dir;
  const std::string path = dir.file("text.ke4");
  CanvasFixture f;
  f.shared.setMainColor(0x2040C0);
  ASSERT_TRUE(f.doc().newLayerCmd(&f.window->flow(), 3, true));
  {
    CTextToolSession vertical(*f.window, {150, 60}, false);
    ASSERT_TRUE(vertical.commit(japanese(true)));
  }
  f.shared.setMainColor(0x000000);
  {
    CTextToolSession across(*f.window, {20, 200}, false);
    ASSERT_TRUE(across.commit(japanese(false)));
  }
  {
    CTextToolSession select(*f.window, {250, 40}, true);
    ASSERT_TRUE(select.commit(japanese(true)));
  }
  const std::vector<uint32_t> placed = layerPixels(f.doc());
  const std::vector<uint8_t> selected = selectionValues(f.doc());
  ASSERT_FALSE(selected.empty());
  CanvasFixture g;
  replaySavedEvents(f, path, g);
  ASSERT_EQ(g.doc().layerCount(), 2);
  EXPECT_EQ(g.doc().currentLayerIndex(), f.doc().currentLayerIndex());
  EXPECT_TRUE(layerPixels(g.doc()) == placed);
  EXPECT_TRUE(selectionValues(g.doc()) == selected);
}

// Text selections made with the add and subtract modifiers combine with the
// selection there is; the recording carries the combine mode, so a replay of
// the saved events gives the same selection (a plain replace would lose the
// first text).
TEST(TextTool, TextSelectionsReplayWithTheirCombineMode) {
  pg::testing::TempFolder dir;
  const std::string path = dir.file("select.ke4");
  CanvasFixture f;
  struct Step {
    TPoint at;
    SKeyState keys;
  };
  SKeyState add, subtract;
  add.shift = true;
  subtract.alt = true;
  f.shared.prefs.shortcutMode = 0;
  const Step steps[] = {{{40, 40}, SKeyState{}}, {{60, 150}, add}, {{50, 60}, subtract}};
  std::vector<std::vector<uint8_t>> after;
  for (const Step& s : steps) {
    f.window->setKeyState(s.keys);
    CTextToolSession select(*f.window, s.at, true);
    ASSERT_TRUE(select.commit(japanese(false)));
    after.push_back(selectionValues(f.doc()));
  }
  f.window->setKeyState(SKeyState{});
  // Each step changed the selection, and the added text kept the first.
  EXPECT_NE(after[1], after[0]);
  EXPECT_NE(after[2], after[1]);
  CanvasFixture g;
  replaySavedEvents(f, path, g);
  EXPECT_TRUE(selectionValues(g.doc()) == after.back());
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

}  // namespace text_tool_test
}  // namespace pg::test
