#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_mngr.h"
#include "document/layer_own_undo.h"
#include "platform/message_service.h"

namespace pg {
namespace {

// One side of an undo manager holding a single record.
class FakeSide : public CLayerUndoSide {
 public:
  bool has = true;
  uint32_t id = 0;
  int32_t recordClass = 1;
  uint32_t flags = 0x101;
  bool applies = true;
  int discarded = 0, cleared = 0, applied = 0;
  CLayerData* appliedTo = reinterpret_cast<CLayerData*>(1);

  bool peekNewest(uint32_t& layerId, int32_t& cls, uint32_t& f) const override {
    if (!has) return false;
    layerId = id;
    cls = recordClass;
    f = flags;
    return true;
  }
  void discardNewest() override {
    ++discarded;
    has = false;
  }
  bool applyNewest(CLayerMngr&, CLayerData* layer, TRect& rect) override {
    ++applied;
    appliedTo = layer;
    rect = TRect{1, 2, 3, 4};
    return applies;
  }
  void clearAll() override {
    ++cleared;
    has = false;
  }
};

struct UndoFixture : ::testing::Test {
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  CLayerMngr list{8};
  void SetUp() override {
    list.setDocumentSize(10, 10);
    list.addLayer(10, 10, 3, false, 255, true);
    list.addLayer(10, 10, 3, false, 255, true);
  }
};

TEST_F(UndoFixture, AppliesToTheLayerFoundById) {
  FakeSide side;
  side.id = list.getLayer(1)->id;
  int32_t index = -1;
  uint32_t flags = 0;
  TRect rect{};
  ASSERT_TRUE(list.applyUndo(side, index, flags, rect));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(flags, 0x101u);
  EXPECT_EQ(side.appliedTo, list.getLayer(1));
  EXPECT_EQ(rect, (TRect{1, 2, 3, 4}));
}

TEST_F(UndoFixture, RecordOfAVanishedLayerIsDiscarded) {
  FakeSide side;
  side.id = 9999;
  int32_t index = 0;
  uint32_t flags = 0;
  TRect rect{};
  EXPECT_FALSE(list.applyUndo(side, index, flags, rect));
  EXPECT_EQ(side.discarded, 1);
  EXPECT_EQ(side.applied, 0);
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(messages.shown().empty());
  // A record of the list structure applies without a layer.
  FakeSide structure;
  structure.id = 9999;
  structure.recordClass = kUndoClassStructure;
  ASSERT_TRUE(list.applyRedo(structure, index, flags, rect));
  EXPECT_EQ(structure.appliedTo, nullptr);
}

TEST_F(UndoFixture, FailedUndoWarnsAndClearsFailedRedoIsQuiet) {
  FakeSide undo;
  undo.id = list.getLayer(0)->id;
  undo.applies = false;
  int32_t index;
  uint32_t flags;
  TRect rect{};
  EXPECT_FALSE(list.applyUndo(undo, index, flags, rect));
  EXPECT_EQ(undo.cleared, 1);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "アンドゥに失敗しました!\rすべてのアンドゥはクリアされます!");
  FakeSide redo = undo;
  redo.cleared = 0;
  redo.has = true;
  EXPECT_FALSE(list.applyRedo(redo, index, flags, rect));
  EXPECT_EQ(redo.cleared, 0);
  EXPECT_EQ(messages.shown().size(), 1u);
  FakeSide empty;
  empty.has = false;
  EXPECT_FALSE(list.applyUndo(empty, index, flags, rect));
}

// An own undo that remembers one rectangle of pixels.
class FakeOwnUndo : public CLayerOwnUndo {
 public:
  TRect saved{};
  std::vector<uint32_t> pixels;
  bool canUndo() const override { return !pixels.empty(); }
  bool canRedo() const override { return false; }
  int64_t memorySize() const override { return static_cast<int64_t>(pixels.size() * 4); }
  void clear() override { pixels.clear(); }
  bool record(const CLayerData& layer, const TRect& rect) override {
    saved = rect;
    pixels.clear();
    for (int y = rect.Top; y < rect.Bottom; ++y)
      for (int x = rect.Left; x < rect.Right; ++x) pixels.push_back(layer.image->getPixel(x, y));
    return true;
  }
  bool undo(CLayerData& layer, TRect& rect) override {
    if (pixels.empty()) return false;
    size_t k = 0;
    for (int y = saved.Top; y < saved.Bottom; ++y)
      for (int x = saved.Left; x < saved.Right; ++x) EXPECT_TRUE(layer.image->setPixel(x, y, pixels[k++]));
    pixels.clear();
    rect = saved;
    return true;
  }
  bool assign(const CLayerOwnUndo& src) override {
    const auto& s = static_cast<const FakeOwnUndo&>(src);
    saved = s.saved;
    pixels = s.pixels;
    return true;
  }
};

TEST(LayerOwnUndo, MadeByTheInstalledFactoryAndForwarded) {
  // A document may have installed the factory earlier in this process.
  LayerOwnUndoFactory saved = setLayerOwnUndoFactory({});
  CLayerData without(0, true);
  EXPECT_FALSE(without.hasOwnUndo()) << "no factory, no own undo";

  setLayerOwnUndoFactory([] { return std::make_unique<FakeOwnUndo>(); });
  CLayerData l(0, true);
  CLayerData plain(0, false);
  setLayerOwnUndoFactory(std::move(saved));
  ASSERT_TRUE(l.hasOwnUndo());
  EXPECT_FALSE(plain.hasOwnUndo());
  ASSERT_TRUE(l.createImage(4, 4, 3));
  EXPECT_TRUE(l.image->setPixel(1, 1, 0xFF000001u));
  EXPECT_FALSE(l.canUndoOwn());
  ASSERT_TRUE(l.recordOwnUndo(TRect{0, 0, 2, 2}));
  EXPECT_TRUE(l.canUndoOwn());
  EXPECT_EQ(l.ownUndoMemory(), 16);
  EXPECT_TRUE(l.image->setPixel(1, 1, 0xFF000002u));
  TMTC plane(4, 4);
  TRect r{};
  ASSERT_TRUE(l.undoOwn(&plane, r));
  EXPECT_EQ(r, (TRect{0, 0, 2, 2}));
  EXPECT_EQ(l.image->getPixel(1, 1), 0xFF000001u);
  EXPECT_EQ(plane.getPixel(1, 1), 0xFF000001u);
  l.dropOwnUndo();
  EXPECT_FALSE(l.hasOwnUndo());
  EXPECT_FALSE(l.recordOwnUndoAll());
}

}  // namespace
}  // namespace pg
