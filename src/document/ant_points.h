#pragma once
// The selection outline ("marching ants"): the unit edges between selected and
// unselected pixels of an 8-bit plane, kept in four lists, and drawn as a
// dashed black-and-white line whose dash pattern moves one step per tick.
#include <cstdint>
#include <functional>

#include "document/point_list.h"

namespace pg {

class TChannel;
class TMTC;

// What drawing the outline needs of the view that shows the document.
class CAntsView {
 public:
  virtual ~CAntsView() = default;
  // The zoom ratio (1.0 = one window pixel per document pixel).
  virtual float zoom() const = 0;
  // Sine and cosine of the view rotation.
  virtual float sinA() const = 0;
  virtual float cosA() const = 0;
  // Maps a document point to window coordinates.
  virtual void paperToWindow(int32_t& x, int32_t& y) const = 0;
};

// A window-coordinate rectangle (x, y, width, height) of the area being drawn.
struct SAntsClip {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool contains(int32_t px, int32_t py) const {
    return px >= x && py >= y && static_cast<int64_t>(px) < static_cast<int64_t>(x) + width &&
           static_cast<int64_t>(py) < static_cast<int64_t>(y) + height;
  }
};

class CAntPoints {
 public:
  static constexpr uint8_t kDefaultPattern = 204;  // 1100 1100

  explicit CAntPoints(const CAntsView* view = nullptr, uint8_t pattern = kDefaultPattern);

  void setView(const CAntsView* view) { view_ = view; }
  const CAntsView* view() const { return view_; }

  // Empties the four lists; clearAll also puts the origin back to (0, 0).
  void clear();
  void clearAll();

  // Rotates the dash pattern right by one bit.
  void step();
  uint8_t pattern() const { return pattern_; }
  uint8_t basePattern() const { return basePattern_; }
  // Changes with every new trace, clear or origin, so that a view holding a
  // drawn frame knows when the outline itself changed.
  uint32_t generation() const { return generation_; }

  // True when all four lists hold points.
  bool hasPoints() const;

  // Traces the outline of a plane (a pixel is selected when non-zero). Unless
  // keep, the lists are emptied first; the origin becomes (0, 0). False as
  // soon as a point cannot be stored.
  [[nodiscard]] bool trace(const TChannel& plane, bool keep);
  // The same over a w x h byte grid whose row y starts at rows + y * stride.
  [[nodiscard]] bool trace(const uint8_t* rows, int32_t w, int32_t h, int64_t stride, bool keep);

  // The offset added, in document pixels, to every point before it is mapped
  // to the window.
  void setOrigin(int32_t x, int32_t y) {
    if (x != originX_ || y != originY_) ++generation_;
    originX_ = x;
    originY_ = y;
  }
  int32_t originX() const { return originX_; }
  int32_t originY() const { return originY_; }

  // Draws one frame of the outline into a plane whose pixel (x, y) is window
  // point (x, y); points whose window position lies outside `clip` are
  // skipped, pixels outside the plane are dropped. False when the outline is
  // empty or no view is set.
  [[nodiscard]] bool draw(TMTC& target, const SAntsClip& clip);
  // The same, handing each dash pixel to a sink (black when `black`).
  [[nodiscard]] bool draw(const SAntsClip& clip, const std::function<void(int32_t, int32_t, bool)>& sink);

  const CPointList& leftEdges() const { return left_; }
  const CPointList& rightEdges() const { return right_; }
  const CPointList& topEdges() const { return top_; }
  const CPointList& bottomEdges() const { return bottom_; }

  // Black when the pattern's bit ((y and 7) + x) and 7 is set (bit 0 = 0x80).
  static bool isBlackAt(uint8_t pattern, int32_t x, int32_t y) {
    const int bit = ((y & 7) + x) & 7;
    return (pattern & (0x80u >> bit)) != 0;
  }

 private:
  template <class RowFn>
  [[nodiscard]] bool traceRows(int32_t w, int32_t h, RowFn row, bool keep);
  template <class Sink>
  [[nodiscard]] bool drawAll(const SAntsClip& clip, Sink& sink);
  template <class Sink>
  void drawList(const CPointList& list, bool leading, bool horizontal, Sink& sink) const;

  const CAntsView* view_;
  uint8_t basePattern_;
  uint8_t pattern_;
  int32_t originX_ = 0;
  int32_t originY_ = 0;
  uint32_t generation_ = 0;
  CPointList left_{16};
  CPointList right_{16};
  CPointList top_{16};
  CPointList bottom_{16};
  SAntsClip clip_;
  int32_t zoom_ = 0x10000;
  bool magnified_ = true;
  int32_t sine_ = 0;
  int32_t cosine_ = 0x10000;
};

}  // namespace pg
