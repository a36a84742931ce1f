#pragma once
// The pixel work of the document's picture: the layers composed into the
// composite, the grid drawn over it, the transparent parts flattened onto
// white or the check pattern, and the composite magnified or turned into the
// window. The document (paper_compose.cpp, paper_paint.cpp) decides when;
// these routines only know planes, layers and numbers.
#include <array>
#include <cstdint>

#include "core/blend_arith.h"
#include "core/planes.h"
#include "core/rect.h"
#include "document/layer_data.h"

namespace pg {

class CLayerMngr;

// ---- composition ---------------------------------------------------------------

// Rows composed together: every layer is blended into one band before the
// next band starts, so the band stays in the cache while the layers pass.
inline constexpr int32_t kComposeBandRows = 64;

struct SComposeSettings {
  // True: over the paper colour, each layer by its mode's operator (the
  // result is opaque). False: over transparent white, each layer by its
  // mode's alpha-compositing record, so the picture keeps its transparency.
  bool canvasColor = true;
  // False while an older-format recording replays: layers then go through
  // their mode's coverage pair.
  bool standardMode = true;
  // The paper colour in pixel order (0x00RRGGBB).
  uint32_t paperPixel = 0x00FFFFFFu;
};

// The background a rectangle starts from: the paper colour, opaque, or white
// with alpha 0.
uint32_t composeBackground(const SComposeSettings& s);

// Rebuilds rect (plane coordinates = document coordinates) of the plane: the
// background, then every visible layer with opacity above 0 from index 0
// upward, each read at document + its offset. A layer is read only inside
// its image; a dissolve layer dithers by document position and pixel. False
// when the rectangle misses the plane.
[[nodiscard]] bool composeLayers(TMTC& plane, const CLayerMngr& layers, const SComposeSettings& s, SRectXYWH rect);

// One layer over rect of the plane, as composeLayers blends it (no check of
// visibility or opacity).
[[nodiscard]] bool composeLayer(TMTC& plane, const CLayerData& layer, const SComposeSettings& s, SRectXYWH rect);

// ---- grid ------------------------------------------------------------------------

// BGRA8, grid over the transparent display: the pixel is first made opaque
// over white (alpha 0: white; else white moved toward its colour by its
// alpha), then lerpPixelRgb toward colour by alpha.
void gridPixelOverWhite(uint32_t* dst, uint32_t colour, uint32_t alpha);

// Lines of the grid inside rect (clipped to the plane): a vertical line at
// every column that is a multiple of gridX, a horizontal one at every row
// that is a multiple of gridY; colour in pixel order at alpha. Over an
// opaque display by lerpPixelRgb, else by gridPixelOverWhite. False when
// nothing was drawn.
[[nodiscard]] bool drawGridLines(TMTC& plane, TRect rect, int32_t gridX, int32_t gridY, uint32_t colour, uint32_t alpha,
                   bool opaqueDisplay);

// ---- the transparent display -------------------------------------------------------

// The check colour of the cell that holds (x, y): cells of 8 x 8 counted from
// (0, 0), (x div 8 + y div 8) odd the lighter grey.
uint32_t checkColorAt(int32_t x, int32_t y);

// BGRA8: an opaque pixel is kept; any other becomes the background moved
// toward its colour by its alpha, opaque.
inline uint32_t flattenPixel(uint32_t p, uint32_t background) {
  if (pixelAlpha(p) == 255) return p;
  uint32_t v = background | 0xFF000000u;
  lerpPixelRgb(&v, p, pixelAlpha(p));
  return v;
}

// ---- view resampling ---------------------------------------------------------------

// Whole-zoom view: every pixel of srcRect (clipped to src) becomes a k x k
// block of dst, source pixel (x, y) covering dst from origin + (x, y) x k;
// only pixels inside dst are written. False for k below 1 or when nothing
// lands in dst.
[[nodiscard]] bool magnifyInto(TMTC& dst, const TMTC& src, SRectXYWH srcRect, TPoint origin, int32_t k);

// The turned (or scaled) view of a transparent picture.
struct SRotatedView {
  float zoom = 1.0f;
  float sinA = 0.0f;
  float cosA = 1.0f;
  // The source point shown at the target's centre (width div 2, height div 2).
  TPoint origin{};
  // Flatten onto the check pattern (cells in source pixels) instead of white.
  bool checker = false;
  // What lies outside the source.
  uint32_t surround = 0x808080u;
};

// Renders rect of the target (clipped): each pixel samples the source at its
// turned and scaled position in 16.16 steps; inside the source the sample is
// flattened onto the background, outside it is the surround colour. False
// when the rectangle misses the target.
[[nodiscard]] bool renderRotatedInto(TMTC& target, const TMTC& source, TRect rect, const SRotatedView& view);

// The plain form of magnifyInto, one pixel at a time; the fast form, which
// fills runs and copies repeated rows, is checked against it.
namespace reference {
[[nodiscard]] bool magnifyInto(TMTC& dst, const TMTC& src, SRectXYWH srcRect, TPoint origin, int32_t k);
}  // namespace reference

// ---- thumbnails and links ----------------------------------------------------------

// The rectangle of a plane of planeSize that shows rect of a picture of
// pictureSize: origin truncated, size truncated + 1, clipped to the plane.
// False when nothing of it lies on the plane.
[[nodiscard]] bool mapRectToPlane(const TRect& rect, SSize pictureSize, SSize planeSize, TRect& out);

// One row of the link table of merge-visible and link-group moves.
struct SLinkOpacity {
  int32_t layerIndex = -1;
  int32_t linkLevel = 0;
  uint32_t opacity = 255;
};
using LinkOpacityTable = std::array<SLinkOpacity, kMaxLinkLevel + 1>;

// Stores the layer at its link level in the table and answers its effective
// opacity: 0 for a hidden layer, else its opacity multiplied (x * y / 255)
// by the opacities stored for every lower level. Layers are passed bottom
// up, so the lower levels hold the layer's parents.
uint32_t linkedOpacityOf(const CLayerData& layer, LinkOpacityTable& table);

}  // namespace pg
