#pragma once
// Generators of 8-bit noise planes for the render filters: midpoint
// displacement over a power-of-two plane (TPlasma, one plane; TPlasma3, three
// planes from one random sequence) and the tiled octave noise of the
// clouds/rock filter. Each is deterministic for a given size, strength and
// 32-bit seed, so that a recorded filter replays to the same pixels.
#include <array>
#include <cstdint>

#include "core/planes.h"
#include "core/random.h"

namespace pg {

// The midpoint-displacement generator. Plane positions wrap (each coordinate
// is taken AND the mask of its axis), so the plane is periodic.
class TPlasma {
 public:
  TPlasma() = default;
  virtual ~TPlasma() = default;
  TPlasma(const TPlasma&) = delete;
  TPlasma& operator=(const TPlasma&) = delete;

  // One subdivision pass over the cells of the current step: each cell's
  // centre from its four corners plus a draw.
  virtual void diamondStep();
  // Each cell's top and left edge midpoints from their four neighbours plus a draw.
  virtual void squareStep();
  // Sizes the planes to the powers of two at or above width and height (a
  // size of 1 stays 1), fills them with 128 and sets the four starting
  // points (0, 0), (W/2, 0), (0, H/2), (W/2, H/2) to 128 + a draw in
  // [-amplitude, amplitude) with amplitude trunc(strength + 0.5). False when
  // a plane cannot be had.
  [[nodiscard]] virtual bool init(int32_t width, int32_t height, float strength, uint32_t seed);

  // init, then passes while the step is above 2: step and half step halved,
  // amplitude trunc(step * strength / sqrt 2 + 0.5) for the diamond step and
  // that / sqrt 2 rounded the same way for the square step, the random range
  // re-seeded with the same seed before each. The area point (x, y) is read
  // at plane position (x, y). Null when a plane cannot be had. A 1 x 1 area
  // runs no pass: its one value is the starting point.
  [[nodiscard]] const TChannel* generate(int32_t width, int32_t height, float strength, uint32_t seed);

  // Sets the random range to [-amplitude, amplitude) with the seed (the
  // sequence restarts).
  void setRange(int32_t amplitude, uint32_t seed);
  int32_t draw() { return static_cast<int32_t>(nextRandomInRange(random)); }
  // The plane's byte at a wrapped position.
  static uint8_t& at(TChannel& plane, int32_t x, int32_t y, int32_t wm, int32_t hm) {
    return *plane.pixelAt(x & wm, y & hm);
  }

  TChannel plane;
  SRandomRange random{};
  int32_t step = 0;
  int32_t halfStep = 0;
  int32_t widthMask = 0;
  int32_t heightMask = 0;
  int32_t planeWidth = 0;
  int32_t planeHeight = 0;
  int32_t amplitude = 0;

 protected:
  // init over the given planes: the sizes, the fill and the starting points.
  [[nodiscard]] bool initPlanes(TChannel* const* planes, int count, int32_t width, int32_t height, float strength, uint32_t seed);
  // The diamond and square steps over the given planes: at every point the
  // planes draw in their order.
  void diamondOver(TChannel* const* planes, int count);
  void squareOver(TChannel* const* planes, int count);
};

// Three planes from one sequence: blue (the inherited plane), green, red for
// the plasma filter. At every point the three planes draw in that order.
class TPlasma3 : public TPlasma {
 public:
  void diamondStep() override;
  void squareStep() override;
  [[nodiscard]] bool init(int32_t width, int32_t height, float strength, uint32_t seed) override;

  TChannel plane2;
  TChannel plane3;
};

// The power of two at or above n: halvings of n - 1 until 0 (1 -> 1, 3 -> 4, 5 -> 8).
int32_t plasmaPlaneSize(int32_t n);

// ------------------------------------------------------- tiled octave noise

// e(i) = (1 - cos(i * pi / 256)) / 2 for i = 0 .. 255, single precision.
const std::array<float, 256>& easeTable();

// Resizes the plane to w x h and fills it row by row from the top, left to
// right, with one draw of the record per pixel. False when it cannot be sized.
[[nodiscard]] bool fillRandomPlane(TChannel& plane, int32_t w, int32_t h, SRandomRange& random);
// Adds the source, stretched to W x H with the eased weights and wrapping at
// its edges, scaled by amplitude, to the destination (W x H): with a, b, c, d
// the source pixels at (i, j), (i + 1, j), (i, j + 1), (i + 1, j + 1),
// v = (d - c - b + a) fx fy + (c - a) fy + (b - a) fx + a - 128, and the
// destination byte := clamp(trunc(v * amplitude + byte + 0.5)). The 16.16
// steps are (source size << 16) / W and / H, computed in floating point and
// truncated.
void addEasedUpsample(TChannel& dst, const TChannel& src, int32_t w, int32_t h, double amplitude);
// A Gaussian blur weighted by the values themselves: each output pixel is
// sum(v^2 w) / sum(v w) over its taps, a vertical pass then a horizontal one,
// both wrapping around the plane; not written when sum(v w) is 0. The weight
// tables span the smaller width and height of the two planes. A sigma that
// is not above 0 copies. False when the temporary plane cannot be had.
[[nodiscard]] bool valueWeightedBlur(TChannel& dst, const TChannel& src, double sigma);

// A tile W x H of noise that continues seamlessly across its edges: six
// octaves (grid divisors 64, 32, 16, 8, 3, 1; weight divisors 2, 3, 4, 8, 12,
// 8; amplitude factor / q, the last octave 1 / q) of draws 0..254 from one
// record seeded once, added to 128, then valueWeightedBlur with sigma 1.5.
// False (out untouched or partly made) when a plane cannot be had.
[[nodiscard]] bool buildOctaveNoise(TChannel& out, int32_t tileW, int32_t tileH, double factor, uint32_t seed);

}  // namespace pg
