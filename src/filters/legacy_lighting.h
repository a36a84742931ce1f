#pragma once
// The lighting model of the older filter set: up to sixteen lamps (point,
// warm and spot) and an ambient term, evaluated per pixel in double
// precision. The older lighting kernel makes one for a run and frees it.
#include <array>
#include <cstdint>
#include <vector>

#include "filters/kernel_context.h"

namespace pg {

// The older lamp parameters, as the older kernel passes them (40 bytes).
struct SOldLightParams {
  static constexpr size_t kSize = 40;
  uint8_t kind = 0;          // 0 point, 1 warm, 2 spot
  int32_t intensity = 100;   // percent
  uint8_t blue = 0, green = 0, red = 0;
  int32_t range = 50;        // percent of the larger side
  float x = 0.5f;            // in widths
  float y = 0.5f;            // in heights
  int32_t height = 20;       // percent of the larger side
  float direction = 0.0f;    // radians
  float pitch = 0.0f;        // radians
  int32_t cone = 50;         // percent
};
class CByteCursor;
void oldLightFields(CByteCursor& c, SOldLightParams& p);

struct TLightVec {
  double x = 0, y = 0, z = 0;
};

class TLight {
 public:
  void setup(const SOldLightParams& p, int32_t width, int32_t height);
  uint8_t kind = 0;
  TLightVec position, direction;
  double r = 0, g = 0, b = 0;  // (byte / 2 + 128) x intensity / 100: a black lamp still gives half
  double range = 0;
  double cone = 1;             // 1 - cone / 100
};

class TLighting {
 public:
  static constexpr size_t kMaxLights = 16;
  void clear() { lights_.clear(); }
  // Per channel: colour byte x percent / 100 - 255.
  void setAmbient(uint32_t colour, int32_t percent);
  // Ignored once sixteen lamps are there.
  void add(const SOldLightParams& p, int32_t width, int32_t height);
  size_t count() const { return lights_.size(); }
  const TLight& light(size_t i) const { return lights_[i]; }
  // The lit colour of a pixel (blue low) at (column, row): the lamps in
  // order, the first that does not reach the pixel ending the evaluation.
  uint32_t shade(uint32_t pixel, int32_t column, int32_t row) const;
  // Every selected pixel of the region moves towards its lit colour by its
  // selection weight (alpha kept); false without images.
  [[nodiscard]] bool render(const SFlt4Context& ctx) const;

 private:
  std::vector<TLight> lights_;
  std::array<double, 3> ambient_{-255.0, -255.0, -255.0};  // blue, green, red
};

// The older lighting kernel: the record's first two words are the ambient
// colour and percent, its extra block one or more lamps of 56 bytes (the
// first 40 the lamp parameters).
[[nodiscard]] bool legacyLighting4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
