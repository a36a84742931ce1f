#pragma once
// The shape records of a pen-method dab: SPenShapeParam (size, aspect, angle,
// minimum size as scaled integers) and SEdgeParam (hard or soft edge). With
// the grade map (SGradeMapParam) they make up a nib's parameter record, stored
// in nib and brush preset files and in recordings: keep the fields and their
// order.
#include <cstdint>

namespace pg {

struct SPenShapeParam {
  int32_t size = 0;     // 1/100 pixel, not clamped
  int32_t aspect = 0;   // per mille 0..1000 (1000 round), clamped on set
  int32_t angle = 0;    // tenths of a degree 0..3599, wrapped on set
  int32_t minSize = 0;  // per mille of size, not clamped

  // Zeroes the record, then size := the pixels in hundredths, aspect 1000,
  // angle 0, minSize 1000.
  void init(float sizePixels);
  [[nodiscard]] bool equals(const SPenShapeParam& o) const {
    return size == o.size && aspect == o.aspect && angle == o.angle && minSize == o.minSize;
  }
  friend bool operator==(const SPenShapeParam& a, const SPenShapeParam& b) { return a.equals(b); }

  float getSize() const { return static_cast<float>(size) / 100.0f; }
  int32_t getSizeInt() const { return size / 100; }
  float getMinSize() const { return static_cast<float>(minSize) / 1000.0f; }
  int32_t getMinSizePercent() const { return minSize / 10; }
  float getAspect() const { return static_cast<float>(aspect) / 1000.0f; }
  int32_t getAspectPercent() const { return aspect / 10; }
  float getAngle() const { return static_cast<float>(angle) / 10.0f; }
  int32_t getAngleDegrees() const { return angle / 10; }

  // Each setter converts by trunc(v x scale + 0.5) and answers the previous value.
  float setSize(float pixels);
  int32_t setSizeRaw(int32_t hundredths);
  float setMinSize(float fraction);
  float setAspect(float fraction);  // clamped to 0..1000
  // trunc(deg x 10 + 0.5) modulo 3600, plus 3600 when negative.
  float setAngle(float degrees);
};

struct SEdgeParam {
  int32_t hard = 0;  // 0 soft edge (coverage kept), 1 hard edge

  void clear() { hard = 0; }
  bool equals(const SEdgeParam& o) const { return hard == o.hard; }
  friend bool operator==(const SEdgeParam& a, const SEdgeParam& b) { return a.equals(b); }
  bool isHard() const { return hard != 0; }
  // Stores 1 or 0; answers the previous state.
  bool setHard(bool on) {
    const bool old = isHard();
    hard = on ? 1 : 0;
    return old;
  }
};

}  // namespace pg
