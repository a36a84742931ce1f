// The layer commands of the menus (link groups, the opaque merge of the
// visible layers, new layers of a kind) and the canvas size that keeps what
// lies outside the canvas: each undoes exactly and replays to the same
// pixels.
#include <gtest/gtest.h>

#include <functional>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

// The document's picture without the current layer and mask (which an
// undo leaves where the user last was).
std::string contents(const TPaper& doc) {
  std::string s = picture(doc);
  const size_t at = s.find(" current ");
  if (at != std::string::npos) s.erase(at, s.find('\n', at) - at);
  return s;
}

// Three painted layers over the background; layer 2 is linked to layer 1,
// whose opacity dims it inside the group.
struct GroupFixture : ReplayFixture {
  GroupFixture() {
    TPaper& d = *x.doc;
    paint(line(5, 5, 50, 30, 20));
    for (int32_t i = 1; i <= 3; ++i) {
      EXPECT_TRUE(d.newLayerEx(&flow(), i, true, 255, 3, 48, 64, true));
      tool.setColor(0x00304050u * static_cast<uint32_t>(i));
      paint(line(60 - 12 * i, 3, 4 + 6 * i, 44, 12));
    }
    EXPECT_TRUE(d.setLayerOpacity(1, 128, true));
    EXPECT_TRUE(d.linkLayer(&flow(), 2, true, true));
  }
  TFlowImage& flow() { return *x.flow; }
};

TEST(ReplayLayerGroups, EachCommandUndoesExactlyAndReplays) {
  struct Case {
    const char* what;
    std::function<bool(TPaper&, TFlowImage&)> op;
  };
  const Case cases[] = {
      {"link", [](TPaper& d, TFlowImage& f) { return d.linkLayer(&f, 3, true, true); }},
      {"unlink", [](TPaper& d, TFlowImage& f) { return d.linkLayer(&f, 2, false, true); }},
      {"merge the link group", [](TPaper& d, TFlowImage& f) { return d.mergeLinkGroup(&f, 1, 2, true); }},
      {"delete the link group", [](TPaper& d, TFlowImage& f) { return d.deleteLayerGroup(&f, 1, true); }},
      {"merge visible, opaque", [](TPaper& d, TFlowImage& f) { return d.mergeVisible(&f, false, false, true); }},
      {"new multiply layer", [](TPaper& d, TFlowImage& f) { return d.newLayerCmd(&f, 0, true); }},
      {"new subtract layer", [](TPaper& d, TFlowImage& f) { return d.newLayerCmd(&f, 2, true); }},
      {"shrink the canvas", [](TPaper& d, TFlowImage& f) { return d.resizeCanvas(f, 30, 20, 8, true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GroupFixture g;
    TPaper& d = *g.x.doc;
    const std::string before = contents(d);
    ASSERT_TRUE(c.op(d, g.flow()));
    const std::string after = contents(d);
    const std::string whole = picture(d);
    EXPECT_NE(after, before);
    int32_t index = 0;
    TRect rect{};
    ASSERT_TRUE(d.undo(g.flow(), index, rect));
    EXPECT_EQ(contents(d), before);
    ASSERT_TRUE(d.redo(g.flow(), index, rect));
    EXPECT_EQ(contents(d), after);
    // The recording of the command, replayed, gives the same document.
    GroupFixture r;
    ASSERT_TRUE(c.op(*r.x.doc, r.flow()));
    ASSERT_EQ(r.startReplay(), ReplayStart::Started);
    EXPECT_EQ(r.replayAll(), ReplayStep::End);
    EXPECT_EQ(picture(*r.y.doc), whole);
  }
}

TEST(ReplayLayerGroups, MergingTheVisibleLayersDimsALinkedLayerByItsBase) {
  GroupFixture g;
  TPaper& d = *g.x.doc;
  // The picture as shown, then merged: the merged layer is the picture.
  d.redraw(false);
  const uint32_t shown = d.composite().getPixel(40, 20);
  ASSERT_TRUE(d.mergeVisible(&g.flow(), false, false, true));
  ASSERT_EQ(d.layerCount(), 1);
  const CLayerData& merged = *d.getLayer(0);
  EXPECT_EQ(merged.image->getPixel(40 + merged.offsetX, 20 + merged.offsetY), shown | 0xFF000000u);
}

TEST(ReplayLayerGroups, ShrinkingTheCanvasAndGrowingItBackKeepsEveryPixel) {
  GroupFixture g;
  TPaper& d = *g.x.doc;
  // Both anchored at the bottom right: the shrink keeps that corner on the
  // canvas, the growth puts the old canvas back there, and the pixels that
  // lay outside the small canvas come back with it.
  ASSERT_TRUE(d.resizeCanvas(g.flow(), 30, 20, 8, true));
  EXPECT_EQ(d.width(), 30);
  ASSERT_TRUE(d.resizeCanvas(g.flow(), 64, 48, 8, true));
  std::vector<uint32_t> kept;
  for (int32_t i = 0; i < d.layerCount(); ++i) {
    const CLayerData& l = *d.getLayer(i);
    for (int32_t y = 0; y < 48; y += 3)
      for (int32_t x = 0; x < 64; x += 3) kept.push_back(l.image->getPixelOrBackground(x + l.offsetX, y + l.offsetY));
  }
  GroupFixture fresh;
  std::vector<uint32_t> original;
  for (int32_t i = 0; i < fresh.x.doc->layerCount(); ++i) {
    const CLayerData& l = *fresh.x.doc->getLayer(i);
    for (int32_t y = 0; y < 48; y += 3)
      for (int32_t x = 0; x < 64; x += 3) original.push_back(l.image->getPixelOrBackground(x + l.offsetX, y + l.offsetY));
  }
  EXPECT_EQ(kept, original);
  d.redraw(false);
  fresh.x.doc->redraw(false);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(d.composite().getPixel(x, y), fresh.x.doc->composite().getPixel(x, y));
  ASSERT_EQ(g.startReplay(), ReplayStart::Started);
  EXPECT_EQ(g.replayAll(), ReplayStep::End);
  EXPECT_EQ(picture(*g.y.doc), picture(d));
}

}  // namespace
}  // namespace pg::test
