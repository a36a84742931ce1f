#pragma once
// The screen-tone generator: the halftone patterns of comic artwork, regular
// dots or lines at a given ruling, angle and density. CToneMaker builds one
// tone as an 8-bit tile that repeats seamlessly over the canvas even when
// the screen is rotated, and answers the tone value at any canvas pixel.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/planes.h"

namespace pg {

// The attributes of one generated tone. The first 24 bytes (shape to
// smoothing) and Flag travel in recordings.
struct SToneAttr {
  uint32_t Shape = 0;       // spot shape 0..9 (above 9 counts as 9)
  float Resolution = 0.0f;  // pixels per unit length
  float Ruling = 0.0f;      // lines per the same unit
  int32_t Density = 0;      // percent
  int32_t Angle = 0;        // degrees
  int32_t Smoothing = 0;    // threshold window in density steps
  uint32_t Flag = 1;
  std::string Name;

  // Shape, resolution, ruling, density, angle and smoothing 0; flag 1; no name.
  void init() { *this = SToneAttr{}; }
  // The cell size in pixels: resolution / ruling (not finite for ruling 0).
  float cellSize() const { return Resolution / Ruling; }
  friend bool operator==(const SToneAttr&, const SToneAttr&) = default;
};

inline constexpr int32_t kToneShapeCount = 10;
// The spot shapes' names, "Round" .. "Rhomboid".
const char* toneShapeName(uint32_t shape);
// The spot value of a shape at cell coordinates x, y in -1..1 (x along the
// rotated screen's first axis); a shape above 9 counts as 9.
double toneSpot(uint32_t shape, double x, double y);

// The repeat count k that makes k steps of (a, b) land nearest to whole
// pixels: the first k = 1 .. trunc(512 / max(a, b)) - 1 whose deviation is
// below 0.05, else the first with the smallest deviation; 1 when the search
// cannot run.
[[nodiscard]] int32_t findToneRepeat(double a, double b);

class CToneMaker {
 public:
  CToneMaker() = default;
  CToneMaker(const CToneMaker&) = delete;
  CToneMaker& operator=(const CToneMaker&) = delete;

  // Recomputes the geometry when the cell size or the angle changed, the
  // spot values when the geometry or the shape changed, clamps the density
  // to 0..100 and thresholds the tile. False, with the previous tile kept,
  // when the cell size is outside 3.0..128.0, the angle outside 0..90
  // degrees, or the tile cannot be sized.
  [[nodiscard]] bool setup(uint32_t shape, int32_t smoothing, float density, float cellSize, int32_t angle);
  // setup from a tone's attributes (cell size = resolution / ruling).
  [[nodiscard]] bool setupFor(const SToneAttr& a) { return setup(a.Shape, a.Smoothing, static_cast<float>(a.Density), a.cellSize(), a.Angle); }
  // Whether the last successful setup had exactly these attributes.
  bool isSetFor(const SToneAttr& a) const {
    return Ready && ReqShape == a.Shape && ReqSmoothing == a.Smoothing && ReqDensity == static_cast<float>(a.Density) &&
           ReqCell == a.cellSize() && ReqAngle == a.Angle;
  }
  // The geometry for an angle (degrees, 0..90) and a cell size (3.0..128.0);
  // false (nothing changed) outside those ranges.
  [[nodiscard]] bool setCell(int32_t angle, float cellSize);

  // The tone value 0..255 at canvas pixel (x, y): 255 minus the tile pixel
  // the point folds onto. 0 before the first successful setup.
  uint8_t valueAt(int32_t x, int32_t y) const {
    if (!Ready) return 0;
    const double px = x + 0.5;
    const double py = y + 0.5;
    return foldedValue(x, y, (G.Cos * px - G.Sin * py) / G.Period, (G.Sin * px + G.Cos * py) / G.Period);
  }
  // Every pixel (x, y) of the plane := valueAt(x0 + x, y0 + y).
  void fillPlane(TChannel& plane, int32_t x0, int32_t y0) const;

  bool ready() const { return Ready; }
  const TChannel& tile() const { return *Tile; }
  int32_t repeat() const { return G.Repeat; }
  int32_t stepA() const { return G.A; }
  int32_t stepB() const { return G.B; }
  int32_t shift() const { return G.Shift; }
  double cell() const { return G.Cell; }
  double period() const { return G.Period; }
  double sine() const { return G.Sin; }
  double cosine() const { return G.Cos; }
  float density() const { return Density; }
  // The tile value (before thresholding) of tile pixel i, 0..1.
  const std::vector<float>& spotValues() const { return Spots; }
  // The thresholds the tile was cut with.
  float lowThreshold() const { return Low; }
  float highThreshold() const { return High; }

  // One record of the density table.
  struct SDensityRec {
    int32_t Density = 0;
    float Threshold = 0.0f;
    int32_t EqualBelow = 0;
    int32_t EqualAbove = 0;
  };

  // The tile pixel at (x, y) relative to a repeat origin, folded into the
  // tile (fast paths share it with valueAt). u, v: the point in periods.
  uint8_t foldedValue(int32_t x, int32_t y, double u, double v) const {
    const int64_t i = static_cast<int64_t>(std::floor(u));
    const int64_t j = static_cast<int64_t>(std::floor(v));
    const int64_t x1 = x - (i * G.B + j * G.A);
    const int64_t y1 = y - (j * G.B - i * G.A);
    return static_cast<uint8_t>(255 - tileAt(x1, y1));
  }

 private:
  // The rotated screen's geometry (setCell).
  struct SGeometry {
    double Cell = 0.0;  // exact cell size, recomputed from the integer steps
    int32_t AngleDeg = 0;
    double Radians = 0.0;
    double Sin = 0.0, Cos = 1.0;
    double StepX = 0.0, StepY = 0.0;  // cell x sine, cell x cosine
    double Period = 0.0;              // the repeat's side: sqrt(A^2 + B^2)
    int32_t Repeat = 1;
    int32_t A = 0, B = 0;  // the tile's integer step components
    int32_t Shift = 0;     // (B - A) / 2 toward zero
    double NormAngle = 0.0;
  };
  [[nodiscard]] static bool computeGeometry(int32_t angle, float cellSize, SGeometry& g);
  // Spot values of a shape over the tile of a geometry, normalised to 0..1.
  [[nodiscard]] static bool buildSpots(const SGeometry& g, uint32_t shape, std::vector<float>& spots);
  void buildTable();
  void threshold();
  uint8_t tileAt(int64_t x1, int64_t y1) const;

  bool Ready = false;
  // What the last successful setup was given.
  uint32_t ReqShape = 0;
  int32_t ReqSmoothing = 0;
  float ReqDensity = 0.0f;
  float ReqCell = 0.0f;
  int32_t ReqAngle = 0;

  SGeometry G;
  uint32_t Shape = 0;
  float Density = 0.0f;
  int32_t Smoothing = 0;
  std::unique_ptr<TChannel> Tile = std::make_unique<TChannel>();
  std::vector<float> Spots;
  SDensityRec Table[101];
  float Low = 0.0f, High = 0.0f, Diff = 0.0f;
};

}  // namespace pg
