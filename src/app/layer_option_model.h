#pragma once
// The layer and mask option dialogs and the rotation dialog without their
// widgets: the record handed in and out, the position ranges, the per-cent
// fields of opacity and dithering, and the wrapped angle.
#include <cstdint>
#include <string>

namespace pg {

struct TLayerOptionValue {
  int32_t x = 0;
  int32_t y = 0;
  bool crop = false;
  std::string name;
  int32_t blendMode = 0;  // an index of the layer blend-mode table
  int32_t opacity = 255;  // 0..255
  bool dither = false;
  int32_t ditherAmount = 255;  // 0..255
};

// A position field's range for a layer of `size` at `position`:
// r = min(size, 10000 - size), from min(-r, position) to max(r, position).
void layerPositionRange(int32_t size, int32_t position, int32_t& min, int32_t& max);

class CLayerOptionModel {
 public:
  // The record, the layer's size and the document's.
  CLayerOptionModel(const TLayerOptionValue& record, int32_t layerW, int32_t layerH, int32_t docW, int32_t docH);

  double x = 0, y = 0;
  bool crop = false;
  std::string name;
  int32_t modeIndex = 0;  // the list index (brush blend-mode order)
  double opacityPercent = 100;
  bool dither = false;
  double ditherPercent = 100;

  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;

  // OK: positions rounded half away from zero, opacity and amount
  // trunc(percent x 2.55 + 0.5), the mode back to the layer table.
  TLayerOptionValue result() const;
};

// The rotation dialog's angle: -999..999, wrapped into -180..180.
float wrapRotationAngle(float degrees);

}  // namespace pg
