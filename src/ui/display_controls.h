#pragma once
// The logic of the panels' display controls: the progress bar's fill and
// label, and the navigator's fit of a document into the control, its view
// frame, pointer angle and pointer-to-centre mapping.
#include <array>
#include <cstdint>
#include <string>

#include "core/rect.h"

namespace pg {

// ---- progress bar ------------------------------------------------------------------

// position / maximum; a maximum of 0 gives 32767 (a full bar).
double progressRatio(int32_t position, int32_t maximum);
// The width of the filled part of an inner width.
int32_t progressFillWidth(int32_t position, int32_t maximum, int32_t innerWidth);
// The label of a mode (0 percent, 1 count, 2 elapsed, 3 remaining time);
// times come from millisecond ticks (now - start taken modulo 2^32).
std::string progressLabel(uint8_t mode, int32_t position, int32_t maximum, uint32_t startMs, uint32_t nowMs);
// Milliseconds left at that rate, in 64 bits; 0 before the position reaches 1.
uint64_t progressRemainingMs(int32_t position, int32_t maximum, uint32_t elapsedMs);

// ---- navigator -------------------------------------------------------------------------

struct SNavigatorFit {
  TRect imageRect;          // the fitted document with its 2-pixel border
  float fitScale = 0.0f;    // control pixels per document pixel
  float displayScale = 0.0f;
  bool valid = false;
};
SNavigatorFit navigatorFit(int32_t controlWidth, int32_t controlHeight, int32_t docWidth, int32_t docHeight,
                           float zoom, bool compact);
// The view frame's corners (top-left, top-right, bottom-right, bottom-left).
std::array<TPointF, 4> navigatorFrame(const SNavigatorFit& fit, int32_t centreX, int32_t centreY, int32_t viewWidth,
                                      int32_t viewHeight, float rotation);
// The pointer's angle about the image rectangle's centre (negated with the
// angle sign).
float navigatorAngle(const SNavigatorFit& fit, int32_t x, int32_t y, bool negate);
// The document point a move drag puts the centre on, the frame allowed to
// leave the document by half its overhang.
TPoint navigatorCentreAt(const SNavigatorFit& fit, int32_t x, int32_t y, const std::array<TPointF, 4>& frame);

}  // namespace pg
