#include "toolwin/item_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pg {
namespace {

// A list of named items that moves and copies them in a vector.
class NamesList : public CItemList {
 public:
  explicit NamesList(int n, bool bottomUp = false) {
    for (int i = 0; i < n; ++i) names.push_back("item" + std::to_string(i));
    setAllowedStyles(0x3FF);
    setBottomUp(bottomUp);
    setOptions(kListKeepActive | kListDraggable);
    setAcceptBits(1);
  }
  int32_t getCount() const override { return static_cast<int32_t>(names.size()); }
  uint32_t getItemFlags(int32_t i) const override { return fixedIndex == i ? uint32_t{kItemFixed} : 0u; }
  std::string getItemName(int32_t i) const override { return isValidIndex(i) ? names[i] : std::string(); }
  bool deleteItem(int32_t i, bool) override {
    if (!isValidIndex(i)) return false;
    names.erase(names.begin() + i);
    return true;
  }
  bool copyInto(CItemList* target, int32_t index, bool, int32_t sourceIndex) override {
    auto* t = dynamic_cast<NamesList*>(target);
    if (!t || !isValidIndex(sourceIndex)) return false;
    if (!t->isValidIndex(index)) index = t->getCount();
    t->names.insert(t->names.begin() + index, names[sourceIndex]);
    return true;
  }
  std::vector<std::string> names;
  int32_t fixedIndex = -1;
};

TEST(ItemList, ItemRectAndItemAtPosAreInverseInEveryGridStyle) {
  for (bool bottomUp : {false, true}) {
    for (int32_t style : {kListSmallIcons, kListIcons, kListLargeIcons, kListSmallRows, kListRows, kListLargeRows,
                          kListText}) {
      NamesList list(7, bottomUp);
      list.setBounds(150, 400);
      ASSERT_TRUE(list.setDisplayStyle(style));
      for (int32_t i = 0; i < list.getCount(); ++i) {
        TRect r = list.getItemRect(i);
        EXPECT_EQ(list.itemAtPos(r.Left, r.Top), i) << "style " << style << " bottomUp " << bottomUp;
        EXPECT_EQ(list.itemAtPos(r.Right - 1, r.Bottom - 1), i);
      }
    }
  }
}

// The compact styles: one item, or a strip of items that overlap when they
// do not fit; the active item is always shown, on top, and the arrow column
// at the right is its own part.
TEST(ItemList, CompactStylesShowTheActiveItemAndKeepTheArrowColumnApart) {
  struct Case {
    int32_t style, count, width, active;
    bool overlap;
  };
  const Case cases[] = {
      {kListCompact, 9, 120, 4, false},
      {kListCompactButton, 9, 120, 7, false},
      {kListStrip, 3, 200, 1, false},   // room for all, side by side
      {kListStrip, 9, 120, 0, true},    // squeezed
      {kListStrip, 30, 120, 22, true},  // the strip scrolls to the active one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "style " << c.style << " count " << c.count);
    NamesList list(c.count);
    list.setBounds(c.width, 30);
    ASSERT_TRUE(list.setDisplayStyle(c.style));
    ASSERT_TRUE(list.selectItem(c.active, true));
    const std::vector<int32_t> order = list.compactDrawOrder();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back(), c.active);
    const TRect area = list.itemArea();
    for (int32_t i : order) {
      const TRect r = list.getItemRect(i);
      EXPECT_GE(r.Left, area.Left);
      EXPECT_LE(r.Right, area.Right);
      // Every item shown can be clicked where it is not covered.
      EXPECT_EQ(list.itemAtPos(i == c.active || i < c.active ? r.Left : r.Right - 1, 10), i);
    }
    const TRect a = list.getItemRect(c.active);
    EXPECT_EQ(list.hitTestPart((a.Left + a.Right) / 2, 10), kPartItem);
    if (c.style == kListStrip && order.size() > 1) {
      const TRect next = list.getItemRect(order[0] + 1);
      EXPECT_EQ(next.Left < list.getItemRect(order[0]).Right, c.overlap);
    }
    EXPECT_EQ(list.hitTestPart(c.width - 6, 10), kPartArrows);
    EXPECT_EQ(list.mouseDown(c.width - 6, 10, 0), kPartArrows);
    EXPECT_EQ(list.getActiveIndex(), c.active);
  }
}

// The compact style with a button: a click on the button flips its switch
// and tells the change, but picks nothing; a second click flips it back. No
// other style has the button.
TEST(ItemList, TheCompactButtonFlipsItsSwitchAndTellsTheChange) {
  for (int32_t style : {kListCompact, kListCompactButton, kListStrip, kListRows}) {
    SCOPED_TRACE(::testing::Message() << "style " << style);
    NamesList list(5);
    list.setBounds(54, 32);
    ASSERT_TRUE(list.setDisplayStyle(style));
    ASSERT_TRUE(list.selectItem(2, true));
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    const TRect b = list.dropButtonRect();
    if (style != kListCompactButton) {
      EXPECT_EQ(b.Right - b.Left, 0);
      continue;
    }
    const TRect area = list.itemArea();
    ASSERT_GT(b.Right - b.Left, 4);
    EXPECT_EQ(b.Left, area.Left + 1);
    EXPECT_EQ(b.Top - area.Top, area.Bottom - b.Bottom);  // centred
    const int32_t x = (b.Left + b.Right) / 2, y = (b.Top + b.Bottom) / 2;
    EXPECT_EQ(list.hitTestPart(x, y), kPartDropButton);
    EXPECT_EQ(list.hitTestPart(b.Right + 2, y), kPartItem);
    for (bool expected : {true, false}) {
      EXPECT_EQ(list.mouseDown(x, y, 0), kPartDropButton);
      list.mouseUp();
      EXPECT_EQ(list.dropDownPressed(), expected);
    }
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list.getActiveIndex(), 2);
    // Loading the switch tells nobody.
    list.setDropDownPressed(true);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(list.dropDownPressed());
  }
}

TEST(ItemList, BottomUpListDrawsItemZeroLastAndDropsBelowItAtTheStart) {
  NamesList list(4, true);
  list.setBounds(150, 400);
  list.setDisplayStyle(kListRows);
  EXPECT_GT(list.getItemRect(0).Top, list.getItemRect(3).Top);
  TRect bottom = list.getItemRect(0);
  EXPECT_EQ(list.insertIndexAtPos(10, bottom.Bottom + 5), 0);
  // The upper half of item 0's row drops above it, the lower half below it.
  EXPECT_EQ(list.insertIndexAtPos(10, bottom.Top + 2), 1);
  EXPECT_EQ(list.insertIndexAtPos(10, bottom.Bottom - 2), 0);
  // Above the top row: the end of the list.
  EXPECT_EQ(list.insertIndexAtPos(10, list.getItemRect(3).Top + 2), 4);
}

TEST(ItemList, TopDownDropsLandBetweenItems) {
  NamesList list(4);
  list.setBounds(150, 400);
  list.setDisplayStyle(kListRows);
  TRect r1 = list.getItemRect(1);
  EXPECT_EQ(list.insertIndexAtPos(10, r1.Top + 2), 1);
  EXPECT_EQ(list.insertIndexAtPos(10, r1.Bottom - 2), 2);
}

TEST(ItemList, MovesRefuseTheirOwnPlaceAndFixedItems) {
  NamesList list(5);
  struct Case {
    int32_t to, from;
    bool ok;
  } cases[] = {{2, 2, false}, {3, 2, false}, {1, 2, true}, {4, 2, true}, {5, 2, true}, {6, 2, false}, {0, 4, true}};
  for (const Case& c : cases) EXPECT_EQ(list.canMoveItem(c.to, c.from), c.ok) << c.to << " <- " << c.from;
  list.fixedIndex = 2;
  EXPECT_FALSE(list.canMoveItem(0, 2));
  EXPECT_FALSE(list.canMoveItem(2, 0));
}

TEST(ItemList, MoveItemToCopiesThenDeletesAndSelectsTheMovedItem) {
  NamesList list(4);
  ASSERT_TRUE(list.moveItemTo(0, 2, false));
  EXPECT_EQ(list.names, (std::vector<std::string>{"item2", "item0", "item1", "item3"}));
  EXPECT_EQ(list.getActiveIndex(), 0);
  ASSERT_TRUE(list.moveItemTo(4, 0, false));
  EXPECT_EQ(list.names, (std::vector<std::string>{"item0", "item1", "item3", "item2"}));
  EXPECT_EQ(list.getActiveIndex(), 3);
}

TEST(ItemList, StylesOutsideTheAllowedSetAreRefused) {
  NamesList list(3);
  list.setAllowedStyles((1u << kListRows) | (1u << kListText));
  ASSERT_TRUE(list.setDisplayStyle(kListText));
  EXPECT_FALSE(list.setDisplayStyle(kListIcons));
  EXPECT_EQ(list.displayStyle(), kListText);
}

TEST(ItemList, HintNamesTheItemOrTheUndefinedMarker) {
  EXPECT_EQ(itemListHint("pen"), "pen|クリック: [ pen ] を選択");
  EXPECT_EQ(itemListHint(""), "(未定義)|クリック: [ (未定義) ] を選択");
}

TEST(ItemList, AutoScrollSpeedsUpTowardsTheEdges) {
  NamesList list(40);
  list.setBounds(150, 200);
  list.setDisplayStyle(kListRows);  // rows 32 high: zone 32
  TRect a = list.itemArea();
  int32_t interval = 0;
  EXPECT_EQ(list.autoScrollStep(a.Top, interval), -1);
  EXPECT_EQ(interval, 20);
  EXPECT_EQ(list.autoScrollStep(a.Top + 31, interval), -1);
  EXPECT_EQ(interval, 31 * 480 / 31 + 20);
  EXPECT_EQ(list.autoScrollStep(a.Bottom - 1, interval), 1);
  EXPECT_EQ(interval, 1 * 480 / 31 + 20);
  EXPECT_EQ(list.autoScrollStep((a.Top + a.Bottom) / 2, interval), 0);
}

TEST(ItemList, ScrollBarAppearsOnlyWhenRowsOverflow) {
  NamesList few(2);
  few.setBounds(150, 200);
  few.setDisplayStyle(kListRows);
  EXPECT_FALSE(few.scrollRange().visible);
  NamesList many(30);
  many.setBounds(150, 200);
  many.setDisplayStyle(kListRows);
  SListScroll s = many.scrollRange();
  EXPECT_TRUE(s.visible);
  EXPECT_GT(s.max, 0);
  many.makeVisible(29);
  EXPECT_EQ(many.scrollPos(), s.max);
  EXPECT_EQ(many.itemAtPos(5, many.getItemRect(29).Top), 29);
}

TEST(ItemList, ANarrowListNeverDividesByZero) {
  NamesList list(5);
  list.setBounds(4, 3);
  for (int32_t style = 0; style <= kListText; ++style) {
    list.setDisplayStyle(style);
    EXPECT_GE(list.cellSize().W, 1);
    (void)list.itemAtPos(1, 1);
    (void)list.insertIndexAtPos(1, 1);
    (void)list.scrollRange();
  }
}

TEST(ItemList, ModifierClicksFollowTheOptions) {
  NamesList list(4);
  list.setBounds(150, 300);
  list.setOptions(kListKeepActive | kListDeleteCtrl | kListCopyCtrlShift);
  TRect r = list.getItemRect(1);
  list.mouseDown(r.Left + 40, r.Top + 2, kListCtrl);
  EXPECT_EQ(list.names.size(), 3u);
  r = list.getItemRect(0);
  list.mouseDown(r.Left + 40, r.Top + 2, kListCtrl | kListShift);
  EXPECT_EQ(list.names.size(), 4u);
  // A plain click selects; Alt alone does nothing.
  r = list.getItemRect(2);
  list.mouseDown(r.Left + 40, r.Top + 2, kListAlt);
  EXPECT_NE(list.getActiveIndex(), 2);
  list.mouseDown(r.Left + 40, r.Top + 2, 0);
  EXPECT_EQ(list.getActiveIndex(), 2);
}

TEST(ItemList, DragAndDropInsideTheListMovesTheItem) {
  NamesList list(4);
  list.setBounds(150, 300);
  list.setDisplayStyle(kListRows);
  TRect r0 = list.getItemRect(0);
  list.mouseDown(r0.Left + 40, r0.Top + 2, 0);
  EXPECT_TRUE(list.dragStarts(r0.Left + 40, r0.Top + 30, 0, 4));
  TRect r3 = list.getItemRect(3);
  EXPECT_TRUE(list.dragDrop(&list, r3.Left + 40, r3.Bottom - 2));
  EXPECT_EQ(list.names, (std::vector<std::string>{"item1", "item2", "item3", "item0"}));
  // Dropping right below itself is refused.
  TRect r = list.getItemRect(1);
  list.mouseDown(r.Left + 40, r.Top + 2, 0);
  EXPECT_FALSE(list.dragOver(&list, r.Left + 40, r.Bottom - 2));
}

}  // namespace
}  // namespace pg
