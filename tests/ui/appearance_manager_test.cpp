#include "ui/appearance_manager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/popup_placement.h"
#include "ui/text_flags.h"
#include "ui/ui_font_rule.h"

namespace pg {
namespace {

// A scheme whose entries are all different, so every pixel tells its source.
TUiSysColors testColors() {
  TUiSysColors c;
  c.dkShadow3D = 0x000002;
  c.btnFace = 0x000004;
  c.btnHighlight = 0x000006;
  c.light3D = 0x000005;
  c.btnShadow = 0x000003;
  c.grayText = 0x000010;
  c.highlight = 0x000020;
  c.highlightText = 0x000030;
  c.window = 0x000040;
  c.windowFrame = 0x000001;
  c.windowText = 0x000050;
  deriveUiSysColors(c);
  return c;
}

class AppearanceTest : public ::testing::Test {
 protected:
  TUiSysColors colors = testColors();
  TAppearanceManager m{colors};
};

TEST(UiSysColors, DerivedEntriesTakeTheirAlpha) {
  const TUiSysColors c = testColors();
  EXPECT_EQ(c.btnFace, 0xFF000004u);
  EXPECT_EQ(c.clearFace, 0x00000004u);
  EXPECT_EQ(c.softHighlight, 0x80000020u);
  EXPECT_EQ(c.softGrayText, 0x80000010u);
  EXPECT_EQ(c.faintFace, 0xAA000004u);
}

TEST_F(AppearanceTest, ActiveCrossDisc) {
  const TMemoryGraphic& g = m.glyph(dgCross, gsActive);
  ASSERT_EQ(g.width(), 11);
  ASSERT_EQ(g.height(), 11);
  for (auto [x, y] : {std::pair{0, 0}, {10, 0}, {0, 10}, {10, 10}}) EXPECT_EQ(uiAlpha(g.getPixel(x, y)), 0);
  EXPECT_EQ(g.getPixel(5, 0), colors.highlight);        // rim
  EXPECT_EQ(g.getPixel(3, 5), colors.highlightText);    // face
  EXPECT_EQ(g.getPixel(5, 5), colors.highlight);        // the cross's centre at full strength
  EXPECT_EQ(g.getPixel(3, 3), colors.highlight);        // d#i.i#d: '#' at (1, 1) of the symbol
}

TEST_F(AppearanceTest, CheckBoxesAndMarks) {
  const TMemoryGraphic& box = m.checkBoxGlyph(0, gsNone);
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 11; ++x) {
      const bool border = x == 0 || y == 0 || x == 10 || y == 10;
      EXPECT_EQ(box.getPixel(x, y), border ? colors.btnShadow : colors.window) << x << "," << y;
    }
  const TMemoryGraphic& ticked = m.checkBoxGlyph(1, gsNone);
  EXPECT_EQ(ticked.getPixel(2 + 0, 2 + 3), colors.windowText);  // '#' of the check mark
  EXPECT_EQ(ticked.getPixel(2 + 1, 2 + 0), colors.window);

  const TMemoryGraphic& mark = m.markGlyph(1, gsDisabled);
  const TMemoryGraphic& normal = m.markGlyph(1, gsNone);
  ASSERT_EQ(mark.width(), 13);
  EXPECT_EQ(mark.getPixel(0, 0), colors.btnShadow);
  EXPECT_EQ(mark.getPixel(12, 12), colors.btnHighlight);
  EXPECT_EQ(mark.getPixel(12, 0), colors.btnHighlight);
  EXPECT_EQ(mark.getPixel(0, 0), normal.getPixel(0, 0));
  EXPECT_EQ(mark.getPixel(12, 12), normal.getPixel(12, 12));
  EXPECT_EQ(mark.getPixel(2 + 3, 3 + 1), colors.grayText);  // mark value 255
  EXPECT_EQ(normal.getPixel(2 + 3, 3 + 1), colors.windowText);
  EXPECT_EQ(mark.getPixel(6, 11), colors.btnFace);  // below the mark
  const TMemoryGraphic& active = m.markGlyph(0, gsActive);
  EXPECT_EQ(active.getPixel(0, 0), colors.highlight);
  EXPECT_EQ(active.getPixel(12, 12), colors.highlight);
}

TEST_F(AppearanceTest, FrameAndTabGraphics) {
  const TMemoryGraphic& f7 = m.frameGraphic(7);
  ASSERT_EQ(f7.width(), 10);
  ASSERT_EQ(f7.height(), 7);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(uiAlpha(f7.getPixel(x, y)), 255);
  EXPECT_EQ(f7.getPixel(1, 1), colors.btnHighlight);
  const TMemoryGraphic& f1 = m.frameGraphic(1);
  EXPECT_EQ(f1.getPixel(0, 0), uiClear);
  EXPECT_EQ(f1.getPixel(4, 0), colors.windowFrame);
  EXPECT_EQ(f1.getPixel(4, 1), colors.btnHighlight);
  EXPECT_EQ(m.frameGraphic(3).height(), 7);

  const TMemoryGraphic& ring = m.frameGraphic(0);
  EXPECT_EQ(ring.getPixel(5, 0), uiOpaqueBlack);
  EXPECT_EQ(ring.getPixel(5, 1), uiOpaqueWhite);
  EXPECT_EQ(uiAlpha(ring.getPixel(5, 5)), 0);  // the hole
  EXPECT_EQ(uiAlpha(ring.getPixel(0, 0)), 0);

  const TMemoryGraphic& tab = m.tabGraphic(true);
  EXPECT_EQ(tab.getPixel(8, 0), colors.windowFrame);
  EXPECT_EQ(tab.getPixel(0, 17), colors.btnHighlight);
  EXPECT_EQ(tab.getPixel(0, 0), uiClear);
  EXPECT_EQ(m.tabGraphic(false).getPixel(5, 17), colors.btnHighlight);
  EXPECT_EQ(m.tabGraphic(false).getPixel(5, 16), colors.windowFrame);
}

TEST_F(AppearanceTest, DropGlyph) {
  const TMemoryGraphic& g = m.dropGlyph(gsDisabled);
  ASSERT_EQ(g.width(), 17);
  ASSERT_EQ(g.height(), 15);
  EXPECT_EQ(g.getPixel(0, 0), uiWithAlpha(colors.btnShadow, 0));
  EXPECT_EQ(g.getPixel(8, 2), colors.btnShadow);
  EXPECT_EQ(g.getPixel(8, 7), colors.grayText);  // '#' of the triangle
}

TEST_F(AppearanceTest, OutOfRangeIndexesGiveAnEmptyGraphic) {
  EXPECT_FALSE(m.glyph(13, 0).isValid());
  EXPECT_FALSE(m.glyph(0, 3).isValid());  // not the next kind's first state
  EXPECT_FALSE(m.checkBoxGlyph(2, 0).isValid());
  EXPECT_FALSE(m.markGlyph(0, 200).isValid());
  EXPECT_FALSE(m.frameGraphic(8).isValid());
  EXPECT_FALSE(m.dropGlyph(3).isValid());
  TMemoryGraphic target(4, 4);
  EXPECT_FALSE(target.blendFrom(0, 0, 4, 4, m.glyph(99, 0), 0, 0, lerpChannel, keepChannel));
}

TEST(AppearanceProcess, CreateAndReset) {
  resetAppearanceManager();
  EXPECT_EQ(appearanceManager(), nullptr);
  EXPECT_EQ(uiSysColors().btnFace, classicUiSysColors().btnFace);
  createAppearanceManager(testColors());
  ASSERT_NE(appearanceManager(), nullptr);
  EXPECT_EQ(uiSysColors().btnFace, 0xFF000004u);
  resetAppearanceManager();
  EXPECT_EQ(appearanceManager(), nullptr);
}

// Measures as six pixels a character, 13 high; draws nothing.
class FakeText : public ITextDrawer {
 public:
  bool drawText(TMemoryGraphic&, std::string_view utf8, TRect& rect, TUiColor, uint32_t flags) override {
    if (flags & dtCalcRect) {
      rect.Right = rect.Left + 6 * static_cast<int32_t>(utf8.size());
      rect.Bottom = rect.Top + 13;
    }
    lastBox = rect;
    return true;
  }
  TRect lastBox;
};

TEST_F(AppearanceTest, CaptionTabMeasureAndPaint) {
  FakeText text;
  TMemoryGraphic g(40, 18, 0u);
  TRect r{5, 5, 6, 6};
  ASSERT_TRUE(paintCaptionTab(g, "ABC", r, dtCalcRect | dtSingleLine, false, m, text));
  EXPECT_EQ(r, (TRect{0, 0, 18 + 21, 18}));

  for (bool active : {false, true}) {
    TRect box{0, 0, 40, 18};
    ASSERT_TRUE(paintCaptionTab(g, "ABC", box, dtSingleLine, active, m, text));
    EXPECT_EQ(text.lastBox, (TRect{11, 2, 39, 18}));
    EXPECT_EQ(g.getPixel(20, 0), colors.windowFrame);
    EXPECT_EQ(g.getPixel(20, 1), active ? colors.btnHighlight : colors.btnFace);
    EXPECT_EQ(g.getPixel(20, 8), colors.btnFace);
    EXPECT_EQ(g.getPixel(20, 16), active ? colors.btnFace : colors.windowFrame);
    EXPECT_EQ(g.getPixel(20, 17), active ? colors.btnFace : colors.btnHighlight);
    const TMemoryGraphic& tab = m.tabGraphic(active);
    for (int32_t y = 0; y < 18; ++y)
      for (int32_t x = 0; x < 9; ++x) {
        EXPECT_EQ(g.getPixel(x, y), tab.getPixel(x, y));
        EXPECT_EQ(g.getPixel(31 + x, y), tab.getPixel(9 + x, y));
      }
  }
}

TEST(UiFontRule, FirstInstalledFace) {
  struct Case {
    std::set<std::string> installed;
    const char* face;
    int32_t height;
  };
  const Case cases[] = {
      {{"Tahoma", "Arial"}, "Tahoma", 11},
      {{"microsoft sans serif", "Arial"}, "Microsoft Sans Serif", 11},
      {{"Arial"}, "Arial", 11},
      {{"MS UI Gothic"}, "MS UI Gothic", 12},
      {{"DejaVu Sans", "IPAPGothic"}, "DejaVu Sans", 11},
      {{"IPAGothic"}, "IPAGothic", 12},
      {{}, nullptr, 0},
  };
  for (const Case& c : cases) {
    const SUiFace* f = chooseUiFace(128, [&](std::string_view face, uint8_t) {
      for (const std::string& i : c.installed)
        if (sameFaceName(i, face)) return true;
      return false;
    });
    if (c.face == nullptr) {
      EXPECT_EQ(f, nullptr);
      continue;
    }
    ASSERT_NE(f, nullptr) << c.face;
    EXPECT_STREQ(f->face, c.face);
    EXPECT_EQ(f->pixelHeight, c.height);
  }
  EXPECT_EQ(chooseUiFace(0, nullptr), nullptr);
}

TEST(PopupPlacement, FitDeltaAtEachEdge) {
  const TRect mon{0, 0, 100, 80};
  struct Case {
    TRect r;
    int32_t dx, dy;
    bool fits;
  };
  const Case cases[] = {
      {{10, 10, 20, 20}, 0, 0, true},   {{-5, 10, 5, 20}, 5, 0, false},  {{95, 10, 105, 20}, -5, 0, false},
      {{10, -3, 20, 7}, 0, 3, false},   {{10, 75, 20, 85}, 0, -5, false}, {{-5, 75, 5, 85}, 5, -5, false},
      {{-10, 0, 110, 10}, 10, 0, false},  // too wide: the left edge wins
  };
  for (const Case& c : cases) {
    int32_t dx = 99, dy = 99;
    EXPECT_EQ(fitDelta(c.r, mon, dx, dy), c.fits);
    EXPECT_EQ(dx, c.dx);
    EXPECT_EQ(dy, c.dy);
  }
  TRect empty{5, 5, 5, 9};
  EXPECT_FALSE(fitRectToMonitor(empty, mon));
  TRect out{90, 70, 110, 90};
  EXPECT_TRUE(fitRectToMonitor(out, mon));
  EXPECT_EQ(out, (TRect{80, 60, 100, 80}));
}

TEST(PopupPlacement, TriesBelowAboveRightLeft) {
  const TRect mon{0, 0, 200, 100};
  struct Case {
    TRect popup, anchor, expected;
  };
  const Case cases[] = {
      {{10, 10, 50, 30}, {60, 60, 80, 70}, {10, 10, 50, 30}},   // no overlap: stays
      {{10, 10, 50, 30}, {0, 0, 60, 20}, {10, 20, 50, 40}},     // room below
      {{10, 70, 50, 90}, {0, 75, 60, 95}, {10, 55, 50, 75}},    // above
      {{10, 10, 50, 90}, {0, 5, 60, 95}, {60, 10, 100, 90}},    // right of it
      {{150, 10, 190, 90}, {120, 5, 200, 95}, {80, 10, 120, 90}},  // left of it
      {{0, 0, 200, 100}, {50, 10, 150, 90}, {-150, 0, 50, 100}},   // nothing fits: the last try stays
  };
  for (const Case& c : cases) {
    TRect r = c.popup;
    placePopupRect(r, mon, c.anchor);
    EXPECT_EQ(r, c.expected) << c.popup.Left << "," << c.popup.Top;
  }
}

}  // namespace
}  // namespace pg
