#pragma once
// The text tool's glyph rendering: a multi-line, optionally vertical text is
// laid out and its glyphs accumulated into an 8-bit coverage channel
// (0 = no ink, 255 = full ink), which the text tool then paints into the
// layer or turns into a selection.
//
// Layout. The pen starts at the job's point, which is the baseline of the
// first line. Each character's glyph is drawn with its black box placed
// from the pen by the glyph origin, then the pen moves on by the glyph's cell
// advance plus the character spacing (plus one pixel for a bold font). A line
// break (CR, CR LF, or a lone LF) starts the next line: one line height
// (font height + the font's external leading + the line spacing) further
// down, or for vertical text one line height to the LEFT, back at the
// line's start on the other axis.
//
// Vertical text uses the vertical form of a face (a face name beginning with
// "@", see platform/fonts.h): its glyphs arrive laid on their side and are
// drawn turned a quarter turn to the right, and the pen advances downward.
//
// Text is UTF-8 and ends at its first zero byte, if any. An invalid byte
// draws as U+FFFD does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "brush/text_raster.h"
#include "core/planes.h"
#include "core/rect.h"
#include "platform/fonts.h"

namespace pg {

// Grey level v (0..64) of a glyph bitmap to coverage: v * 255 >> 6.
extern const std::array<uint8_t, 65> kGreyLevelTable;

// What is known of the last glyph fetched: its black box, the box's top-left
// corner from the pen (y up), and how far the pen moves after it.
struct SGlyphMetrics {
  uint32_t BlackBoxX = 0;
  uint32_t BlackBoxY = 0;
  int32_t GlyphOriginX = 0;
  int32_t GlyphOriginY = 0;
  int16_t CellIncX = 0;
  int16_t CellIncY = 0;
};

// The most bitmap bytes a glyph source keeps for reuse.
inline constexpr size_t kGlyphCacheBytes = size_t{32} << 20;

// The glyph source of one text job: a copy of the font and the font opened
// at its size.
class CFontGlyph {
 public:
  // Copies the font and opens it; nullptr when it cannot be opened (no size,
  // a size beyond kMaxGlyphPixelSize, no font installed).
  [[nodiscard]] static std::unique_ptr<CFontGlyph> Create(void* owner, const SFontSpec& font);

  // The coverage bitmap of a character (Unicode code point): rows top-down,
  // pitch the width rounded up to a multiple of 4, bytes 0..255. Metrics
  // describe it. True with no bits for a blank character (space); false, with
  // no bits, when the glyph cannot be had (its advance is kept when known,
  // else zero). Glyphs are kept once made (up to kGlyphCacheBytes of bitmaps),
  // so a character repeated in a text is rasterised once.
  [[nodiscard]] bool getGlyph(char32_t charCode, std::vector<uint8_t>& bits);
  // pitch := the black box width rounded up to a multiple of 4; rows := size
  // div pitch. True when that describes a bitmap of exactly size bytes with
  // the black box's height.
  [[nodiscard]] bool bitmapDims(size_t size, int32_t& pitch, int32_t& rows) const;
  bool isBold() const { return Font.Bold; }

  // x += CellIncX + extraX when CellIncX > 0; y += CellIncY + extraY when
  // CellIncY > 0.
  void advance(int64_t& x, int64_t& y, int32_t extraY, int32_t extraX) const;
  // Horizontal text: the black box's top-left corner from the pen
  // (x += origin x, y -= origin y).
  void originOffset(int64_t& x, int64_t& y) const;
  // Vertical faces, whose glyphs are drawn turned: x += origin y - black box
  // height, y += origin x.
  void verticalOffset(int64_t& x, int64_t& y) const;

  const CFontFace& face() const { return *face_; }

  void* Owner = nullptr;
  SFontSpec Font;
  char32_t CharCode = 0;
  bool Vertical = false;
  SGlyphMetrics Metrics;

 private:
  struct SKept {
    SGlyphMetrics Metrics;
    std::vector<uint8_t> Bits;
  };
  CFontGlyph() = default;
  std::unique_ptr<CFontFace> face_;
  std::unordered_map<char32_t, SKept> kept_;
  size_t keptBytes_ = 0;
};

// op(dest byte, value, glyph byte), e.g. lerpByte.
using GlyphPixelOp = void (*)(uint8_t* dst, uint32_t value, uint32_t glyph);

// Places the glyph's top-left corner at (x, y) of the channel and calls op
// for every glyph pixel inside it. rect := the part inside the channel.
// False (rect empty, nothing written) when no pixel lands inside.
[[nodiscard]] bool blitGlyph(TChannel& channel, int64_t x, int64_t y, const SGlyphDims& dims, GlyphPixelOp op, uint32_t value,
               SRectXYWH& rect, const uint8_t* bits);
// The same with the glyph turned a quarter turn to the right: it covers
// Height columns and Width rows, its bottom row becoming the left column.
[[nodiscard]] bool blitGlyphVertical(TChannel& channel, int64_t x, int64_t y, const SGlyphDims& dims, GlyphPixelOp op,
                       uint32_t value, SRectXYWH& rect, const uint8_t* bits);

// Makes the bitmap one column wider, each pixel the larger of itself and its
// left neighbour. False (nothing changed) when the dims do not describe the
// bits or memory fails.
[[nodiscard]] bool emboldenGlyph(SGlyphDims& dims, std::vector<uint8_t>& bits);

// One text to render.
struct STextJob {
  void* Owner = nullptr;
  SFontSpec Font;
  std::string Text;           // UTF-8
  TChannel* Target = nullptr;
  int32_t X = 0;              // the first line's pen start, channel coordinates
  int32_t Y = 0;
  int32_t CharSpacing = 0;    // pixels
  int32_t LineSpacing = 0;    // pixels
  SLogFont LogFont;           // out: the description of the font drawn with
  SRectXYWH Bounds;           // out: the union of the drawn glyphs' rectangles
};

// Clears the target channel to 0 and draws the job's text into it, coverage
// accumulating as dest + (255 - dest) x glyph / 255. Answers the number of
// glyphs that put ink into the channel (blanks and glyphs wholly outside it
// do not count; Bounds is empty when none did), or -1 when the font cannot
// be opened or the target has no pixels.
[[nodiscard]] int32_t renderText(STextJob& job);

}  // namespace pg
