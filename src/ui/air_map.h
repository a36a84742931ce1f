#pragma once
// The falloff profile controls' logic: the pad's pointer mapping and the
// place of its cross, the falloff picker's pop-up layouts per mode, and the
// falloff curve drawn into an off-screen graphic.
#include <array>
#include <cstdint>

#include "core/rect.h"
#include "ui/memory_graphic.h"

namespace pg {

// The falloff picker's modes: off (a press toggles two types), five types,
// and the full pop-up with the pad and the two value fields.
enum : uint8_t { kAirMapOff = 0, kAirMapFive = 1, kAirMapFull = 2 };
inline constexpr uint8_t kAirMapNone = 7;  // no profile type chosen

struct SAirMapPopupLayout {
  int32_t width = 0, height = 0;
  int32_t count = 0;              // type buttons
  std::array<uint8_t, 6> types{};  // profile type of each button
  std::array<TRect, 6> buttons{};
  bool full = false;
  TRect pad, glyphA, glyphB, fieldA, fieldB;
};
SAirMapPopupLayout airMapPopupLayout(uint8_t mode);

// The values (0..1) a press or drag at (x, y) sets on a pad of that size.
struct SAirMapValues {
  float a = 0.0f, b = 0.0f;
};
SAirMapValues airMapPadValuesAt(int32_t width, int32_t height, int32_t x, int32_t y);
// Where the pad's vertical and horizontal lines cross for the values.
TPoint airMapPadCross(int32_t width, int32_t height, float a, float b);

// The falloff curve of a profile type (core a, floor b, both 0..1) as a hill
// in the rectangle, moving the pixels toward the colour by their coverage.
bool paintFalloffCurve(TMemoryGraphic& g, const TRect& r, uint32_t type, TUiColor colour, float a, float b);

}  // namespace pg
