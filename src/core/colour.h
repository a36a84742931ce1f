#pragma once
// Colour conversion between the pixel format, TColor values, RGB triples,
// grey, HLS, HSV and CMYK, plus the small row packers of 24- and 32-bit
// pixels.
//
// Two byte orders meet here:
//  - a pixel (packed uint32_t) holds blue in bits 0-7, green 8-15, red 16-23
//    and alpha 24-31: in memory the bytes are B, G, R, A;
//  - a TColor and an RGB triple have red first (red in the low byte).
// Every routine says which one it takes.
//
// HLS, HSV and CMYK records hold 16.16 fixed-point values: hues in degrees
// (a full turn is 360 << 16), every other channel 0..255 (255 << 16).
#include <cstddef>
#include <cstdint>

namespace pg {

// A colour value with red in its low byte, green next, blue third.
using TColor = uint32_t;

// Three bytes in the order red, green, blue.
struct SRgbTriple {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  friend bool operator==(const SRgbTriple&, const SRgbTriple&) = default;
};

// 16.16 fixed point: Hue in degrees 0..360, Lightness and Saturation 0..255.
struct SHls {
  int32_t Hue = 0;
  int32_t Lightness = 0;
  int32_t Saturation = 0;
  friend bool operator==(const SHls&, const SHls&) = default;
};

// 16.16 fixed point: Hue in degrees, Saturation and Value 0..255.
struct SHsv {
  int32_t Hue = 0;
  int32_t Saturation = 0;
  int32_t Value = 0;
  friend bool operator==(const SHsv&, const SHsv&) = default;
};

// 16.16 fixed point, each 0..255.
struct SCmyk {
  int32_t C = 0;
  int32_t M = 0;
  int32_t Y = 0;
  int32_t K = 0;
};

inline constexpr int32_t kHueTurn = 360 << 16;   // 23592960
inline constexpr int32_t kChannelMax = 255 << 16;  // 16711680

// ---- grey, distance and byte order --------------------------------------

// Grey of the three weighted colour bytes; the weights add up to 65536.
constexpr uint32_t rgbToGrey(uint32_t r, uint32_t g, uint32_t b) {
  return (r * 19595u + g * 38469u + b * 7472u) >> 16;
}

// Grey of a pixel in memory order (blue in the low byte).
constexpr uint32_t pixelGrey(uint32_t p) {
  return rgbToGrey((p >> 16) & 0xFFu, (p >> 8) & 0xFFu, p & 0xFFu);
}

// Sum of the squared differences of the three low bytes; the fourth byte is
// ignored.
constexpr uint32_t colorDistanceSq(uint32_t a, uint32_t b) {
  uint32_t sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t d = int32_t((a >> shift) & 0xFFu) - int32_t((b >> shift) & 0xFFu);
    sum += uint32_t(d * d);
  }
  return sum;
}

// dst := the three bytes of src in reverse order; answers dst. src and dst
// may be the same triple.
uint8_t* bgrToRgb(const uint8_t* src, uint8_t* dst);
uint8_t* rgbToBgr(const uint8_t* src, uint8_t* dst);

// Exchanges the first and third byte of a packed value, the fourth kept.
constexpr uint32_t swapRB(uint32_t c) {
  return (c & 0xFF00FF00u) | ((c >> 16) & 0xFFu) | ((c & 0xFFu) << 16);
}
inline void swapRBInPlace(uint32_t& c) { c = swapRB(c); }

// Pixel order (blue low) to TColor order (red low) and back; the fourth byte
// travels unchanged.
constexpr TColor pixelToColor(uint32_t p) { return swapRB(p); }
constexpr uint32_t colorToPixel(TColor c) { return swapRB(c); }

// ---- rows and ramps -------------------------------------------------------

// n 3-byte pixels to n 4-byte pixels, byte order kept; the fourth byte of
// each target pixel is not written.
void unpackRow24To32(uint8_t* dst, const uint8_t* src, size_t n);

// n 4-byte pixels to n 3-byte pixels, the fourth byte dropped.
void packRow32To24(uint8_t* dst, const uint8_t* src, size_t n);

// n 32-bit values := value.
void fillPixelValue(uint32_t* dst, uint32_t value, size_t n);

// Copies n 32-bit values (the blocks must not overlap).
void copyPixels(uint32_t* dst, const uint32_t* src, size_t n);

// Entry i of n gets i*255 div (n-1) in its three low bytes (the top byte
// untouched). A one-entry ramp is black; nothing is written for n = 0.
void buildGreyRamp(uint32_t* table, size_t n);

// Each of the four bytes of out := a + (b - a)*t div n, the division
// truncating toward zero. With n = 0 the answer is a.
uint32_t lerpBytes4(uint32_t a, uint32_t b, int32_t t, int32_t n);

// The same in 16.16: ((a<<16) + ((b<<16) - (a<<16))*t div n) >> 16 with a
// 64-bit product; the shift floors, so it can differ from lerpBytes4 by one
// when b < a. With n = 0 the answer is a.
uint32_t lerpBytes4Fix(uint32_t a, uint32_t b, int32_t t, int32_t n);

// ---- HLS ----------------------------------------------------------------

// RGB triple to HLS; 16.16 fractions are (x << 16) div 255.
void rgbToHls(const SRgbTriple& rgb, SHls& hls);

// A pixel (blue low) to HLS.
void pixelToHls(uint32_t p, SHls& hls);

// HLS to an RGB triple.
void hlsToRgb(const SHls& hls, SRgbTriple& rgb);

// HLS to a pixel (blue low, alpha byte 0).
uint32_t hlsToPixel(const SHls& hls);

// rgbToHls of a TColor (red low) with the fractions (x*32897) >> 7.
void colorToHls(TColor colour, SHls& hls);

// The second HLS-to-RGB routine, with the 1/255 scaling done as
// (x*32897) >> 23; the partner of colorToHls in the hue/saturation filter.
void hlsToRgbBytes(const SHls& hls, SRgbTriple& rgb);

// ---- HSV and CMYK -------------------------------------------------------

void rgbToHsv(const SRgbTriple& rgb, SHsv& hsv);

// Any hue is accepted: it is wrapped into 0..360 degrees by whole turns.
void hsvToRgb(const SHsv& hsv, SRgbTriple& rgb);

void cmykToRgb(const SCmyk& cmyk, SRgbTriple& rgb);

}  // namespace pg
