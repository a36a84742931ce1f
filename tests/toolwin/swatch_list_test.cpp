#include "toolwin/swatch_list.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

std::unique_ptr<TSwatchMngr> colours(std::initializer_list<uint32_t> list) {
  auto m = std::make_unique<TSwatchMngr>();
  for (uint32_t c : list) EXPECT_GE(m->addColor(-1, c), 0);
  m->setModified(false);
  return m;
}

struct SwatchFixture {
  SwatchFixture() {
    list.setOptions(kListKeepActive | kListAddByClick);
    list.setBounds(120, 120);
    list.bind(colours({0x000000u, 0x102030u, 0xFFFFFFu, 0x0000FFu}));
  }
  CSwatchList list;
};

TEST(SwatchList, NamesTheChannelsOfEachColour) {
  SwatchFixture f;
  EXPECT_EQ(f.list.getItemName(1), "R 016, G 032, B 048");
  EXPECT_EQ(f.list.getItemName(3), "R 000, G 000, B 255");
  EXPECT_EQ(f.list.getItemName(9), "");
}

TEST(SwatchList, AClickAfterTheLastSwatchAddsTheDrawingColour) {
  SwatchFixture f;
  f.list.OnCurrentColor = [] { return 0xFF123456u; };
  TRect last = f.list.getItemRect(3);
  int32_t part = f.list.mouseDown(last.Right + 2, last.Top + 2, 0);
  EXPECT_EQ(part, kPartEmpty);
  ASSERT_EQ(f.list.getCount(), 5);
  EXPECT_EQ(f.list.colorAt(4), 0x123456u);
  EXPECT_EQ(f.list.getActiveIndex(), 4);
  EXPECT_TRUE(f.list.manager().modified());
}

TEST(SwatchList, DeletingSelectsTheNeighbour) {
  struct Case {
    int32_t active, deleted, selected;
  } cases[] = {{3, 3, 2}, {1, 1, 1}, {2, 0, 1}, {1, 3, 1}};
  for (const Case& c : cases) {
    SwatchFixture f;
    ASSERT_TRUE(f.list.setActiveIndex(c.active));
    ASSERT_TRUE(f.list.deleteItem(c.deleted, false));
    EXPECT_EQ(f.list.getCount(), 3);
    EXPECT_EQ(f.list.getActiveIndex(), c.selected) << c.active << " " << c.deleted;
  }
}

TEST(SwatchList, CopiesGoBetweenSwatchListsOnly) {
  SwatchFixture a, b;
  ASSERT_TRUE(a.list.copyInto(&b.list, 1, false, 3));
  EXPECT_EQ(b.list.getCount(), 5);
  EXPECT_EQ(b.list.colorAt(1), 0x0000FFu);
  EXPECT_EQ(b.list.getActiveIndex(), 1);
  CItemList other;
  EXPECT_FALSE(a.list.copyInto(&other, 0, false, 0));
  EXPECT_FALSE(a.list.copyInto(&b.list, 0, false, 7));
}

TEST(SwatchList, UnbindingHandsTheCollectionBack) {
  SwatchFixture f;
  std::unique_ptr<TSwatchMngr> m = f.list.unbind();
  ASSERT_TRUE(m);
  EXPECT_EQ(m->count(), 4);
  EXPECT_EQ(f.list.getCount(), 0);
  f.list.bind(nullptr);
  EXPECT_EQ(f.list.getCount(), 0);
}

TEST(SwatchList, TheNewAndDeleteButtonsTakeDraggedSwatches) {
  SwatchFixture own;
  SwatchFixture other;
  struct Drop {
    bool fromOwn;
    int32_t pressed;
    bool newAccepts, deleteAccepts;
  };
  for (const Drop d : {Drop{true, 1, true, true}, Drop{false, 2, true, false}, Drop{true, -1, false, false},
                       Drop{false, 9, false, false}}) {
    CSwatchList& source = d.fromOwn ? own.list : other.list;
    source.setPressedIndex(d.pressed);
    EXPECT_EQ(own.list.acceptsNewDrop(&source), d.newAccepts) << d.fromOwn << d.pressed;
    EXPECT_EQ(own.list.acceptsDeleteDrop(&source), d.deleteAccepts) << d.fromOwn << d.pressed;
  }
  other.list.setPressedIndex(2);
  ASSERT_TRUE(own.list.newFromDrop(&other.list));
  EXPECT_EQ(own.list.getCount(), 5);
  EXPECT_EQ(own.list.colorAt(4), 0xFFFFFFu);
  EXPECT_FALSE(own.list.deleteFromDrop(&other.list));  // only the list's own swatches
  own.list.setPressedIndex(0);
  ASSERT_TRUE(own.list.deleteFromDrop(&own.list));
  EXPECT_EQ(own.list.getCount(), 4);
  EXPECT_EQ(own.list.colorAt(0), 0x102030u);
  EXPECT_TRUE(own.list.addNewColor());
  EXPECT_EQ(own.list.getCount(), 5);
}

}  // namespace
}  // namespace pg
