#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_mngr.h"
#include "document/tool_window_link.h"
#include "platform/clock.h"
#include "platform/message_service.h"

namespace pg {
namespace {

constexpr int kModeMultiply = 0, kModeNormal = 3, kModeOverlay = 5;

// A list of the given document size whose warnings are recorded.
struct LayerFixture : ::testing::Test {
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  CLayerMngr list{24};
  void SetUp() override { list.setDocumentSize(64, 40); }
  int add(int mode = kModeNormal) {
    const int i = list.addLayer(64, 40, mode, false, 255, true);
    if (i >= 0) {
      EXPECT_TRUE(list.setDefaultName(i, 1));
    }
    return i;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> v;
    for (int i = 0; i < list.count(); ++i) v.push_back(list.getLayer(i)->name);
    return v;
  }
  std::vector<uint32_t> ids() const {
    std::vector<uint32_t> v;
    for (int i = 0; i < list.count(); ++i) v.push_back(list.getLayer(i)->id);
    return v;
  }
};

TEST_F(LayerFixture, DefaultNamesCountOnAndAreNeverReused) {
  EXPECT_EQ(list.nextLayerName(), "レイヤ1");
  add();
  EXPECT_EQ(list.nextLayerName(), "レイヤ2");
  EXPECT_EQ(list.nextLayerName(), "レイヤ2");  // asking does not advance
  add();
  EXPECT_EQ(names(), (std::vector<std::string>{"レイヤ1", "レイヤ2"}));
  ASSERT_TRUE(list.deleteLayer(1));
  add();
  EXPECT_EQ(names(), (std::vector<std::string>{"レイヤ1", "レイヤ3"}));
  EXPECT_FALSE(list.setDefaultName(7, 1));
  EXPECT_EQ(list.nameCounter(), 3);
}

TEST_F(LayerFixture, NewLayerHasItsDefaultsAndIndexIdAndSize) {
  const uint32_t firstId = peekNextLayerId();
  ASSERT_EQ(add(kModeOverlay), 0);
  const CLayerData& l = *list.getLayer(0);
  EXPECT_EQ(l.id, firstId);
  EXPECT_EQ(peekNextLayerId(), firstId + 1);
  EXPECT_EQ(l.index, 0);
  EXPECT_EQ(l.width, 64);
  EXPECT_EQ(l.height, 40);
  EXPECT_EQ(l.imageWidth(), 64);
  EXPECT_EQ(l.blendMode, kModeOverlay);
  EXPECT_EQ(l.opacity, 255);
  EXPECT_TRUE(l.visible);
  EXPECT_FALSE(l.protectAlpha);
  EXPECT_FALSE(l.dissolve);
  EXPECT_EQ(l.dissolveAmount, 255);
  EXPECT_EQ(l.linkLevel, 0);
  EXPECT_EQ(l.randomState.Lo, 0u);
  EXPECT_EQ(l.randomState.Hi, 255u);
  EXPECT_EQ(l.randomState.Seed, l.randomState.State);
  EXPECT_EQ(list.current(), 0);
  EXPECT_EQ(list.layerId(0), static_cast<int64_t>(firstId));
  EXPECT_EQ(list.layerId(1), -1);
  EXPECT_EQ(list.indexOfId(firstId), 0);
  EXPECT_EQ(list.indexOfId(firstId + 100), -1);
}

TEST_F(LayerFixture, RandomStateIsSeededFromTheClock) {
  ManualClock clock(12345);
  Clock* old = setClock(&clock);
  CLayerData l(0, false);
  setClock(old);
  EXPECT_EQ(l.randomState, (SRandomRange{12345, 0, 255, 0, 12345}));
}

TEST(LayerData, NeutralFillOfEveryMode) {
  // The colour a fresh layer of each mode holds (at alpha 0), so that it
  // changes nothing below it. Vivid light is neutral at 0x808080 (its formula
  // at s = 128 gives d back), where the listed 0xFFFFFF would whiten.
  const uint32_t neutral[22] = {0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF, 0x000000, 0x7F7F7F, 0x7F7F7F, 0x7F7F7F,
                                0x000000, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
                                0x000000, 0x000000, 0xFFFFFF, 0x7F7F7F, 0x808080, 0x7F7F7F};
  for (int mode = 0; mode < 22; ++mode) {
    CLayerData l(0, false);
    ASSERT_TRUE(l.createImage(70, 40, mode)) << mode;
    for (auto [x, y] : {std::pair{0, 0}, std::pair{69, 39}, std::pair{35, 20}})
      EXPECT_EQ(l.image->getPixel(x, y), neutral[mode]) << "mode " << mode;
    EXPECT_EQ(l.image->committedBytes(), 0u) << "a neutral layer costs no tile memory";
  }
}

TEST(LayerData, CreateImageFailureLeavesNoImage) {
  CLayerData l(0, false);
  EXPECT_FALSE(l.createImage(-5, 10, kModeNormal));
  EXPECT_FALSE(l.hasImage());
  EXPECT_FALSE(l.createImage(200000, 200000, kModeNormal));
  EXPECT_FALSE(l.hasImage());
}

TEST(LayerData, ThumbnailKeepsTheAspect) {
  struct Case {
    int w, h, box, tw, th;
  } cases[] = {{400, 100, 48, 48, 12}, {1, 1000, 48, 1, 48}, {100, 100, 48, 48, 48},
               {1000, 1, 48, 48, 1},   {30, 60, 48, 24, 48}, {0, 0, 48, 48, 48}};
  for (const Case& c : cases) {
    CLayerData l(0, false);
    l.width = c.w;
    l.height = c.h;
    ASSERT_TRUE(l.resizeThumbnail(c.box, c.box));
    EXPECT_EQ(l.thumbnail->Width, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(l.thumbnail->Height, c.th) << c.w << "x" << c.h;
    EXPECT_EQ(l.thumbnail->getPixel(0, 0), 0x00FFFFFFu);
  }
}

TEST(LayerData, ThumbnailEdgeComesFromTheToolWindow) {
  struct Link : CToolWindowLink {
    int32_t layerThumbHeight() const override { return 20; }
  } link;
  CToolWindowLink* old = setToolWindowLink(&link);
  CLayerData l(0, false);
  const bool made = l.createImage(100, 50, kModeNormal);
  setToolWindowLink(old);
  ASSERT_TRUE(made);
  EXPECT_EQ(l.thumbnail->Width, 20);
  EXPECT_EQ(l.thumbnail->Height, 10);
}

TEST(LayerData, ThumbnailShowsTheNominalRectangle) {
  // A 4 x 2 document inside an 8 x 2 image at offset 4: the thumbnail shows
  // the right half only.
  CLayerData l(0, false);
  ASSERT_TRUE(l.createImage(8, 2, kModeNormal));
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_TRUE(l.image->setPixel(x, y, x < 4 ? 0xFF0000FFu : 0xFF00FF00u));
  l.width = 4;
  l.height = 2;
  l.offsetX = 4;
  ASSERT_TRUE(l.resizeThumbnail(2, 2));
  ASSERT_EQ(l.thumbnail->Width, 2);
  ASSERT_EQ(l.thumbnail->Height, 1);
  ASSERT_TRUE(l.updateThumbnail());
  EXPECT_EQ(l.thumbnail->getPixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(l.thumbnail->getPixel(1, 0), 0xFF00FF00u);
}

TEST(LayerData, OffsetsAndImageRect) {
  CLayerData l(0, false);
  ASSERT_TRUE(l.createImage(100, 80, kModeNormal));
  l.width = 60;
  l.height = 50;
  EXPECT_TRUE(l.exceedsImage());  // the image reaches past the document
  EXPECT_TRUE(l.clampOffset(false));
  EXPECT_TRUE(l.moveBy(-10, -5));  // content moves left and up: offset grows
  EXPECT_EQ(l.offsetX, 10);
  EXPECT_EQ(l.offsetY, 5);
  EXPECT_EQ(l.imageRect(), (TRect{-10, -5, 90, 75}));
  EXPECT_FALSE(l.moveBy(-40, 0));  // offset 50 > 100 - 60
  EXPECT_FALSE(l.clampOffset(true));
  EXPECT_EQ(l.offsetX, 40);
  l.offsetY = -3;
  EXPECT_FALSE(l.clampOffset(true));
  EXPECT_EQ(l.offsetY, 0);
  l.width = 100;
  l.height = 80;
  EXPECT_FALSE(l.exceedsImage());
}

TEST(LayerData, LinkLevelIsClamped) {
  CLayerData l(0, false);
  l.setLinkLevel(300);
  EXPECT_EQ(l.linkLevel, 250);
  l.addLinkLevel(-1000);
  EXPECT_EQ(l.linkLevel, 0);
  l.setLinkLevel(7);
  l.addLinkLevel(2);
  EXPECT_EQ(l.linkLevel, 9);
}

TEST(LayerData, CloneRegionPlacesTheImage) {
  CLayerData l(3, false);
  ASSERT_TRUE(l.createImage(40, 40, kModeMultiply));
  l.offsetX = 2;
  l.offsetY = 1;
  EXPECT_TRUE(l.image->setPixel(0, 0, 0xFF112233u));
  std::unique_ptr<CLayerData> c = l.cloneRegion(SSize{100, 50}, TPoint{10, 5});
  ASSERT_TRUE(c);
  EXPECT_EQ(c->index, 3);
  EXPECT_NE(c->id, l.id);
  EXPECT_EQ(c->imageWidth(), 100);
  EXPECT_EQ(c->offsetX, 12);
  EXPECT_EQ(c->offsetY, 6);
  EXPECT_EQ(c->blendMode, kModeMultiply);
  EXPECT_EQ(c->image->getPixel(10, 5), 0xFF112233u);
  EXPECT_EQ(c->image->getPixel(9, 5), 0x00FFFFFFu);  // multiply's neutral outside
  // The same document point on both.
  EXPECT_EQ(c->imageRect().Left + 10, l.imageRect().Left);
}

TEST(LayerData, AttributesAlphaAndMemory) {
  CLayerData a(0, false), b(1, false);
  ASSERT_TRUE(a.createImage(33, 33, kModeNormal));
  ASSERT_TRUE(b.createImage(33, 33, kModeOverlay));
  b.name = "b";
  b.opacity = 90;
  b.dissolve = true;
  b.dissolveAmount = 7;
  b.linkLevel = 3;
  b.protectAlpha = true;
  b.visible = false;
  b.randomState = SRandomRange{1, 2, 3, 4, 5};
  b.offsetX = 4;
  a.copyAttributes(b);
  EXPECT_EQ(a.name, "b");
  EXPECT_EQ(a.opacity, 90);
  EXPECT_EQ(a.blendMode, kModeOverlay);
  EXPECT_TRUE(a.dissolve);
  EXPECT_EQ(a.dissolveAmount, 7);
  EXPECT_EQ(a.linkLevel, 3);
  EXPECT_TRUE(a.protectAlpha);
  EXPECT_FALSE(a.visible);
  EXPECT_EQ(a.randomState, b.randomState);
  EXPECT_EQ(a.offsetX, 0);  // not an attribute

  const int64_t before = a.memorySize();
  EXPECT_TRUE(a.image->setPixel(32, 32, 0x80000000u));
  EXPECT_EQ(a.memorySize(), before + 4096);
  a.invertAlpha();
  EXPECT_EQ(a.image->getPixel(32, 32), 0x7F000000u);
  EXPECT_EQ(a.image->getPixel(0, 0) >> 24, 0xFFu);
  a.setAlphaAll(0x40);
  EXPECT_EQ(a.image->getPixel(32, 32), 0x40000000u);

  ASSERT_TRUE(a.assignFrom(b));
  EXPECT_EQ(a.offsetX, 4);
  a.freeImage();
  EXPECT_FALSE(a.hasImage());
  EXPECT_FALSE(a.visible);
}

// ---- list operations and the current index ---------------------------------

TEST_F(LayerFixture, InsertRemoveReplaceMoveKeepTheCurrentIndex) {
  EXPECT_EQ(list.current(), -1);
  add();  // 0
  EXPECT_EQ(list.current(), 0);
  add();
  add();
  const std::vector<uint32_t> start = ids();
  EXPECT_EQ(list.setCurrent(2), 2);
  EXPECT_EQ(list.setCurrent(9), 2);  // an invalid index changes nothing

  // Insertion below keeps the number, not the layer.
  ASSERT_EQ(list.insertLayer(0, 64, 40, kModeNormal, false, 128, false), 0);
  EXPECT_EQ(list.current(), 2);
  EXPECT_EQ(list.getLayer(0)->opacity, 128);
  EXPECT_FALSE(list.getLayer(0)->visible);
  for (int i = 0; i < list.count(); ++i) EXPECT_EQ(list.getLayer(i)->index, i);

  // Removing the top layer while it is current clamps the current index.
  ASSERT_EQ(list.setCurrent(3), 3);
  std::unique_ptr<CLayerData> top = list.removeLayer(3);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->id, start[2]);
  EXPECT_EQ(list.current(), 2);
  EXPECT_EQ(list.count(), 3);

  // Replace hands the old object back and leaves current alone.
  std::unique_ptr<CLayerData> fresh = std::make_unique<CLayerData>(0, false);
  const uint32_t freshId = fresh->id;
  std::unique_ptr<CLayerData> old = list.replaceLayer(1, std::move(fresh));
  ASSERT_TRUE(old);
  EXPECT_EQ(old->id, start[0]);
  EXPECT_EQ(list.getLayer(1)->id, freshId);
  EXPECT_EQ(list.getLayer(1)->index, 1);
  EXPECT_EQ(list.current(), 2);
  std::unique_ptr<CLayerData> spare = std::make_unique<CLayerData>(0, false);
  EXPECT_FALSE(list.replaceLayer(5, std::move(spare)));
  EXPECT_TRUE(spare) << "a refused object stays the caller's";

  // Re-inserting the removed layer.
  ASSERT_EQ(list.insertExisting(1, std::move(top)), 1);
  EXPECT_EQ(list.getLayer(1)->id, start[2]);
  EXPECT_EQ(list.current(), 2);
  std::unique_ptr<CLayerData> refused = std::make_unique<CLayerData>(0, false);
  EXPECT_EQ(list.insertExisting(-1, std::move(refused)), -1);
  EXPECT_TRUE(refused);

  // Deleting down to nothing.
  while (list.count() > 0) ASSERT_TRUE(list.deleteLayer(0));
  EXPECT_EQ(list.current(), -1);
  EXPECT_FALSE(list.deleteLayer(0));
}

TEST_F(LayerFixture, MoveLayer) {
  add();
  add();
  add();
  const std::vector<uint32_t> start = ids();
  list.setCurrent(1);
  EXPECT_EQ(list.moveLayer(5, 5), -1);
  EXPECT_EQ(list.moveLayer(1, 1), -1);
  EXPECT_EQ(list.moveLayer(0, 3), -1);
  EXPECT_EQ(list.moveLayer(100, 0), 2);
  EXPECT_EQ(ids(), (std::vector<uint32_t>{start[1], start[2], start[0]}));
  EXPECT_EQ(list.moveLayer(-7, 2), 0);
  EXPECT_EQ(ids(), start);
  EXPECT_EQ(list.current(), 1);
  for (int i = 0; i < list.count(); ++i) EXPECT_EQ(list.getLayer(i)->index, i);
}

TEST_F(LayerFixture, WarningsForBadInsertions) {
  EXPECT_EQ(list.insertLayer(-1, 10, 10, kModeNormal, false, 255, true), -1);
  EXPECT_EQ(list.insertLayer(0, -10, 10, kModeNormal, false, 255, true), -1);
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[0].text, "不正なレイヤインデックスです!");
  EXPECT_EQ(messages.shown()[1].text, "レイヤの初期化に失敗しました!");
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.current(), -1);
}

TEST(LayerMngr, TenThousandLayersAtMost) {
  CLayerMngr list(24);
  for (int i = 0; i < CLayerMngr::kMaxLayers; ++i)
    ASSERT_EQ(list.insertAt(i, std::make_unique<CLayerData>(i, false)), i);
  EXPECT_FALSE(list.canAddLayer());
  std::unique_ptr<CLayerData> extra = std::make_unique<CLayerData>(0, false);
  EXPECT_EQ(list.insertAt(0, std::move(extra)), -1);
  EXPECT_TRUE(extra);
  RecordingMessageService messages;
  ScopedMessageService scope(messages);
  EXPECT_EQ(list.addLayer(4, 4, kModeNormal, false, 255, true), -1);
  EXPECT_EQ(list.count(), CLayerMngr::kMaxLayers);
}

TEST_F(LayerFixture, Visibility) {
  std::vector<uint8_t> v;
  EXPECT_FALSE(list.getVisibility(v));
  EXPECT_FALSE(list.setAllVisible(true));
  EXPECT_FALSE(list.toggleAllVisibility());
  for (int i = 0; i < 5; ++i) add();
  EXPECT_EQ(list.visibleCount(), 5);
  EXPECT_TRUE(list.showOnly(2));
  EXPECT_EQ(list.visibleCount(), 1);
  ASSERT_TRUE(list.getVisibility(v));
  EXPECT_EQ(v, (std::vector<uint8_t>{0, 0, 1, 0, 0}));
  EXPECT_TRUE(list.toggleAllVisibility());
  EXPECT_EQ(list.visibleCount(), 4);
  EXPECT_EQ(list.setRunVisible(3, 10, true), 2);  // clamped to the list
  EXPECT_EQ(list.setRunVisible(0, 0, true), 0);
  EXPECT_EQ(list.setRunVisible(5, 1, true), 0);
  EXPECT_EQ(list.setRunVisible(1, 2, false), 2);
  ASSERT_TRUE(list.getVisibility(v));
  EXPECT_EQ(v, (std::vector<uint8_t>{1, 0, 0, 1, 1}));
  EXPECT_FALSE(list.showOnly(5));
}

TEST_F(LayerFixture, SwapLayersBetweenLists) {
  add();
  add();
  CLayerMngr other(4);
  other.setDocumentSize(64, 40);
  other.addLayer(64, 40, kModeNormal, false, 255, true);
  const uint32_t a = list.getLayer(1)->id, b = other.getLayer(0)->id;
  EXPECT_TRUE(list.swapLayers(1, other, true, 0));
  EXPECT_EQ(list.getLayer(1)->id, b);
  EXPECT_EQ(list.getLayer(1)->index, 1);
  EXPECT_EQ(other.getLayer(0)->id, a);
  EXPECT_EQ(other.getLayer(0)->index, 0);
  EXPECT_FALSE(list.swapLayers(2, other, true, 0));
}

// ---- link levels ---------------------------------------------------------------

// A list of layers without images at the given levels.
std::unique_ptr<CLayerMngr> withLevels(const std::vector<int>& levels) {
  auto list = std::make_unique<CLayerMngr>(24);
  for (size_t i = 0; i < levels.size(); ++i) {
    auto l = std::make_unique<CLayerData>(static_cast<int>(i), false);
    l->linkLevel = levels[i];
    l->name = std::string(1, static_cast<char>('a' + i));
    list->insertAt(static_cast<int>(i), std::move(l));
  }
  list->renumber();
  return list;
}

std::vector<int> levelsOf(const CLayerMngr& list) {
  std::vector<int> v;
  for (int i = 0; i < list.count(); ++i) v.push_back(list.getLayer(i)->linkLevel);
  return v;
}

std::string orderOf(const CLayerMngr& list) {
  std::string s;
  for (int i = 0; i < list.count(); ++i) s += list.getLayer(i)->name;
  return s;
}

TEST(LayerLinks, GroupLengthAndQueries) {
  struct Case {
    std::vector<int> levels;
    int i;
    int group;
    bool mergeDown, indent, outdent;
  } cases[] = {
      // A layer heading a group cannot merge down.
      {{0, 0, 1, 1, 0}, 1, 2, false, true, false},
      // Linked to the layer below (one level deeper): merge allowed.
      {{0, 0, 1, 1, 0}, 2, 0, true, false, true},
      // Same level as the one below.
      {{0, 0, 1, 1, 0}, 3, 0, true, true, true},
      // The bottom layer never merges, indents or outdents.
      {{0, 1}, 0, 1, false, false, false},
      // Two levels below: no merge.
      {{0, 2}, 1, 0, false, false, true},
      // The layer below sits deeper: no indent.
      {{2, 1}, 1, 0, false, true, true},
      {{1, 2, 0}, 2, 0, false, true, false},
      // Any layer at level 249 or more blocks indenting.
      {{0, 0, 249}, 1, 1, false, false, false},
      {{0, 0, 0, 248}, 1, 0, true, true, false},
      // Out of range.
      {{0, 0}, 2, -1, false, false, false},
  };
  for (const Case& c : cases) {
    auto list = withLevels(c.levels);
    SCOPED_TRACE(::testing::PrintToString(c.levels) + " at " + std::to_string(c.i));
    EXPECT_EQ(list->linkGroupLength(c.i), c.group);
    EXPECT_EQ(list->canMergeDown(c.i), c.mergeDown);
    EXPECT_EQ(list->canIndent(c.i), c.indent);
    EXPECT_EQ(list->canOutdent(c.i), c.outdent);
  }
  EXPECT_EQ(withLevels({0, 3, 7, 2})->maxLinkLevel(), 7);
}

TEST(LayerLinks, IndentAndOutdentMoveTheWholeGroup) {
  auto list = withLevels({0, 0, 1, 1, 0});
  EXPECT_TRUE(list->indentGroup(1, true));
  EXPECT_EQ(levelsOf(*list), (std::vector<int>{0, 1, 2, 2, 0}));
  EXPECT_TRUE(list->indentGroup(1, false));
  EXPECT_EQ(levelsOf(*list), (std::vector<int>{0, 0, 1, 1, 0}));
  EXPECT_FALSE(list->indentGroup(1, false));  // already at level 0
  EXPECT_FALSE(list->indentGroup(0, true));
  EXPECT_EQ(list->shiftLinkLevels(3, 5, true, 4), 2);
  EXPECT_EQ(levelsOf(*list), (std::vector<int>{0, 0, 1, 5, 4}));
  const uint8_t lv[] = {9, 8};
  EXPECT_TRUE(list->applyLinkLevels(lv, 0, 2));
  EXPECT_EQ(levelsOf(*list), (std::vector<int>{9, 8, 1, 5, 4}));
}

TEST(LayerLinks, MoveGroup) {
  struct Case {
    std::vector<int> levels;
    int to, from, n;
    int result;
    std::string order;
    std::vector<int> after;
  } cases[] = {
      // Downward: group b,c (levels 1,2 over a) moves to the bottom, base 0.
      {{0, 1, 2, 0, 0}, 0, 1, 2, 0, "bcade", {0, 1, 0, 0, 0}},
      // Upward past d: the new parent d heads no group, so the base is d's level.
      {{0, 1, 2, 0, 0}, 4, 1, 2, 2, "adbce", {0, 0, 0, 1, 0}},
      // Upward to the top.
      {{0, 1, 2, 0, 0}, 5, 1, 2, 3, "adebc", {0, 0, 0, 0, 1}},
      // Onto a layer that heads a group: one level deeper than it.
      {{0, 0, 1, 0}, 2, 0, 1, 1, "bacd", {0, 1, 1, 0}},
      // A single layer.
      {{0, 0, 0}, 0, 2, 1, 0, "cab", {0, 0, 0}},
  };
  for (const Case& c : cases) {
    auto list = withLevels(c.levels);
    SCOPED_TRACE(::testing::PrintToString(c.levels) + " to " + std::to_string(c.to) + " from " +
                 std::to_string(c.from));
    EXPECT_TRUE(list->canMoveGroup(c.to, c.from, true, c.n));
    EXPECT_EQ(list->moveGroup(c.to, c.from, c.n), c.result);
    EXPECT_EQ(orderOf(*list), c.order);
    EXPECT_EQ(levelsOf(*list), c.after);
    for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->getLayer(i)->index, i);
  }
}

TEST(LayerLinks, MoveGroupRefusals) {
  auto list = withLevels({0, 1, 2, 0});
  EXPECT_FALSE(list->canMoveGroup(2, 1, true, 2));  // inside its own span
  EXPECT_FALSE(list->canMoveGroup(3, 1, true, 2));  // right above itself
  EXPECT_FALSE(list->canMoveGroup(0, 1, true, 1));  // n is not the group's size
  EXPECT_FALSE(list->canMoveGroup(5, 1, true, 2));  // past the end
  EXPECT_FALSE(list->canMoveGroup(0, 4, true, 1));  // from invalid
  EXPECT_EQ(list->moveGroup(2, 1, 2), -1);
  EXPECT_EQ(orderOf(*list), "abcd");
}

}  // namespace
}  // namespace pg
