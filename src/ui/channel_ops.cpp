#include "ui/channel_ops.h"

#include "core/rect.h"

namespace pg {

uint8_t keepChannel(uint8_t dst, uint8_t, float) { return dst; }

uint8_t copyChannel(uint8_t, uint8_t src, float) { return src; }

uint8_t lerpChannel(uint8_t dst, uint8_t src, float factor) {
  const double step = static_cast<double>(static_cast<int32_t>(src) - static_cast<int32_t>(dst)) *
                      static_cast<double>(factor);
  // saturateToInt32 truncates toward zero and keeps huge factors defined.
  return static_cast<uint8_t>(static_cast<uint32_t>(dst) + static_cast<uint32_t>(saturateToInt32(step)));
}

}  // namespace pg
