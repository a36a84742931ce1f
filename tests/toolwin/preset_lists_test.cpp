// The nib, gradient and brush lists over their collections: index maps,
// the items that may not move or go, delete and reselect, copies between
// lists, and the brush list's working parameters.
#include <gtest/gtest.h>

#include "brush/gradient_mngr.h"
#include "brush/paint_param_kinds.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "toolwin/pen_method_list.h"
#include "toolwin/pen_settings.h"
#include "toolwin/preset_lists.h"

namespace pg {
namespace {

// ---- nibs ---------------------------------------------------------------------------

struct NibFixture {
  explicit NibFixture(int32_t nibs) {
    for (int32_t i = 0; i < nibs; ++i) EXPECT_GE(nibsOwned.addFromRecord(builtinPenShape(i)), 0);
    nibsOwned.select(0);
    list.setOptions(kListKeepActive);
    list.setBounds(200, 200);
    list.bind(&nibsOwned);
  }
  CPenShapeMngr nibsOwned;
  CPenNibList list;
};

TEST(PenNibList, TheLeadingEntryStandsForTheScratchNibAndStaysPut) {
  NibFixture f(3);
  ASSERT_EQ(f.list.getCount(), 4);
  EXPECT_EQ(f.list.getActiveIndex(), 1);  // nib 0 is current
  EXPECT_EQ(f.list.shapeAt(1), f.nibsOwned.getItem(0));
  EXPECT_EQ(f.list.getItemFlags(0), 15u);
  EXPECT_FALSE(f.list.canDeleteKeepOne(0));
  EXPECT_FALSE(f.list.canMoveItem(3, 0));
  EXPECT_FALSE(f.list.canMoveItem(0, 2));  // nothing moves onto it either
  EXPECT_FALSE(f.list.canEditItem(0));
  EXPECT_FALSE(f.list.deleteItem(0, false));

  // Picking it selects the scratch nib; the collection keeps its current one.
  ASSERT_TRUE(f.list.selectItem(0, false));
  EXPECT_TRUE(f.list.scratchSelected());
  EXPECT_EQ(f.list.getActiveIndex(), 0);
  EXPECT_EQ(f.nibsOwned.currentIndex(), 0);
  ASSERT_TRUE(f.list.selectItem(3, false));
  EXPECT_FALSE(f.list.scratchSelected());
  EXPECT_EQ(f.nibsOwned.currentIndex(), 2);
  EXPECT_EQ(f.list.currentShape(), f.nibsOwned.getItem(2));

  // Without the leading entry the same nib stays active, one index lower.
  f.list.setLeadingEntry(false);
  EXPECT_EQ(f.list.getCount(), 3);
  EXPECT_EQ(f.list.getActiveIndex(), 2);
  EXPECT_EQ(f.list.getItemFlags(0), kItemNoLabel);
}

TEST(PenNibList, TheLastRealNibCannotBeDeleted) {
  struct Case {
    int32_t nibs;
    bool leading;
    bool deletable;
  };
  for (const Case& c : {Case{1, true, false}, Case{2, true, true}, Case{1, false, false}, Case{2, false, true}}) {
    SCOPED_TRACE(::testing::Message() << c.nibs << " nibs, leading " << c.leading);
    NibFixture f(c.nibs);
    f.list.setLeadingEntry(c.leading);
    int32_t last = f.list.getCount() - 1;
    EXPECT_EQ(f.list.canDeleteKeepOne(last), c.deletable);
    EXPECT_EQ(f.list.deleteItem(last, false), c.deletable);
  }
}

TEST(PenNibList, TheBindSelectsTheScratchEntryWhenNoNibIsCurrent) {
  CPenShapeMngr empty;
  CPenNibList list;
  list.setOptions(kListKeepActive);
  list.bind(&empty);
  EXPECT_TRUE(list.scratchSelected());
  EXPECT_EQ(list.getActiveIndex(), 0);
  EXPECT_EQ(list.pressedIndex(), 0);
  EXPECT_EQ(list.unbind(), &empty);
  EXPECT_EQ(list.getCount(), 0);
  EXPECT_EQ(list.getActiveIndex(), -1);
}

TEST(PenNibList, NamesGiveRadiusAndMinimum) {
  NibFixture f(1);
  CPenShapeObj nib;
  SPenShapeParam shape;
  shape.init(12.5f);
  shape.minSize = 300;
  nib.setParams(nullptr, &shape, nullptr);
  f.list.setScratch(nib, false);
  EXPECT_EQ(f.list.getItemName(0), "半径 12.5px, 最小 30%");
  CPenNibList unbound;
  EXPECT_EQ(unbound.getItemName(0), "未定義");
}

TEST(PenNibList, APreviewScalesOnlyANibLargerThanItsCell) {
  struct Case {
    int32_t side;
    float radius;
    float scale;
  };
  for (const Case& c : {Case{24, 5.0f, 1.0f}, Case{24, 10.5f, 1.0f}, Case{24, 21.0f, 0.5f}, Case{4, 1.0f, 0.0f},
                        Case{5, 1.0f, 1.0f}}) {
    SCOPED_TRACE(::testing::Message() << c.side << " / " << c.radius);
    EXPECT_FLOAT_EQ(nibPreviewScale(c.side, c.radius), c.scale);
  }
}

TEST(PenNibList, ACopyGoesBetweenNibsOrAfterTheLastButNeverOntoTheLeadingEntry) {
  NibFixture from(3), to(2);
  EXPECT_FALSE(from.list.copyInto(&to.list, 0, false, 2));
  EXPECT_EQ(to.nibsOwned.count(), 2);
  ASSERT_TRUE(from.list.copyInto(&to.list, -1, false, 2));
  ASSERT_EQ(to.nibsOwned.count(), 3);
  EXPECT_EQ(to.nibsOwned.getItem(2)->params(), from.nibsOwned.getItem(1)->params());
  EXPECT_EQ(to.list.getActiveIndex(), 3);
  EXPECT_TRUE(to.list.isModified());
  // Between two nibs it is inserted there.
  ASSERT_TRUE(from.list.copyInto(&to.list, 2, false, 3));
  EXPECT_EQ(to.nibsOwned.getItem(1)->params(), from.nibsOwned.getItem(2)->params());
  // Only lists of nibs take nibs.
  CGradientList other;
  EXPECT_FALSE(from.list.copyInto(&other, 0, false, 1));
}

// ---- gradients ------------------------------------------------------------------------

struct GradientFixture {
  explicit GradientFixture(bool fixed, int32_t more = 3) : grads(fixed) {
    for (int32_t i = 0; i < more; ++i) EXPECT_GE(grads.addTwoColor(0x0000FFu * uint32_t(i), 0xFFFFFFu), 0);
    grads.select(fixed ? 1 : 0);
    list.setOptions(kListKeepActive);
    list.setBounds(200, 200);
    list.bind(&grads);
  }
  CGradMngr grads;
  CGradientList list;
};

TEST(GradientList, TheCollectionsOwnEntryIsNeverMovedOntoOverwrittenOrDeleted) {
  GradientFixture f(true);
  ASSERT_EQ(f.list.getCount(), 4);
  EXPECT_EQ(f.list.getItemFlags(0), 15u);
  EXPECT_FALSE(f.list.canDeleteKeepOne(0));
  EXPECT_FALSE(f.list.canMoveItem(0, 2));
  EXPECT_FALSE(f.list.canInsertFrom(0, &f.list, 2));
  EXPECT_FALSE(f.list.canCopyFrom(0, &f.list, 2));
  EXPECT_FALSE(f.list.setItemName(0, "x"));
  EXPECT_TRUE(f.list.canMoveItem(1, 3));
  EXPECT_TRUE(f.list.setItemName(2, "dawn"));
  EXPECT_EQ(f.list.getItemName(2), "dawn");

  // Beside the own entry the last real gradient stays.
  GradientFixture one(true, 1);
  EXPECT_EQ(one.list.getItemFlags(1), kItemFixed);
  EXPECT_FALSE(one.list.deleteItem(1, false));
}

TEST(GradientList, AGradientDroppedBetweenTwoIsInsertedThere) {
  GradientFixture from(false), to(true);
  from.grads.getItem(2)->Stops.setName("dropped");
  ASSERT_TRUE(from.list.copyInto(&to.list, 2, false, 2));
  ASSERT_EQ(to.grads.count(), 5);
  EXPECT_EQ(to.grads.getItem(2)->Stops.name(), "dropped");
  EXPECT_EQ(to.list.getActiveIndex(), 2);
  EXPECT_EQ(to.grads.fixedIndex(), 0);
  // The own entry is not overwritten; past the end the copy is appended.
  EXPECT_FALSE(from.list.copyInto(&to.list, 0, false, 2));
  ASSERT_TRUE(from.list.copyInto(&to.list, 9, false, 2));
  EXPECT_EQ(to.grads.getItem(5)->Stops.name(), "dropped");
  EXPECT_EQ(to.grads.fixedIndex(), 0);
}

TEST(GradientList, ARangeWithoutACurrentGradientWarns) {
  CGradMngr empty(false);
  CGradientList list;
  list.setOptions(kListKeepActive);
  list.bind(&empty);
  std::string warned;
  list.OnWarning = [&](const std::string& text) { warned = text; };
  SGradRepeat r;
  r.Count = 3;
  EXPECT_FALSE(list.setRange(r));
  EXPECT_EQ(warned, "操作に失敗しました！");

  GradientFixture f(false);
  int changes = 0;
  f.list.OnChange = [&] { ++changes; };
  ASSERT_TRUE(f.list.setRange(r));
  EXPECT_EQ(f.list.getRange().Count, 3);
  EXPECT_EQ(f.grads.getRange().Count, 3);
  EXPECT_EQ(changes, 1);
}

// ---- deleting reselects alike in every collection list ------------------------------------

TEST(PresetLists, DeletingReselectsTheNeighbourOfTheActiveItem) {
  struct Case {
    const char* what;
    int32_t active, deleted, selected;
  };
  const Case cases[] = {
      {"the active last item", 3, 3, 2},
      {"the active middle item", 1, 1, 1},
      {"an item before the active one", 2, 0, 1},
      {"an item after the active one", 1, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GradientFixture g(false, 4);
    ASSERT_TRUE(g.list.selectItem(c.active, false));
    ASSERT_TRUE(g.list.deleteItem(c.deleted, false));
    EXPECT_EQ(g.list.getActiveIndex(), c.selected);
    NibFixture n(4);
    n.list.setLeadingEntry(false);
    ASSERT_TRUE(n.list.selectItem(c.active, false));
    ASSERT_TRUE(n.list.deleteItem(c.deleted, false));
    EXPECT_EQ(n.list.getActiveIndex(), c.selected);
    EXPECT_EQ(n.nibsOwned.count(), 3);
  }
}

// ---- brushes ------------------------------------------------------------------------

std::unique_ptr<CPenMethodObj> brushOfKind(uint8_t kind, const std::string& name) {
  auto m = std::make_unique<CPenMethodObj>();
  EXPECT_TRUE(TPaintParam(kind).storeToPenMethod(m.get()));
  m->setName(name);
  return m;
}

struct BrushFixture {
  BrushFixture() {
    // Kind 9 at 0, 2 and 4; kind 10 at 1 and 3.
    for (auto [kind, name] : {std::pair<uint8_t, const char*>{9, "a"}, {10, "b"}, {9, "c"}, {10, "d"}, {9, "e"}})
      EXPECT_GE(brushes.add(brushOfKind(kind, name)), 0);
    brushes.setCurrentIndex(0);
    list.setOptions(kListKeepActive);
    list.setBounds(200, 200);
    list.bind(&brushes, &stroke, &variants);
    list.selectPaintKind(9);
  }
  CPenMethodMngr brushes;
  TStroke stroke;
  CPenSettingTable variants;
  CPenMethodList list;
};

TEST(PenMethodList, ShowsTheBrushesOfOneKindAndMapsTheirIndices) {
  BrushFixture f;
  struct Case {
    uint8_t kind;
    bool showAll;
    int32_t count;
    std::vector<int32_t> managerIndex;  // of list index 0, 1, ...
  };
  const Case cases[] = {
      {9, false, 3, {0, 2, 4}},
      {10, false, 2, {1, 3}},
      {11, false, 0, {}},
      {9, true, 5, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.kind) << (c.showAll ? " all" : ""));
    f.list.setShowAll(false);
    f.list.selectPaintKind(c.kind);
    f.list.setShowAll(c.showAll);
    ASSERT_EQ(f.list.getCount(), c.count);
    for (int32_t i = 0; i < c.count; ++i) {
      EXPECT_EQ(f.list.managerIndexOf(i), c.managerIndex[size_t(i)]);
      EXPECT_EQ(f.list.listIndexOf(c.managerIndex[size_t(i)]), i);
    }
    EXPECT_EQ(f.list.managerIndexOf(c.count), -1);
  }
}

TEST(PenMethodList, EachKindRemembersItsBrushAndTheWorkingParametersFollow) {
  BrushFixture f;
  ASSERT_TRUE(f.list.selectItem(2, false));  // "e"
  EXPECT_EQ(f.brushes.currentIndex(), 4);
  EXPECT_EQ(f.list.paintParam().name, "e");
  f.list.selectPaintKind(10);
  EXPECT_EQ(f.list.getActiveIndex(), 0);
  ASSERT_TRUE(f.list.selectItem(1, false));  // "d"
  EXPECT_EQ(f.list.paintParam().name, "d");
  f.list.selectPaintKind(9);
  EXPECT_EQ(f.list.getActiveIndex(), 2);
  EXPECT_EQ(f.list.paintParam().name, "e");
  EXPECT_EQ(f.list.paintParam().kind, 9);
}

TEST(PenMethodList, TheLastBrushOfAKindCannotBeDeleted) {
  BrushFixture f;
  f.list.selectPaintKind(10);
  ASSERT_TRUE(f.list.deleteItem(1, false));
  EXPECT_EQ(f.list.getCount(), 1);
  EXPECT_FALSE(f.list.canDeleteKeepOne(0));
  EXPECT_FALSE(f.list.deleteItem(0, false));
  EXPECT_EQ(f.brushes.count(), 4);
}

TEST(PenMethodList, AStoredChangeReachesTheBrushAndACopyTakesItsName) {
  BrushFixture f;
  ASSERT_TRUE(f.list.selectItem(1, false));  // "c"
  f.list.setParamValue(ppOpacity, 0.25f);
  uint16_t before = f.brushes.getItem(2)->getParams().stroke.opacity;
  ASSERT_TRUE(f.list.storeCurrent());
  EXPECT_NE(f.brushes.getItem(2)->getParams().stroke.opacity, before);
  EXPECT_TRUE(f.brushes.modified());

  ASSERT_TRUE(f.list.copyInto(&f.list, -1, false, 1));
  ASSERT_EQ(f.brushes.count(), 6);
  EXPECT_EQ(f.brushes.getItem(5)->name(), "c");
  EXPECT_EQ(f.list.getActiveIndex(), 3);
}

TEST(PenMethodList, AStrokeToolShowsItsFiveVariantsAndChangesReachTheStroke) {
  BrushFixture f;
  uint8_t kind = legacyKindAt(0);
  SPenSetting* third = f.variants.record(0, 3);
  ASSERT_NE(third, nullptr);
  third->WIDTH = 17.0f;
  f.list.selectPaintKind(kind);
  EXPECT_EQ(f.list.sourceKind(), CPenMethodList::kSourceVariants);
  ASSERT_EQ(f.list.getCount(), 5);
  EXPECT_EQ(f.list.getItemFlags(0) & kItemFixed, kItemFixed);
  ASSERT_TRUE(f.list.selectItem(2, false));
  EXPECT_FLOAT_EQ(f.list.paintParam().size, 17.0f);
  f.list.setParamValue(ppOpacity, 0.5f);
  EXPECT_FLOAT_EQ(f.stroke.opacity, 0.5f);
  ASSERT_TRUE(f.list.storeCurrent());
  EXPECT_FLOAT_EQ(third->opaque, 0.5f);
  // The variant is remembered per tool.
  f.list.selectPaintKind(9);
  f.list.selectPaintKind(kind);
  EXPECT_EQ(f.list.getActiveIndex(), 2);
}

// ---- the pop-up over the same collection ------------------------------------------------

// A pick in the pop-up is the list's choice at once; closing keeps it (and
// tells it) or, cancelled, brings back the brush the pop-up opened with,
// with its kind.
TEST(PenMethodList, APopUpPickIsTheListsChoiceUntilItIsCancelled) {
  struct Case {
    const char* what;
    int32_t pickedManagerIndex;
    bool accepted;
    int32_t kindAfter;
    const char* nameAfter;
  };
  const Case cases[] = {
      {"a brush of the same kind, kept", 4, true, 0, "e"},
      {"a brush of another kind, kept", 3, true, 1, "d"},
      {"a brush of another kind, cancelled", 3, false, 0, "c"},
      {"a brush of the same kind, cancelled", 0, false, 0, "c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BrushFixture f;
    ASSERT_TRUE(f.list.selectItem(1, false));  // "c"
    ASSERT_TRUE(f.list.canOpenPopup());
    CPenMethodList popup;
    popup.setOptions(kListKeepActive);
    popup.bind(&f.brushes, nullptr, nullptr);
    popup.setShowAll(true);
    int32_t changes = 0, kindChanges = 0;
    f.list.OnChange = [&] { ++changes; };
    f.list.OnKindChange = [&] { ++kindChanges; };
    f.list.bindPopup(popup);
    ASSERT_TRUE(popup.selectItem(c.pickedManagerIndex, false));
    // At once, before the pop-up closes.
    EXPECT_EQ(f.brushes.currentIndex(), c.pickedManagerIndex);
    EXPECT_EQ(f.list.paintParam().name, f.brushes.getItem(c.pickedManagerIndex)->name());
    EXPECT_GT(changes, 0);
    changes = 0;
    f.list.popupClosed(c.accepted);
    EXPECT_EQ(f.list.brushKind(), c.kindAfter);
    EXPECT_EQ(f.list.paintParam().name, c.nameAfter);
    EXPECT_EQ(f.list.getItemName(f.list.getActiveIndex()), c.nameAfter);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(kindChanges > 0, c.pickedManagerIndex % 2 == 1);
    // Closed: further picks in that list are its own affair.
    EXPECT_EQ(f.list.popupList(), nullptr);
    changes = 0;
    ASSERT_TRUE(popup.selectItem(2, false));
    EXPECT_EQ(changes, 0);
  }
  // The variants of a stroke tool and an empty collection have no pop-up.
  BrushFixture f;
  f.list.selectPaintKind(legacyKindAt(0));
  EXPECT_FALSE(f.list.canOpenPopup());
  CPenMethodMngr none;
  CPenMethodList empty;
  empty.bind(&none, nullptr, nullptr);
  EXPECT_FALSE(empty.canOpenPopup());
}

TEST(GradientList, APopUpSharesTheModifiedFlagAndKeepsItsOwnHandler) {
  GradientFixture f(false, 4);
  ASSERT_TRUE(f.list.selectItem(1, false));
  CGradientList popup;
  popup.setOptions(kListKeepActive);
  popup.bind(&f.grads);
  int32_t ownChanges = 0;
  popup.OnChange = [&] { ++ownChanges; };  // the pop-up's preview
  f.list.setModified(true);
  f.list.bindPopup(popup);
  EXPECT_TRUE(popup.isModified());
  ASSERT_TRUE(popup.selectItem(3, false));
  EXPECT_EQ(ownChanges, 1);
  EXPECT_EQ(f.list.getActiveIndex(), 3);
  // An edit in the pop-up marks the owner; the owner's mark reaches the pop-up.
  f.list.setModified(false);
  EXPECT_FALSE(popup.isModified());
  ASSERT_TRUE(popup.setItemName(2, "dusk"));
  EXPECT_TRUE(f.list.isModified());
  // Cancelled: the gradient the pop-up opened with.
  f.list.popupClosed(false);
  EXPECT_EQ(f.grads.currentIndex(), 1);
  ASSERT_TRUE(popup.selectItem(2, false));
  EXPECT_EQ(ownChanges, 2);  // given back its own handler
  EXPECT_EQ(f.list.getActiveIndex(), 2);  // shared collection, but no longer told
}

}  // namespace
}  // namespace pg
