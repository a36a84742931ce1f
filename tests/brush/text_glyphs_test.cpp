#include "brush/text_glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "brush/text_charsets.h"
#include "core/blend_arith.h"

namespace pg {
namespace {

// 24 points at 96 pixels an inch: an em of 32 pixels.
SFontSpec font(std::string face, uint8_t charSet = kDefaultCharSet) {
  SFontSpec f;
  f.FaceName = std::move(face);
  f.Size = 24;
  f.CharSet = charSet;
  return f;
}

std::vector<uint8_t> pixels(const TChannel& c) {
  std::vector<uint8_t> v;
  for (int32_t y = 0; y < c.Height; ++y)
    for (int32_t x = 0; x < c.Width; ++x) v.push_back(c.getPixel(x, y));
  return v;
}

void fillWith(TChannel& c, uint8_t v) {
  for (int32_t y = 0; y < c.Height; ++y)
    for (int32_t x = 0; x < c.Width; ++x) *c.pixelAt(x, y) = v;
}

// Renders a text into a fresh 200 x 160 channel.
struct SRendered {
  int32_t Count = 0;
  SRectXYWH Bounds;
  std::vector<uint8_t> Pixels;
};
SRendered render(const SFontSpec& f, const std::string& text, int32_t x, int32_t y, int32_t charSpacing = 0,
                 int32_t lineSpacing = 0) {
  TChannel target(200, 160);
  fillWith(target, 77);  // whatever was there is cleared
  STextJob job;
  job.Font = f;
  job.Text = text;
  job.Target = &target;
  job.X = x;
  job.Y = y;
  job.CharSpacing = charSpacing;
  job.LineSpacing = lineSpacing;
  SRendered r;
  r.Count = renderText(job);
  r.Bounds = job.Bounds;
  r.Pixels = pixels(target);
  return r;
}

std::vector<uint8_t> maxOf(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::vector<uint8_t> m(a.size());
  for (size_t i = 0; i < a.size(); ++i) m[i] = std::max(a[i], b[i]);
  return m;
}

// The metrics of one glyph of a font.
SGlyphMetrics glyphMetrics(const SFontSpec& f, char32_t c) {
  auto g = CFontGlyph::Create(nullptr, f);
  std::vector<uint8_t> bits;
  EXPECT_TRUE(g && g->getGlyph(c, bits));
  return g ? g->Metrics : SGlyphMetrics{};
}

int32_t lineHeight(const SFontSpec& f) {
  auto g = CFontGlyph::Create(nullptr, f);
  return g->face().metrics().Height + g->face().metrics().ExternalLeading;
}

TEST(TextTables, GreyLevels) {
  EXPECT_EQ(kGreyLevelTable[64], 255);
  EXPECT_EQ(kGreyLevelTable[32], 127);
  EXPECT_EQ(kGreyLevelTable[0], 0);
  for (uint32_t v = 0; v <= 64; ++v) EXPECT_EQ(kGreyLevelTable[v], v * 255 >> 6);
}

TEST(TextTables, CharacterSetNames) {
  struct Case {
    uint8_t CharSet;
    const char* Name;
  };
  const Case cases[] = {{0, "欧文"},          {2, "シンボル"},    {77, "MAC_CHARSET"},        {128, "日本語"},
                        {129, "ハングル"},    {130, "ハングル"},  {134, "簡体字中国語"},      {136, "繁体字中国語"},
                        {161, "ギリシャ語"},  {162, "トルコ語"},  {163, "ベトナム語"},        {177, "ヘブライ語"},
                        {178, "アラビア語"},  {186, "バルト言語"}, {204, "キリル言語"},       {222, "タイ語"},
                        {238, "中央ヨーロッパ言語"}, {255, "OEM_CHARSET"}, {1, "その他"}, {3, "その他"},
                        {127, "その他"},      {254, "その他"}};
  for (const Case& c : cases) EXPECT_EQ(charSetName(c.CharSet), c.Name) << int(c.CharSet);
}

// ---- the glyph source -------------------------------------------------------------

// "I" of DejaVu Sans at an em of 32: a bar from x 3.14 to 6.30 and y 0 to
// 23.33 pixels.
TEST(FontGlyph, KnownGlyphCoversItsBox) {
  auto g = CFontGlyph::Create(nullptr, font("DejaVu Sans"));
  ASSERT_TRUE(g);
  std::vector<uint8_t> bits;
  ASSERT_TRUE(g->getGlyph('I', bits));
  const SGlyphMetrics m = g->Metrics;
  EXPECT_EQ(m.BlackBoxX, 4u);
  EXPECT_EQ(m.BlackBoxY, 24u);
  EXPECT_EQ(m.GlyphOriginX, 3);
  EXPECT_EQ(m.GlyphOriginY, 24);
  EXPECT_EQ(m.CellIncX, 9);
  EXPECT_EQ(m.CellIncY, 0);
  int32_t pitch = 0, rows = 0;
  ASSERT_TRUE(g->bitmapDims(bits.size(), pitch, rows));
  EXPECT_EQ(pitch, 4);
  EXPECT_EQ(rows, 24);
  // Outline points fall on an eighth of a pixel, so partly covered pixels may
  // be off by a sixteenth (16 of 255).
  for (int32_t y = 1; y < 24; ++y) {
    const uint8_t* row = bits.data() + y * pitch;
    EXPECT_NEAR(row[0], 219, 16) << y;  // 0.86 covered
    EXPECT_EQ(row[1], 255) << y;
    EXPECT_EQ(row[2], 255) << y;
    EXPECT_NEAR(row[3], 77, 16) << y;  // 0.30 covered
  }
  EXPECT_NEAR(bits[1], 85, 16);  // the top row: a third covered

  // The same glyph again (kept from before, after another one), and from a
  // new source, is the same.
  std::vector<uint8_t> again;
  ASSERT_TRUE(g->getGlyph('A', again));
  ASSERT_TRUE(g->getGlyph('I', again));
  EXPECT_EQ(again, bits);
  EXPECT_EQ(g->Metrics.BlackBoxX, m.BlackBoxX);
  EXPECT_EQ(g->Metrics.GlyphOriginY, m.GlyphOriginY);
  EXPECT_EQ(g->Metrics.CellIncX, m.CellIncX);
  EXPECT_EQ(g->CharCode, char32_t('I'));
  auto g2 = CFontGlyph::Create(nullptr, font("DejaVu Sans"));
  ASSERT_TRUE(g2 && g2->getGlyph('I', again));
  EXPECT_EQ(again, bits);
}

TEST(FontGlyph, BlankGlyphsHaveAdvanceOnly) {
  auto g = CFontGlyph::Create(nullptr, font("DejaVu Sans"));
  ASSERT_TRUE(g);
  std::vector<uint8_t> bits{1};
  ASSERT_TRUE(g->getGlyph(' ', bits));
  EXPECT_TRUE(bits.empty());
  EXPECT_EQ(g->Metrics.BlackBoxX, 0u);
  EXPECT_GT(g->Metrics.CellIncX, 0);
  EXPECT_EQ(g->CharCode, char32_t(' '));
}

TEST(FontGlyph, PenArithmetic) {
  auto g = CFontGlyph::Create(nullptr, font("DejaVu Sans"));
  ASSERT_TRUE(g);
  struct Case {
    int16_t IncX, IncY;
    int64_t X, Y;  // after advance(x = 100, y = 50, extraY 7, extraX 3)
  };
  for (const Case& c : {Case{10, 0, 113, 50}, Case{0, 0, 100, 50}, Case{-4, 0, 100, 50}, Case{0, 5, 100, 62},
                        Case{10, 5, 113, 62}}) {
    g->Metrics.CellIncX = c.IncX;
    g->Metrics.CellIncY = c.IncY;
    int64_t x = 100, y = 50;
    g->advance(x, y, 7, 3);
    EXPECT_EQ(x, c.X);
    EXPECT_EQ(y, c.Y);
  }
  g->Metrics.GlyphOriginX = 3;
  g->Metrics.GlyphOriginY = 24;
  g->Metrics.BlackBoxX = 4;
  g->Metrics.BlackBoxY = 26;
  int64_t x = 100, y = 50;
  g->originOffset(x, y);
  EXPECT_EQ(x, 103);
  EXPECT_EQ(y, 26);
  x = 100, y = 50;
  g->verticalOffset(x, y);
  EXPECT_EQ(x, 98);
  EXPECT_EQ(y, 53);

  struct Dims {
    uint32_t BoxX, BoxY;
    size_t Size;
    bool Ok;
    int32_t Pitch, Rows;
  };
  for (const Dims& d : {Dims{5, 2, 16, true, 8, 2}, Dims{5, 2, 17, false, 8, 2}, Dims{5, 3, 16, false, 8, 2},
                        Dims{4, 1, 4, true, 4, 1}, Dims{0, 0, 0, false, 0, 0}}) {
    g->Metrics.BlackBoxX = d.BoxX;
    g->Metrics.BlackBoxY = d.BoxY;
    int32_t pitch = -1, rows = -1;
    EXPECT_EQ(g->bitmapDims(d.Size, pitch, rows), d.Ok) << d.BoxX << "x" << d.BoxY << " " << d.Size;
    EXPECT_EQ(pitch, d.Pitch);
    EXPECT_EQ(rows, d.Rows);
  }
}

// ---- drawing glyphs ---------------------------------------------------------------

void store(uint8_t* dst, uint32_t, uint32_t glyph) { *dst = uint8_t(glyph); }

// A 3 x 2 glyph (pitch 4) holding 1..6.
const std::vector<uint8_t> kSmall = {1, 2, 3, 0, 4, 5, 6, 0};
const SGlyphDims kSmallDims{3, 2, 4};

TEST(GlyphBlit, PlacesAndClips) {
  struct Case {
    int64_t X, Y;
    bool Vertical;
    SRectXYWH Rect;
    std::vector<std::string> Rows;  // the 5 x 4 channel, '.' for untouched
  };
  const std::vector<Case> cases = {
      {1, 1, false, {1, 1, 3, 2}, {".....", ".123.", ".456.", "....."}},
      {-1, -1, false, {0, 0, 2, 1}, {"56...", ".....", ".....", "....."}},
      {4, 3, false, {4, 3, 1, 1}, {".....", ".....", ".....", "....1"}},
      // Turned a quarter to the right: the bottom row becomes the left column.
      {1, 0, true, {1, 0, 2, 3}, {".41..", ".52..", ".63..", "....."}},
      {-1, 2, true, {0, 2, 1, 2}, {".....", ".....", "1....", "2...."}},
  };
  for (const Case& c : cases) {
    TChannel ch(5, 4);
    fillWith(ch, 0);
    SRectXYWH rect;
    const bool ok = c.Vertical ? blitGlyphVertical(ch, c.X, c.Y, kSmallDims, store, 255, rect, kSmall.data())
                               : blitGlyph(ch, c.X, c.Y, kSmallDims, store, 255, rect, kSmall.data());
    EXPECT_TRUE(ok);
    EXPECT_EQ(rect, c.Rect);
    std::vector<std::string> rows;
    for (int32_t y = 0; y < 4; ++y) {
      std::string r;
      for (int32_t x = 0; x < 5; ++x) r += ch.getPixel(x, y) == 0 ? '.' : char('0' + ch.getPixel(x, y));
      rows.push_back(r);
    }
    EXPECT_EQ(rows, c.Rows) << c.X << "," << c.Y << (c.Vertical ? " vertical" : "");
  }
}

TEST(GlyphBlit, OutsideOrBadInputDrawsNothing) {
  TChannel ch(5, 4);
  fillWith(ch, 0);
  SRectXYWH rect{1, 1, 1, 1};
  for (auto [x, y] : {std::pair<int64_t, int64_t>{5, 0}, {0, 4}, {-3, 0}, {0, -3}, {INT64_MAX / 2, 0}, {INT32_MIN, 0}}) {
    EXPECT_FALSE(blitGlyph(ch, x, y, kSmallDims, store, 255, rect, kSmall.data()));
    EXPECT_EQ(rect, SRectXYWH{});
    EXPECT_FALSE(blitGlyphVertical(ch, x, y, kSmallDims, store, 255, rect, kSmall.data()));
  }
  EXPECT_FALSE(blitGlyph(ch, 0, 0, SGlyphDims{3, 2, 2}, store, 255, rect, kSmall.data()));
  EXPECT_FALSE(blitGlyph(ch, 0, 0, kSmallDims, store, 255, rect, nullptr));
  TChannel none;
  EXPECT_FALSE(blitGlyph(none, 0, 0, kSmallDims, store, 255, rect, kSmall.data()));
  EXPECT_EQ(pixels(ch), std::vector<uint8_t>(20, 0));
}

// Coverage accumulates: dest + (255 - dest) x glyph / 255.
TEST(GlyphBlit, CoverageAccumulates) {
  TChannel ch(2, 1);
  *ch.pixelAt(0, 0) = 100;
  *ch.pixelAt(1, 0) = 255;
  const std::vector<uint8_t> g = {128, 128, 0, 0};
  SRectXYWH rect;
  ASSERT_TRUE(blitGlyph(ch, 0, 0, SGlyphDims{2, 1, 4}, lerpByte, 255, rect, g.data()));
  EXPECT_EQ(ch.getPixel(0, 0), 177);
  EXPECT_EQ(ch.getPixel(1, 0), 255);
}

TEST(GlyphBlit, EmboldenWidensByOneColumn) {
  SGlyphDims dims{3, 2, 4};
  std::vector<uint8_t> bits = {10, 200, 30, 0, 0, 0, 90, 0};
  ASSERT_TRUE(emboldenGlyph(dims, bits));
  EXPECT_EQ(dims.Width, 4);
  EXPECT_EQ(dims.Height, 2);
  EXPECT_EQ(dims.Pitch, 4);
  EXPECT_EQ(bits, (std::vector<uint8_t>{10, 200, 200, 30, 0, 0, 90, 90}));
  dims = {4, 1, 4};
  bits = {1, 2, 3, 4};
  ASSERT_TRUE(emboldenGlyph(dims, bits));
  EXPECT_EQ(dims.Pitch, 8);
  EXPECT_EQ(bits, (std::vector<uint8_t>{1, 2, 3, 4, 4, 0, 0, 0}));
  // Dims that do not describe the bits change nothing.
  SGlyphDims wrong{3, 3, 4};
  bits = {1, 2, 3, 0};
  EXPECT_FALSE(emboldenGlyph(wrong, bits));
  EXPECT_EQ(wrong.Width, 3);
  EXPECT_EQ(bits.size(), 4u);
}

// ---- laying out texts -------------------------------------------------------------

TEST(RenderText, LinesBreakAtCrLfCrAndLf) {
  const SFontSpec f = font("DejaVu Sans");
  const int32_t lh = lineHeight(f) + 3;
  const SRendered a = render(f, "A", 10, 40, 0, 3);
  const SRendered b = render(f, "B", 10, 40 + lh, 0, 3);
  const SRendered c = render(f, "C", 10, 40 + 2 * lh, 0, 3);
  ASSERT_EQ(a.Count, 1);
  ASSERT_EQ(b.Count, 1);
  const std::vector<uint8_t> ab = maxOf(a.Pixels, b.Pixels);
  for (const char* text : {"A\r\nB", "A\rB", "A\nB"}) {
    const SRendered r = render(f, text, 10, 40, 0, 3);
    EXPECT_EQ(r.Count, 2) << text;
    EXPECT_EQ(r.Pixels, ab) << text;
  }
  // CR LF is one break, LF CR two.
  EXPECT_EQ(render(f, "A\n\rC", 10, 40, 0, 3).Pixels, maxOf(a.Pixels, c.Pixels));
  // The bounds unite the glyphs' rectangles.
  const SRendered r = render(f, "A\r\nB", 10, 40, 0, 3);
  EXPECT_EQ(r.Bounds.X, std::min(a.Bounds.X, b.Bounds.X));
  EXPECT_EQ(r.Bounds.Y, a.Bounds.Y);
  EXPECT_EQ(r.Bounds.Y + r.Bounds.Height, b.Bounds.Y + b.Bounds.Height);
}

TEST(RenderText, NothingToDrawGivesAClearedChannel) {
  const SFontSpec f = font("DejaVu Sans");
  for (const char* text : {"", "\r\n", "   ", "\r\n \n"}) {
    const SRendered r = render(f, text, 10, 40);
    EXPECT_EQ(r.Count, 0) << text;
    EXPECT_EQ(r.Bounds, SRectXYWH{}) << text;
    EXPECT_EQ(r.Pixels, std::vector<uint8_t>(200 * 160, 0)) << text;
  }
}

TEST(RenderText, SpacesAndSpacingAdvanceThePen) {
  const SFontSpec f = font("DejaVu Sans");
  const SGlyphMetrics i = glyphMetrics(f, 'I');
  const SGlyphMetrics space = glyphMetrics(f, ' ');
  struct Case {
    const char* Text;
    int32_t Spacing;
    int32_t Count;
    int32_t Width;  // of the bounds: first glyph's left to last glyph's right
  };
  const Case cases[] = {
      {"I", 0, 1, 4},
      {"II", 0, 2, i.CellIncX + 4},
      {"II", 5, 2, i.CellIncX + 5 + 4},
      {"I I", 0, 2, i.CellIncX + space.CellIncX + 4},
      {"I I", 2, 2, i.CellIncX + space.CellIncX + 2 * 2 + 4},
  };
  for (const Case& c : cases) {
    const SRendered r = render(f, c.Text, 10, 40, c.Spacing);
    EXPECT_EQ(r.Count, c.Count) << c.Text;
    EXPECT_EQ(r.Bounds, (SRectXYWH{13, 16, c.Width, 24})) << c.Text << " spacing " << c.Spacing;
  }
}

TEST(RenderText, BoldGlyphsAreOnePixelWiderAndAdvanceOneMore) {
  SFontSpec bold = font("DejaVu Sans");
  bold.Bold = true;
  const SGlyphMetrics i = glyphMetrics(bold, 'I');
  const SRendered one = render(bold, "I", 10, 40);
  EXPECT_EQ(one.Bounds.Width, int32_t(i.BlackBoxX) + 1);
  const SRendered two = render(bold, "II", 10, 40);
  EXPECT_EQ(two.Bounds.Width, i.CellIncX + 1 + int32_t(i.BlackBoxX) + 1);
  // A blank advances one more as well.
  const SGlyphMetrics space = glyphMetrics(bold, ' ');
  EXPECT_EQ(render(bold, "I I", 10, 40).Bounds.Width,
            i.CellIncX + 1 + space.CellIncX + 1 + int32_t(i.BlackBoxX) + 1);
}

// A vertical face: glyphs turned a quarter to the right, the pen moving
// down, new lines to the left.
TEST(RenderText, VerticalText) {
  // "I" runs along the column: its baseline at the pen's x, its height to the
  // right, its width downward from the pen by the origin.
  const SRendered i = render(font("@DejaVu Sans"), "I", 100, 20);
  EXPECT_EQ(i.Count, 1);
  EXPECT_EQ(i.Bounds, (SRectXYWH{100, 23, 24, 4}));

  const SFontSpec v = font("@IPAGothic", kShiftJisCharSet);
  const int32_t lh = lineHeight(v);
  const SGlyphMetrics a = glyphMetrics(v, U'あ');
  const SRendered first = render(v, "あ", 100, 20);
  const SRendered below = render(v, "い", 100, 20 + a.CellIncX + 2);
  const SRendered left = render(v, "い", 100 - lh, 20);
  ASSERT_EQ(first.Count, 1);
  EXPECT_EQ(render(v, "あい", 100, 20, 2).Pixels, maxOf(first.Pixels, below.Pixels));
  EXPECT_EQ(render(v, "あ\r\nい", 100, 20, 2).Pixels, maxOf(first.Pixels, left.Pixels));
  // Wide characters stand upright: "一" is a flat stroke across the column.
  const SRendered one = render(v, "一", 100, 20);
  EXPECT_GT(one.Bounds.Width, 3 * one.Bounds.Height);
  // ... centred on the column's centre line.
  auto g = CFontGlyph::Create(nullptr, v);
  const int32_t centre = 100 + (g->face().metrics().Ascent - g->face().metrics().Descent) / 2;
  EXPECT_NEAR(one.Bounds.X + one.Bounds.Width / 2.0, centre, 1.5);
}

TEST(RenderText, JapaneseWithIpaGothic) {
  const SFontSpec f = font("IPAGothic", kShiftJisCharSet);
  auto g = CFontGlyph::Create(nullptr, f);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->face().familyName(), "IPAGothic");
  const SRendered r = render(f, "日本語です", 4, 40);
  EXPECT_EQ(r.Count, 5);
  EXPECT_GT(r.Bounds.Width, 4 * 32);
  const SRendered same = render(f, "日本語です", 4, 40);
  EXPECT_EQ(same.Pixels, r.Pixels);
}

TEST(RenderText, UnknownFacesFallBack) {
  const SRendered latin = render(font("No Such Face 4711"), "Ab", 10, 40);
  EXPECT_EQ(latin.Count, 2);
  const SRendered ja = render(font("No Such Face 4711", kShiftJisCharSet), "日本", 10, 40);
  EXPECT_EQ(ja.Count, 2);
  // Real glyphs rather than the missing-glyph box: the two differ.
  EXPECT_NE(render(font("No Such Face 4711", kShiftJisCharSet), "日", 10, 40).Pixels,
            render(font("No Such Face 4711", kShiftJisCharSet), "本", 10, 40).Pixels);
}

TEST(RenderText, HostileJobs) {
  TChannel target(64, 64);
  STextJob job;
  job.Font = font("DejaVu Sans");
  job.Text = "IIII";
  job.Target = &target;
  job.X = 10;
  job.Y = 40;
  EXPECT_EQ(renderText(job), 4);

  struct Case {
    const char* Name;
    void (*Change)(STextJob&);
    int32_t Count;
  };
  static TChannel empty;
  const Case cases[] = {
      {"no target", [](STextJob& j) { j.Target = nullptr; }, -1},
      {"target without pixels", [](STextJob& j) { j.Target = &empty; }, -1},
      {"zero size", [](STextJob& j) { j.Font.Size = 0; }, -1},
      {"huge size", [](STextJob& j) { j.Font.Size = 100000; }, -1},
      {"largest size", [](STextJob& j) { j.Font.Size = INT32_MAX; }, -1},
      {"smallest size", [](STextJob& j) { j.Font.Size = INT32_MIN; }, -1},
      {"far away", [](STextJob& j) { j.X = INT32_MIN; }, 0},
      {"far below", [](STextJob& j) { j.Y = INT32_MAX; }, 0},
      {"huge spacing", [](STextJob& j) { j.CharSpacing = INT32_MAX; }, 1},
      {"huge negative spacing", [](STextJob& j) { j.CharSpacing = INT32_MIN; }, 1},
      {"huge line spacing", [](STextJob& j) {
         j.LineSpacing = INT32_MAX;
         j.Text = std::string(1000, '\n') + "I";
       }, 0},
      {"invalid bytes", [](STextJob& j) { j.Text = "\xFF\xE3\x81"; }, 2},
      {"text ends at a zero byte", [](STextJob& j) { j.Text = std::string("II\0II", 5); }, 2},
      {"pixel-sized font", [](STextJob& j) {
         j.Font.Size = 1;
         j.Text = "WWW";
       }, 3},
  };
  for (const Case& c : cases) {
    STextJob j = job;
    c.Change(j);
    EXPECT_EQ(renderText(j), c.Count) << c.Name;
  }
}

TEST(RenderText, LargestGlyphSize) {
  TChannel target(300, 300);
  STextJob job;
  job.Font = font("DejaVu Sans");
  job.Font.Size = kMaxGlyphPixelSize * 72 / 96;  // an em of kMaxGlyphPixelSize
  job.Text = "I";  // x 201..403, y 0..1493 of the 2048 design units
  job.Target = &target;
  job.X = -250;
  job.Y = 1400;
  EXPECT_EQ(renderText(job), 1);
  EXPECT_EQ(job.Bounds, (SRectXYWH{0, 0, 153, 300}));
  EXPECT_EQ(target.getPixel(100, 150), 255);
  EXPECT_EQ(target.getPixel(160, 150), 0);
}

}  // namespace
}  // namespace pg
