#pragma once
// The per-byte operators through which every pixel write of the widget
// layer's off-screen drawing goes. A routine takes two of them: the colour
// operator, applied to red, green and blue (in that order), and the alpha
// operator, applied afterwards to alpha. The pair decides whether a painter
// blends, overwrites or only builds an alpha mask.
#include <cstdint>

namespace pg {

// (destination byte, source byte, factor) -> the new destination byte.
using TChannelOp = uint8_t (*)(uint8_t dst, uint8_t src, float factor);

// The destination byte unchanged.
uint8_t keepChannel(uint8_t dst, uint8_t src, float factor);
// The source byte.
uint8_t copyChannel(uint8_t dst, uint8_t src, float factor);
// (dst + trunc((src - dst) * factor)) modulo 256. The product is exact (the
// byte difference times the 32-bit factor, taken in double) and truncated
// toward zero, so for a factor in 0..1 the result moves from the destination
// toward the source and never passes it. A factor that is not a number
// leaves the destination as it is.
uint8_t lerpChannel(uint8_t dst, uint8_t src, float factor);

}  // namespace pg
