#pragma once
// One nib (CPenShapeObj): either parametric (a grade map, a shape and an edge
// record) or an image nib (an owned 8-bit image with a scale in per cent). The
// nib list and the brush presets hold these; the pen-method dab builder reads
// them. Every change gives the object a new id from a process-wide counter,
// so that a recorder can tell which nib it has already written.
#include <cstdint>
#include <memory>

#include "brush/grade_map.h"
#include "brush/pen_shape_param.h"
#include "core/planes.h"

namespace pg {

// The nib's parameter record: eight 32-bit values, stored in this order.
struct SPenShapeRecord {
  SGradeMapParam grade;
  SPenShapeParam shape;
  SEdgeParam edge;
  friend bool operator==(const SPenShapeRecord&, const SPenShapeRecord&) = default;
};

// The next id of the process-wide counter (starting at 1) and its reset (tests).
uint32_t nextPenShapeId();
void resetPenShapeIds();

class CPenShapeObj {
 public:
  enum : uint8_t { kParametric = 0, kImageNib = 1 };

  // Parametric, size 10.0 pixels, scale with its minimum and maximum 100.
  CPenShapeObj();
  ~CPenShapeObj();
  CPenShapeObj(const CPenShapeObj&) = delete;
  CPenShapeObj& operator=(const CPenShapeObj&) = delete;

  // Back to the state of a new object (with a new id).
  void reset();
  // Makes the nib parametric (dropping an image) with the blocks given; the
  // others keep their values.
  void setParametric(const SGradeMapParam* grade, const SPenShapeParam* shape, const SEdgeParam* edge);
  // Copies the blocks given; the kind and the image stay.
  void setParams(const SGradeMapParam* grade, const SPenShapeParam* shape, const SEdgeParam* edge);
  // Makes an image nib from a copy of the plane: the scale range becomes
  // max(400 / shorter side, 1) .. min(51200 / longer side, 500) and the scale
  // 100 clamped to it; the size becomes the scale in pixels. With resetShape
  // the shape record is first reset to aspect 1000, angle 0, minimum 1000.
  // False (nothing changed) for an empty plane or when the copy fails.
  [[nodiscard]] bool setImage(const TChannel& plane, bool resetShape);
  // For an image nib, a scale within the range that differs from the current
  // one is stored and the size set to that many pixels; anything else changes
  // nothing (false).
  bool setScale(int32_t percent);
  // The reference to the image the nib came from (-1 none).
  void setShapeImage(int32_t ref) { imageRef_ = ref; }
  // Copies the parameters, the kind and, for an image nib, a copy of its
  // image with its scale. False (nothing changed) when the copy fails.
  [[nodiscard]] bool assign(const CPenShapeObj& other);

  bool isImageNib() const { return kind_ == kImageNib && image_ != nullptr; }
  // An image nib: max(width, height) x scale / 100 / 2; else the size.
  float radius() const;

  bool paramsSet() const { return paramsSet_ != 0; }
  uint8_t kind() const { return kind_; }
  uint32_t id() const { return id_; }
  const SPenShapeRecord& params() const { return params_; }
  int32_t scale() const { return scale_; }
  int32_t scaleMin() const { return scaleMin_; }
  int32_t scaleMax() const { return scaleMax_; }
  const TChannel* image() const { return image_.get(); }
  int32_t longerSide() const { return longerSide_; }
  int32_t imageRef() const { return imageRef_; }

 private:
  void renew() { id_ = nextPenShapeId(); }

  uint8_t paramsSet_ = 1;
  uint8_t kind_ = kParametric;
  uint32_t id_ = 0;
  SPenShapeRecord params_;
  int32_t scale_ = 100;
  int32_t scaleMin_ = 100;
  int32_t scaleMax_ = 100;
  std::unique_ptr<TChannel> image_;
  int32_t longerSide_ = 0;
  int32_t imageRef_ = -1;
};

}  // namespace pg
