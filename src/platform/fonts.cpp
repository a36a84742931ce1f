#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <set>
#include <tuple>
#include <utility>

#include "platform/text_codec.h"

namespace pg {

namespace {

// ---- process-wide libraries -------------------------------------------------------
// Both are set up on first use and kept for the life of the process; the one
// user-interface thread is the only caller.

FT_Library freeType() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    return FT_Init_FreeType(&l) == 0 ? l : nullptr;
  }();
  return lib;
}

[[nodiscard]] bool fontConfigReady() {
  static const bool ready = FcInit() == FcTrue;
  return ready;
}

}  // namespace

namespace {

// ---- character sets and languages -------------------------------------------------

struct SCharSetLang {
  uint8_t CharSet;
  const char* Lang;  // the fontconfig language a face must cover
};

// The character sets a face can be listed under, each with the language
// whose coverage stands for it.
constexpr SCharSetLang kCharSetLangs[] = {
    {kAnsiCharSet, "en"},        {kShiftJisCharSet, "ja"},    {kHangulCharSet, "ko"},
    {kJohabCharSet, "ko"},       {kGb2312CharSet, "zh-cn"},   {kChineseBig5CharSet, "zh-tw"},
    {kGreekCharSet, "el"},       {kTurkishCharSet, "tr"},     {kVietnameseCharSet, "vi"},
    {kHebrewCharSet, "he"},      {kArabicCharSet, "ar"},      {kBalticCharSet, "lt"},
    {kRussianCharSet, "ru"},     {kThaiCharSet, "th"},        {kEastEuropeCharSet, "pl"},
};

[[nodiscard]] const char* langOfCharSet(uint8_t charSet) {
  for (const SCharSetLang& c : kCharSetLangs)
    if (c.CharSet == charSet) return c.Lang;
  return nullptr;
}

[[nodiscard]] bool langSetCovers(const FcLangSet* langs, const char* lang) {
  return langs != nullptr && FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>(lang)) == FcLangEqual;
}

std::string_view withoutAt(std::string_view face) {
  return !face.empty() && face.front() == '@' ? face.substr(1) : face;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

[[nodiscard]] bool sameFaceName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// ---- little-endian fields -----------------------------------------------------------

void putI32(uint8_t* p, int32_t v) {
  const uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(u >> (8 * i));
}

int32_t getI32(const uint8_t* p) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(p[i]) << (8 * i);
  return int32_t(u);
}

// round(a * b / c) for a, b >= 0, c > 0, half away from zero.
int64_t mulDivRound(int64_t a, int64_t b, int64_t c) { return (2 * a * b + c) / (2 * c); }

// ---- candidates ------------------------------------------------------------------------

struct SCandidate {
  std::string Path;
  int Index = 0;
  std::string Family;
  bool Embolden = false;  // bold asked for, the font is not bold
  bool Oblique = false;   // italic asked for, the font is upright
};

using PatternPtr = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
using FontSetPtr = std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)>;
using ObjectSetPtr = std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)>;

std::string patternString(const FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, object, n, &s) != FcResultMatch || s == nullptr) return {};
  return reinterpret_cast<const char*>(s);
}

int patternInt(const FcPattern* p, const char* object, int fallback) {
  int v = 0;
  return FcPatternGetInteger(p, object, 0, &v) == FcResultMatch ? v : fallback;
}

[[nodiscard]] bool wantsBold(const SLogFont& font) { return font.Weight >= 600; }

SCandidate candidateOf(const FcPattern* found, const SLogFont& font) {
  SCandidate c;
  c.Path = patternString(found, FC_FILE);
  c.Index = patternInt(found, FC_INDEX, 0);
  c.Family = patternString(found, FC_FAMILY);
  c.Embolden = wantsBold(font) && patternInt(found, FC_WEIGHT, FC_WEIGHT_REGULAR) < FC_WEIGHT_DEMIBOLD;
  c.Oblique = font.Italic != 0 && patternInt(found, FC_SLANT, FC_SLANT_ROMAN) == FC_SLANT_ROMAN;
  return c;
}

// fontconfig's best match for a family (empty: the configured default) in
// the description's style and character set.
[[nodiscard]] bool matchFont(std::string_view family, const SLogFont& font, SCandidate& out) {
  PatternPtr pat(FcPatternCreate(), &FcPatternDestroy);
  if (!pat) return false;
  if (!family.empty()) {
    const std::string f(family);
    FcPatternAddString(pat.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(f.c_str()));
  }
  FcPatternAddInteger(pat.get(), FC_WEIGHT, wantsBold(font) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat.get(), FC_SLANT, font.Italic != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat.get(), FC_SCALABLE, FcTrue);
  FcPatternAddBool(pat.get(), FC_OUTLINE, FcTrue);
  if (const char* lang = langOfCharSet(font.CharSet))
    FcPatternAddString(pat.get(), FC_LANG, reinterpret_cast<const FcChar8*>(lang));
  if (FcConfigSubstitute(nullptr, pat.get(), FcMatchPattern) != FcTrue) return false;
  FcDefaultSubstitute(pat.get());
  FcResult result = FcResultNoMatch;
  PatternPtr found(FcFontMatch(nullptr, pat.get(), &result), &FcPatternDestroy);
  if (!found || result != FcResultMatch) return false;
  out = candidateOf(found.get(), font);
  return !out.Path.empty();
}

// Every installed outline font, ordered by file, for the last resort.
std::vector<SCandidate> allOutlineFonts(const SLogFont& font) {
  std::vector<SCandidate> list;
  PatternPtr pat(FcPatternCreate(), &FcPatternDestroy);
  ObjectSetPtr os(FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_WEIGHT, FC_SLANT, nullptr), &FcObjectSetDestroy);
  if (!pat || !os) return list;
  FcPatternAddBool(pat.get(), FC_OUTLINE, FcTrue);
  FontSetPtr set(FcFontList(nullptr, pat.get(), os.get()), &FcFontSetDestroy);
  if (!set) return list;
  for (int i = 0; i < set->nfont; ++i) list.push_back(candidateOf(set->fonts[i], font));
  std::sort(list.begin(), list.end(),
            [](const SCandidate& a, const SCandidate& b) { return std::tie(a.Path, a.Index) < std::tie(b.Path, b.Index); });
  return list;
}

// ---- metrics ----------------------------------------------------------------------------

// The ascent and descent (design units) that decide a line's height: the
// OS/2 table's Windows values where the font has them, else the face's.
void designExtent(FT_Face face, int64_t& ascent, int64_t& descent, int64_t& gap) {
  ascent = face->ascender;
  descent = -int64_t(face->descender);
  gap = std::max<int64_t>(0, int64_t(face->height) - (ascent + descent));
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (os2 != nullptr && os2->version != 0xFFFF && int64_t(os2->usWinAscent) + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
    gap = 0;
    if (hhea != nullptr) {
      const int64_t hheaExtent = int64_t(hhea->Ascender) - hhea->Descender;
      gap = std::max<int64_t>(0, int64_t(hhea->Line_Gap) - ((ascent + descent) - hheaExtent));
    }
  }
  ascent = std::max<int64_t>(ascent, 0);
  descent = std::max<int64_t>(descent, 0);
}

// The em height in pixels a description asks of a face; 0 when it is no
// usable size.
int64_t emPixels(FT_Face face, const SLogFont& font) {
  int64_t em = 0;
  if (font.Height < 0) {
    em = -int64_t(font.Height);
  } else if (font.Height > 0) {
    int64_t ascent, descent, gap;
    designExtent(face, ascent, descent, gap);
    if (ascent + descent <= 0 || int64_t(font.Height) > kMaxGlyphPixelSize) return 0;
    // The largest em whose cell does not pass the height asked for.
    em = int64_t(font.Height) * face->units_per_EM / (ascent + descent);
  }
  return em >= 1 && em <= kMaxGlyphPixelSize ? em : 0;
}

STextMetrics metricsOf(FT_Face face, int64_t em) {
  int64_t ascent, descent, gap;
  designExtent(face, ascent, descent, gap);
  const int64_t upem = face->units_per_EM;
  STextMetrics m;
  m.Ascent = int32_t(mulDivRound(ascent, em, upem));
  m.Descent = int32_t(mulDivRound(descent, em, upem));
  m.Height = m.Ascent + m.Descent;
  m.EmHeight = int32_t(em);
  m.InternalLeading = m.Height - m.EmHeight;
  m.ExternalLeading = int32_t(mulDivRound(gap, em, upem));
  m.UnitsPerEm = int32_t(upem);
  return m;
}

// ---- outline decomposition ------------------------------------------------------------

struct SDecompose {
  SGlyphOutline* Out;
  void add(EOutlineOp op, std::initializer_list<const FT_Vector*> pts) {
    Out->Ops.push_back(op);
    for (const FT_Vector* v : pts) Out->Points.push_back({int32_t(v->x), int32_t(v->y)});
  }
};

int moveTo(const FT_Vector* to, void* user) {
  static_cast<SDecompose*>(user)->add(EOutlineOp::MoveTo, {to});
  return 0;
}
int lineTo(const FT_Vector* to, void* user) {
  static_cast<SDecompose*>(user)->add(EOutlineOp::LineTo, {to});
  return 0;
}
int quadTo(const FT_Vector* c, const FT_Vector* to, void* user) {
  static_cast<SDecompose*>(user)->add(EOutlineOp::QuadTo, {c, to});
  return 0;
}
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  static_cast<SDecompose*>(user)->add(EOutlineOp::CubicTo, {c1, c2, to});
  return 0;
}

// 26.6 to whole pixels, rounded.
int32_t roundPixels(int64_t v) { return int32_t((v + 32) >> 6); }

}  // namespace

// ---- character sets ------------------------------------------------------------------

bool charSetHasVerticalFaces(uint8_t charSet) {
  return charSet == kShiftJisCharSet || charSet == kHangulCharSet || charSet == kJohabCharSet ||
         charSet == kGb2312CharSet || charSet == kChineseBig5CharSet;
}

bool isUprightInVertical(char32_t c) {
  static constexpr std::pair<char32_t, char32_t> kWide[] = {
      {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
      {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF60},
      {0xFFE0, 0xFFE6},   {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
  };
  for (const auto& [lo, hi] : kWide)
    if (c >= lo && c <= hi) return true;
  return false;
}

// ---- the description ------------------------------------------------------------------

void packLogFont(const SLogFont& font, uint8_t* out) {
  std::memset(out, 0, kLogFontBytes);
  putI32(out + 0, font.Height);
  putI32(out + 4, font.Width);
  putI32(out + 8, font.Escapement);
  putI32(out + 12, font.Orientation);
  putI32(out + 16, font.Weight);
  const uint8_t bytes[8] = {font.Italic,   font.Underline,     font.StrikeOut, font.CharSet,
                            font.OutPrecision, font.ClipPrecision, font.Quality,   font.PitchAndFamily};
  std::memcpy(out + 20, bytes, 8);
  const std::string name = utf8ToCp932(font.FaceName);
  const std::string_view kept = cp932Prefix(std::string_view(name).substr(0, name.find('\0')), 31);
  std::memcpy(out + 28, kept.data(), kept.size());
}

bool unpackLogFont(const uint8_t* bytes, size_t size, SLogFont& out) {
  if (bytes == nullptr || size < kLogFontBytes) return false;
  SLogFont f;
  f.Height = getI32(bytes + 0);
  f.Width = getI32(bytes + 4);
  f.Escapement = getI32(bytes + 8);
  f.Orientation = getI32(bytes + 12);
  f.Weight = getI32(bytes + 16);
  f.Italic = bytes[20];
  f.Underline = bytes[21];
  f.StrikeOut = bytes[22];
  f.CharSet = bytes[23];
  f.OutPrecision = bytes[24];
  f.ClipPrecision = bytes[25];
  f.Quality = bytes[26];
  f.PitchAndFamily = bytes[27];
  const char* name = reinterpret_cast<const char*>(bytes + 28);
  f.FaceName = cp932ToUtf8(std::string_view(name, strnlen(name, 32)));
  out = std::move(f);
  return true;
}

SLogFont logFontOf(const SFontSpec& spec) {
  SLogFont f;
  const int64_t prod = int64_t(spec.Size) * spec.PixelsPerInch;
  const int64_t px = prod >= 0 ? (prod + 36) / 72 : -((-prod + 36) / 72);
  f.Height = int32_t(std::clamp<int64_t>(-px, INT32_MIN, INT32_MAX));
  f.Weight = spec.Bold ? kWeightBold : kWeightNormal;
  f.Italic = spec.Italic ? 1 : 0;
  f.Underline = spec.Underline ? 1 : 0;
  f.StrikeOut = spec.StrikeOut ? 1 : 0;
  f.CharSet = spec.CharSet;
  f.FaceName = spec.FaceName;
  return f;
}

// ---- opened fonts ---------------------------------------------------------------------

struct CFontFace::SImpl {
  FT_Face Face = nullptr;
  bool Embolden = false;
  bool Oblique = false;
  bool SymbolMap = false;  // the font maps its characters at U+F000 + code
  ~SImpl() {
    if (Face != nullptr) FT_Done_Face(Face);
  }
};

CFontFace::CFontFace(std::unique_ptr<SImpl> impl) : impl_(std::move(impl)) {}
CFontFace::~CFontFace() = default;

std::unique_ptr<CFontFace> CFontFace::open(const SLogFont& font) {
  // No size, or one beyond the limit, is refused for every font alike.
  if (font.Height == 0 || font.Height < -kMaxGlyphPixelSize || font.Height > kMaxGlyphPixelSize) return nullptr;
  FT_Library lib = freeType();
  if (lib == nullptr || !fontConfigReady()) return nullptr;
  const std::string_view family = withoutAt(font.FaceName);

  // Candidates in order: the match for the face, the configured default for
  // the style and character set, then every outline font.
  std::vector<SCandidate> candidates;
  SCandidate c;
  if (matchFont(family, font, c)) candidates.push_back(c);
  if (matchFont({}, font, c)) candidates.push_back(c);
  bool listed = false;

  for (size_t i = 0;; ++i) {
    if (i == candidates.size()) {
      if (listed) return nullptr;
      listed = true;
      std::vector<SCandidate> all = allOutlineFonts(font);
      candidates.insert(candidates.end(), all.begin(), all.end());
      if (i == candidates.size()) return nullptr;
    }
    const SCandidate& cand = candidates[i];
    auto impl = std::make_unique<SImpl>();
    if (FT_New_Face(lib, cand.Path.c_str(), cand.Index, &impl->Face) != 0) {
      impl->Face = nullptr;
      continue;
    }
    FT_Face face = impl->Face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) continue;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
      if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0) impl->SymbolMap = true;
    }
    const int64_t em = emPixels(face, font);
    if (em == 0 || FT_Set_Pixel_Sizes(face, 0, FT_UInt(em)) != 0) continue;
    impl->Embolden = cand.Embolden;
    impl->Oblique = cand.Oblique;
    std::unique_ptr<CFontFace> result(new CFontFace(std::move(impl)));
    result->family_ = cand.Family.empty() ? std::string(face->family_name ? face->family_name : "") : cand.Family;
    result->path_ = cand.Path;
    result->vertical_ = !font.FaceName.empty() && font.FaceName.front() == '@';
    result->metrics_ = metricsOf(face, em);
    return result;
  }
}

namespace {

FT_UInt glyphIndex(FT_Face face, bool symbolMap, char32_t code) {
  FT_UInt index = FT_Get_Char_Index(face, FT_ULong(code));
  if (index == 0 && symbolMap && code < 0x100) index = FT_Get_Char_Index(face, FT_ULong(0xF000 | code));
  return index;
}

}  // namespace

bool CFontFace::hasGlyph(char32_t code) const { return glyphIndex(impl_->Face, impl_->SymbolMap, code) != 0; }

bool CFontFace::glyphOutline(char32_t code, SGlyphOutline& out) const {
  out = SGlyphOutline{};
  FT_Face face = impl_->Face;
  const FT_UInt index = glyphIndex(face, impl_->SymbolMap, code);
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  if (impl_->Oblique) FT_GlyphSlot_Oblique(slot);
  if (impl_->Embolden) FT_GlyphSlot_Embolden(slot);

  FT_Outline_Funcs funcs{};
  funcs.move_to = moveTo;
  funcs.line_to = lineTo;
  funcs.conic_to = quadTo;
  funcs.cubic_to = cubicTo;
  SDecompose d{&out};
  if (slot->outline.n_contours > 0 && FT_Outline_Decompose(&slot->outline, &funcs, &d) != 0) {
    out = SGlyphOutline{};
    return false;
  }

  const FT_Glyph_Metrics& gm = slot->metrics;
  if (vertical_ && isUprightInVertical(code)) {
    // Laid on the side for the column: a quarter turn to the left, so that
    // the renderer's quarter turn to the right stands it upright, centred on
    // the column's centre line and hanging from the pen.
    const int64_t centre = int64_t(metrics_.Ascent - metrics_.Descent) * 32;
    const int64_t dx = int64_t(gm.vertBearingY) + gm.horiBearingY;
    const int64_t dy = centre + gm.vertBearingX - gm.horiBearingX;
    for (SOutlinePoint& p : out.Points) {
      const int64_t x = p.X, y = p.Y;
      p.X = int32_t(dx - y);
      p.Y = int32_t(dy + x);
    }
    out.AdvanceX = roundPixels(gm.vertAdvance);
  } else {
    out.AdvanceX = roundPixels(gm.horiAdvance);
  }
  out.AdvanceY = 0;
  return true;
}

// ---- listing ----------------------------------------------------------------------------

std::vector<SFontFamily> enumFontFamilies(uint8_t charSet, std::string_view faceName) {
  std::vector<SFontFamily> list;
  if (!fontConfigReady()) return list;
  PatternPtr pat(FcPatternCreate(), &FcPatternDestroy);
  ObjectSetPtr os(FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_LANG, nullptr), &FcObjectSetDestroy);
  if (!pat || !os) return list;
  FcPatternAddBool(pat.get(), FC_OUTLINE, FcTrue);
  FcPatternAddBool(pat.get(), FC_SCALABLE, FcTrue);
  FontSetPtr set(FcFontList(nullptr, pat.get(), os.get()), &FcFontSetDestroy);
  if (!set) return list;

  std::set<std::pair<std::string, uint8_t>> pairs;
  for (int i = 0; i < set->nfont; ++i) {
    const FcPattern* font = set->fonts[i];
    // The Japanese name where the font has one, else its first.
    std::string name = patternString(font, FC_FAMILY);
    for (int n = 0;; ++n) {
      const std::string lang = patternString(font, FC_FAMILYLANG, n);
      if (lang.empty()) break;
      if (lang == "ja") {
        std::string localized = patternString(font, FC_FAMILY, n);
        if (!localized.empty()) name = std::move(localized);
        break;
      }
    }
    if (name.empty()) continue;
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch) langs = nullptr;
    bool any = false;
    for (const SCharSetLang& c : kCharSetLangs) {
      if (!langSetCovers(langs, c.Lang)) continue;
      any = true;
      pairs.emplace(name, c.CharSet);
      if (charSetHasVerticalFaces(c.CharSet)) pairs.emplace("@" + name, c.CharSet);
    }
    if (!any) pairs.emplace(name, kSymbolCharSet);
  }

  for (const auto& [name, cs] : pairs) {
    if (charSet != kDefaultCharSet && cs != charSet) continue;
    if (!faceName.empty() && !sameFaceName(name, faceName)) continue;
    list.push_back({name, cs});
  }
  return list;
}

}  // namespace pg
