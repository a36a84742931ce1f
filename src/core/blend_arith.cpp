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

// ------------------------------------------------- the plot call-backs

bool plotBlend8(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t alpha) {
  return blendPixel(plane, x, y, value, alpha);
}

bool plotBlend32(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t alpha) {
  return blendPixel(plane, x, y, colour, alpha);
}

namespace {
PlotCallback8 gPlot8 = &plotBlend8;
PlotCallback32 gPlot32 = &plotBlend32;

// The dissolve state: the wrapped operation, its random record and amount.
struct DissolveState {
  PixelOp32 op = nullptr;
  SRandomRange rec{};
  uint32_t amount = 0;
};
DissolveState gDissolve;
}  // namespace

PlotCallback8 setPlotCallback8(PlotCallback8 routine) {
  PlotCallback8 old = gPlot8;
  gPlot8 = routine ? routine : &plotBlend8;
  return old;
}

PlotCallback32 setPlotCallback32(PlotCallback32 routine) {
  PlotCallback32 old = gPlot32;
  gPlot32 = routine ? routine : &plotBlend32;
  return old;
}

PlotCallback8 plotCallback8() { return gPlot8; }
PlotCallback32 plotCallback32() { return gPlot32; }

// ------------------------------------------------------------- dissolve

void setStochasticBlend(PixelOp32 op, const SRandomRange& rec, uint32_t amount) {
  gDissolve.op = op;
  gDissolve.rec = rec;
  gDissolve.amount = amount & 0xFFu;
}

void stochasticBlend(uint32_t* dst, uint32_t colour, uint32_t param) {
  const uint32_t threshold = mulDiv255(gDissolve.amount, pixelAlpha(colour));
  const uint32_t r = nextRandomInRange(gDissolve.rec);
  if (threshold > r && gDissolve.op != nullptr) gDissolve.op(dst, colour, param);
}

const SRandomRange& stochasticBlendState() { return gDissolve.rec; }

void resetBlendState() {
  gPlot8 = &plotBlend8;
  gPlot32 = &plotBlend32;
  gDissolve = DissolveState{};
}

}  // namespace pg
