#include "core/blend_arith.h"

#include "core/planes.h"
#include "core/random.h"

namespace pg {
namespace {

using Table = std::array<uint8_t, 65536>;

constexpr Table makeProductTable() {
  Table t{};
  for (uint32_t i = 0; i < 256; ++i)
    for (uint32_t j = 0; j < 256; ++j) t[i * 256 + j] = static_cast<uint8_t>(i * j / 255);
  return t;
}

constexpr Table makeScreenTable() {
  Table t{};
  for (uint32_t i = 0; i < 256; ++i)
    for (uint32_t j = 0; j < 256; ++j) t[i * 256 + j] = static_cast<uint8_t>(255 - (255 - j) * i / 255);
  return t;
}

constexpr Table makeHalfDiffTable() {
  Table t{};
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) {
      int d = j < 128 ? j : j - 256;
      int v = 2 * d * i / 255;  // C++ division truncates toward zero
      t[i * 256 + j] = static_cast<uint8_t>(v & 0xFF);
    }
  return t;
}

}  // namespace

// Built at compile time: ready before any static constructor of another unit runs.
alignas(64) constinit const std::array<uint8_t, 65536> productTable = makeProductTable();
alignas(64) constinit const std::array<uint8_t, 65536> screenTable = makeScreenTable();
alignas(64) constinit const std::array<uint8_t, 65536> halfDiffTable = makeHalfDiffTable();
constinit const uint8_t* const productTablePtr = productTable.data();

// ------------------------------------------------------- plane plotting

namespace {

// Op(pixel address, value, alpha) at (x, y); False outside the plane.
template <auto Op, class Plane>
bool blendAt(Plane& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha) {
  if (!insideGrid(x, y, plane.Width, plane.Height)) return false;
  Op(plane.pixelAt(x, y), value, alpha);
  return true;
}

}  // namespace

bool blendPixel(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha) {
  return blendAt<&lerpByte>(plane, x, y, value, alpha);
}
bool blendPixelTab(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha) {
  return blendAt<&blendByteTab>(plane, x, y, value, alpha);
}
bool blendPixel(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  return blendAt<&lerpPixelRgb>(plane, x, y, colour, alpha);
}
bool blendPixelTab(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  return blendAt<&lerpPixelRgbTab>(plane, x, y, colour, alpha);
}

// ------------------------------------------------- plane plots

bool plotBlend8(const void*, TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha) {
  return blendPixel(plane, x, y, value, alpha);
}

bool plotBlend32(const void*, TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  return blendPixel(plane, x, y, colour, alpha);
}

// ------------------------------------------------------------- dissolve

uint32_t stochasticDraw(int32_t x, int32_t y, uint32_t colour) {
  // A 32-bit mix of the three values (odd multipliers and xor-shifts, each
  // step a bijection), then its high bits scaled into 0..254.
  uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u;
  h ^= static_cast<uint32_t>(y) * 0x85EBCA77u;
  h ^= colour * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return mulHigh32(255u, h);
}

void stochasticBlend(const SStochasticBlend& s, uint32_t* dst, uint32_t colour, uint32_t param, int32_t x,
                     int32_t y) {
  if (s.op == nullptr) return;
  const uint32_t threshold = mulDiv255(s.amount & 0xFFu, pixelAlpha(colour));
  if (threshold > stochasticDraw(x, y, colour)) s.op(dst, colour, param);
}

}  // namespace pg
