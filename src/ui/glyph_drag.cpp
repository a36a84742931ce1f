#include "ui/glyph_drag.h"

namespace pg {

void TGlyphDrag::begin(int32_t y, float startValue) {
  startY_ = y;
  start_ = startValue;
  current_ = startValue;
  dragging_ = true;
}

float TGlyphDrag::valueAt(int32_t y) const {
  return static_cast<float>(static_cast<int64_t>(y) - startY_) / 100.0f + start_;
}

float TGlyphDrag::move(int32_t y) {
  current_ = valueAt(y);
  return current_;
}

float TGlyphDrag::end(int32_t y) {
  dragging_ = false;
  current_ = valueAt(y);
  return current_;
}

}  // namespace pg
