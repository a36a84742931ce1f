#pragma once
// TMemoryGraphic: the off-screen canvas of every owner-drawn control. A
// control composes its face in one (or several), then copies it to its
// window. The pixels are one 32-bit plane of the core (bytes B, G, R, A, rows
// top-down without padding, not premultiplied), so the pixel (x, y) lies at
// pixels() + x + y * width(); the Qt side shows the same bytes as a QImage in
// Format_ARGB32 without copying them (ui/qt/graphic_image.h).
//
// Every pixel write of the fills, the compositing and the painters goes
// through the caller's two channel operators (ui/channel_ops.h): the colour
// operator on red, green and blue, then the alpha operator on alpha. Nothing
// is ever written outside the graphic; a routine that finds nothing to draw
// (an invalid graphic, an empty clip) answers false.
//
// The painters (frames, gradients, anti-aliased shapes and lines) are
// operations of the graphic too; they live in graphic_frames.cpp,
// graphic_gradients.cpp and graphic_shapes.cpp.
#include <cstddef>
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"
#include "ui/channel_ops.h"
#include "ui/ui_colour.h"

namespace pg {

// A falloff profile: maps a distance 0..1 from the centre to a weight (the
// brush engine's profiles of brush/falloff_curve.h fit).
using TShapeCurve = float (*)(float t);

// Gradient directions: the ramp runs along rows (top to bottom) or columns
// (left to right), forward or reversed.
enum : uint8_t {
  kGradDown = 0,
  kGradUp = 1,
  kGradRight = 2,
  kGradLeft = 3,
};

class TMemoryGraphic {
 public:
  // Create: no pixels yet, background uiClearWhite.
  TMemoryGraphic() = default;
  // CreateColor: no pixels yet, the given background.
  explicit TMemoryGraphic(TUiColor background) : background_(background) {}
  // CreateSize and CreateColorSize: setSize(width, height) with the
  // background (check isValid).
  TMemoryGraphic(int32_t width, int32_t height);
  TMemoryGraphic(int32_t width, int32_t height, TUiColor background);
  TMemoryGraphic(const TMemoryGraphic&) = delete;
  TMemoryGraphic& operator=(const TMemoryGraphic&) = delete;

  // ---- size -----------------------------------------------------------------

  // Makes the graphic max(1, width) x max(1, height) filled with the
  // background. The same size keeps the pixels. Answers whether pixels
  // exist afterwards; a graphic whose pixels could not be had tries again on
  // the next call, whatever the size.
  [[nodiscard]] bool setSize(int32_t width, int32_t height);
  // Every pixel := the background colour, alpha included.
  void clear();
  bool isValid() const { return plane_.Bits != nullptr && width_ >= 1 && height_ >= 1; }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  TUiColor background() const { return background_; }
  void setBackground(TUiColor c) { background_ = c; }
  // A fresh face: the background set, the size taken and every pixel cleared
  // to it; false (nothing cleared) when the size cannot be had.
  [[nodiscard]] bool renew(int32_t width, int32_t height, TUiColor background) {
    setBackground(background);
    if (!setSize(width, height)) return false;
    clear();
    return true;
  }

  // ---- pixel access -----------------------------------------------------------

  // The pixel block (width * height values, row 0 first); nullptr without
  // pixels.
  uint32_t* pixels() const { return isValid() ? reinterpret_cast<uint32_t*>(plane_.Bits) : nullptr; }
  // The plane that holds the pixels (for the core's readers and writers).
  const TMTC& plane() const { return plane_; }
  // Address of (x, y); the caller has checked contains(x, y).
  uint32_t* pixelAddr(int32_t x, int32_t y) const { return pixels() + x + static_cast<int64_t>(y) * width_; }
  bool contains(int32_t x, int32_t y) const { return isValid() && insideGrid(x, y, width_, height_); }
  // The pixel at the point clamped into the graphic; 0 without pixels.
  uint32_t getPixel(int32_t x, int32_t y) const;
  // Writes the whole pixel when contains(x, y).
  void setPixel(int32_t x, int32_t y, TUiColor c);
  // Row y, or nullptr when y is outside.
  uint32_t* scanLine(int32_t y) const { return contains(0, y) ? pixelAddr(0, y) : nullptr; }

  // ---- clipping ---------------------------------------------------------------

  // (x, y, w, h) clipped to the graphic into out; false when nothing is left
  // (out is still written) or the graphic is invalid (out untouched).
  [[nodiscard]] bool clipBounds(int32_t x, int32_t y, int32_t w, int32_t h, SRectXYWH& out) const;
  [[nodiscard]] bool clipRect(const TRect& r, SRectXYWH& out) const;
  // The rectangle clipped to the graphic; unchanged when nothing is left.
  TRect clipToGraphic(const TRect& r) const;

  // ---- filling and compositing ---------------------------------------------

  // The colour over the clipped rectangle: colour operator with factor
  // A / 255 on R, G, B, alpha operator with factor 1 on A.
  bool fillRect(const TRect& r, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp);
  // The rectangle (sx, sy, w, h) of the source composited at (x, y); the
  // colour operator's factor is each source pixel's A / 255.
  bool blendFrom(int32_t x, int32_t y, int32_t w, int32_t h, const TMemoryGraphic& src, int32_t sx, int32_t sy,
                 TChannelOp colourOp, TChannelOp alphaOp);
  bool blendFromPixels(int32_t x, int32_t y, int32_t w, int32_t h, const uint32_t* src, int32_t sx, int32_t sy,
                       int32_t srcWidth, int32_t srcHeight, TChannelOp colourOp, TChannelOp alphaOp);
  // The same clipping, whole pixels copied unchanged.
  bool copyPixels(int32_t x, int32_t y, int32_t w, int32_t h, const uint32_t* src, int32_t sx, int32_t sy,
                  int32_t srcWidth, int32_t srcHeight);

  // ---- painters: checkerboard and frames -------------------------------------

  bool fillChecker(const TRect& r, int32_t cellX, int32_t cellY, TUiColor c1, TUiColor c2, TChannelOp colourOp,
                   TChannelOp alphaOp);
  // Outline of width n; with n = 1 every outline pixel is painted once.
  bool frameRect(const TRect& r, int32_t n, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp);
  bool frameSides(const TRect& r, int32_t n, TUiColor left, TUiColor top, TUiColor right, TUiColor bottom,
                  TChannelOp colourOp, TChannelOp alphaOp);
  bool frameBevel(const TRect& r, int32_t n, TUiColor topLeft, TUiColor bottomRight, TChannelOp colourOp,
                  TChannelOp alphaOp);
  // Outline with the corners cut and softened by half-blended pixels.
  bool frameRounded(const TRect& r, int32_t n, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp);

  // ---- painters: gradients -----------------------------------------------------

  bool gradientLinear(const TRect& r, TUiColor c1, TUiColor c2, uint8_t direction, TChannelOp colourOp,
                      TChannelOp alphaOp);
  bool gradientCorners(const TRect& r, TUiColor topLeft, TUiColor topRight, TUiColor bottomRight,
                       TUiColor bottomLeft, TChannelOp colourOp, TChannelOp alphaOp);
  // HSV (hsv true) or HSL ramps and areas; hues in radians, the rest 0..1.
  bool gradientHue(const TRect& r, uint8_t direction, float startHue, float sat, float valueOrLight, float alpha,
                   TChannelOp colourOp, TChannelOp alphaOp, bool hsv);
  bool gradientSaturation(const TRect& r, uint8_t direction, float hue, float valueOrLight, float alpha,
                          TChannelOp colourOp, TChannelOp alphaOp, bool hsv);
  bool gradientValue(const TRect& r, uint8_t direction, float hue, float sat, float alpha, TChannelOp colourOp,
                     TChannelOp alphaOp, bool hsv);
  bool gradientHueValue(const TRect& r, uint8_t hueDirection, float startHue, float sat, float alpha,
                        uint8_t valueDirection, TChannelOp colourOp, TChannelOp alphaOp, bool hsv);
  bool gradientHueSaturation(const TRect& r, uint8_t hueDirection, float startHue, float valueOrLight, float alpha,
                             uint8_t satDirection, TChannelOp colourOp, TChannelOp alphaOp, bool hsv);
  bool gradientSaturationValue(const TRect& r, uint8_t satDirection, float hue, float alpha, uint8_t valueDirection,
                               TChannelOp colourOp, TChannelOp alphaOp, bool hsv);

  // ---- painters: anti-aliased shapes and lines ------------------------------

  // Disc inscribed in the square (topLeft, size), fitted to its visible part.
  bool fillDisc(TPoint topLeft, int32_t size, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp);
  bool fillDiscF(TPointF centre, TUiColor colour, float radius, TChannelOp colourOp, TChannelOp alphaOp);
  bool drawRing(TPoint topLeft, int32_t size, int32_t ringWidth, TUiColor colour, TChannelOp colourOp,
                TChannelOp alphaOp);
  bool fillEllipse(TPointF centre, float rx, float ry, float angle, TUiColor colour, TChannelOp colourOp,
                   TChannelOp alphaOp);
  bool fillEllipseCore(TPointF centre, float rx, float ry, float coreRatio, float angle, TUiColor core, TUiColor rim,
                       TChannelOp colourOp, TChannelOp alphaOp);
  bool fillEllipseFalloff(TPointF centre, float rx, float ry, float angle, TUiColor colour, TShapeCurve curve,
                          float innerRatio, float floor, TChannelOp colourOp, TChannelOp alphaOp);
  bool drawLineAA(TPointF p0, TPointF p1, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp);
  bool drawPolylineAA(const TPointF* points, size_t count, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp);

 private:
  TMTC plane_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  TUiColor background_ = uiClearWhite;
};

// Composites the rectangle (sx, sy, w, h) of one 32-bit pixel block onto
// (dx, dy) of another, both rows top-down without padding; the colour
// operator gets each source pixel's A / 255, the alpha operator 1. Clips
// against both blocks; false when nothing is left.
bool blendPixelBlock(uint32_t* dst, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t dstWidth,
                     int32_t dstHeight, const uint32_t* src, int32_t sx, int32_t sy, int32_t srcWidth,
                     int32_t srcHeight, TChannelOp colourOp, TChannelOp alphaOp);

// The falloff weight of fillEllipseFalloff at distance d (0..1) with a flat
// inner part and a floor; 1 at the centre.
float shapeFalloff(TShapeCurve curve, float d, float innerRatio, float floor);

// Whole pixels between a graphic and a 32-bit plane of the same size (for
// the core's painters, which draw into planes); false when the sizes differ.
[[nodiscard]] bool copyPlaneToGraphic(const TMTC& plane, TMemoryGraphic& g);
[[nodiscard]] bool copyGraphicToPlane(const TMemoryGraphic& g, TMTC& plane);

}  // namespace pg
