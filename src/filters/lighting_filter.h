#pragma once
// The lighting filter: one lamp (a point light, a warm light or a spot
// light) standing above the layer, plus an ambient term, added to the
// colour of the selected pixels; alpha never changes. Its record is the
// record with extra data: the ambient colour and brightness in the
// parameter bytes, the lamp (SLight4) as the extra block.
#include <array>
#include <cstdint>

#include "filters/filter_params.h"
#include "filters/kernel_context.h"

namespace pg {

enum TLightKind : int32_t { lkPoint = 0, lkWarm = 1, lkSpot = 2 };

// The event op code of the lighting filter.
inline constexpr uint8_t kLightingOp = 74;

// The parameter bytes of the record that this filter reads.
struct SFltLightingHeader {
  uint32_t AmbientColour = 0xFFFFFEC7u;  // pixel order (blue low)
  int32_t AmbientBrightness = 0;         // per cent, -100..100
};

// A lamp and its ambient term as one record: the record's Extra points
// into `light`, so the record lives only as long as this object.
struct SLightingRecord {
  SFltLightingHeader header;
  std::array<uint8_t, SLight4::kSize> light{};
  SFltRecord record;

  SLightingRecord(const SFltLightingHeader& h, const SLight4& lamp);
  SLightingRecord(const SLightingRecord&) = delete;
  SLightingRecord& operator=(const SLightingRecord&) = delete;
};

// The lamp set up for an area of W x H: its added light at an area point.
class CLightEval {
 public:
  // False for an unknown kind. Ranges below 1 % count as 1 %, a directed
  // lamp's spread below 3 degrees as 3, and a position or angle that is not
  // a number as 0, so no recorded lamp divides by zero.
  [[nodiscard]] bool setup(const SLight4& light, int32_t width, int32_t height);
  // The light added at (x, y): 0 where the lamp does not reach.
  void evaluate(double x, double y, int32_t& r, int32_t& g, int32_t& b) const;

 private:
  double profile(double a, double d) const;
  int32_t kind_ = lkPoint;
  double r_ = 0, g_ = 0, b_ = 0;
  double lx_ = 0, ly_ = 0, lh_ = 0, k_ = 0;
  double dx_ = 0, dy_ = 0, dz_ = -1, cone_ = 1;
};

// Ambient offset of a colour byte: byte * brightness / 100 - 255.
int32_t ambientOffset(uint8_t byte, int32_t brightness);

// BGRA8, alpha kept. Size 50 (the record); Count 1, Size 56.
[[nodiscard]] bool lightingKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// The kind table: a lamp of each kind as the dialog loads it.
SLight4 lightKindDefaults(int32_t kind);
// The remembered lamp at program start (the point light, centred).
SLight4 defaultLight();

}  // namespace pg
