#pragma once
// A paper preset of the new-document dialog as the preferences keep it.
#include <cstdint>

namespace pg {

struct SPaperPreset {
  int32_t unit = 0;  // 0 pixel, 1 inch, 2 cm, 3 mm
  int32_t resolution = 72;
  float width = 640.0f;   // in the unit
  float height = 480.0f;  // in the unit
  bool transparent = false;
  friend bool operator==(const SPaperPreset&, const SPaperPreset&) = default;
};

}  // namespace pg
