#pragma once
// The font layer: finding an installed font by face name and style, listing
// the installed faces, and reading glyph outlines and font metrics, over
// fontconfig and FreeType. The records are the program's own; they carry what
// the text tool and its recordings keep of a font.
//
// Coordinates of outlines are 26.6 fixed point (1/64 pixel) at the font's
// pixel size, y pointing up, relative to the pen position on the baseline.
//
// Vertical writing: a face name beginning with "@" names the vertical form of
// the face after the "@". Its glyphs come back laid on their side, as the
// text renderer expects of vertical faces (it turns them upright by a quarter
// turn when it draws them): wide characters (kana, kanji, full-width forms)
// are turned a quarter turn to the left so that they stand upright in the
// column and advance by their vertical advance; other characters keep their
// horizontal form and so run along the column. The column's centre line lies
// (ascent - descent) / 2 above the baseline of the laid-down line.
//
// Font look-up never comes back empty while any outline font is installed:
// an unknown face gives fontconfig's best match for the style and the
// character set, and failing that the first installed outline font.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

// ---- character sets -----------------------------------------------------------
// Numbered as recorded font descriptions number them.
inline constexpr uint8_t kAnsiCharSet = 0;
inline constexpr uint8_t kDefaultCharSet = 1;
inline constexpr uint8_t kSymbolCharSet = 2;
inline constexpr uint8_t kMacCharSet = 77;
inline constexpr uint8_t kShiftJisCharSet = 128;
inline constexpr uint8_t kHangulCharSet = 129;
inline constexpr uint8_t kJohabCharSet = 130;
inline constexpr uint8_t kGb2312CharSet = 134;
inline constexpr uint8_t kChineseBig5CharSet = 136;
inline constexpr uint8_t kGreekCharSet = 161;
inline constexpr uint8_t kTurkishCharSet = 162;
inline constexpr uint8_t kVietnameseCharSet = 163;
inline constexpr uint8_t kHebrewCharSet = 177;
inline constexpr uint8_t kArabicCharSet = 178;
inline constexpr uint8_t kBalticCharSet = 186;
inline constexpr uint8_t kRussianCharSet = 204;
inline constexpr uint8_t kThaiCharSet = 222;
inline constexpr uint8_t kEastEuropeCharSet = 238;
inline constexpr uint8_t kOemCharSet = 255;

// True for the character sets whose faces have a vertical ("@") form.
[[nodiscard]] bool charSetHasVerticalFaces(uint8_t charSet);

// ---- sizes ----------------------------------------------------------------------

// The largest pixel size a font is opened at: the em height (or, for a
// positive description height, the cell height) in pixels. Larger sizes are
// refused; a glyph's bitmap is then at most a few times this square.
inline constexpr int32_t kMaxGlyphPixelSize = 2048;

// Font weights of the description.
inline constexpr int32_t kWeightNormal = 400;
inline constexpr int32_t kWeightBold = 700;

// ---- the font description ---------------------------------------------------------

// The stored description of a font (60 bytes in recordings, see packLogFont).
// Height < 0: the em height in pixels; > 0: the cell height (ascent +
// descent) in pixels, met by the largest em whose cell fits in it; 0: no size
// (refused by the font layer). Width,
// escapement, orientation and the precision fields are carried, not used.
struct SLogFont {
  int32_t Height = 0;
  int32_t Width = 0;
  int32_t Escapement = 0;
  int32_t Orientation = 0;
  int32_t Weight = kWeightNormal;
  uint8_t Italic = 0;
  uint8_t Underline = 0;
  uint8_t StrikeOut = 0;
  uint8_t CharSet = kDefaultCharSet;
  uint8_t OutPrecision = 0;
  uint8_t ClipPrecision = 0;
  uint8_t Quality = 0;
  uint8_t PitchAndFamily = 0;
  std::string FaceName;  // UTF-8; "@" first for the vertical form
  friend bool operator==(const SLogFont&, const SLogFont&) = default;
};

// The stored form: the five 32-bit fields little-endian, the eight bytes, then
// 32 bytes of face name in CP932, zero-terminated (a longer name is cut at a
// character boundary to 31 bytes).
inline constexpr size_t kLogFontBytes = 60;
void packLogFont(const SLogFont& font, uint8_t* out);
// False (out unchanged) when fewer than kLogFontBytes bytes are given. The
// face name ends at its first zero byte or after 32 bytes.
[[nodiscard]] bool unpackLogFont(const uint8_t* bytes, size_t size, SLogFont& out);

// A font as the user interface holds it: face, size in points, the resolution
// that turns points into pixels, character set and style.
struct SFontSpec {
  std::string FaceName;  // UTF-8; "@" first for the vertical form
  int32_t Size = 0;      // points
  int32_t PixelsPerInch = 96;
  uint8_t CharSet = kDefaultCharSet;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  friend bool operator==(const SFontSpec&, const SFontSpec&) = default;
};

// The description of a font spec: Height = -(Size x PixelsPerInch / 72,
// rounded half away from zero; saturated to 32 bits), weight 700 for bold
// and 400 otherwise, the style bytes 0 or 1.
SLogFont logFontOf(const SFontSpec& spec);

// ---- metrics, glyphs ----------------------------------------------------------------

// Whole-pixel metrics of an opened font. Height = Ascent + Descent;
// InternalLeading = Height - EmHeight; ExternalLeading is the extra gap the
// font asks for between lines (never negative). UnitsPerEm is the design
// grid of the outlines.
struct STextMetrics {
  int32_t Height = 0;
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0;
  int32_t ExternalLeading = 0;
  int32_t EmHeight = 0;
  int32_t UnitsPerEm = 0;
};

// A point of an outline, 26.6 fixed point.
struct SOutlinePoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const SOutlinePoint&, const SOutlinePoint&) = default;
};

enum class EOutlineOp : uint8_t {
  MoveTo,   // starts a contour: one point
  LineTo,   // one point
  QuadTo,   // control point, end point
  CubicTo,  // two control points, end point
};

// A glyph's outline: contours of lines and Bezier curves, each contour
// closed back to its MoveTo point.
struct SGlyphOutline {
  std::vector<EOutlineOp> Ops;
  std::vector<SOutlinePoint> Points;  // 1, 1, 2 or 3 per op as listed above
  int32_t AdvanceX = 0;               // whole pixels the pen moves after it
  int32_t AdvanceY = 0;
  [[nodiscard]] bool empty() const { return Ops.empty(); }
};

// ---- opened fonts ------------------------------------------------------------------

// One installed font opened at one size.
class CFontFace {
 public:
  ~CFontFace();
  CFontFace(const CFontFace&) = delete;
  CFontFace& operator=(const CFontFace&) = delete;

  // Finds the font the description names (falling back as described above)
  // and opens it at its size. nullptr when the size is 0 or beyond
  // kMaxGlyphPixelSize, or no outline font can be opened at all.
  [[nodiscard]] static std::unique_ptr<CFontFace> open(const SLogFont& font);

  // The family name of the font actually opened, its file, and whether the
  // description asked for the vertical form.
  const std::string& familyName() const { return family_; }
  const std::string& filePath() const { return path_; }
  [[nodiscard]] bool isVertical() const { return vertical_; }

  const STextMetrics& metrics() const { return metrics_; }
  // True when the font has a glyph of its own for the character.
  [[nodiscard]] bool hasGlyph(char32_t code) const;
  // The outline of a character (the font's missing-glyph shape when it has
  // none); an empty outline for blank characters such as the space. False
  // when the font cannot produce it.
  [[nodiscard]] bool glyphOutline(char32_t code, SGlyphOutline& out) const;

 private:
  struct SImpl;
  explicit CFontFace(std::unique_ptr<SImpl> impl);
  std::unique_ptr<SImpl> impl_;
  std::string family_;
  std::string path_;
  bool vertical_ = false;
  STextMetrics metrics_;
};

// True for the characters that stand upright in vertical writing (East Asian
// wide and full-width characters).
[[nodiscard]] bool isUprightInVertical(char32_t code);

// ---- listing the installed faces -------------------------------------------------

struct SFontFamily {
  std::string FaceName;  // UTF-8: the Japanese family name where the font has one
  uint8_t CharSet = kDefaultCharSet;
  friend bool operator==(const SFontFamily&, const SFontFamily&) = default;
};

// The installed outline faces with the character sets they cover, sorted by
// name, then character set; each (face, character set) pair once. With
// kDefaultCharSet every pair is listed, otherwise the pairs of that set. With
// a face name only that face's pairs (compared without regard to ASCII case).
// Faces covering a character set with vertical forms are also listed as
// "@" + name under that set. A face covering none of the known sets is listed
// under kSymbolCharSet.
std::vector<SFontFamily> enumFontFamilies(uint8_t charSet, std::string_view faceName = {});

}  // namespace pg
