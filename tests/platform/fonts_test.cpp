#include "platform/fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <tuple>
#include <string>
#include <vector>

namespace pg {
namespace {

SLogFont described(std::string face, int32_t height, uint8_t charSet = kDefaultCharSet) {
  SLogFont f;
  f.FaceName = std::move(face);
  f.Height = height;
  f.CharSet = charSet;
  return f;
}

TEST(FontDescription, FromSpec) {
  struct Case {
    int32_t Size;
    int32_t Ppi;
    int32_t Height;
  };
  const Case cases[] = {{12, 96, -16}, {9, 96, -12}, {10, 96, -13}, {11, 96, -15}, {0, 96, 0},
                        {-12, 96, 16}, {72, 72, -72}, {INT_MAX, 96, INT_MIN}, {INT_MIN, 96, INT_MAX}};
  for (const Case& c : cases) {
    SFontSpec s;
    s.Size = c.Size;
    s.PixelsPerInch = c.Ppi;
    EXPECT_EQ(logFontOf(s).Height, c.Height) << c.Size;
  }
  SFontSpec s;
  s.FaceName = "@IPAゴシック";
  s.CharSet = kShiftJisCharSet;
  s.Bold = s.Italic = s.StrikeOut = true;
  const SLogFont f = logFontOf(s);
  EXPECT_EQ(f.Weight, kWeightBold);
  EXPECT_EQ(f.Italic, 1);
  EXPECT_EQ(f.Underline, 0);
  EXPECT_EQ(f.StrikeOut, 1);
  EXPECT_EQ(f.CharSet, kShiftJisCharSet);
  EXPECT_EQ(f.FaceName, "@IPAゴシック");
  EXPECT_EQ(logFontOf(SFontSpec{}).Weight, kWeightNormal);
}

TEST(FontDescription, StoredFormRoundTrips) {
  SLogFont f;
  f.Height = -16;
  f.Width = 3;
  f.Escapement = -900;
  f.Orientation = 2700;
  f.Weight = kWeightBold;
  f.Italic = 1;
  f.Underline = 2;
  f.StrikeOut = 3;
  f.CharSet = kShiftJisCharSet;
  f.OutPrecision = 4;
  f.ClipPrecision = 5;
  f.Quality = 6;
  f.PitchAndFamily = 7;
  f.FaceName = "@IPAゴシック";
  uint8_t bytes[kLogFontBytes];
  packLogFont(f, bytes);
  // Little-endian fields at their places, the name in CP932.
  EXPECT_EQ(bytes[0], 0xF0);
  EXPECT_EQ(bytes[3], 0xFF);
  EXPECT_EQ(bytes[16], 0xBC);
  EXPECT_EQ(bytes[17], 0x02);
  EXPECT_EQ(bytes[23], kShiftJisCharSet);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 28)), "@IPA\x83\x53\x83\x56\x83\x62\x83\x4E");
  SLogFont back;
  ASSERT_TRUE(unpackLogFont(bytes, sizeof bytes, back));
  EXPECT_EQ(back, f);
  EXPECT_FALSE(unpackLogFont(bytes, kLogFontBytes - 1, back));
  EXPECT_FALSE(unpackLogFont(nullptr, kLogFontBytes, back));
}

TEST(FontDescription, LongNamesAreCutAtCharacters) {
  SLogFont f;
  f.FaceName = "A";
  for (int i = 0; i < 20; ++i) f.FaceName += "字";  // 2 bytes each in CP932
  uint8_t bytes[kLogFontBytes];
  packLogFont(f, bytes);
  const std::string stored(reinterpret_cast<const char*>(bytes + 28));
  EXPECT_EQ(stored.size(), 31u);  // "A" and fifteen whole characters
  SLogFont back;
  ASSERT_TRUE(unpackLogFont(bytes, sizeof bytes, back));
  EXPECT_EQ(back.FaceName, "A" + [] {
    std::string s;
    for (int i = 0; i < 15; ++i) s += "字";
    return s;
  }());
  // A stored name without its zero ends after 32 bytes; bad bytes are replaced.
  std::fill(bytes + 28, bytes + 60, uint8_t(0x81));
  ASSERT_TRUE(unpackLogFont(bytes, sizeof bytes, back));
  EXPECT_FALSE(back.FaceName.empty());
}

TEST(FontFace, OpensInstalledFacesByAnyOfTheirNames) {
  struct Case {
    std::string Face;
    std::string FileHint;
  };
  const Case cases[] = {{"DejaVu Sans", "DejaVuSans"}, {"IPAGothic", "gothic"}, {"IPAゴシック", "gothic"}};
  for (const Case& c : cases) {
    auto face = CFontFace::open(described(c.Face, -32, kShiftJisCharSet));
    ASSERT_TRUE(face) << c.Face;
    std::string path = face->filePath();
    std::transform(path.begin(), path.end(), path.begin(), [](char ch) { return char(std::tolower(ch)); });
    std::string hint = c.FileHint;
    std::transform(hint.begin(), hint.end(), hint.begin(), [](char ch) { return char(std::tolower(ch)); });
    EXPECT_NE(path.find(hint), std::string::npos) << c.Face << " opened " << face->filePath();
  }
}

TEST(FontFace, UnknownFacesFallBack) {
  auto face = CFontFace::open(described("No Such Face 4711", -24));
  ASSERT_TRUE(face);
  EXPECT_TRUE(face->hasGlyph('A'));
  // Asked for Japanese, the stand-in covers Japanese.
  auto ja = CFontFace::open(described("No Such Face 4711", -24, kShiftJisCharSet));
  ASSERT_TRUE(ja);
  EXPECT_TRUE(ja->hasGlyph(U'あ'));
  EXPECT_TRUE(ja->hasGlyph(U'漢'));
  EXPECT_TRUE(CFontFace::open(described("", -24)));
}

TEST(FontFace, RefusesSizesOutsideTheLimits) {
  for (int32_t h : {0, INT_MIN, INT_MAX, -kMaxGlyphPixelSize - 1, kMaxGlyphPixelSize + 1})
    EXPECT_FALSE(CFontFace::open(described("DejaVu Sans", h))) << h;
  EXPECT_TRUE(CFontFace::open(described("DejaVu Sans", -kMaxGlyphPixelSize)));
  EXPECT_TRUE(CFontFace::open(described("DejaVu Sans", -1)));
}

TEST(FontFace, Metrics) {
  auto face = CFontFace::open(described("DejaVu Sans", -32));
  ASSERT_TRUE(face);
  const STextMetrics& m = face->metrics();
  EXPECT_EQ(m.EmHeight, 32);
  EXPECT_EQ(m.Height, m.Ascent + m.Descent);
  EXPECT_EQ(m.InternalLeading, m.Height - 32);
  EXPECT_GT(m.Ascent, 24);
  EXPECT_GT(m.Descent, 4);
  EXPECT_GE(m.ExternalLeading, 0);
  EXPECT_EQ(m.UnitsPerEm, 2048);
  // A positive height asks for the cell height instead of the em height.
  auto cell = CFontFace::open(described("DejaVu Sans", m.Height));
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->metrics().EmHeight, 32);
  EXPECT_EQ(cell->metrics().Height, m.Height);
}

// The outline's points lie in the glyph's box; blanks have no outline.
TEST(FontFace, GlyphOutlines) {
  auto face = CFontFace::open(described("DejaVu Sans", -32));
  ASSERT_TRUE(face);
  SGlyphOutline o;
  ASSERT_TRUE(face->glyphOutline('I', o));
  ASSERT_FALSE(o.empty());
  EXPECT_EQ(o.Ops.front(), EOutlineOp::MoveTo);
  EXPECT_EQ(o.AdvanceX, 9);
  EXPECT_EQ(o.AdvanceY, 0);
  for (const SOutlinePoint& p : o.Points) {
    EXPECT_GE(p.X, 3 * 64);
    EXPECT_LE(p.X, 7 * 64);
    EXPECT_GE(p.Y, 0);
    EXPECT_LE(p.Y, 24 * 64);
  }
  ASSERT_TRUE(face->glyphOutline(' ', o));
  EXPECT_TRUE(o.empty());
  EXPECT_GT(o.AdvanceX, 0);
  // A character the face lacks still has an outline (the missing-glyph shape).
  EXPECT_FALSE(face->hasGlyph(U'\U0010FFFD'));
  EXPECT_TRUE(face->glyphOutline(U'\U0010FFFD', o));
}

TEST(FontFace, VerticalFormsLayWideCharactersDown) {
  auto across = CFontFace::open(described("IPAGothic", -32, kShiftJisCharSet));
  auto down = CFontFace::open(described("@IPAGothic", -32, kShiftJisCharSet));
  ASSERT_TRUE(across && down);
  EXPECT_FALSE(across->isVertical());
  EXPECT_TRUE(down->isVertical());
  SGlyphOutline a, d;
  // Latin keeps its horizontal form.
  ASSERT_TRUE(across->glyphOutline('A', a));
  ASSERT_TRUE(down->glyphOutline('A', d));
  EXPECT_EQ(a.Points, d.Points);
  EXPECT_EQ(a.AdvanceX, d.AdvanceX);
  // A kana is turned a quarter turn to the left: its width becomes height.
  ASSERT_TRUE(across->glyphOutline(U'ー', a));  // the long vowel mark: wide and flat
  ASSERT_TRUE(down->glyphOutline(U'ー', d));
  const auto extent = [](const SGlyphOutline& o, bool xAxis) {
    int32_t lo = INT_MAX, hi = INT_MIN;
    for (const SOutlinePoint& p : o.Points) {
      lo = std::min(lo, xAxis ? p.X : p.Y);
      hi = std::max(hi, xAxis ? p.X : p.Y);
    }
    return hi - lo;
  };
  EXPECT_GT(extent(a, true), 4 * extent(a, false));
  EXPECT_EQ(extent(d, false), extent(a, true));
  EXPECT_EQ(extent(d, true), extent(a, false));
  EXPECT_EQ(d.AdvanceX, 32);  // the vertical advance: one em
}

TEST(FontFace, UprightCharacters) {
  for (char32_t c : {U'あ', U'ア', U'漢', U'ー', U'、', U'Ａ', U'한', U'￥'}) EXPECT_TRUE(isUprightInVertical(c)) << uint32_t(c);
  for (char32_t c : {U'A', U'1', U' ', U'ｱ', U'é', U'Ж', U'\u2026'}) EXPECT_FALSE(isUprightInVertical(c)) << uint32_t(c);
}

TEST(FontList, ListsFacesByCharacterSet) {
  const std::vector<SFontFamily> all = enumFontFamilies(kDefaultCharSet);
  ASSERT_FALSE(all.empty());
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const SFontFamily& a, const SFontFamily& b) {
    return std::tie(a.FaceName, a.CharSet) < std::tie(b.FaceName, b.CharSet);
  }));
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  const auto has = [](const std::vector<SFontFamily>& l, const std::string& name, uint8_t cs) {
    return std::find(l.begin(), l.end(), SFontFamily{name, cs}) != l.end();
  };
  EXPECT_TRUE(has(all, "DejaVu Sans", kAnsiCharSet));
  EXPECT_TRUE(has(all, "IPAゴシック", kShiftJisCharSet));
  EXPECT_TRUE(has(all, "@IPAゴシック", kShiftJisCharSet));
  EXPECT_FALSE(has(all, "@IPAゴシック", kAnsiCharSet));
  EXPECT_FALSE(has(all, "@DejaVu Sans", kAnsiCharSet));

  for (const SFontFamily& f : enumFontFamilies(kShiftJisCharSet)) EXPECT_EQ(f.CharSet, kShiftJisCharSet);
  // One face: compared without regard to case, every set it covers.
  const std::vector<SFontFamily> dejavu = enumFontFamilies(kDefaultCharSet, "dejavu SANS");
  ASSERT_FALSE(dejavu.empty());
  for (const SFontFamily& f : dejavu) EXPECT_EQ(f.FaceName, "DejaVu Sans");
  EXPECT_TRUE(has(dejavu, "DejaVu Sans", kRussianCharSet));
  EXPECT_FALSE(has(dejavu, "DejaVu Sans", kShiftJisCharSet));
  EXPECT_TRUE(enumFontFamilies(kDefaultCharSet, "No Such Face 4711").empty());
  EXPECT_TRUE(charSetHasVerticalFaces(kShiftJisCharSet));
  EXPECT_FALSE(charSetHasVerticalFaces(kAnsiCharSet));
}

}  // namespace
}  // namespace pg
