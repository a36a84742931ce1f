#pragma once
// Blend arithmetic: the 8-bit operations every pixel mix of the program rests on.
//
// Pixels are 32-bit, not premultiplied; a packed value holds blue in bits 0-7,
// green 8-15, red 16-23 and alpha 24-31. The colour bytes are the low three.
//
// The one rounding rule: a byte product scaled by 255 is (x * 32897) >> 23,
// which is floor(x / 255) for every x up to 66051 (so for every product of two
// bytes and every sum a*t + b*(255-t)). It is written once, in div255().
//
// Every 32-bit blend operation here has the shape op(pixel address, colour,
// parameter) where the parameter is an alpha or amount 0..255; none of them
// changes the destination's alpha byte (pixelSet, which stores a whole pixel,
// and blendPixelOpacity/blendPixelTable, which composite alpha, say so).
#include <array>
#include <cstddef>
#include <cstdint>

namespace pg {

// ---------------------------------------------------------------- arithmetic

// floor(x / 255) for 0 <= x <= 66051, by multiply and shift.
constexpr uint32_t div255(uint32_t x) { return (x * 32897u) >> 23; }

// floor(a * b / 255) for bytes a, b.
constexpr uint32_t mulDiv255(uint32_t a, uint32_t b) { return div255(a * b); }

// floor((a*t + b*(255-t)) / 255): a at t = 255, b at t = 0.
constexpr uint32_t lerp255(uint32_t a, uint32_t b, uint32_t t) { return div255(a * t + b * (255u - t)); }

// *dst := floor((dst*(255-t) + v*t) / 255).
inline void lerpByte(uint8_t* dst, uint32_t v, uint32_t t) { *dst = static_cast<uint8_t>(lerp255(v, *dst, t)); }

// Byte i (0 blue, 1 green, 2 red, 3 alpha) of a packed pixel.
constexpr uint32_t pixelByte(uint32_t p, int i) { return (p >> (8 * i)) & 0xFFu; }
constexpr uint32_t pixelAlpha(uint32_t p) { return p >> 24; }

// ------------------------------------------------------------ lookup tables
// 256 x 256 bytes each, entry [i][j] at i*256 + j, fixed at compile time.

// floor(i*j / 255).
extern const std::array<uint8_t, 65536> productTable;
// 255 - floor((255 - j) * i / 255): j faded toward 255 as i falls.
extern const std::array<uint8_t, 65536> screenTable;
// trunc(2*d*i / 255) with d = j for j < 128 and d = j - 256 above, stored as a
// two's-complement byte: half the signed difference of two halved bytes, scaled.
extern const std::array<uint8_t, 65536> halfDiffTable;

// The product table's address, for code that indexes it as t[a*256 + b].
extern const uint8_t* const productTablePtr;

// Entry [i][j]; both indices are taken as bytes (and 255), so no argument can
// reach outside a table.
inline uint32_t productAt(uint32_t i, uint32_t j) { return productTable[((i & 0xFFu) << 8) | (j & 0xFFu)]; }
inline uint32_t screenAt(uint32_t i, uint32_t j) { return screenTable[((i & 0xFFu) << 8) | (j & 0xFFu)]; }
inline uint32_t halfDiffAt(uint32_t i, uint32_t j) { return halfDiffTable[((i & 0xFFu) << 8) | (j & 0xFFu)]; }

// ------------------------------------------------------- 8-bit operations
// (byte address, value)

using ByteOp = void (*)(uint8_t* dst, uint32_t v);

// 8-bit: *dst := v.
inline void byteSet(uint8_t* dst, uint32_t v) { *dst = static_cast<uint8_t>(v); }
// 8-bit: *dst := max(*dst, v).
inline void byteMax(uint8_t* dst, uint32_t v) {
  if (v > *dst) *dst = static_cast<uint8_t>(v);
}
// 8-bit: *dst := floor(*dst * v / 255).
inline void byteMul(uint8_t* dst, uint32_t v) { *dst = static_cast<uint8_t>(mulDiv255(*dst, v)); }
// 8-bit, table form: alpha 0 keeps, 255 sets, else dst + H[alpha][(v>>1) - (dst>>1)].
inline void blendByteTab(uint8_t* dst, uint32_t v, uint32_t alpha) {
  if (alpha == 0) return;
  if (alpha >= 255) {
    *dst = static_cast<uint8_t>(v);
    return;
  }
  uint32_t c = *dst;
  *dst = static_cast<uint8_t>(c + halfDiffAt(alpha, ((v >> 1) - (c >> 1)) & 0xFFu));
}

// ------------------------------------------------------ 32-bit operations
// (pixel address, colour, alpha or amount 0..255)

using PixelOp32 = void (*)(uint32_t* dst, uint32_t colour, uint32_t param);

// BGRA8: *dst := colour, all four bytes.
inline void pixelSet(uint32_t* dst, uint32_t colour, uint32_t /*param*/ = 0) { *dst = colour; }

// BGRA8: each colour byte c := floor((c*(255-a) + s*a) / 255); alpha kept.
inline void lerpPixelRgb(uint32_t* dst, uint32_t colour, uint32_t alpha) {
  if (alpha == 0) return;
  uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) r |= lerp255(pixelByte(colour, i), pixelByte(p, i), alpha) << (8 * i);
  *dst = r;
}

// BGRA8, table form of lerpPixelRgb: c := (c + H[a][(s>>1) - (c>>1)]) & 255; alpha kept.
inline void lerpPixelRgbTab(uint32_t* dst, uint32_t colour, uint32_t alpha) {
  if (alpha == 0) return;
  uint32_t p = *dst;
  if (alpha >= 255) {
    *dst = (p & 0xFF000000u) | (colour & 0x00FFFFFFu);
    return;
  }
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    uint32_t c = pixelByte(p, i);
    uint32_t s = pixelByte(colour, i);
    r |= ((c + halfDiffAt(alpha, ((s >> 1) - (c >> 1)) & 0xFFu)) & 0xFFu) << (8 * i);
  }
  *dst = r;
}

// BGRA8: c := P[c][S[amount][s]] (c times s faded toward white by the amount); alpha kept.
inline void blendMultiplyRgb(uint32_t* dst, uint32_t colour, uint32_t amount) {
  uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) r |= productAt(pixelByte(p, i), screenAt(amount, pixelByte(colour, i))) << (8 * i);
  *dst = r;
}

// BGRA8: c := min(255, c + P[amount][s]); alpha kept.
inline void blendAddRgb(uint32_t* dst, uint32_t colour, uint32_t amount) {
  uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    uint32_t v = pixelByte(p, i) + productAt(amount, pixelByte(colour, i));
    r |= (v > 255 ? 255u : v) << (8 * i);
  }
  *dst = r;
}

// BGRA8: c := max(0, c - P[amount][s]); alpha kept.
inline void blendSubRgb(uint32_t* dst, uint32_t colour, uint32_t amount) {
  uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    uint32_t c = pixelByte(p, i);
    uint32_t t = productAt(amount, pixelByte(colour, i));
    r |= (c > t ? c - t : 0u) << (8 * i);
  }
  *dst = r;
}

// BGRA8 with alpha: paint colour s over the pixel with coverage c.
// c = 0 keeps; c = 255 sets s's colour with alpha 255; an opaque pixel gets
// lerpPixelRgb(c); otherwise A := a + P[c][255-a] and lerpPixelRgb(c*255 / A).
inline void blendPixelOpacity(uint32_t* dst, uint32_t colour, uint32_t c) {
  if (c == 0) return;
  if (c >= 255) {
    *dst = (colour & 0x00FFFFFFu) | 0xFF000000u;
    return;
  }
  uint32_t a = pixelAlpha(*dst);
  if (a == 255) {
    lerpPixelRgb(dst, colour, c);
    return;
  }
  uint32_t A = a + productAt(c, 255 - a);  // >= c >= 1
  *dst = (*dst & 0x00FFFFFFu) | (A << 24);
  lerpPixelRgb(dst, colour, c * 255 / A);
}

// BGRA8 with alpha: blendPixelOpacity with coverage P[c][source alpha]. The
// normal-mode operator of brushes and filters on layers that do not protect
// their alpha: it composites alpha.
inline void blendPixelTable(uint32_t* dst, uint32_t colour, uint32_t c) {
  blendPixelOpacity(dst, colour, productAt(c, pixelAlpha(colour)));
}

// ------------------------------------------------------- plane plotting
// (plane, x, y, value, alpha) -> whether (x, y) lies inside the plane
// (unsigned test: negative coordinates are outside); nothing is written outside.

class TChannel;
class TMTC;

// 8-bit plane: lerpByte(p, value, alpha).
bool blendPixel(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha);
// 8-bit plane: blendByteTab(p, value, alpha).
bool blendPixelTab(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha);
// 32-bit plane: lerpPixelRgb(p, colour, alpha).
bool blendPixel(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha);
// 32-bit plane: lerpPixelRgbTab(p, colour, alpha).
bool blendPixelTab(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha);

// ------------------------------------------------- plane plots
// Where the anti-aliased drawing routines put one pixel: a routine and the
// context its caller hands it (the brush hands its surface). The plain
// plots blend straight into the plane and need no context.

using PlotCallback8 = bool (*)(const void* context, TChannel& plane, int32_t x, int32_t y, uint32_t value,
                               uint32_t alpha);
using PlotCallback32 = bool (*)(const void* context, TMTC& plane, int32_t x, int32_t y, uint32_t colour,
                                uint32_t alpha);

// blendPixel on each plane kind (the context is not read).
bool plotBlend8(const void* context, TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha);
bool plotBlend32(const void* context, TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha);

struct SPlanePlot8 {
  PlotCallback8 routine = &plotBlend8;
  const void* context = nullptr;
  bool operator()(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha) const {
    return routine(context, plane, x, y, value, alpha);
  }
};
struct SPlanePlot32 {
  PlotCallback32 routine = &plotBlend32;
  const void* context = nullptr;
  bool operator()(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) const {
    return routine(context, plane, x, y, colour, alpha);
  }
};

// ------------------------------------------------------------- dissolve

// The dissolve of a layer: a pixel of the layer is laid down whole or not at
// all, by a draw that is a function of the pixel's place on the picture and
// of its colour only. The same pixels therefore give the same composite
// whatever rectangle is repainted, in whatever order the tiles are walked,
// whichever tiles happen to hold pixels, on any number of threads.

// The draw at picture position (x, y) for a pixel of this colour: 0..254,
// spread evenly.
uint32_t stochasticDraw(int32_t x, int32_t y, uint32_t colour);

// The wrapped operation and the dissolve amount.
struct SStochasticBlend {
  PixelOp32 op = nullptr;
  uint32_t amount = 0;
};

// Applies the operation (with param) when mulDiv255(amount, colour's alpha)
// is above the draw at (x, y), else leaves the pixel. With no operation it
// does nothing.
void stochasticBlend(const SStochasticBlend& s, uint32_t* dst, uint32_t colour, uint32_t param, int32_t x, int32_t y);

}  // namespace pg
