// The document over the real event store: what an edit writes, and how undo
// and redo move the store with the undo lists.
#include <gtest/gtest.h>

#include "doc_fixture.h"
#include "document/doc_recorder.h"

namespace pg::test {
namespace {

struct StoreFixture {
  StoreFixture() {
    DocServices s;
    s.makeRecorder = eventStoreRecorderFactory();
    doc = std::make_unique<TPaper>(&window, s);
    doc->width = 40;
    doc->height = 30;
    doc->layers()->setDocumentSize(40, 30);
    doc->masks()->setDocumentSize(40, 30);
    doc->insertLayer(0, 40, 30, true, 255, 3);
    flow = std::make_unique<TFlowImage>(doc.get());
  }
  CEventMngr& store() { return static_cast<CDocEventRecorder*>(doc->events())->store(); }

  FakeWindow window;
  FakeMessages messages;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
};

TEST(DocRecorder, APaperColourEditWritesItsPacketInPixelOrder) {
  StoreFixture f;
  ASSERT_TRUE(f.doc->events()->hasEvents());
  const uint32_t start = f.store().committedEnd();
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(0x12, 0x34, 0x56), true));
  const uint32_t end = f.store().committedEnd();
  ASSERT_GE(end - start, 6u);
  uint8_t packet[6] = {};
  ASSERT_EQ(f.store().readBytes(end - 6, packet, 6), 6u);
  EXPECT_EQ(std::vector<uint8_t>(packet, packet + 6), (std::vector<uint8_t>{2, 1, 0x56, 0x34, 0x12, 0}));
}

TEST(DocRecorder, UndoAndRedoMoveTheStoreWithTheDocument) {
  StoreFixture f;
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(1, 2, 3), true));
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(4, 5, 6), true));
  const uint32_t afterBoth = f.store().committedEnd();
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->paperColor, PaperColor::fromRgb(1, 2, 3));
  EXPECT_LT(f.store().committedEnd(), afterBoth);
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->paperColor, PaperColor::fromRgb(4, 5, 6));
  EXPECT_EQ(f.store().committedEnd(), afterBoth);
  EXPECT_TRUE(f.messages.warnings().empty());

  // Replay writes nothing.
  EXPECT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(7, 7, 7), false));
  EXPECT_EQ(f.store().committedEnd(), afterBoth);
}

TEST(DocRecorder, ClearingTheRedoListDropsTheStoresRedo) {
  StoreFixture f;
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(1, 2, 3), true));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  ASSERT_GT(f.store().redoCount(), 0);
  f.doc->clearRedo();
  EXPECT_EQ(f.store().redoCount(), 0);
}

}  // namespace
}  // namespace pg::test
