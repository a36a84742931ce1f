#pragma once
// The arithmetic of the document window's view: scroll-bar layout and
// positions, the margins around the image, zoom about a point, fitting the
// (rotated) image into the window, window-to-image deltas, the visible image
// rectangle and the auto-scroll step. Pure functions of numbers, so that the
// layout rules test without a window.
//
// Scroll positions follow the convention of a bar whose maximum includes the
// page: a position runs from 0 to maximum - page.
#include <cstdint>

#include "core/rect.h"

namespace pg {

class TPaper;

// Zoom ratios the view accepts (the document's table ends).
inline constexpr float kViewZoomMin = 1.0f / 16.0f;
inline constexpr float kViewZoomMax = 16.0f;
// The fit leaves this many window pixels free on each axis.
inline constexpr int32_t kFitBorder = 80;
// The auto-scroll area is the client less this many pixels on each side.
inline constexpr int32_t kAutoScrollInset = 16;
inline constexpr int32_t kAutoScrollStepMax = 16;
inline constexpr int32_t kAutoScrollFactor = 4;

struct SScrollAxis {
  int32_t maximum = 0;  // image size x zoom + two margins
  int32_t page = 0;     // the client size
  int32_t position = 0;
  int32_t smallChange = 1;
  int32_t largeChange = 1;
  // The largest position, never below 0.
  int32_t maxPosition() const { return maximum > page ? maximum - page : 0; }
};

struct SScrollBars {
  SScrollAxis h;
  SScrollAxis v;
  bool visible = true;  // hidden while the view is rotated or by preference
};

// One axis: maximum round(image x z) + 2 x margin, page the client size,
// large change (client - 16) / z, small change round(10 x z). Every value is
// kept inside 32 bits.
SScrollAxis scrollAxisLayout(int32_t imageSize, float z, int32_t margin, int32_t client);

// A wanted position (any 64-bit value) brought into 0 .. maxPosition.
[[nodiscard]] int32_t clampScrollPosition(const SScrollAxis& axis, int64_t position);

// Where the image lies on one axis for a scroll position: before the margin
// the image starts at window coordinate margin - position (origin) with no
// image offset; past it the image starts at 0 and the image offset is
// (position - margin) / z, truncated.
struct SAxisPlacement {
  int32_t origin = 0;
  int32_t offset = 0;
};
SAxisPlacement axisPlacement(int32_t position, int32_t margin, float z);

// The ratio that fits the image, turned by the view angle, into the client
// less 80 pixels on each axis. Without allowEnlarge a ratio above 1 becomes
// 1/1. A client too small to hold anything fits at the smallest zoom.
SRatio fitRatio(SSize image, SSize client, float sinA, float cosA, bool allowEnlarge);

// A window delta as an image delta: divided by the zoom and turned by the
// view angle when rotated; each truncated.
TPoint windowDeltaToImage(int32_t dx, int32_t dy, float z, float sinA, float cosA, bool rotated);

// The auto-scroll step for a pointer outside the inner area (client less
// the scroll bars, shrunk by 16 on each side): per axis
// clamp(clamped - pointer, -16, 16) x 4; (0, 0) inside.
TPoint autoScrollStep(TPoint pointer, SSize client, int32_t barWidth, int32_t barHeight);

// The bounding box of the client's corners in image coordinates, widened by
// 1 on the right and bottom and clipped to the image.
TRect visibleImageRect(const TPaper& doc, SSize client);

// The window rectangle the unrotated image covers (may reach past the client).
TRect imageWindowRect(const TPaper& doc);

// A window coordinate from the outside world kept inside a range where every
// later product stays finite and inside 32 bits.
float clampWindowCoordinate(float v);

}  // namespace pg
