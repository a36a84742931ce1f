#pragma once
// CDocGradient: the gradient a document paints its gradient fills and
// gradient strokes with. It keeps its own copy of the colour stops (the
// gradient in use may be edited or deleted in the tool window while the
// document paints with it) and the geometry over them: the two points, the
// shape and the repeat. The document owns one.
#include <cstdint>

#include "brush/gradient.h"
#include "core/fixed_point.h"
#include "core/rect.h"

namespace pg {

class IReplayGradientSource;

class CDocGradient {
 public:
  CDocGradient() = default;
  // The gradation points at the stops this object holds.
  CDocGradient(const CDocGradient&) = delete;
  CDocGradient& operator=(const CDocGradient&) = delete;

  const CGradation& gradation() const { return gradation_; }

  // The two points: whole pixels, floats (rounded to 16.16) or 16.16.
  void setPoints(TPoint p0, TPoint p1);
  void setPointsF(TPointF p0, TPointF p1);
  void setPointsFix(SFixPoint p0, SFixPoint p1) { gradation_.setPoints(p0, p1); }
  void getPoints(SFixPoint& p0, SFixPoint& p1) const { gradation_.getPoints(p0, p1); }
  // The start point in whole pixels.
  TPoint origin() const;
  // The default repeat record: linear, no mirror, no wrap, count 1.
  void resetRepeat();
  // Shape, mirror, count and wrap; values out of range are refused (false)
  // and change nothing.
  [[nodiscard]] bool setRepeat(int32_t shape, int32_t mirror, int32_t count, int32_t wrap) {
    return gradation_.setRepeat(shape, mirror, count, wrap);
  }
  // Copies the stops of a gradient (null: the stops stay).
  void takeStops(const CGradObj* from);
  // The colour at a pixel: red in the low byte, opacity on top.
  uint32_t colorAt(TPoint p) const { return gradation_.evaluate(p.X, p.Y); }

  // The source of the gradient while the document replays (not owned; null
  // when there is none).
  IReplayGradientSource* replaySource() const { return replaySource_; }
  void setReplaySource(IReplayGradientSource* source) { replaySource_ = source; }

 private:
  CColorSlotGroup stops_{16};
  CGradation gradation_{&stops_};
  IReplayGradientSource* replaySource_ = nullptr;
};

}  // namespace pg
