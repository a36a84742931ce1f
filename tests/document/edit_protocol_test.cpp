// The edit protocol: gate, event, undo record, change, in that order, and the
// rules that keep the recorder and the undo lists in step.
#include <gtest/gtest.h>

#include <stdexcept>

#include "doc_fixture.h"
#include "document/paper_edit.h"

namespace pg::test {
namespace {

struct ProtocolFixture : DocFixture {
  ProtocolFixture() {
    addLayer(0, 1);
    recorder->onRecord = [this] {
      // What the recorder sees when the event is written.
      steps.push_back("event (undo " + std::to_string(doc->undoMngr()->undoCount()) + ", opacity " +
                      std::to_string(layer(0)->opacity) + ")");
    };
  }

  // A pixel or attribute edit of layer 0 (its opacity) through the protocol,
  // logging each step.
  bool opacityEdit(uint8_t value, bool record, bool preconditions = true, bool failChange = false) {
    CDocEdit edit(*doc, record);
    if (!edit.gate(preconditions)) return false;
    if (!edit.event([&](IDocRecorder&) { return recorder->event("opacity"); })) return false;
    edit.undoBefore([&](TPaper& d) {
      steps.push_back("undo");
      return d.storeAttrUndo(layer(0), value, kUndoOpacity, 0);
    });
    if (failChange) return false;
    steps.push_back("change");
    layer(0)->opacity = value;
    edit.changed();
    return true;
  }

  std::vector<std::string> steps;
};

TEST(EditProtocol, EventThenUndoRecordThenChange) {
  ProtocolFixture f;
  ASSERT_TRUE(f.opacityEdit(100, true));
  EXPECT_EQ(f.steps, (std::vector<std::string>{"event (undo 0, opacity 255)", "undo", "change"}));
  ASSERT_EQ(f.doc->undoMngr()->undoCount(), 1);
  EXPECT_EQ(f.doc->undoMngr()->peekUndo()->value1, 255);  // the value before the change
}

TEST(EditProtocol, WithoutTheRecordFlagNothingIsRecorded) {
  ProtocolFixture f;
  ASSERT_TRUE(f.opacityEdit(100, false));
  EXPECT_EQ(f.steps, (std::vector<std::string>{"change"}));
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  EXPECT_EQ(f.layer(0)->opacity, 100);
}

TEST(EditProtocol, ARefusedGateChangesNothing) {
  ProtocolFixture f;
  EXPECT_FALSE(f.opacityEdit(100, true, false));
  EXPECT_TRUE(f.steps.empty());
  EXPECT_EQ(f.layer(0)->opacity, 255);

  // The window's own gate, for commands that ask it through the protocol.
  f.window.allowEdit = false;
  CDocEdit edit(*f.doc, true);
  EXPECT_FALSE(edit.gate(EditGateFlags{}, true));
  EXPECT_EQ(f.window.gateCalls, 1);
  EXPECT_FALSE(edit.event([](IDocRecorder&) { return true; }));
}

TEST(EditProtocol, AFailedEventWriteStopsTheEditBeforeAnyChange) {
  ProtocolFixture f;
  ASSERT_TRUE(f.opacityEdit(10, true));
  f.recorder->failWrites = true;
  EXPECT_FALSE(f.opacityEdit(100, true));
  EXPECT_EQ(f.layer(0)->opacity, 10);
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 1);  // the earlier history stays
}

TEST(EditProtocol, AFailureAfterTheEventClearsTheWholeUndoHistory) {
  ProtocolFixture f;
  ASSERT_TRUE(f.opacityEdit(10, true));
  ASSERT_TRUE(f.opacityEdit(20, true));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  ASSERT_EQ(f.doc->undoMngr()->redoCount(), 1);
  f.log.clear();
  EXPECT_FALSE(f.opacityEdit(30, true, true, true));
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  EXPECT_EQ(f.doc->undoMngr()->redoCount(), 0);
  EXPECT_EQ(f.log, (std::vector<std::string>{"opacity", "dropForwardEvents"}));
}

TEST(EditProtocol, AnExceptionAfterTheEventClearsItToo) {
  ProtocolFixture f;
  ASSERT_TRUE(f.opacityEdit(10, true));
  try {
    CDocEdit edit(*f.doc, true);
    EXPECT_TRUE(edit.gate(true));
    EXPECT_TRUE(edit.event([&](IDocRecorder&) { return f.recorder->event("opacity"); }));
    throw std::runtime_error("out of memory");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
}

TEST(EditProtocol, AnUndoRecordTheManagerCannotTakeClearsTheHistory) {
  ProtocolFixture f;
  ASSERT_TRUE(f.opacityEdit(10, true));
  CDocEdit edit(*f.doc, true);
  ASSERT_TRUE(edit.gate(true));
  ASSERT_TRUE(edit.event([&](IDocRecorder&) { return f.recorder->event("stroke"); }));
  // A rectangle that misses the image: the snapshot cannot be taken.
  EXPECT_FALSE(edit.undoBefore([](TPaper& d) { return d.storeRectUndo(0, SRectXYWH{500, 500, 4, 4}, 1); }));
  edit.changed();
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
}

TEST(EditProtocol, WithUndoDisabledTheEditIsRecordedWithoutUndo) {
  ProtocolFixture f;
  f.doc->undoMngr()->setLimits(UndoLimit{0}, RedoLimit{0});
  ASSERT_TRUE(f.opacityEdit(100, true));
  EXPECT_EQ(f.steps, (std::vector<std::string>{"event (undo 0, opacity 255)", "change"}));
  EXPECT_EQ(f.layer(0)->opacity, 100);
}

TEST(EditProtocol, AReplacedObjectPassesToTheManagerOnlyWhenItIsAccepted) {
  ProtocolFixture f;
  // Structural edit: the change first, then the record with the object it
  // replaced.
  auto bigger = std::make_unique<CLayerData>();
  ASSERT_TRUE(bigger->createImage(50, 50, 3));
  const int64_t newId = bigger->id;
  {
    CDocEdit edit(*f.doc, true);
    ASSERT_TRUE(edit.gate(true));
    ASSERT_TRUE(edit.event([&](IDocRecorder&) { return f.recorder->event("replace"); }));
    auto rec = CUndoData::make(kUndoLayerReplaced);
    rec->value1 = 0;
    rec->objectId = newId;
    rec->kept.layer = f.doc->layers()->replaceLayer(0, std::move(bigger));
    edit.changed();
    EXPECT_TRUE(edit.undoAfter(rec));
    EXPECT_EQ(rec, nullptr);  // the manager owns it now
  }
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 1);

  // Refused: the record, and the layer it keeps, stay with the caller.
  f.doc->undoMngr()->setLimits(UndoLimit{0}, RedoLimit{0});
  CDocEdit edit(*f.doc, true);
  ASSERT_TRUE(edit.gate(true));
  auto rec = CUndoData::make(kUndoLayerReplaced);
  rec->kept.layer = std::make_unique<CLayerData>();
  edit.changed();
  EXPECT_FALSE(edit.undoAfter(rec));
  ASSERT_NE(rec, nullptr);
  EXPECT_NE(rec->kept.layer, nullptr);
}

TEST(EditProtocol, ShapeSelectionsTakeTheirUndoBeforeTheEvent) {
  ProtocolFixture f;
  CDocEdit edit(*f.doc, true, EditOrder::UndoFirst);
  ASSERT_TRUE(edit.gate(true));
  EXPECT_TRUE(edit.undoBefore([&](TPaper& d) {
    f.steps.push_back("undo");
    return d.storeAttrUndo(f.layer(0), 1, kUndoOpacity, 0);
  }));
  EXPECT_TRUE(edit.event([&](IDocRecorder&) { return f.recorder->event("mask"); }));
  edit.changed();
  EXPECT_EQ(f.steps, (std::vector<std::string>{"undo", "event (undo 1, opacity 255)"}));
}

// The paper colour is a real edit through the protocol, and crosses the
// colour boundaries: the recorder gets pixel order, the undo restores it.
TEST(EditProtocol, PaperColourIsRecordedInPixelOrder) {
  ProtocolFixture f;
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromColor(0x00563412), true));  // red 0x12
  EXPECT_EQ(f.log, (std::vector<std::string>{"paperColor 00123456"}));
  EXPECT_EQ(f.steps, (std::vector<std::string>{"event (undo 0, opacity 255)"}));
  EXPECT_EQ(f.doc->paperColor().pixel(), 0x00123456u);
  const CUndoData* rec = f.doc->undoMngr()->peekUndo();
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->kind, kUndoPaperColor);
  EXPECT_EQ(static_cast<uint32_t>(rec->value1), 0x00FFFFFFu);
  EXPECT_EQ(static_cast<uint32_t>(rec->value2), 0x00123456u);
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_TRUE(f.doc->paperColor().isWhite());
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->paperColor().color(), 0x00563412u);

  // Replay: no event, no undo record.
  f.log.clear();
  EXPECT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(0, 0, 0), false));
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 1);
}

}  // namespace
}  // namespace pg::test
