#include "brush/pen_shape_param.h"

#include "brush/grade_map.h"

namespace pg {

void SPenShapeParam::init(float sizePixels) {
  *this = SPenShapeParam{};
  size = scaledRound(sizePixels, 100.0f);
  aspect = 1000;
  angle = 0;
  minSize = 1000;
}

float SPenShapeParam::setSize(float pixels) {
  const float old = getSize();
  size = scaledRound(pixels, 100.0f);
  return old;
}

int32_t SPenShapeParam::setSizeRaw(int32_t hundredths) {
  const int32_t old = size;
  size = hundredths;
  return old;
}

float SPenShapeParam::setMinSize(float fraction) {
  const float old = getMinSize();
  minSize = scaledRound(fraction, 1000.0f);
  return old;
}

float SPenShapeParam::setAspect(float fraction) {
  const float old = getAspect();
  const int32_t v = scaledRound(fraction, 1000.0f);
  aspect = v < 0 ? 0 : (v > 1000 ? 1000 : v);
  return old;
}

float SPenShapeParam::setAngle(float degrees) {
  const float old = getAngle();
  int32_t v = scaledRound(degrees, 10.0f) % 3600;
  if (v < 0) v += 3600;
  angle = v;
  return old;
}

}  // namespace pg
