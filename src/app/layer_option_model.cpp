#include "app/layer_option_model.h"

#include <algorithm>
#include <cmath>

#include "brush/paint_param_kinds.h"

namespace pg {

void layerPositionRange(int32_t size, int32_t position, int32_t& min, int32_t& max) {
  int32_t r = std::min(size, 10000 - size);
  min = std::min(-r, position);
  max = std::max(r, position);
}

CLayerOptionModel::CLayerOptionModel(const TLayerOptionValue& record, int32_t layerW, int32_t layerH, int32_t docW,
                                     int32_t docH)
    : x(record.x),
      y(record.y),
      crop(layerW > docW || layerH > docH),
      name(record.name),
      modeIndex(static_cast<int32_t>(layerModeToBlendMode(static_cast<uint32_t>(record.blendMode)))),
      opacityPercent(std::clamp(record.opacity, 0, 255) * 100.0 / 255.0),
      dither(record.dither),
      ditherPercent(std::clamp(record.ditherAmount, 0, 255) * 100.0 / 255.0) {
  layerPositionRange(layerW, record.x, xMin, xMax);
  layerPositionRange(layerH, record.y, yMin, yMax);
}

TLayerOptionValue CLayerOptionModel::result() const {
  auto percentToByte = [](double percent) {
    return static_cast<int32_t>(std::clamp(percent, 0.0, 100.0) * 2.55 + 0.5);
  };
  TLayerOptionValue r;
  r.x = static_cast<int32_t>(std::lround(std::clamp(x, double(xMin), double(xMax))));
  r.y = static_cast<int32_t>(std::lround(std::clamp(y, double(yMin), double(yMax))));
  r.crop = crop;
  r.name = name;
  r.blendMode = static_cast<int32_t>(blendModeToLayerMode(static_cast<uint32_t>(modeIndex)));
  r.opacity = percentToByte(opacityPercent);
  r.dither = dither;
  r.ditherAmount = percentToByte(ditherPercent);
  return r;
}

float wrapRotationAngle(float degrees) {
  if (std::isnan(degrees)) return 0.0f;
  float d = std::clamp(degrees, -999.0f, 999.0f);
  while (d > 180.0f) d -= 360.0f;
  while (d < -180.0f) d += 360.0f;
  return d;
}

}  // namespace pg
