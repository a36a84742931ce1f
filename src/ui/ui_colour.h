#pragma once
// The widget layer's own small colour arithmetic, apart from the image
// colour routines of the document side: the 32-bit UI colour, conversion to
// and from platform colour references, interpolation, and RGB <-> HSV / HSL
// for the colour pickers and the gradient painters.
//
// A UI colour is 0xAARRGGBB: bytes B, G, R, A from the lowest address, like a
// pixel of a TMemoryGraphic, not premultiplied; alpha 255 is opaque.
//
// Hues are radians at the interfaces and are quantised to 1536 steps a turn
// (256 a sixth) on the way to RGB. The values are 32-bit floats on purpose:
// pi/3 held as a float lands on step 256, held as a double on step 255.
#include <cstdint>

#include "core/colour.h"
#include "ui/channel_ops.h"

namespace pg {

using TUiColor = uint32_t;
// A platform colour reference: 0x00BBGGRR (red in the low byte).
using TColorRef = uint32_t;

inline constexpr TUiColor uiOpaqueBlack = 0xFF000000u;
inline constexpr TUiColor uiOpaqueWhite = 0xFFFFFFFFu;
inline constexpr TUiColor uiClear = 0x00000000u;
inline constexpr TUiColor uiClearWhite = 0x00FFFFFFu;

inline constexpr int32_t kUiHueSteps = 1536;
// 1536 / (2 pi): radians to hue steps.
inline constexpr double kUiHueStepsPerRadian = 244.46199258915124;
inline constexpr double kUiPiThird = 1.0471975511965979;

constexpr TUiColor packRgba(uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
  return static_cast<TUiColor>(b) | (static_cast<TUiColor>(g) << 8) | (static_cast<TUiColor>(r) << 16) |
         (static_cast<TUiColor>(a) << 24);
}
constexpr uint8_t uiBlue(TUiColor c) { return static_cast<uint8_t>(c); }
constexpr uint8_t uiGreen(TUiColor c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t uiRed(TUiColor c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t uiAlpha(TUiColor c) { return static_cast<uint8_t>(c >> 24); }
// The colour with its alpha byte replaced.
constexpr TUiColor uiWithAlpha(TUiColor c, uint8_t a) { return (c & 0x00FFFFFFu) | (static_cast<TUiColor>(a) << 24); }

// The red, green and blue of a colour reference with the given alpha.
constexpr TUiColor fromColorRef(TColorRef ref, uint8_t alpha) {
  return uiWithAlpha(colorToPixel(ref), alpha);
}
// The red, green and blue of a UI colour as a colour reference (alpha dropped).
constexpr TColorRef toColorRef(TUiColor c) { return pixelToColor(c) & 0x00FFFFFFu; }

// Each of the four bytes lerpChannel(a byte, b byte, t).
TUiColor lerpColor(TUiColor a, TUiColor b, float t);

struct SUiRgbF {
  float R = 0.0f;
  float G = 0.0f;
  float B = 0.0f;
};
struct SUiHsv {
  float H = 0.0f;  // radians, -pi..pi from uiRgbToHsv
  float S = 0.0f;
  float V = 0.0f;
};
struct SUiHsl {
  float H = 0.0f;
  float S = 0.0f;
  float L = 0.0f;
};

// trunc(h * 1536 / 2pi) folded into 0..1535.
int32_t uiHueStep(float h);

// A grey (R = G = B exactly) gives hue 0 and saturation 0. Blue-dominated
// colours get a negative hue.
SUiHsv uiRgbToHsv(float r, float g, float b);
// previousHue is kept for a grey strictly between black and white, so a
// picker dragged through grey keeps its hue.
SUiHsl uiRgbToHsl(float r, float g, float b, float previousHue);

SRgbTriple uiHsvToRgb(float h, float s, float v);
SUiRgbF uiHsvToRgbF(float h, float s, float v);
SRgbTriple uiHslToRgb(float h, float s, float l);
SUiRgbF uiHslToRgbF(float h, float s, float l);

// One HSL channel at hue step x (any integer; folded here).
uint8_t uiHslChannel(int64_t x, float m2, float m1);
float uiHslChannelF(int64_t x, float m2, float m1);

// An opaque UI colour of an RGB triple.
constexpr TUiColor uiColorOf(const SRgbTriple& rgb, uint8_t alpha) { return packRgba(rgb.B, rgb.G, rgb.R, alpha); }

}  // namespace pg
