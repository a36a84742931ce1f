#pragma once
// Whole-plane and rectangle operations on pixel planes: copies, fills, bit
// operations, flips, lines and frames, checkerboards, flattening onto a
// background, and the mask helpers of 8-bit planes (bounds, edges, outlines).
//
// Rectangles are SRectXYWH unless a TRect is named. Routines that clip answer
// the clipping result (False: nothing was done). The copy clipping itself,
// clipCopyRect, lives with the rectangles (core/rect.h).
#include <cstdint>

#include "core/blend_arith.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// ------------------------------------------------------ clipping and copies

// copyPlaneRect of the whole source to (x, y).
bool copyPlane(const CDibCore& src, CDibCore& dst, int32_t x, int32_t y);
// Clips, then copies each row (BytesPerPixel * width bytes). Planes of
// different pixel sizes are refused (False).
bool copyPlaneRect(const CDibCore& src, CDibCore& dst, TPoint point, SRectXYWH rect);
// The 32-bit forms, destination first.
bool copyPlane32(TMTC& dst, const TMTC& src, int32_t x, int32_t y);
bool copyPlaneRect32(TMTC& dst, const TMTC& src, TPoint point, SRectXYWH rect);
// Without clipping: the caller guarantees the bounds.
void copyRect32NoClip(TMTC& dst, const TMTC& src, TPoint point, const SRectXYWH& rect);

// A 32-bit bitmap held elsewhere (for instance an image of the window
// system): rows top-down, Stride bytes apart, pixels in the same byte order.
struct SBitmap32View {
  int32_t Width = 0;
  int32_t Height = 0;
  const uint8_t* Bits = nullptr;
  int64_t Stride = 0;
};
// Clips the rect against the bitmap and the point against the plane, then
// copies each scan line into the plane.
bool copyFromBitmap(TMTC& dst, const SBitmap32View& bitmap, TPoint point, SRectXYWH rect);
// Clips; each source byte v becomes the pixel 0 (v = 0) or (v, v, v, 255).
bool copyFromChannel(TMTC& dst, const TChannel& src, TPoint point, SRectXYWH rect);

// ---------------------------------------------------- fills and bit operations

// Every byte := v.
void fill(TChannel& plane, uint8_t v);
// Clips; every byte of each row of the rect (BytesPerPixel * width) := v.
bool fillRectBytes(CDibCore& plane, SRectXYWH rect, uint8_t v);
bool fillRectBytesXY(CDibCore& plane, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t v);
// Every pixel := v.
void fill(TMTC& plane, uint32_t v);
void fillPixels(TMTC& plane, uint32_t v);
// Every pixel := the colour (red in the low byte) in pixel order; its fourth byte kept.
void fillColor(TMTC& plane, uint32_t colour);
// Clips, then every pixel := v.
bool fillRect(TMTC& plane, SRectXYWH rect, uint32_t v);
bool fillRectXY(TMTC& plane, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t v);
void fillRectNoClip(TMTC& plane, const SRectXYWH& rect, uint32_t v);
// Clips; every pixel := (value and mask) or (pixel and not mask).
bool setBitsRect(TMTC& plane, SRectXYWH rect, uint32_t mask, uint32_t value);
// The alpha byte of every pixel of the rect / plane := a.
bool setAlphaRect(TMTC& plane, SRectXYWH rect, uint8_t a);
void setAlpha(TMTC& plane, uint8_t a);
// pixel := pixel or v.
bool orRect(TMTC& plane, SRectXYWH rect, uint32_t v);
void orAll(TMTC& plane, uint32_t v);
// pixel := pixel xor v.
bool xorRect(TMTC& plane, SRectXYWH rect, uint32_t v);
// byte := byte xor v.
bool xorRect(TChannel& plane, SRectXYWH rect, uint8_t v);
// Clips; lerpPixelRgb of every pixel toward the colour.
bool blendRect(TMTC& plane, SRectXYWH rect, uint32_t colour, uint32_t alpha);
bool blendRectXY(TMTC& plane, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t alpha);
// op(pixel, value, param) for every pixel of the rect; no clipping.
void forEachPixel(TMTC& plane, const SRectXYWH& rect, uint32_t value, PixelOp32 op, uint32_t param);
// Clips, then forEachPixel.
bool applyRect(TMTC& plane, SRectXYWH rect, uint32_t value, PixelOp32 op, uint32_t param);
// Clips; op(byte, value) for every pixel of an 8-bit plane (False for other planes).
bool mapRect(CDibCore& plane, SRectXYWH rect, uint8_t value, ByteOp op);
// Clips; op(destination byte, source byte) for every pixel of two 8-bit planes.
bool mapPlaneRect(TChannel& dst, const TChannel& src, TPoint point, ByteOp op, SRectXYWH rect);

// --------------------------------------------------------------------- flips

// Exchanges row i and row h-1-i of the rect for i < h div 2.
bool flipRectV(TMTC& plane, SRectXYWH rect);
void flipVertical(TMTC& plane);
// Exchanges pixel i and w-1-i of every row of the rect for i < w div 2.
bool mirrorRectH(TMTC& plane, SRectXYWH rect);
// Turns the rect half round: pixel (x, y) and (w-1-x, h-1-y) exchanged.
bool rotateRect180(TMTC& plane, SRectXYWH rect);

// ------------------------------------------------ lines, frames, checkers

// n+1 points from (x0, y0) to (x1, y1), n the longer axis distance, the alpha
// running from a0 to a1 (truncating divisions); op(pixel, colour, a) at every
// point inside the plane.
void drawLine(TMTC& plane, int32_t x0, int32_t y0, int32_t a0, int32_t x1, int32_t y1, int32_t a1, uint32_t colour,
              PixelOp32 op);
// The border of the rect, every pixel once: top and left light, right and
// bottom dark; one light line for a rect 1 wide or 1 high.
void drawFrame(TMTC& plane, const SRectXYWH& rect, uint32_t light, uint32_t dark, uint32_t alpha, PixelOp32 op);
void frameRectBlend(TMTC& plane, const SRectXYWH& rect, uint32_t colour, uint32_t alpha);
void frame3DBlend(TMTC& plane, const SRectXYWH& rect, uint32_t light, uint32_t dark, uint32_t alpha);
void frameAll(TMTC& plane, uint32_t light, uint32_t dark, uint32_t alpha);
// Clips; cells of cellSize from the rect's top-left, even colour where the
// cell column + row is even (the first cell), odd colour elsewhere.
bool fillChecker(TMTC& plane, SRectXYWH rect, SSize cellSize, uint32_t oddColour, uint32_t evenColour);
// Clips; every pixel whose alpha is below 255 becomes the checker colour of
// its cell (cells counted from origin) moved toward the pixel's colour by its
// alpha; the result takes the checker colour's fourth byte.
bool compositeOnChecker(TMTC& plane, TRect rect, TPoint origin, SSize cellSize, uint32_t oddColour,
                        uint32_t evenColour);
// Clips; the same onto one colour.
bool compositeOnColor(TMTC& plane, TRect rect, uint32_t colour);

// ------------------------------------------------------------ mask helpers

// The bounding box of the non-zero bytes; False (r untouched) when every byte is 0.
bool boundsOfNonZero(const TChannel& plane, TRect& r);
// Every non-zero byte := v.
void setNonZero(TChannel& plane, uint8_t v);
// For every non-zero byte of the rect (clipped to the plane): op(address,
// isEdge), isEdge when the byte lies on the plane's border or one of its four
// neighbours is 0.
using EdgeOp = void (*)(uint8_t* p, bool isEdge, void* context);
void traceEdges(TChannel& plane, TRect rect, EdgeOp op, void* context);
// Every non-zero byte := fill; then, row by row and then column by column,
// the zero runs that touch a non-zero run get outline in their byte next to
// it (bytes marked by the row pass count as non-zero in the column pass).
void markOutline(TChannel& plane, uint8_t fill, uint8_t outline);
// markOutline(fill, 42); then in a row pass and a column pass the bytes of
// each run differing from fill that touch a run equal to fill are raised by
// 42 (capped at 255): an edge band graded outward.
void markEdgeBand(TChannel& plane, uint8_t fill);

}  // namespace pg
