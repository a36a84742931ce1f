#include <gtest/gtest.h>

#include <string>

#include "ui/dock_model.h"

namespace pg {
namespace {

constexpr TRect kScreen{0, 0, 1920, 1080};

class DockLayoutTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : {"OptionView", "NavigatorView", "InfomationView", "ColorView", "LayerView"}) {
      SDockView v;
      v.name = n;
      v.maxHeight = std::string(n) == "OptionView" ? 192 : 0;
      ids.push_back(m.registerView(v));
    }
    ASSERT_TRUE(m.addPinnedForm({10, 10, 70, 400}));
  }
  // Three floating forms: two tabs; two panes, the second folded; one view.
  void arrange() {
    int32_t f = m.newForm(CDockModel::boundsForClient(1600, 40, 210, 100));
    ASSERT_TRUE(m.addView(f, 0, ids[1]));
    ASSERT_TRUE(m.addView(f, 0, ids[2]));
    m.setActiveIndex(f, 0, 0);
    f = m.newForm(CDockModel::boundsForClient(1600, 300, 210, 100));
    ASSERT_TRUE(m.addView(f, 0, ids[0]));
    ASSERT_TRUE(m.addView(f, -1, ids[3]));
    m.setAllHidden(f, 1, true);
    m.setViewSize(ids[0], 210, 150);
    m.fitHeight(f);
    f = m.newForm(CDockModel::boundsForClient(1400, 700, 240, 100));
    ASSERT_TRUE(m.addView(f, 0, ids[4]));
    m.setFormVisible(f, false);
  }
  CDockModel m;
  std::vector<int32_t> ids;
};

TEST_F(DockLayoutTextTest, RoundTripRebuildsTheSameArrangement) {
  arrange();
  const std::string saved = m.saveLayout(kScreen);
  // Scramble, then restore.
  m.defaultArrangement({0, 0, 1920, 1080});
  ASSERT_NE(m.saveLayout(kScreen), saved);
  ASSERT_TRUE(m.restoreLayout(saved, kScreen));
  EXPECT_EQ(m.saveLayout(kScreen), saved);
  ASSERT_EQ(m.formCount(), 4);
  EXPECT_EQ(m.form(1).panes[0].views.size(), 2u);
  EXPECT_EQ(m.form(1).panes[0].activeIndex, 0);
  EXPECT_TRUE(m.activeHidden(2, 1));
  EXPECT_EQ(m.view(ids[0]).height, 150);
  EXPECT_FALSE(m.form(3).visible);
  EXPECT_EQ(m.view(ids[4]).width, 240);
}

TEST_F(DockLayoutTextTest, SavingWhileAllAreHiddenKeepsTheEarlierVisibility) {
  arrange();
  const std::string before = m.saveLayout(kScreen);
  m.hideAll();
  EXPECT_EQ(m.saveLayout(kScreen), before);
}

TEST_F(DockLayoutTextTest, ViewsTheTextDoesNotPlaceFloatAlone) {
  const std::string text =
      "PGDOCK 1\nscreen 0 0 1920 1080\nform 10 10 70 400 1 1\n"
      "form 100 100 316 239 1 0\npane 0 0\nview LayerView 210 96 1\nend\n";
  ASSERT_TRUE(m.restoreLayout(text, kScreen));
  EXPECT_EQ(m.formCount(), 2);
  m.floatUnplaced({0, 0, 1920, 1080});
  EXPECT_EQ(m.formCount(), 6);
  for (int32_t v : ids) EXPECT_GE(m.placeOf(v).form, 1);
}

TEST_F(DockLayoutTextTest, DamagedOrHostileTextIsRefusedAndChangesNothing) {
  arrange();
  const std::string good = m.saveLayout(kScreen);
  const std::string head = "PGDOCK 1\nscreen 0 0 1920 1080\nform 10 10 70 400 1 1\n";
  std::string manyForms = head;
  for (int i = 0; i < kDockMaxForms + 1; ++i) manyForms += "form 100 100 316 239 1 0\npane 0 0\nview LayerView 210 96 1\n";
  std::string manyPanes = head + "form 100 100 316 239 1 0\n";
  for (int i = 0; i < kDockMaxPanes + 1; ++i) manyPanes += "pane 0 0\n";
  struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"truncated", good.substr(0, good.size() / 2)},
      {"no end line", good.substr(0, good.rfind("end"))},
      {"wrong magic", "PGDOCK 2\n" + good.substr(good.find('\n') + 1)},
      {"another screen", "PGDOCK 1\nscreen 0 0 1280 1024\n" + good.substr(good.find("form"))},
      {"form before screen", "PGDOCK 1\nform 10 10 70 400 1 1\nend\n"},
      {"unknown panel", head + "form 100 100 316 239 1 0\npane 0 0\nview LoupeView 210 96 1\nend\n"},
      {"panel placed twice", head + "form 100 100 316 239 1 0\npane 0 0\nview LayerView 210 96 1\nview LayerView 210 96 1\nend\n"},
      {"active index past the views", head + "form 100 100 316 239 1 0\npane 1 0\nview LayerView 210 96 1\nend\n"},
      {"negative active index", head + "form 100 100 316 239 1 0\npane -1 0\nview LayerView 210 96 1\nend\n"},
      {"empty pane", head + "form 100 100 316 239 1 0\npane 0 0\nend\n"},
      {"form without panes", head + "form 100 100 316 239 1 0\nend\n"},
      {"view before any pane", head + "form 100 100 316 239 1 0\nview LayerView 210 96 1\nend\n"},
      {"too many forms", manyForms + "end\n"},
      {"too many panes", manyPanes + "end\n"},
      {"huge size", head + "form 100 100 316 239 1 0\npane 0 0\nview LayerView 2147483647 96 1\nend\n"},
      {"number past int32", head + "form 100 100 316 239 1 0\npane 0 0\nview LayerView 99999999999 96 1\nend\n"},
      {"view below its minimum", head + "form 100 100 316 239 1 0\npane 0 0\nview LayerView 0 96 1\nend\n"},
      {"view above its maximum", head + "form 100 100 316 239 1 0\npane 0 0\nview OptionView 210 193 1\nend\n"},
      {"negative form size", head + "form 300 300 100 100 1 0\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"form left of the screen", head + "form -400 100 -184 239 1 0\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"caption above the screen", head + "form 100 -10 316 229 1 0\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"form below the screen", head + "form 100 1070 316 1209 1 0\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"flag not 0 or 1", head + "form 100 100 316 239 2 0\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"missing tool window", "PGDOCK 1\nscreen 0 0 1920 1080\nform 100 100 316 239 1 0\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"second tool window", head + "form 10 10 70 400 1 1\nend\n"},
      {"extra words", head + "form 100 100 316 239 1 0 7\npane 0 0\nview LayerView 210 96 1\nend\n"},
      {"garbage after end", good + "form 1 1 2 2 1 0\n"},
      {"unknown line", head + "window 1 2\nend\n"},
      {"trailing sign", head + "form 100 100 316 239 1+ 0\nend\n"},
      {"very long", good + std::string(20000, ' ')},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(m.restoreLayout(c.text, kScreen)) << c.what;
    EXPECT_EQ(m.saveLayout(kScreen), good) << c.what << ": the arrangement changed";
  }
}

}  // namespace
}  // namespace pg
