#pragma once
// The stroke manager of the pen-method engine (CStrokeMngr): it keeps the last
// input points in a small ring (CInterpolate), walks each new segment in
// sub-pixel steps, shapes size and opacity by pressure, decides on which
// steps a dab falls and has the dab renderer (CPenRender) draw it, keeps the
// dirty rectangles and adds the travelled distance to the stroke settings.
//
// Points arrive in document coordinates; the manager maps them into the
// current layer (the document's layer offset) and then into the flow plane
// (minus the target's origin). Points, pressures and parameters may come from
// a recording: coordinates that are not numbers are refused, the rest are
// clamped, so that no segment walks more than a bounded number of steps.
#include <array>
#include <cstdint>
#include <vector>

#include "brush/paint_param_records.h"
#include "brush/pen_render.h"
#include "brush/stroke_settings.h"
#include "core/rect.h"

namespace pg {

class CInterpolate {
 public:
  static constexpr int32_t kRingSize = 3;

  // Mode 1 (midpoint smoothing), empty ring.
  CInterpolate() = default;

  uint8_t mode() const { return mode_; }
  bool setMode(uint8_t m);
  // Three zeroed entries, added := 0; false for a mode other than 0 or 1.
  [[nodiscard]] bool reset();
  bool isReady() const { return (mode_ == 0 || mode_ == 1) && ring_.size() == kRingSize; }
  // The first point after reset fills every entry with (x, y, 0); later
  // points shift the ring and, in mode 1, entry 1 becomes the mean of 0 and 2.
  [[nodiscard]] bool addPoint(const SStrokePoint& p);
  [[nodiscard]] bool getPoint(int32_t i, SStrokePoint& out) const;
  SStrokePoint getFirst() const { return isReady() ? ring_[0] : SStrokePoint{}; }
  // Where the walk of the newest segment begins and where it ends (mode 0:
  // entry 1 to entry 0; mode 1: entry 2 to the smoothed entry 1).
  SStrokePoint getSegmentEnd() const;
  SStrokePoint getSegmentStart() const;
  int32_t added() const { return added_; }

 private:
  uint8_t mode_ = 1;
  std::vector<SStrokePoint> ring_;
  int32_t added_ = 0;
};

// Dirty rectangle: left, top, right, bottom.
struct SDirtyBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const SDirtyBox&, const SDirtyBox&) = default;
};

// Steps a segment may walk at most; coordinates are clamped to
// +-kPenCoordLimit, so a segment never exceeds this even when split in thirds.
inline constexpr int64_t kMaxStrokeSegmentSteps = 3 * (2 * static_cast<int64_t>(kPenCoordLimit) + 2);
// The largest dab interval (steps between dabs).
inline constexpr int32_t kMaxDabInterval = 1 << 20;

class CStrokeMngr {
 public:
  CStrokeMngr(TStroke* stroke, CPenRender* renderer);

  TStroke* setStroke(TStroke* stroke);
  CPenRender* setPenRender(CPenRender* renderer);
  void setTarget(const SPenTarget& target, IPenDocument* document);
  uint8_t getInterpolateMode() const { return interpolate_.mode(); }
  bool setInterpolateMode(uint8_t m) { return interpolate_.setMode(m); }
  void setParam(const SStrokeParam& p) { param_ = p; }
  SStrokeParam getParam() const { return param_; }

  bool beginStroke(int32_t layerIndex, const SPenTarget& target, IPenDocument* document, TStroke* stroke);
  bool resetStroke(int32_t layerIndex);
  // Starts the ring and the pen and draws the renderer's first dab. False
  // when the point's coordinates are not numbers or nothing is set up.
  [[nodiscard]] bool firstPoint(const SStrokePoint& p);
  void syncPen();
  [[nodiscard]] bool addPoint(const SStrokePoint& p);
  // Walks the newest segment; answers the number of dabs drawn.
  int32_t drawSegment();
  void addDirty(int32_t x, int32_t y, bool reset, int32_t ry, int32_t rx);
  void addDirtySquare(int32_t x, int32_t y, bool reset, int32_t r) { addDirty(x, y, reset, r, r); }
  // The rectangles (document coordinates) with even edges.
  SRectXYWH getStrokeRect() const;
  SRectXYWH getDirtyRect() const;
  // Zeroes the work plane (the whole of it, or rect in plane coordinates)
  // when forced or when the render method draws into it.
  void clearWork(const TRect* rect, bool force);
  void endStroke();

  // One dab at (x, y) of the flow plane; answers the renderer's result.
  [[nodiscard]] bool drawDab(float opacityFactor, float size, float x, float y);

  SStrokePoint getFirstPoint() const { return interpolate_.getFirst(); }
  const CInterpolate& interpolate() const { return interpolate_; }
  int32_t layerIndex() const { return layerIndex_; }
  int32_t stepCount() const { return stepCount_; }
  int32_t dabCount() const { return dabCount_; }
  SDirtyBox dirtyWhole() const { return dirtyWhole_; }
  // Every pixel the stroke's dabs have touched (document coordinates), which
  // may reach beyond the dirty rectangle that is merged into the layer.
  SDirtyBox paintedWhole() const { return paintedWhole_; }
  SDirtyBox dirtySinceLast() const { return dirtySinceLast_; }

 private:
  void startPen();
  // Grows the painted box by a dab's plane rectangle less the plane's shift.
  void notePainted(const TRect& plane, float sx, float sy);
  TPoint layerOffset() const;

  IPenDocument* document_ = nullptr;
  SPenTarget target_;
  TStroke* stroke_ = nullptr;
  CPenRender* renderer_ = nullptr;
  SStrokeParam param_;
  CInterpolate interpolate_;
  SDirtyBox dirtyWhole_;
  SDirtyBox dirtySinceLast_;
  SDirtyBox paintedWhole_;
  int32_t layerIndex_ = -1;
  float position_[2] = {0.0f, 0.0f};
  int32_t stepCount_ = 0;
  int32_t dabCount_ = 0;
  uint8_t majorAxis_ = 1;
  int32_t prevMajorAxis_ = -1;
};

// A point from input or a recording made safe: pressure that is not a number
// becomes 0, pressure is limited to 0..1 and coordinates to +-kPenCoordLimit.
// False when a coordinate is not a number.
[[nodiscard]] bool sanitizeStrokePoint(SStrokePoint& p);

}  // namespace pg
