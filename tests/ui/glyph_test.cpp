#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "core/bmp_file.h"
#include "test_support/temp_folder.h"
#include "ui/glyph_artwork.h"
#include "ui/glyph_drag.h"
#include "ui/glyph_manager.h"
#include "ui/glyph_types.h"

namespace pg {
namespace {

TEST(GlyphTables, PaintKindsAndToolModes) {
  struct Case {
    uint32_t in;
    uint8_t kindGlyph, modeGlyph;
  };
  const Case cases[] = {
      {0, 1, 0},     {4, 10, 4},      {5, 10, 5},          {9, 0, 9},           {10, 2, 11},
      {12, 7, 10},   {13, 9, 12},     {17, 16, 17},        {18, kNoGlyph, 24},  {37, kNoGlyph, 43},
      {38, kNoGlyph, kNoGlyph},       {127, kNoGlyph, kNoGlyph}, {128, 1, 0}, {128 + 37, kNoGlyph, 43},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(paintKindGlyph(c.in), c.kindGlyph) << c.in;
    EXPECT_EQ(toolGlyph(c.in), c.modeGlyph) << c.in;
  }
  EXPECT_EQ(toolGlyph(37), tgZoom);
  EXPECT_EQ(toolGlyph(11), tgSpread4);
}

TUiSysColors lookColors() {
  TUiSysColors c = classicUiSysColors();
  c.window = 0xFFF0F0F0;
  c.windowText = 0xFF102030;
  c.highlight = 0xFF0000C0;
  c.highlightText = 0xFFFFFFFF;
  c.btnFace = 0xFFC0C0C0;
  c.grayText = 0xFF808080;
  return c;
}

TEST(GlyphManager, TintsTheSheetInEachLook) {
  TMTC sheet(24, 24);
  ASSERT_TRUE(isPlaneReady(&sheet));
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 24; ++x) *sheet.pixelAt(x, y) = packRgba(0, 255, 0, 255);
  *sheet.pixelAt(0, 0) = packRgba(0, 255, 200, 255);  // face shade, coverage 200
  *sheet.pixelAt(1, 0) = packRgba(0, 0, 255, 255);    // symbol shade, full coverage
  *sheet.pixelAt(2, 0) = packRgba(0, 128, 255, 255);  // between
  const TUiSysColors c = lookColors();
  const TPgGlyphManager m(sheet, c);
  struct Look {
    uint8_t state;
    TUiColor face, symbol;
  };
  for (const Look& l : {Look{kGlyphNormal, c.window, c.windowText}, Look{kGlyphActive, c.highlightText, c.highlight},
                        Look{kGlyphDisabled, c.btnFace, c.grayText}}) {
    const TMemoryGraphic& g = m.glyph(0, l.state);
    ASSERT_EQ(g.width(), 24);
    EXPECT_EQ(g.getPixel(0, 0), uiWithAlpha(l.face, 200));
    EXPECT_EQ(g.getPixel(1, 0), l.symbol);
    EXPECT_EQ(g.getPixel(2, 0), uiWithAlpha(lerpColor(l.face, l.symbol, 127.0f / 255.0f), 255));
    EXPECT_EQ(uiAlpha(g.getPixel(5, 5)), 0);
  }
  // The sheet held one glyph: the others are blank, never missing.
  EXPECT_TRUE(m.glyph(tgMenu, 0).isValid());
  EXPECT_EQ(uiAlpha(m.glyph(tgMenu, 0).getPixel(12, 12)), 0);
}

TEST(GlyphManager, OutOfRangeTypesAndLooksAreBlank) {
  const TPgGlyphManager& m = createGlyphManager(classicUiSysColors());
  for (auto [type, state] : {std::pair{87u, 0u}, {kNoGlyph, 0u}, {0u, 3u}, {127u, 2u}}) {
    const TMemoryGraphic& g = m.glyph(type, state);
    ASSERT_TRUE(g.isValid());
    for (int32_t i = 0; i < 24 * 24; ++i) EXPECT_EQ(uiAlpha(g.pixels()[i]), 0) << type << "," << state;
  }
  // Both taken modulo 128.
  EXPECT_EQ(&m.glyph(128 + tgZoom, 128 + 1), &m.glyph(tgZoom, 1));
  resetGlyphManager();
  EXPECT_EQ(glyphManager(), nullptr);
}

TEST(GlyphArtwork, EveryGlyphIsDrawnDistinctAndInsideItsCell) {
  TMTC sheet;
  ASSERT_TRUE(buildGlyphSheet(sheet));
  ASSERT_EQ(sheet.Width, 24);
  ASSERT_EQ(sheet.Height, 24 * kGlyphTypeCount);
  std::set<std::vector<uint32_t>> seen;
  for (uint8_t type = 0; type < kGlyphTypeCount; ++type) {
    std::vector<uint32_t> cell;
    int covered = 0;
    for (int32_t y = 0; y < 24; ++y)
      for (int32_t x = 0; x < 24; ++x) {
        const uint32_t p = sheet.getPixel(x, type * 24 + y);
        cell.push_back(p);
        if (uiRed(p) >= 128 && uiGreen(p) < 128) ++covered;
        if (uiRed(p) == 0) {
          EXPECT_EQ(uiGreen(p), 255);  // uncovered pixels carry the face shade
        }
      }
    EXPECT_GE(covered, 12) << "glyph " << int(type) << " has too little ink";
    EXPECT_TRUE(seen.insert(cell).second) << "glyph " << int(type) << " repeats another";

    // Drawn on a larger graphic nothing lands right of or below the cell.
    TMemoryGraphic big(40, 40, uiClearWhite);
    drawGlyphArt(type, big);
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 40; ++x)
        if (x >= 24 || y >= 24) {
          EXPECT_EQ(uiAlpha(big.getPixel(x, y)), 0) << "glyph " << int(type) << " at " << x << "," << y;
        }
  }
}

TEST(GlyphArtwork, TheGradientShapeGlyphsShowWhatTheirShapesDraw) {
  // Shape 1 sweeps its colours clockwise round the start point from the
  // drag's direction (to the right), so the first and last colours meet
  // there; shape 2 lays them in rings, alike in every direction.
  TMTC sheet;
  ASSERT_TRUE(buildGlyphSheet(sheet));
  auto shade = [&](uint8_t type, int32_t x, int32_t y) { return int(uiGreen(sheet.getPixel(x, type * 24 + y))); };
  EXPECT_GT(shade(tgGradRadial, 18, 10) - shade(tgGradRadial, 18, 14), 150);  // across the seam
  EXPECT_LT(shade(tgGradRadial, 12, 18), shade(tgGradRadial, 6, 12));         // a quarter, then a half turn
  EXPECT_LT(shade(tgGradRadial, 6, 12), shade(tgGradRadial, 12, 6));
  // Pixel centres as far from the glyph's centre (12, 12) as (18.5, 12.5).
  for (const auto& [x, y] : {std::pair{12, 18}, std::pair{5, 12}, std::pair{12, 5}})
    EXPECT_NEAR(shade(tgGradCircular, x, y), shade(tgGradCircular, 18, 12), 4) << x << "," << y;
  EXPECT_LT(shade(tgGradCircular, 13, 12), shade(tgGradCircular, 18, 12));  // darker at the centre
}

TEST(GlyphArtwork, SheetSurvivesTheBmpFile) {
  TMTC sheet;
  ASSERT_TRUE(buildGlyphSheet(sheet));
  testing::TempFolder dir;
  const std::string file = dir.file("glyphs.bmp");
  ASSERT_TRUE(saveBmp24(sheet, file, 72));
  EXPECT_EQ(std::filesystem::file_size(file), 54u + 72u * 2088u);
  TMTC back;
  std::vector<uint8_t> bytes(std::filesystem::file_size(file));
  FILE* f = std::fopen(file.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  ASSERT_TRUE(readBmpFromMemory(back, bytes.data(), static_cast<int64_t>(bytes.size())));
  const TPgGlyphManager fromFile(back, classicUiSysColors());
  const TPgGlyphManager drawn(sheet, classicUiSysColors());
  for (uint32_t type : {0u, 43u, 86u}) {
    const TMemoryGraphic& a = fromFile.glyph(type, 0);
    const TMemoryGraphic& b = drawn.glyph(type, 0);
    EXPECT_EQ(std::vector<uint32_t>(a.pixels(), a.pixels() + 576), std::vector<uint32_t>(b.pixels(), b.pixels() + 576));
  }
}

TEST(GlyphDrag, ValueFollowsVerticalMovement) {
  TGlyphDrag d;
  EXPECT_FALSE(d.dragging());
  d.begin(10, 1.5f);
  EXPECT_TRUE(d.dragging());
  EXPECT_FLOAT_EQ(d.move(260), 4.0f);  // 250 pixels down: + 2.5
  EXPECT_FLOAT_EQ(d.move(-40), 1.0f);  // up decreases
  EXPECT_FLOAT_EQ(d.end(260), 4.0f);
  EXPECT_FALSE(d.dragging());
}

}  // namespace
}  // namespace pg
