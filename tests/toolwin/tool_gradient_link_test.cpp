// The tool window's gradient as the documents see it: the working copy of the
// current preset and the set's range, and a link that never outlives the set
// it answers from, whatever order the tool windows close in.
#include <gtest/gtest.h>

#include <memory>

#include "brush/gradient_mngr.h"
#include "document/paper_gradient.h"
#include "toolwin/tool_gradient_link.h"

namespace pg {
namespace {

std::unique_ptr<CGradMngr> twoPresets() {
  auto set = std::make_unique<CGradMngr>(false);
  EXPECT_GE(set->add(CGradObj::CreateTwoColor(0x000000, "dark", 0xFFFFFF)), 0);
  EXPECT_GE(set->add(CGradObj::CreateTwoColor(0x0000FF, "warm", 0xFF0000)), 0);
  set->select(0);
  return set;
}

TEST(ToolGradientLink, AnswersTheCurrentPresetsWorkingCopyAndTheRange) {
  auto set = twoPresets();
  SGradRepeat range;
  range.init();
  range.Count = 3;
  range.Mirror = 1;
  set->setRange(range);
  CToolGradientLink link(*set);
  ASSERT_EQ(&docGradientLink(), &link);
  ASSERT_NE(link.activeGradient(), nullptr);
  EXPECT_EQ(link.activeGradient()->Stops.name(), "dark");
  set->select(1);
  EXPECT_EQ(docGradientLink().activeGradient()->Stops.name(), "warm");
  // An edit of the working copy is what the documents take, not the preset.
  EXPECT_EQ(link.activeGradient(), set->work());
  SGradRepeat out;
  ASSERT_TRUE(link.gradientRange(out));
  EXPECT_EQ(out.Count, 3);
  EXPECT_EQ(out.Mirror, 1);
  // An emptied set has no gradient to give.
  set->clearAll();
  set->clearWork();
  EXPECT_EQ(link.activeGradient(), nullptr);
  EXPECT_FALSE(link.gradientRange(out));
}

// Two tool windows, the second installed over the first, closed in either
// order: the link in use is never one that has gone.
TEST(ToolGradientLink, ClosingInEitherOrderLeavesNoLinkToAFreedSet) {
  struct Before final : CDocGradientLink {} before;
  for (const bool firstGoesFirst : {true, false}) {
    CDocGradientLink* saved = setDocGradientLink(&before);
    auto setA = twoPresets();
    auto setB = twoPresets();
    auto a = std::make_unique<CToolGradientLink>(*setA);
    auto b = std::make_unique<CToolGradientLink>(*setB);
    EXPECT_EQ(&docGradientLink(), b.get());
    if (firstGoesFirst) {
      a.reset();
      setA.reset();
      EXPECT_EQ(&docGradientLink(), b.get()) << "the later one stays in use";
      b.reset();
    } else {
      b.reset();
      EXPECT_EQ(&docGradientLink(), a.get()) << "the earlier one answers again";
      a.reset();
    }
    EXPECT_EQ(&docGradientLink(), &before) << firstGoesFirst;
    setDocGradientLink(saved);
  }
}

}  // namespace
}  // namespace pg
