#pragma once
// A document over the real event store for the edit operations: what an
// operation writes (packet headers of the store), and the undo-redo round
// trip every recorded operation must survive.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "brush/stroke_settings.h"
#include "doc_fixture.h"
#include "document/doc_recorder.h"
#include "record/packet_walker.h"

namespace pg::test {

struct OpsFixture {
  explicit OpsFixture(int32_t w = 64, int32_t h = 48) {
    stroke.color = 0x00102030;
    prefs.undo = 8;
    DocServices s;
    s.prefs = &prefs;
    s.makeRecorder = eventStoreRecorderFactory(SRecorderTools{&stroke, nullptr, nullptr});
    doc = std::make_unique<TPaper>(&window, s);
    doc->setSizeValue(w, h);
    doc->layers()->setDocumentSize(w, h);
    doc->masks()->setDocumentSize(w, h);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
  }

  // A layer of the given size (document size by default) holding a pattern
  // of the seed; it becomes current.
  int32_t addLayer(int32_t index, uint32_t seed, int32_t w = -1, int32_t h = -1) {
    const int32_t at = doc->insertLayer(index, w < 0 ? doc->width() : w, h < 0 ? doc->height() : h, true, 255, 3);
    CLayerData* l = doc->layers()->getLayer(at);
    for (int32_t y = 0; y < l->imageHeight(); ++y)
      for (int32_t x = 0; x < l->imageWidth(); ++x)
        EXPECT_TRUE(l->image->setPixel(x, y, (seed * 2654435761u + static_cast<uint32_t>(x / 5 * 131 + y / 4 * 7)) | 0xFF000000u));
    doc->layers()->setCurrent(at);
    return at;
  }
  CLayerData* layer(int32_t i) const { return doc->layers()->getLayer(i); }

  CEventMngr& store() { return static_cast<CDocEventRecorder*>(doc->events())->store(); }
  uint32_t position() { return store().writePosition(); }

  // The packets written since `from`, as type << 8 | subcode; the stream
  // must walk cleanly.
  std::vector<int> packetsSince(uint32_t from) {
    std::vector<int> out;
    const SWalkResult walk = walkPackets(store().source(), from, store().writePosition(), [&](const SPacketInfo& p) {
      out.push_back(p.type << 8 | p.subcode);
      return true;
    });
    EXPECT_TRUE(walk.wellFormed()) << "walk stopped at " << walk.offset;
    return out;
  }
  // The packet `header` was written since `from`.
  bool wrote(uint32_t from, int header) {
    for (int h : packetsSince(from))
      if (h == header) return true;
    return false;
  }

  bool undo() {
    int32_t index = 0;
    TRect rect{};
    return doc->undo(*flow, index, rect);
  }
  bool redo() {
    int32_t index = 0;
    TRect rect{};
    return doc->redo(*flow, index, rect);
  }

  // Runs a recorded operation and checks: it answers true, changes the
  // document, writes `header`, and undo restores the exact state before
  // while redo repeats it. Then the same operation on a fresh copy of the
  // state without the record flag is checked elsewhere.
  void roundTrip(const std::function<bool()>& op, int header, const char* what) {
    SCOPED_TRACE(what);
    const std::string before = snapshot(*doc);
    const uint32_t from = position();
    ASSERT_TRUE(op());
    const std::string after = snapshot(*doc);
    EXPECT_NE(before, after);
    if (header >= 0) {
      EXPECT_TRUE(wrote(from, header)) << "packet " << (header >> 8) << "," << (header & 255);
    }
    ASSERT_TRUE(undo());
    EXPECT_EQ(snapshot(*doc), before);
    ASSERT_TRUE(redo());
    EXPECT_EQ(snapshot(*doc), after);
  }

  TStroke stroke;
  FakeWindow window;
  FakePrefs prefs;
  FakeMessages messages;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
};

}  // namespace pg::test
