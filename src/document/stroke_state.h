#pragma once
// CStrokeState: what the document keeps about the freehand stroke in
// progress and the way it paints. The engine level is the highest stroke
// family the document can paint with now (1 the dab walker, 2 the pen-method
// engine); the engine mode is the family it paints with. The
// open stroke counts its points from its begin; the walker keeps the major
// axis of its latest segment. The document owns one.
#include <cstdint>

namespace pg {

class CStrokeState {
 public:
  uint8_t engineLevel() const { return engineLevel_; }
  uint8_t engineMode() const { return engineMode_; }
  void setEngineLevel(uint8_t level) { engineLevel_ = level; }
  // Painting with a family raises the level to it when it was lower.
  void setEngineMode(uint8_t mode) {
    if (mode > engineLevel_) engineLevel_ = mode;
    engineMode_ = mode;
  }

  // True from a stroke's begin to its end.
  bool isOpen() const { return open_; }
  // Points of the open stroke (0 at begin).
  int32_t pointCount() const { return pointCount_; }
  void open() {
    open_ = true;
    pointCount_ = 0;
  }
  void addPoint() { ++pointCount_; }
  void close() { open_ = false; }

  // 1 when the latest segment's major axis is x, 0 when it is y.
  uint8_t stepAxis() const { return stepAxis_; }
  void setStepAxis(uint8_t axis) { stepAxis_ = axis; }

 private:
  uint8_t engineLevel_ = 1;
  uint8_t engineMode_ = 1;
  bool open_ = false;
  int32_t pointCount_ = 0;
  uint8_t stepAxis_ = 0;
};

}  // namespace pg
