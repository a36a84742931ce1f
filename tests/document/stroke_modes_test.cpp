// The document's stroke modes and tool sources: the older-format mode
// without a document undo, the tone set of tools and replay, and the
// document-to-layer coordinates.
#include <gtest/gtest.h>

#include "doc_ops_fixture.h"

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
  ASSERT_TRUE(f.doc->leaveOlderFormatMode());
  EXPECT_TRUE(f.doc->hasUndo());
  EXPECT_TRUE(f.doc->isStandardMode());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
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
