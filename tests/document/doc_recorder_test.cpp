// The document over the real event store: what an edit writes, and how undo
// and redo move the store with the undo lists.
#include <gtest/gtest.h>

#include "brush/stroke_settings.h"
#include "doc_fixture.h"
#include "document/doc_recorder.h"
#include "document/paper_edit.h"
#include "record/packet_catalogue.h"
#include "record/packet_walker.h"
#include "record/state_packets.h"

namespace pg::test {
namespace {

struct StoreFixture {
  StoreFixture() {
    stroke.color = 0x00102030;
    DocServices s;
    s.makeRecorder = eventStoreRecorderFactory(SRecorderTools{&stroke, nullptr, nullptr});
    doc = std::make_unique<TPaper>(&window, s);
    doc->setSizeValue(40, 30);
    doc->layers()->setDocumentSize(40, 30);
    doc->masks()->setDocumentSize(40, 30);
    doc->insertLayer(0, 40, 30, true, 255, 3);
    flow = std::make_unique<TFlowImage>(doc.get());
  }
  CEventMngr& store() { return static_cast<CDocEventRecorder*>(doc->events())->store(); }
  IDocEventRecorder& rec() { return *eventRecorderOf(doc->events()); }

  TStroke stroke;
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
  EXPECT_EQ(f.doc->paperColor(), PaperColor::fromRgb(1, 2, 3));
  EXPECT_LT(f.store().committedEnd(), afterBoth);
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->paperColor(), PaperColor::fromRgb(4, 5, 6));
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

// The packets of the store from a position on, as (type << 8 | subcode).
std::vector<int> headersFrom(const CEventMngr& store, uint32_t from) {
  std::vector<int> out;
  const SWalkResult walk = walkPackets(store.source(), from, store.writePosition(), [&](const SPacketInfo& p) {
    out.push_back(p.type << 8 | p.subcode);
    return true;
  });
  EXPECT_TRUE(walk.wellFormed()) << "walk stopped at " << walk.offset;
  return out;
}

std::vector<uint8_t> bodyAt(const CEventMngr& store, uint32_t from, int header) {
  std::vector<uint8_t> body;
  // The walk stops at the packet found; a missing one leaves the body empty.
  (void)walkPackets(store.source(), from, store.writePosition(), [&](const SPacketInfo& p) {
    if ((p.type << 8 | p.subcode) != header) return true;
    body.resize(size_t(p.bodyLength));
    EXPECT_EQ(store.readBytes(uint32_t(p.bodyOffset()), body.data(), uint32_t(p.bodyLength)), p.bodyLength);
    return false;
  });
  return body;
}

TEST(DocRecorder, TheFirstEventCarriesTheDocumentsState) {
  StoreFixture f;
  f.doc->setPaperColorValue(PaperColor::fromRgb(0x11, 0x22, 0x33));
  f.doc->setBackgroundFlags(false, f.doc->showBgPattern());
  f.doc->undoSetSelectionFlags(true, f.doc->antsShown());
  f.doc->masks()->addMask(0);
  const uint32_t start = f.store().writePosition() - 14;  // the version item opens the stream
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(1, 2, 3), true));
  EXPECT_EQ(headersFrom(f.store(), start),
            (std::vector<int>{0x0000, 0x0002, 0x0003, 0x0004, 0x0005, 0x0008, 0x000C, 0x0201}));
  // The colour before the change, the stroke colour with the display flags,
  // the current layer and mask, the selection switch.
  EXPECT_EQ(bodyAt(f.store(), start, 0x0002), (std::vector<uint8_t>{0x33, 0x22, 0x11, 0}));
  EXPECT_EQ(bodyAt(f.store(), start, 0x0003), (std::vector<uint8_t>{0x30, 0x20, 0x10, 1}));
  EXPECT_EQ(bodyAt(f.store(), start, 0x0008), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(bodyAt(f.store(), start, 0x000C), (std::vector<uint8_t>{1, 0}));
}

TEST(DocRecorder, LayerAttributesComeFromTheDocumentsLayer) {
  StoreFixture f;
  CLayerData* layer = f.doc->layers()->getLayer(0);
  layer->blendMode = 5;
  layer->opacity = 90;
  layer->protectAlpha = true;
  layer->visible = true;
  const uint32_t from = f.store().writePosition();
  ASSERT_TRUE(f.rec().recordLayerAttribute(0, 40, 17));
  EXPECT_EQ(bodyAt(f.store(), from, 0x0411), (std::vector<uint8_t>{0, 0, 5, 40, 3, 0}));
  EXPECT_FALSE(f.rec().recordLayerAttribute(7, 40, 17));  // no such layer
}

// An edit of the document through the edit protocol with a recording call.
bool recordedEdit(StoreFixture& f, const std::function<bool(IDocEventRecorder&)>& write) {
  CDocEdit edit(*f.doc, true);
  if (!edit.gate(true)) return false;
  if (!edit.event([&](IDocRecorder& r) { return write(*eventRecorderOf(&r)); })) return false;
  edit.undoBefore([](TPaper& d) { return d.storeAttrUndo(d.layers()->getLayer(0), 0, kUndoOpacity, 0); });
  edit.changed();
  return true;
}

TEST(DocRecorder, EditsThroughTheProtocolLeaveAWalkableStream) {
  StoreFixture f;
  TChannel region(8, 8);
  region.Bits[3] = 200;
  const TPointF a{1, 2}, b{3, 4};
  const std::function<bool(IDocEventRecorder&)> writes[] = {
      [](auto& r) { return r.recordLayerCommand(0, 0, 2); },
      [](auto& r) { return r.recordLayerName(0, "\xE7\xB7\x9A"); },
      [&](auto& r) { return r.recordMaskShape(0, 0, 16, 1, a, b); },
      [&](auto& r) { return r.recordFillRegion(0, 0, 0, SFillArgs{}, nullptr, region, SRectXYWH{0, 0, 8, 8}); },
      [](auto& r) { return r.recordFilter2(0, 0, {5, 6}, 67); },
      [](auto& r) {
        bool ok = r.recordStrokeBegin(0, 0, 1);
        for (int i = 1; i < 40; ++i) ok = r.recordStrokePoint(float(i), 1, 0.5f) && ok;
        return r.recordStrokeEnd() && ok;
      },
      [](auto& r) { return r.recordDocumentEvent(16); },
  };
  for (const auto& write : writes) ASSERT_TRUE(recordedEdit(f, write));
  EXPECT_EQ(f.store().committedEnd(), f.store().writePosition());
  const SWalkResult walk = walkPackets(f.store().source(), 0, f.store().writePosition());
  EXPECT_TRUE(walk.wellFormed());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), f.store().undoCount());

  // Undo and redo move the end of the stream event by event, strokes whole.
  const uint32_t end = f.store().writePosition();
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  const std::vector<int> left = headersFrom(f.store(), 0);
  EXPECT_EQ(left.back(), 0x2143);  // the filter before the stroke
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(f.store().writePosition(), end);
  EXPECT_TRUE(f.messages.warnings().empty());
}

TEST(DocRecorder, SettingUpADocumentRecordsTheImageAndAResetPoint) {
  StoreFixture f;
  f.store().clear();
  ASSERT_TRUE(f.doc->events()->startRecording(8));
  f.doc->setGradientPointsFix(SFixPoint{1 << 16, 0}, SFixPoint{5 << 16, 3 << 16});
  ASSERT_TRUE(f.doc->setupDocument("a", f.flow.get(), true, false, 72, 20, 30, 20, 30));
  const std::vector<int> headers = headersFrom(f.store(), 0);
  ASSERT_GE(headers.size(), 4u);
  EXPECT_EQ(headers[0], 0x0000);
  EXPECT_EQ(headers[1], 0x0208);
  EXPECT_EQ(headers[headers.size() - 2], 0x0111);
  EXPECT_EQ(headers.back(), 0x02FE);
  EXPECT_EQ(bodyAt(f.store(), 0, 0x0208),
            (std::vector<uint8_t>{30, 0, 0, 0, 20, 0, 0, 0, 30, 0, 0, 0, 20, 0, 0, 0, 72, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0,
                                  0}));
  // The gradient the set-up gave the document reaches the state items.
  SFixPoint p0, p1;
  f.doc->getGradientPoints(p0, p1);
  std::vector<uint8_t> points(16);
  for (int i = 0; i < 4; ++i) writeLE32(&points[4 * i], uint32_t(i == 0 ? p0.X : i == 1 ? p0.Y : i == 2 ? p1.X : p1.Y));
  EXPECT_EQ(bodyAt(f.store(), 0, 0x0004), points);
  EXPECT_EQ(f.store().committedEnd(), f.store().writePosition());
}

TEST(DocRecorder, ADocumentThatDoesNotRecordWritesNothing) {
  StoreFixture f;
  f.store().setMode(EventMode::Replaying);
  const uint32_t end = f.store().writePosition();
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromRgb(9, 9, 9), true));
  ASSERT_TRUE(f.rec().recordStrokeBegin(1, 1, 1));
  ASSERT_TRUE(f.rec().recordStrokeEnd());
  ASSERT_TRUE(f.rec().recordLayerCommand(0, 0, 1));
  EXPECT_EQ(f.store().writePosition(), end);
}

}  // namespace
}  // namespace pg::test
