// Undo and redo of the document: the recorder follows every step, and the
// refresh follows the record's flags.
#include <gtest/gtest.h>

#include "doc_fixture.h"

namespace pg::test {
namespace {

struct HistoryFixture : DocFixture {
  HistoryFixture() {
    addLayer(0, 1);
    addLayer(1, 2);
  }
  bool recordedOpacity(int32_t layerIndex, uint8_t v) {
    recorder->event("opacity");
    if (!doc->storeAttrUndo(layer(layerIndex), v, kUndoOpacity, 0)) return false;
    layer(layerIndex)->opacity = v;
    return true;
  }
  bool undo() {
    int32_t index = doc->currentLayerIndex();
    TRect r{};
    return doc->undo(*flow, index, r);
  }
  bool redo() {
    int32_t index = doc->currentLayerIndex();
    TRect r{};
    return doc->redo(*flow, index, r);
  }
};

TEST(History, TheRecorderStepsWithEveryUndoAndRedo) {
  HistoryFixture f;
  ASSERT_TRUE(f.recordedOpacity(1, 10));
  f.log.clear();
  ASSERT_TRUE(f.undo());
  ASSERT_TRUE(f.redo());
  EXPECT_EQ(f.log, (std::vector<std::string>{"undoEvent", "noteState", "redoStep"}));
  EXPECT_TRUE(f.messages.warnings().empty());
  EXPECT_EQ(f.window.waitCursorDepth, 0);
}

TEST(History, NothingToUndoLeavesTheRecorderAlone) {
  HistoryFixture f;
  EXPECT_FALSE(f.undo());
  EXPECT_FALSE(f.redo());
  EXPECT_TRUE(f.log.empty());
}

TEST(History, ARecorderOutOfStepIsReportedOnce) {
  HistoryFixture f;
  ASSERT_TRUE(f.doc->storeAttrUndo(f.layer(1), 5, kUndoOpacity, 0));  // no event
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.messages.warnings(),
            (std::vector<std::string>{"イベント状態の問題を修正しました!", "イベント記録に問題が検出されました!",
                                      "failed to undo event!"}));
  f.messages.clear();
  EXPECT_FALSE(f.redo());  // redone, but the recorder could not follow
  EXPECT_EQ(f.messages.warnings(),
            (std::vector<std::string>{"イベント記録に問題が検出されました!", "failed to redo event!"}));
}

TEST(History, AFailedRecorderRedoIsReportedAndAnsweredFalse) {
  HistoryFixture f;
  ASSERT_TRUE(f.recordedOpacity(1, 10));
  ASSERT_TRUE(f.undo());
  f.recorder->failRedoStep = true;
  EXPECT_FALSE(f.redo());
  EXPECT_EQ(f.layer(1)->opacity, 10);  // the picture is redone all the same
  EXPECT_EQ(f.messages.warnings(), (std::vector<std::string>{"failed to redo event!"}));
}

TEST(History, AnUndoMakesItsLayerCurrentAndRepaintsItsRectangle) {
  HistoryFixture f;
  f.layer(0)->offsetX = 2;
  ASSERT_TRUE(f.recordedOpacity(0, 10));
  f.doc->layers()->setCurrent(1);
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.doc->currentLayerIndex(), 0);
  ASSERT_FALSE(f.window.repainted.empty());
  // Kind 18 repaints the layer's image rectangle, moved to the document.
  EXPECT_EQ(f.window.repainted.back(), (TRect{-2, 0, 38, 30}));
}

TEST(History, AWholeDocumentRecordRefitsTheFlowImageAndRelaysOut) {
  HistoryFixture f;
  auto list = std::make_unique<CLayerMngr>(24);
  list->setDocumentSize(60, 50);
  auto l = std::make_unique<CLayerData>();
  ASSERT_TRUE(l->createImage(60, 50, 3));
  list->insertExisting(0, std::move(l));
  list->setCurrent(0);
  ASSERT_TRUE(f.doc->undoExchangeLayerList(list));
  auto rec = CUndoData::make(kUndoCanvasSize);
  rec->kept.layerList = std::move(list);
  ASSERT_TRUE(f.doc->pushUndo(rec));
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.doc->width(), 40);
  EXPECT_EQ(f.window.layouts, 1);
  EXPECT_TRUE(f.window.lastRelayout);
  EXPECT_EQ(f.flow->pixels.size(), (SSize{40, 30}));
}

TEST(History, ClearUndoAndClearRedoDropTheRecordersForwardEvents) {
  HistoryFixture f;
  ASSERT_TRUE(f.recordedOpacity(1, 10));
  ASSERT_TRUE(f.recordedOpacity(1, 20));
  ASSERT_TRUE(f.undo());
  f.log.clear();
  f.doc->clearRedo();
  EXPECT_EQ(f.doc->undoMngr()->redoCount(), 0);
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 1);
  f.doc->clearUndo();
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  EXPECT_EQ(f.log, (std::vector<std::string>{"dropForwardEvents", "dropForwardEvents"}));
}

}  // namespace
}  // namespace pg::test
