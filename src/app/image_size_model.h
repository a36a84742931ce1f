#pragma once
// The image size dialogs without their widgets. Both show each axis twice,
// in pixels and in a chosen unit, keep the two in step and keep every size
// between 8 and 10,000 pixels. A typed length is held in the unit it was typed
// in, so that a change of unit or resolution never rounds it through pixels.
//
// CCanvasSizeModel: the new canvas size, optionally relative to the present
// one, and the anchor cell of the old image. CResampleModel: a new size and
// resolution for resampling, optionally with the aspect ratio kept.
#include <array>
#include <cstdint>

#include "core/rect.h"

namespace pg {

// The unit lists of both dialogs: "%", "inch", "cm", "mm".
inline constexpr std::array<int32_t, 4> kSizeDialogUnits = {4, 1, 2, 3};

// What the canvas size dialog hands back: the new size and the anchor cell,
// counted row by row from the top left.
struct SImageSizeRecord {
  int32_t width = 0, height = 0;
  uint8_t anchor = 4;
};
// What the resampling dialog hands back: the new size and resolution.
struct SResolutionRecord {
  int32_t width = 0, height = 0, resolution = 0;
};

// One axis: the present size, the value and the unit it is held in (pixels,
// inch, cm or mm), and the unit the unit field shows.
struct SSizeAxis {
  int32_t present = 8;
  float held = 8.0f;
  int32_t heldUnit = 0;
  int32_t shownUnit = 4;

  float pixels(float res) const;
  // trunc(pixels + 0.5)
  int32_t result(float res) const;
  // The value in `unit` (per cent relative to the present size).
  float inUnit(int32_t unit, float res) const;
  void holdPixels(float px);
  void holdIn(int32_t unit, float value, float res);
};

struct SFieldRange {
  float min = 0;
  float max = 0;
  float clamp(float v) const;
};

class CCanvasSizeModel {
 public:
  // The present size and the resolution (not positive: 72).
  CCanvasSizeModel(int32_t width, int32_t height, int32_t resolution);

  void setRelative(bool on) { relative_ = on; }
  bool relative() const { return relative_; }
  void setUnit(int axis, int32_t unit);
  int32_t unit(int axis) const { return axes_[axis].shownUnit; }

  // The fields as shown (relative mode: differences from the present size).
  float pixelField(int axis) const;
  float unitField(int axis) const;
  SFieldRange pixelRange(int axis) const;
  SFieldRange unitRange(int axis) const;
  // A typed value, clamped into the field's range.
  void setPixelField(int axis, float value);
  void setUnitField(int axis, float value);

  void setAnchor(int32_t cell) { anchor_ = cell >= 0 && cell < 9 ? cell : anchor_; }
  int32_t anchor() const { return anchor_; }

  int32_t resultWidth() const { return axes_[0].result(res_); }
  int32_t resultHeight() const { return axes_[1].result(res_); }
  bool changed() const;
  const SSizeAxis& axis(int a) const { return axes_[a]; }

 private:
  float pixelOffset(int axis) const;
  float unitOffset(int axis) const;

  std::array<SSizeAxis, 2> axes_;
  float res_;
  bool relative_ = false;
  int32_t anchor_ = 4;
};

class CResampleModel {
 public:
  CResampleModel(int32_t width, int32_t height, int32_t resolution);

  void setKeepAspect(bool on) { keepAspect_ = on; }
  bool keepAspect() const { return keepAspect_; }
  void setUnit(int axis, int32_t unit);
  int32_t unit(int axis) const { return axes_[axis].shownUnit; }

  float pixelField(int axis) const { return axes_[axis].pixels(res_); }
  float unitField(int axis) const { return axes_[axis].inUnit(axes_[axis].shownUnit, res_); }
  SFieldRange pixelRange(int axis) const;
  SFieldRange unitRange(int axis) const;
  float resolution() const { return res_; }
  void setPixelField(int axis, float value);
  void setUnitField(int axis, float value);
  // 72..600 pixels per inch.
  void setResolution(float value);

  int32_t resultWidth() const { return axes_[0].result(res_); }
  int32_t resultHeight() const { return axes_[1].result(res_); }
  int32_t resultResolution() const { return static_cast<int32_t>(res_ + 0.5f); }
  bool changed() const;

 private:
  // The other axis follows in proportion to the present size.
  void follow(int from);

  std::array<SSizeAxis, 2> axes_;
  float res_;
  int32_t presentRes_;
  bool keepAspect_ = true;
};

// The anchor control's nine cells, row by row from the top left.
struct SAnchorCells {
  std::array<TRect, 9> cells{};
  void layout(int32_t width, int32_t height);
  // The cell holding the point; -1 outside every cell.
  int32_t hit(int32_t x, int32_t y) const;
};

}  // namespace pg
