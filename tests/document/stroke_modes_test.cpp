// The document's stroke modes and tool sources: the older-format mode
// without a document undo, the tone set of tools and replay, and the
// document-to-layer coordinates.
#include <gtest/gtest.h>

#include "brush/pen_render.h"
#include "brush/stroke_mngr.h"
#include "core/plane_ops.h"
#include "doc_ops_fixture.h"
#include "document/flow_image.h"

namespace pg::test {
namespace {

TEST(StrokeModes, TheOlderFormatModeHasNoDocumentUndo) {
  OpsFixture f;
  f.addLayer(0, 1);
  ASSERT_TRUE(f.doc->setLayerOpacity(0, 10, true));
  ASSERT_TRUE(f.doc->hasUndo());
  f.doc->enterOlderFormatMode();
  EXPECT_FALSE(f.doc->hasUndo());
  EXPECT_FALSE(f.doc->isStandardMode());
  // Edits still work; their snapshots go to the layers' own undo.
  EXPECT_TRUE(f.doc->setLayerName(0, "old", true));
  EXPECT_TRUE(f.doc->transformAllInPlace(*f.flow, 12, true));
  // What the older format painted is opaque once the mode is left.
  EXPECT_TRUE(f.layer(0)->image->setPixel(3, 4, 0x00123456u));
  f.flow->fitDocument(false);
  fill(f.flow->pixels, 0x10FFFFFFu);
  ASSERT_TRUE(f.doc->leaveOlderFormatMode());
  EXPECT_TRUE(f.doc->hasUndo());
  EXPECT_TRUE(f.doc->isStandardMode());
  EXPECT_EQ(f.doc->strokeState().engineMode(), 1);
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  EXPECT_EQ(f.layer(0)->image->getPixel(3, 4), 0xFF123456u);
  EXPECT_EQ(f.flow->pixels.getPixel(0, 0), 0xFFFFFFFFu);
}

TEST(StrokeModes, PenRendererAndActivation) {
  OpsFixture f;
  f.addLayer(0, 1);
  CPenRender tools, replay;
  EXPECT_EQ(f.doc->currentPenRender(), nullptr);
  f.doc->setToolTools(nullptr, &tools);
  f.doc->setReplayTools(nullptr, &replay);
  EXPECT_EQ(f.doc->currentPenRender(), &tools);
  f.window.replaying = true;
  EXPECT_EQ(f.doc->currentPenRender(), &replay);
  f.window.replaying = false;
  // Activation brings the pen engine to the settings' opacity.
  ASSERT_TRUE(f.doc->createPenEngine(f.stroke, tools));
  f.stroke.setOpacity(0.25f);
  f.doc->activate(false);
  EXPECT_EQ(f.doc->penEngine()->getParam().opacity, 1000);
  f.doc->activate(true);
  EXPECT_EQ(f.doc->penEngine()->getParam().opacity, 250);
  // Leaving the older format keeps the engine available.
  f.doc->enterOlderFormatMode();
  ASSERT_TRUE(f.doc->leaveOlderFormatMode());
  EXPECT_TRUE(f.doc->selectPenEngine(2));
}

TEST(StrokeModes, ToneSetOfTheToolsOrOfTheReplay) {
  OpsFixture f;
  const auto* tools = reinterpret_cast<const CToneMngr*>(0x1000);
  const auto* replay = reinterpret_cast<const CToneMngr*>(0x2000);
  EXPECT_EQ(f.doc->toneManager(), nullptr);
  f.doc->setToolTools(tools, nullptr);
  f.doc->setReplayTools(replay, nullptr);
  EXPECT_EQ(f.doc->toneManager(), tools);
  f.window.replaying = true;
  EXPECT_EQ(f.doc->toneManager(), replay);
  f.doc->setReplayTools(nullptr, nullptr);
  EXPECT_EQ(f.doc->toneManager(), tools);
}

TEST(StrokeModes, DocumentToLayerCoordinates) {
  OpsFixture f;
  f.addLayer(0, 1, 80, 60);
  f.layer(0)->offsetX = 7;
  f.layer(0)->offsetY = -3;
  TRect r{1, 2, 5, 6};
  ASSERT_TRUE(f.doc->paperToLayerRect(0, r));
  EXPECT_EQ(r.Left, 8);
  EXPECT_EQ(r.Top, -1);
  EXPECT_EQ(r.Right, 12);
  float x = 1.5f, y = 2.0f;
  ASSERT_TRUE(f.doc->paperToLayerPointF(0, x, y));
  EXPECT_FLOAT_EQ(x, 8.5f);
  EXPECT_FLOAT_EQ(y, -1.0f);
  EXPECT_FALSE(f.doc->paperToLayerPointF(3, x, y));
}

}  // namespace
}  // namespace pg::test
