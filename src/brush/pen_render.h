#pragma once
// The dab renderer of the pen-method engine (CPenRender). It owns the dab's
// falloff map and its shape image, knows the render method (seven of them),
// the colour pair, the shape, edge and render records and an optional image
// nib, and renders one dab at a time onto the target it is handed: every
// pixel goes through the target's plotter (a whole row at a time through the
// row plotters where one colour covers the dab; through plotProc32 where each
// pixel has its own colour).
//
// The renderer never sees the document: what it needs of it (replay state,
// the layer image the blur reads, the active nib) comes through
// IPenDocument, asked once per dab or stroke, never per pixel.
#include <cstdint>
#include <memory>
#include <vector>

#include "brush/grade_map.h"
#include "brush/paint_param_records.h"
#include "brush/pen_shape.h"
#include "brush/pen_shape_param.h"
#include "brush/plot_state.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CPenShapeObj;
class CPenTC;
class TStroke;

// What the pen engine asks of the document it paints.
class IPenDocument {
 public:
  virtual ~IPenDocument() = default;
  virtual int32_t currentLayerIndex() const = 0;
  virtual int32_t layerCount() const = 0;
  // Layer pixel = document coordinate + offset.
  virtual TPoint layerOffset(int32_t layer) const = 0;
  // The layer's pixels as they were before the stroke (the blur's source);
  // nullptr when there is none (the blur then reads the target plane).
  virtual const TMTC* layerImage(int32_t layer) const = 0;
  virtual bool isReplaying() const = 0;
  // The version byte of the recording being replayed.
  virtual uint32_t replayVersion() const = 0;
  // The nib a replayed stroke uses; nullptr for none.
  virtual CPenShapeObj* activePenShape() const = 0;
};

// The stroke's flow image as the engine sees it: the 32-bit plane, the
// optional 8-bit work plane of the same size, the layer coordinate of plane
// pixel (0, 0), and the painter's plotter (how each pixel is written; the
// start plotter when none is given).
struct SPenTarget {
  TMTC* plane = nullptr;
  TChannel* work = nullptr;
  TPoint origin;
  const SPlotter* plotter = nullptr;
};

// One dab: opacity 0..1, size (the radius in pixels) and centre in plane
// coordinates.
struct SPenDab {
  float opacity = 0.0f;
  float size = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
};

// Radii beyond this many pixels are drawn at it; centres beyond
// kPenCoordLimit draw nothing (16.16 holds them exactly).
inline constexpr float kMaxPenSize = 512.0f;  // the dab shape's largest radius
inline constexpr float kPenCoordLimit = 32000.0f;
// The hard edge's threshold on a dab value (half of full weight).
inline constexpr int32_t kHardEdgeThreshold = 0x7F8000;

// The mask bits of setRenderValues: which of the three values are stored.
inline constexpr uint32_t kRenderValueEffect = 1;
inline constexpr uint32_t kRenderValueEnv = 2;
inline constexpr uint32_t kRenderValueSpeed = 4;
inline constexpr uint32_t kRenderValuesAll = kRenderValueEffect | kRenderValueEnv | kRenderValueSpeed;

class CPenRender {
 public:
  CPenRender();
  ~CPenRender();
  CPenRender(const CPenRender&) = delete;
  CPenRender& operator=(const CPenRender&) = delete;

  // ---- records ----
  void setColorPair(uint32_t first, uint32_t second) {
    colors_[0] = first;
    colors_[1] = second;
  }
  // colour pair := (stroke colour, stroke second colour), made opaque; false
  // without a stroke.
  [[nodiscard]] bool takeColors();
  TStroke* setStroke(TStroke* stroke);
  IPenDocument* setTarget(IPenDocument* document);
  TStroke* stroke() const { return stroke_; }

  SPenRenderParam getRenderParam() const { return render_; }
  SGradeMapParam getGradeMapParam() const { return gradeMap_.param(); }
  void getColorPair(uint32_t& first, uint32_t& second) const {
    first = colors_[0];
    second = colors_[1];
  }
  SPenShapeParam getShapeParam() const { return shapeParam_; }
  SEdgeParam getEdgeParam() const { return edgeParam_; }
  bool setShapeParam(const SPenShapeParam& p);
  bool setEdgeParam(const SEdgeParam& p);
  bool setGradeMapParam(const SGradeMapParam& p);
  // A usable (image) nib becomes the nib; nullptr or a parametric object
  // clears it. The flags copy the object's records into the renderer.
  void setNib(CPenShapeObj* nib, bool withGradeMap, bool withEdge, bool withShape);
  bool hasNib() const { return hasNib_ != 0; }

  bool setRenderParam(const SPenRenderParam& p, uint32_t mask);
  // method < 255, subMode >= 0, workPlane >= 0, shapeFlag != 255 are stored.
  bool setRenderMethod(const SPenRenderParam& p);
  bool setRenderMethod(int32_t method, int32_t subMode, int32_t workPlane, int32_t shapeFlag);
  // effect (mask bit 1), env (bit 2), speed (bit 4).
  bool setRenderValues(const SPenRenderParam& p, uint32_t mask);
  bool usesWorkPlane() const { return render_.workPlane != 0; }
  uint8_t method() const { return render_.method; }

  void setAxisFlag(bool on) { axisFlag_ = on ? 1 : 0; }

  // ---- sizes ----
  float getSize() const;
  float getMinSize(float size) const;
  float scaleSize(float spacing, float size) const;
  void getDabExtent(float size, int32_t& ex, int32_t& ey) const;

  // ---- dabs ----
  // First dab of a stroke: remembers the nib size and runs the method's
  // preparation at (x, y) of the target plane.
  void beginDab(const SPenTarget& target, float pressure, float x, float y);
  [[nodiscard]] bool drawDab(const SPenTarget& target, const SPenDab& dab);
  [[nodiscard]] bool drawDabCoverage(const SPenTarget& target, const SPenDab& dab, uint32_t value);
  [[nodiscard]] bool drawDabCoverageSplit(const SPenTarget& target, const SPenDab& dab, uint32_t value);
  void endStroke();
  // blur radius := round(effect * size / 100); the blur reads image.
  void setDabOpacity(const TMTC* image, float size);
  int32_t blurRadius() const { return blurRadius_; }

  const CPenShape& shape() const { return *shape_; }
  // The plane pixels the last dab set up covers (clipped to the plane); a
  // dab may reach beyond the extent the size queries answer (a turned or
  // stretched nib).
  TRect lastDabRect() const { return dab_.rect; }

 private:
  struct SDabState {
    int32_t cx = 0, cy = 0;  // 16.16, plane coordinates
    int32_t rx = 0, ry = 0;  // 16.16
    int32_t opacity = 0;     // 16.16
    TRect rect;              // clipped, plane pixels
    TPoint clip;             // clipped-off amounts
    uint32_t colour = 0;
  };

  [[nodiscard]] bool setupDab(const CDibCore& plane, const SPenDab& dab, float opacity, float rx, float ry);
  [[nodiscard]] bool prepareShape(float size);
  // setupDab and prepareShape in the order the dab kind needs.
  [[nodiscard]] bool setupAndShape(const CDibCore& plane, const SPenDab& dab);
  // The dab's coverage of one row (dab rect columns) into cov_.
  void coverageRow(int32_t py);
  // The dab routines plot through `plot`: the target's plotter or a copy of
  // it with the method's own merge.
  [[nodiscard]] bool renderMethod(const SPenTarget& target, const SPenDab& dab, const SPlotter& plot);
  void dabNormal(const SPenTarget& target, const SPlotter& plot);
  void dabCoverage(const SPenTarget& target, uint32_t value);
  void dabEraser(const SPenTarget& target, const SPlotter& plot);
  void dabBurnDodge(const SPenTarget& target, const SPlotter& plot);
  void dabBlur(const SPenTarget& target, bool weighted, const SPlotter& plot);
  void smudgeCore(const SPenTarget& target, const CPenTC* sample, const SPlotter& plot);
  void dabSpread(const SPenTarget& target, const SPenDab& dab, const SPlotter& plot);
  void dabFinger(const SPenTarget& target, const SPenDab& dab, const SPlotter& plot);
  void dabWatercolor(const SPenTarget& target, const SPenDab& dab, const SPlotter& plot);
  void prepWatercolor(const SPenTarget& target, float x, float y);
  void prepBurnDodge();

  TStroke* stroke_ = nullptr;
  IPenDocument* document_ = nullptr;
  CGradeMapObj gradeMap_{2048};
  CPenShapeObj* nib_ = nullptr;
  SPenShapeParam shapeParam_;
  SEdgeParam edgeParam_;
  uint32_t colors_[2] = {0x00FFFFFFu, 0x00000000u};
  std::unique_ptr<CPenShape> shape_;
  uint8_t axisFlag_ = 0;
  uint8_t hasNib_ = 0;
  int32_t nibSize_ = 0;
  SPenRenderParam render_;
  SDabState dab_;
  bool direct_ = false;  // the shape was built on the direct path
  std::vector<uint8_t> cov_;
  std::vector<int64_t> columns_;  // blur: 4 sums per window column
  const TMTC* blurSource_ = nullptr;
  int32_t blurRadius_ = 0;
  CurveTable toneCurve_{};  // burn/dodge: the lightness curve of the stroke
};

}  // namespace pg
