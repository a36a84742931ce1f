#pragma once
// The value drag of a glyph label: pressing the left button starts it at a
// value the owner supplies, and every pixel of movement along the label's
// drag axis changes the value by 1/100 (moving down, or right, increases it).
// The owner clamps the value. The drag sees one coordinate: the label hands
// it the one of its axis.
#include <cstdint>

namespace pg {

class TGlyphDrag {
 public:
  void begin(int32_t y, float startValue);
  bool dragging() const { return dragging_; }
  // The value at y: (y - start y) / 100 + start value (y being the
  // coordinate along the axis).
  float valueAt(int32_t y) const;
  float move(int32_t y);
  // Ends the drag and answers the value at y.
  float end(int32_t y);
  float current() const { return current_; }

 private:
  bool dragging_ = false;
  int32_t startY_ = 0;
  float start_ = 0.0f;
  float current_ = 0.0f;
};

}  // namespace pg
