// The gradient tool's attributes: the record the buttons stand for, where a
// record goes in the gradient set (one gradient or the shared repeat), what
// the panel shows.
#include "toolwin/gradient_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "brush/gradient_mngr.h"

namespace pg {
namespace {

TEST(GradientAttributes, TheControlsMakeTheRecord) {
  struct Case {
    const char* what;
    SGradAttrControls controls;
    SGradRepeat expected;
  };
  const double nan = std::nan("");
  const Case cases[] = {
      {"plain", {false, 0, false, false, 1.0}, {0, 0, 0, 0, 1}},
      {"every switch", {true, 2, true, true, 7.9}, {1, 2, 1, 1, 7}},
      {"no shape down", {false, 3, false, false, 2.0}, {0, 3, 0, 0, 2}},
      {"a shape out of range", {false, -1, false, false, 2.0}, {0, 3, 0, 0, 2}},
      {"a count below one", {false, 1, false, false, 0.5}, {0, 1, 0, 0, 1}},
      {"a negative count", {false, 1, false, false, -40.0}, {0, 1, 0, 0, 1}},
      {"not a number", {false, 1, false, false, nan}, {0, 1, 0, 0, 1}},
      {"a huge count", {false, 0, false, false, 1e12}, {0, 0, 0, 0, std::numeric_limits<int32_t>::max()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(gradAttrRecord(c.controls), c.expected);
  }
}

// A set with the fixed two-colour entry at 0 and the four built-ins.
struct GradientSet : ::testing::Test {
  GradientSet() {
    set.addBuiltins();
    set.select(0);
  }
  CGradMngr set{true};
};

TEST_F(GradientSet, TheFixedEntrySetsTheSharedRepeatWhateverItsOwnButtonSays) {
  ASSERT_TRUE(set.isCurrentFixed());
  SGradAttrView view = gradAttrView(set);
  EXPECT_TRUE(view.hasGradient);
  EXPECT_FALSE(view.ownEnabled);
  const SGradRepeat radial{1, 1, 1, 0, 4};
  EXPECT_TRUE(applyGradAttr(set, radial));
  const SGradRepeat shared{0, 1, 1, 0, 4};
  EXPECT_EQ(set.getRange(), shared);
  for (int32_t i = 0; i < set.count(); ++i) EXPECT_EQ(set.getItem(i)->Repeat, shared) << i;
  EXPECT_TRUE(set.modified());
  // The same again changes nothing.
  EXPECT_FALSE(applyGradAttr(set, radial));
}

TEST_F(GradientSet, OwnSettingsStayWithTheirGradientAndGiveWayWhenTurnedOff) {
  set.select(2);
  const SGradRepeat before = set.getRange();
  const SGradRepeat own{1, 2, 0, 1, 3};
  EXPECT_TRUE(applyGradAttr(set, own));
  EXPECT_EQ(set.getItem(2)->Repeat, own);
  EXPECT_EQ(set.getRange(), before);
  EXPECT_EQ(set.getItem(1)->Repeat, before);
  SGradAttrView view = gradAttrView(set);
  EXPECT_TRUE(view.ownEnabled);
  EXPECT_TRUE(view.ownDown);
  EXPECT_EQ(view.repeat, own);
  // The work copy the editors read follows.
  ASSERT_NE(set.work(), nullptr);
  EXPECT_EQ(set.work()->Repeat, own);

  // A shared change leaves the gradient with its own settings alone.
  set.select(1);
  const SGradRepeat shared{0, 0, 1, 0, 2};
  EXPECT_TRUE(applyGradAttr(set, shared));
  EXPECT_EQ(set.getItem(2)->Repeat, own);
  EXPECT_EQ(set.getItem(3)->Repeat, shared);

  // Turned off, the gradient takes the record, which becomes the shared one.
  set.select(2);
  const SGradRepeat off{0, 2, 0, 1, 3};
  EXPECT_TRUE(applyGradAttr(set, off));
  EXPECT_EQ(set.getItem(2)->Repeat, off);
  EXPECT_EQ(set.getRange(), off);
  EXPECT_EQ(set.getItem(1)->Repeat, off);
  EXPECT_FALSE(gradAttrView(set).ownDown);
}

TEST(GradientAttributes, AnEmptySetTakesNothing) {
  CGradMngr set{false};
  EXPECT_FALSE(applyGradAttr(set, SGradRepeat{0, 1, 0, 0, 2}));
  EXPECT_FALSE(gradAttrView(set).hasGradient);
}

}  // namespace
}  // namespace pg
