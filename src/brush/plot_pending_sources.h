#pragma once
// Temporary stand-ins for the tone and gradient sources (replaced by the real
// classes when they arrive).
#include <cstdint>

namespace pg {

class CToneMngr {
 public:
  uint32_t patternAt(int32_t x, int32_t y, uint32_t value) const;
};

class CGradation {
 public:
  uint32_t evaluate(int32_t x, int32_t y) const;
};

}  // namespace pg
