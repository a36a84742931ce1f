#pragma once
// The two records of the pen-method engine that paint parameters convert to
// and from: SStrokeParam (how the stroke manager shapes size and opacity by
// pressure and spaces the dabs) and SPenRenderParam (which render method the
// dab renderer runs, with its three effect values). Both are also stored in
// brush preset files and recordings: keep the fields and their order.
#include <cstdint>

namespace pg {

struct SStrokeParam {
  uint8_t pressureSize = 0;     // size follows pressure
  uint8_t pressureOpacity = 0;  // opacity follows pressure
  int32_t opacity = 1000;       // opacity x 1000
  int32_t gamma = 100;          // pressure gamma x 100
  int32_t spacing = 100;        // dab spacing in thousandths of the dab size
  int32_t dabEveryStep = 0;     // below this size (pixels) a dab falls on every step
  int32_t splitStep = 0;        // below this size the steps are split

  void init() { *this = SStrokeParam{}; }
  friend bool operator==(const SStrokeParam&, const SStrokeParam&) = default;

  float getOpacity() const { return static_cast<float>(opacity) / 1000.0f; }
  float getGamma() const { return static_cast<float>(gamma) / 100.0f; }
  float getSpacing() const { return static_cast<float>(spacing) / 1000.0f; }
  // Each answers whether the stored integer changed.
  bool setOpacity(float v);  // trunc(v * 1000)
  bool setGamma(float v);    // trunc(v * 100)
  bool setSpacing(float v);  // trunc(v * 100 + 0.5) * 10: hundredths kept
};

// Render methods of the pen-method dab renderer.
enum TPenRenderMethod : uint8_t {
  prmNormal = 0,
  prmWatercolor = 1,
  prmBlur = 2,
  prmEraser = 3,
  prmSpread = 4,
  prmFinger = 5,
  prmBurnDodge = 6,
};
inline constexpr uint32_t kPenRenderMethodCount = 7;

struct SPenRenderParam {
  uint8_t method = 0;     // TPenRenderMethod
  uint8_t subMode = 0;    // burn/dodge: 0 burn, 1 dodge
  uint8_t shapeFlag = 0;  // the shape builder takes the stroke direction
  uint8_t workPlane = 0;  // draws coverage into the work plane (the pencil flag)
  int32_t effect = 0;     // read as 16 bits
  int32_t env = 0;
  int32_t speed = 0;

  void init() { *this = SPenRenderParam{}; }
  friend bool operator==(const SPenRenderParam&, const SPenRenderParam&) = default;
};

}  // namespace pg
