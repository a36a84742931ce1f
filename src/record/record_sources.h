#pragma once
// What the recorders read besides the shared stroke settings and the tool
// window's tone set (both handed to the event store when recording starts):
// the document's values that application-state items and some command
// bodies carry, and the pen-method engine's settings with the tool window's
// gradient. The document lies above the recorder in the build, so it fills
// these in through the interfaces below.
#include <cstdint>

#include "brush/grade_map.h"
#include "brush/paint_param_records.h"
#include "brush/pen_shape_param.h"
#include "core/fixed_point.h"

namespace pg {

class CColorSlotGroup;
class CPenShapeObj;

// The document's values that the document set of items carries.
struct SDocStateValues {
  uint32_t paperPixel = 0x00FFFFFFu;  // pixel order 0x00RRGGBB
  bool canvasColorShown = true;       // the background flag
  bool bgPatternShown = false;        // the second paper switch
  SFixPoint gradientStart{0, 0};      // the document gradient's points, 16.16
  SFixPoint gradientEnd{100 << 16, 0};
  uint8_t gradientType = 0;    // the shape
  uint8_t gradientRepeat = 0;  // the mirror switch
  bool gradientWrap = false;
  int32_t gradientCount = 1;
  int32_t currentLayer = 0;   // -1 for none
  int32_t currentMask = -1;   // -1 for none
  bool selectionEnabled = false;
  uint8_t strokeMode = 1;     // below 2 the simple engine, 2 the pen-method engine
};

// One layer's attributes as the layer commands record them.
struct SLayerAttrValues {
  uint8_t blendMode = 0;
  uint8_t opacity = 255;
  bool visible = true;
  bool protectAlpha = false;
  bool effect = false;        // the first effect byte (dissolve)
  uint8_t effectValue = 255;  // the second effect byte
  int32_t offsetX = 0;
  int32_t offsetY = 0;
};

class IDocStateSource {
 public:
  virtual ~IDocStateSource() = default;
  virtual SDocStateValues documentState() const = 0;
  // False when there is no layer at the index.
  [[nodiscard]] virtual bool layerAttributes(int32_t index,
                                             SLayerAttrValues &out) const = 0;
};

// The pen-method renderer's parameter records and the nib it draws with.
struct SPenStateValues {
  SGradeMapParam falloff;
  uint32_t colorPair[2] = {0, 0};
  SPenShapeParam shape;
  SEdgeParam edge;
  SPenRenderParam render;
  SStrokeParam stroke;
  const CPenShapeObj* nib = nullptr;  // the active nib; may be null
};

class IToolStateSource {
 public:
  virtual ~IToolStateSource() = default;
  // False while there is no pen-method renderer: nothing of it is recorded.
  [[nodiscard]] virtual bool penState(SPenStateValues & /*out*/) const {
    return false;
  }
  // The colour stops of the tool window's current gradient; null for none.
  [[nodiscard]] virtual const CColorSlotGroup* currentGradientStops() const { return nullptr; }
};

}  // namespace pg
